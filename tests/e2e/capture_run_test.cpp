// Paste runs with copies in quick succession, a busy Excel and the end of a run, each checked on the
// stand-in's state and on what the program shows and writes.
#include <string>
#include <vector>

#include "paste_run_fixture.h"

namespace {

constexpr int Lst_Rireki = ids::Lst_Select + 2;
constexpr int Cmd_Paste_End = ids::Cmd_Control + 4;
const std::wstring Skipped_Prefix = L"コピーが続いたため、";
const std::wstring Not_Answering = L"Excelが応答しないため、Excelを閉じずに貼付を終了しました。\r\nブックはExcelで開いたままです。";

std::string Address(int row) {
    char address[16];
    snprintf(address, sizeof address, "A%d", row);
    return address;
}

// "q12", "g20-3": the text of a numbered copy.
std::wstring Numbered(const wchar_t* format, int a, int b = 0) {
    wchar_t text[32];
    swprintf(text, 32, format, a, b);
    return text;
}

// Holds the clipboard open as another program would, for a window of its own (under Wine an opener
// with no window does not keep others out).
class Clipboard_Holder {
public:
    Clipboard_Holder()
        : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    Clipboard_Holder(const Clipboard_Holder&) = delete;
    Clipboard_Holder& operator=(const Clipboard_Holder&) = delete;
    ~Clipboard_Holder() {
        if (open_) CloseClipboard();
        if (window_) DestroyWindow(window_);
    }
    bool Open() {
        const ULONGLONG deadline = GetTickCount64() + 5000;
        while (window_ && !(open_ = OpenClipboard(window_) != FALSE) && GetTickCount64() < deadline) Sleep(1);
        return open_;
    }

private:
    HWND window_;
    bool open_ = false;
};

}  // namespace

class Capture_Run_Test : public Paste_Run_Test {
protected:
    // A text history file of the program folder holds the text.
    bool History_File_Holds(const std::string& text) const {
        for (int i = 0; i < 30; ++i) {
            wchar_t name[32];
            swprintf(name, 32, L"RirekiText\\Text%02d.txt", i);
            if (Read_Bytes(folder / std::wstring(name)).find(text) != std::string::npos) return true;
        }
        return false;
    }
    bool Excel_Gone() const {
        return Wait_Until([] { return FindWindowW(standin::Window_Class, nullptr) == nullptr; }, Paste_Timeout_Ms);
    }
};

TEST_F(Capture_Run_Test, CopiesFiveAndTwentyMillisecondsApartAllLandInOrder) {
    Options(1, 0, 0, 0);  // "下へ": every copy a row of its own
    Start();
    std::vector<std::wstring> texts;
    for (int gap : {20, 5})
        for (int i = 0; i < 30; ++i) texts.push_back(Numbered(L"g%d-%d", gap, i));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        ASSERT_TRUE(Copy(texts[i]));
        Sleep(i < 30 ? 20 : 5);  // the pace of the user's copies, not a wait for the program
    }
    ASSERT_TRUE(Wait_Until([&] { return Cell(Address(static_cast<int>(texts.size()))) == texts.back(); }, 60000))
        << "last cell: " << std::string(Active_Cell().begin(), Active_Cell().end());
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(Cell(Address(static_cast<int>(i) + 1)), texts[i]);
    // Each copy entered the history too: the newest thirty, newest first.
    const std::vector<std::wstring> history = List_Items(app->Control(Lst_Rireki));
    ASSERT_EQ(history.size(), 30u);
    EXPECT_EQ(history.front(), texts.back());
    EXPECT_EQ(history.back(), texts[texts.size() - 30]);
}

TEST_F(Capture_Run_Test, AFullQueueSkipsTheOldestWaitingCopiesWithOneTrueMessage) {
    Options(1, 0, 0, 0);
    Start();
    ASSERT_TRUE(Send(standin::Busy, L"8000"));
    constexpr int copies = 115;
    for (int i = 0; i < copies; ++i) {
        ASSERT_TRUE(Copy(Numbered(L"q%d", i)));
        Sleep(5);
    }
    const auto box = Wait_For_Message_Box(app->Process().Pid(), 90000);
    ASSERT_TRUE(box);
    ASSERT_EQ(box->Text.rfind(Skipped_Prefix, 0), 0u) << std::string(box->Text.begin(), box->Text.end());
    const int skipped = std::stoi(box->Text.substr(Skipped_Prefix.size()));
    EXPECT_EQ(box->Text, Skipped_Prefix + std::to_wstring(skipped) + L"件のコピーを貼り付けませんでした。");
    ASSERT_TRUE(Answer_Message_Box(*box));
    // The queue holds a hundred; the copy in hand and the newest ones were pasted, in order.
    EXPECT_GE(skipped, copies - 101);
    EXPECT_LE(skipped, copies - 100);
    const int pasted = copies - skipped;
    EXPECT_EQ(Cell(Address(pasted)), Numbered(L"q%d", copies - 1));
    EXPECT_EQ(Cell(Address(pasted + 1)), L"");
    EXPECT_EQ(Cell(Address(pasted - 1)), Numbered(L"q%d", copies - 2));
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 1000)) << "one message per overflow";
}

TEST_F(Capture_Run_Test, CopiesWaitingWhenPastingIsSwitchedOffAreNotPastedLaterAndAQuitExcelIsLetGo) {
    Start();
    ASSERT_TRUE(Send(standin::Busy, L"5000"));
    ASSERT_TRUE(Copy(L"w1"));
    Sleep(20);  // the user's pace: two copies, not one replaced before anyone could read it
    ASSERT_TRUE(Copy(L"w2"));
    ASSERT_TRUE(Click(app->Control(ids::Opt_Joken + 0)));  // "しない"
    ASSERT_TRUE(Wait_Until([&] { return !Is_Enabled(app->Control(ids::Opt_Joken + 2)); }, Paste_Timeout_Ms));
    ASSERT_TRUE(Click(app->Control(ids::Opt_Joken + 1)));  // "する"
    ASSERT_TRUE(Wait_Until([&] { return Is_Enabled(app->Control(ids::Opt_Joken + 2)); }, Paste_Timeout_Ms));
    ASSERT_TRUE(Copy(L"after"));
    ASSERT_TRUE(Wait_Until([&] { return Cell("A1") == L"after"; }, 30000)) << std::string(Cell("A1").begin(), Cell("A1").end());
    EXPECT_EQ(Cell("B1"), L"");
    // Not pasted, but kept.
    const std::vector<std::wstring> history = List_Items(app->Control(Lst_Rireki));
    ASSERT_GE(history.size(), 3u) << std::string(history.front().begin(), history.front().end());
    EXPECT_EQ(history[0], L"after");
    EXPECT_EQ(history[1], L"w2");
    EXPECT_EQ(history[2], L"w1");

    // The user quits Excel: the program lets go of it, so that it can end.
    ASSERT_TRUE(Send(standin::User_Quit, L""));
    Expect_Message(Closed_Message);
    EXPECT_TRUE(Back_On_Setup_Screen());
    EXPECT_TRUE(Excel_Gone());
}

TEST_F(Capture_Run_Test, APutBackTheClipboardRefusesIsTriedAgainNotDropped) {
    Options(0, 0, 2, 0);  // one row per line: the paste reads the clipboard
    Start();
    ASSERT_TRUE(Send(standin::Busy, L"1500"));
    ASSERT_TRUE(Copy(L"first"));
    Sleep(20);  // the user's pace
    ASSERT_TRUE(Copy(L"second"));
    {
        // Another program holds the clipboard open while the first copy's turn comes.
        Clipboard_Holder holder;
        ASSERT_TRUE(holder.Open());
        Sleep(3500);  // how long the other program holds it: part of the scenario
    }
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 0));
    EXPECT_TRUE(Wait_Until([&] { return Cell("B1") == L"second"; }, 30000))
        << std::string(Cell("B1").begin(), Cell("B1").end());
    EXPECT_EQ(Cell("A1"), L"first");
}

TEST_F(Capture_Run_Test, EndingWhileExcelIsBusyKeepsTheCopiesAtOnceAndClosesExcelWhenItAnswers) {
    Start();
    ASSERT_TRUE(Copy(L"pasted"));
    ASSERT_TRUE(Wait_Cell("A1", L"pasted"));
    ASSERT_TRUE(Send(standin::Busy, L"6000"));
    ASSERT_TRUE(Copy(L"waiting"));
    ASSERT_TRUE(Click(app->Control(Cmd_Paste_End)));
    // At once, not once Excel answers.
    EXPECT_TRUE(Wait_Until([&] { return Is_Visible(app->Control(ids::Txt_File_0)); }, 3000));
    EXPECT_TRUE(Wait_Until([&] { return History_File_Holds("waiting") && History_File_Holds("pasted"); }, 3000));
    EXPECT_EQ(Cell("B1"), L"");
    // Then the stop path, once Excel answers.
    EXPECT_TRUE(Excel_Gone());
    const std::string log = Log();
    const std::size_t close = log.find("\"member\":\"Close\"");
    EXPECT_NE(close, std::string::npos);
    EXPECT_NE(log.find("\"member\":\"Quit\"", close), std::string::npos);
}

TEST_F(Capture_Run_Test, TheStartButtonWaitsForAnEndedRunWhoseExcelDoesNotAnswer) {
    Start();
    ASSERT_TRUE(Send(standin::Busy, L"120000"));
    ASSERT_TRUE(Click(app->Control(Cmd_Paste_End)));
    ASSERT_TRUE(Wait_Until([&] { return Is_Visible(app->Control(ids::Txt_File_0)); }, 5000));
    HWND start = app->Control(ids::Cmd_Update2_Start);
    EXPECT_TRUE(Wait_Until([&] { return Text_Of(app->Control(ids::Lbl_Error_Check)) == L"前回の貼付のExcelが応答するのを待っています。"; },
                           5000));
    EXPECT_FALSE(Is_Enabled(start));
    (void)Click(start);  // even a click that gets through starts no second run
    // After thirty seconds the program lets go of Excel, which keeps its workbook.
    const auto box = Wait_For_Message_Box(app->Process().Pid(), 60000);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Text, Not_Answering);
    ASSERT_TRUE(Answer_Message_Box(*box));
    EXPECT_EQ(Log().find("\"member\":\"Close\""), std::string::npos);
    EXPECT_TRUE(Excel_Gone());  // nothing holds the stand-in any more
    // Now a new run starts as usual.
    ASSERT_TRUE(Wait_Until([&] { return Is_Enabled(start); }, Paste_Timeout_Ms));
    ASSERT_TRUE(Click(start));
    Expect_Message(Start_Message);
    ASSERT_TRUE(Copy(L"second run"));
    EXPECT_TRUE(Wait_Cell("A1", L"second run"));
}

TEST_F(Capture_Run_Test, CellsCopiedInExcelArePastedOnceAsTheirTextAndAChartAsAPicture) {
    Start();  // "右へ", picture "なし", "削除"
    ASSERT_TRUE(Copy(L"セルの値"));
    ASSERT_TRUE(Wait_Cell("A1", L"セルの値"));
    ASSERT_TRUE(Copy(L"x"));
    ASSERT_TRUE(Wait_Cell("B1", L"x"));
    // One cell: its text, once (its picture would be the cells again, in D1).
    ASSERT_TRUE(Send(standin::Copy_Cells, L"A1"));
    ASSERT_TRUE(Wait_Cell("C1", L"セルの値"));
    // Two cells, and another program's copy as soon as Excel has given the cells' text.
    const auto renders = [&] { return State()["renderedFormats"].Size(); };
    const std::size_t before = renders();
    ASSERT_TRUE(Send(standin::Copy_Cells, L"A1:B1"));
    ASSERT_TRUE(Wait_Until([&] { return renders() > before; }, Paste_Timeout_Ms));
    ASSERT_TRUE(Copy(L"next"));
    ASSERT_TRUE(Wait_Cell("E1", L"next"));
    EXPECT_EQ(Cell("D1"), L"セルの値\tx");
    // A chart copied in Excel offers only its picture: pasted as one.
    ASSERT_TRUE(Send(standin::Copy_Chart, L""));
    ASSERT_TRUE(Wait_Until([&] { return Sheet()["shapes"].Size() == 1; }, Paste_Timeout_Ms));
    EXPECT_EQ(Sheet()["shapes"].Items()[0]["topLeftCell"].Text(), L"F1");
    // Done with the clipboard (emptied after the picture) once the cell has moved on.
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"G1"; }, Paste_Timeout_Ms));
    // Cells copied while Excel is busy: it makes their text once it is free again.
    ASSERT_TRUE(Send(standin::Busy, L"500"));
    ASSERT_TRUE(Send(standin::Copy_Cells, L"B1"));
    ASSERT_TRUE(Wait_Cell("G1", L"x"));

    EXPECT_EQ(Cell("H1"), L"");
    EXPECT_EQ(Sheet()["shapes"].Size(), 1u);
    int pictures_made = 0;
    for (const Json_Value& format : State()["renderedFormats"].Items())
        pictures_made += format.Text() == L"CF_ENHMETAFILE";
    EXPECT_EQ(pictures_made, 1) << "only the chart's picture is asked for";
    const std::vector<std::wstring> history = List_Items(app->Control(Lst_Rireki));
    ASSERT_GE(history.size(), 3u);
    EXPECT_EQ(history[0], L"x");
    EXPECT_EQ(history[1], L"next");
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 0));
    // Busy for longer than the program waits for Excel's copy: the copy is counted as not pasted.
    ASSERT_TRUE(Send(standin::Busy, L"6000"));
    ASSERT_TRUE(Send(standin::Copy_Cells, L"A1"));
    Expect_Message(Skipped_Prefix + L"1件のコピーを貼り付けませんでした。");
    EXPECT_EQ(Cell("H1"), L"");
    // One row per line: Excel pastes its own copy's text.
    ASSERT_TRUE(Click(app->Control(ids::Opt_Joken + 6)));
    ASSERT_TRUE(Send(standin::Copy_Cells, L"A1:B1"));
    ASSERT_TRUE(Wait_Cell("I1", L"x"));
    EXPECT_EQ(Cell("H1"), L"セルの値");
}
