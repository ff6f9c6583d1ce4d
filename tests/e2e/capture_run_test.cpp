// Paste runs with copies in quick succession, a busy Excel and the end of a run, each checked on the
// stand-in's state and on what the program shows and writes.
#include <algorithm>
#include <string>
#include <vector>

#include "paste_run_fixture.h"

namespace {

constexpr int Lst_Rireki = ids::Lst_Select + 2;
constexpr int Cmd_Paste_End = ids::Cmd_Control + 4;
const std::wstring Not_Answering =
    L"Excelが応答しないため、Excelを閉じずに貼付を終了しました。\r\nブックはExcelで開いたままです。";

std::string Readable(const std::wstring& text) { return std::string(text.begin(), text.end()); }

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
    // The text history list once it shows what shown(list) asks for (it is drawn after the pastes, once
    // no copy waits), or as it is after the paste timeout.
    template <class Shown>
    std::vector<std::wstring> History_Once(Shown shown) const {
        std::vector<std::wstring> history;
        (void)Wait_Until(
            [&] {
                history = List_Items(app->Control(Lst_Rireki));
                return !history.empty() && shown(history);
            },
            Paste_Timeout_Ms);
        return history;
    }
    bool Excel_Gone() const {
        return Wait_Until([] { return FindWindowW(standin::Window_Class, nullptr) == nullptr; }, Paste_Timeout_Ms);
    }
};

TEST_F(Capture_Run_Test, CopiesAsFastAsTheyAreReadAllLandOnceInOrderEvenWhileExcelIsBusy) {
    Options(1, 0, 0, 0);  // "下へ": every copy a row of its own
    Start();
    // Excel busy through the first copies: they wait, and are written together once it answers.
    ASSERT_TRUE(Send(standin::Busy, L"2000"));
    Read_Waiting_Copier copier;
    std::vector<std::wstring> texts;
    for (int i = 0; i < 120; ++i) {
        texts.push_back(Numbered(L"g%d", i));
        ASSERT_TRUE(copier.Copy(texts.back())) << "copy " << i << " never read";
    }
    ASSERT_TRUE(Wait_Until([&] { return Cell(Address(static_cast<int>(texts.size()))) == texts.back(); }, 60000))
        << "active cell: " << Readable(Active_Cell());
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(Cell(Address(static_cast<int>(i) + 1)), texts[i]);
    EXPECT_EQ(Cell(Address(static_cast<int>(texts.size()) + 1)), L"") << "a copy pasted twice";
    EXPECT_TRUE(Wait_Until([&] { return Active_Cell() == L"A121"; }, Paste_Timeout_Ms)) << Readable(Active_Cell());
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 0)) << "nothing was skipped";
    // Each copy entered the history too, recorded after its paste: the newest thirty, newest first.
    const std::vector<std::wstring> history =
        History_Once([&](const auto& h) { return h.size() == 30 && h.front() == texts.back(); });
    ASSERT_EQ(history.size(), 30u);
    EXPECT_EQ(history.front(), texts.back());
    EXPECT_EQ(history.back(), texts[texts.size() - 30]);
}

TEST_F(Capture_Run_Test, FiftyCopiesWhileExcelIsBusyLongerThanEveryRetryAllLandInOrderAndInTheHistory) {
    Options(1, 0, 0, 0);  // "下へ"
    Start();
    // Busy for twice as long as one call's retries: the loop asks again and again, and loses nothing.
    ASSERT_TRUE(Send(standin::Busy, L"20000"));
    Read_Waiting_Copier copier;
    std::vector<std::wstring> texts;
    for (int i = 0; i < 50; ++i) {
        texts.push_back(Numbered(L"busy%d", i));
        ASSERT_TRUE(copier.Copy(texts.back())) << "copy " << i << " never read";
        Sleep(150);  // the pace of a user copying, not a wait for the program
    }
    ASSERT_TRUE(Wait_Until([&] { return Cell(Address(50)) == texts.back(); }, 60000)) << Readable(Active_Cell());
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(Cell(Address(static_cast<int>(i) + 1)), texts[i]);
    EXPECT_EQ(Cell(Address(51)), L"");
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 0));
    const std::vector<std::wstring> history =
        History_Once([&](const auto& h) { return h.size() == 30 && h.front() == texts.back(); });
    ASSERT_EQ(history.size(), 30u);
    for (std::size_t i = 0; i < history.size(); ++i) EXPECT_EQ(history[i], texts[texts.size() - 1 - i]);
}

TEST_F(Capture_Run_Test, WaitingTextsAreWrittenTogetherEachAsItWouldBeAlone) {
    Options(1, 0, 0, 0);  // "下へ", "削除→１個のセルに貼付"
    Checks(1, 0, 0);      // the column widened to the text
    Start();
    ASSERT_TRUE(Send(standin::Busy, L"2000"));
    Read_Waiting_Copier copier;
    const std::wstring long_text = L"とても長いメモの文字列です";
    for (const std::wstring& text :
         {std::wstring(L"first"), std::wstring(L"=SUM(A1)"), std::wstring(L"0123"), std::wstring(L"2021/05/31"),
          std::wstring(L"a\r\nb"), long_text, std::wstring(L"- 手順1")})
        ASSERT_TRUE(copier.Copy(text));
    ASSERT_TRUE(Wait_Until([&] { return Cell("A7") == L"- 手順1"; }, 30000)) << Readable(Active_Cell());
    EXPECT_EQ(Cell("A1"), L"first");
    EXPECT_EQ(Cell("A2"), L"=SUM(A1)");  // as text, not a formula
    EXPECT_EQ(Cell_Type("A2"), L"string");
    EXPECT_EQ(Cell_Type("A3"), L"number");  // typed, as Excel reads it
    EXPECT_EQ(Cell_Type("A4"), L"date");
    EXPECT_EQ(Cell("A5"), L"ab");  // the line break removed
    EXPECT_EQ(Cell("A6"), long_text);
    EXPECT_EQ(Cell_Type("A7"), L"string");
    EXPECT_TRUE(Wait_Until([&] { return Active_Cell() == L"A8"; }, Paste_Timeout_Ms)) << Readable(Active_Cell());
    EXPECT_GE(Sheet()["columnWidths"]["A"].Number(), 26.0);
    // The texts that waited went in one write of a block of cells.
    EXPECT_NE(Log().find("\"member\":\"Resize\""), std::string::npos);
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 0));

    // A text alone costs few calls: the check of the workbook and of its sheet, the cell, its value,
    // its column's width and the move, and for taking it back its value before and after (one look at
    // the workbook a second may fall between).
    const auto calls = [&] {
        const std::string log = Log();
        return std::count(log.begin(), log.end(), '\n');
    };
    const auto before = calls();
    ASSERT_TRUE(copier.Copy(L"alone"));
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"A9"; }, Paste_Timeout_Ms)) << Readable(Active_Cell());
    EXPECT_LE(calls() - before, 10);
    // With nothing copied, Excel is asked at most once a second (an upper bound: a slow machine asks less).
    const auto idle_before = calls();
    Sleep(3000);  // the span measured, not a wait for the program
    EXPECT_LE(calls() - idle_before, 4);
}

TEST_F(Capture_Run_Test, CopiesWaitingWhenPastingIsSwitchedOffAreNotPastedLaterAndAQuitExcelIsLetGo) {
    Start();
    ASSERT_TRUE(Send(standin::Busy, L"5000"));
    {
        Read_Waiting_Copier copier;
        ASSERT_TRUE(copier.Copy(L"w1"));
        ASSERT_TRUE(copier.Copy(L"w2"));
    }
    ASSERT_TRUE(Click(app->Control(ids::Opt_Joken + 0)));  // "しない"
    ASSERT_TRUE(Wait_Until([&] { return !Is_Enabled(app->Control(ids::Opt_Joken + 2)); }, Paste_Timeout_Ms));
    ASSERT_TRUE(Click(app->Control(ids::Opt_Joken + 1)));  // "する"
    ASSERT_TRUE(Wait_Until([&] { return Is_Enabled(app->Control(ids::Opt_Joken + 2)); }, Paste_Timeout_Ms));
    ASSERT_TRUE(Copy(L"after"));
    ASSERT_TRUE(Wait_Until([&] { return Cell("A1") == L"after"; }, 30000)) << Readable(Cell("A1"));
    EXPECT_EQ(Cell("B1"), L"");
    // Not pasted, but kept.
    const std::vector<std::wstring> history =
        History_Once([](const auto& h) { return h.size() >= 3 && h.front() == L"after"; });
    ASSERT_GE(history.size(), 3u);
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
    {
        Read_Waiting_Copier copier;
        ASSERT_TRUE(copier.Copy(L"first"));
        ASSERT_TRUE(copier.Copy(L"second"));
    }
    {
        // Another program holds the clipboard open while the first copy's turn comes.
        Clipboard_Holder holder;
        ASSERT_TRUE(holder.Open());
        Sleep(3500);  // how long the other program holds it: part of the scenario
    }
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 0));
    EXPECT_TRUE(Wait_Until([&] { return Cell("B1") == L"second"; }, 30000)) << Readable(Cell("B1"));
    EXPECT_EQ(Cell("A1"), L"first");
}

TEST_F(Capture_Run_Test, EndingWhileExcelIsBusyKeepsTheCopiesAtOnceAndClosesExcelWhenItAnswers) {
    Start();
    ASSERT_TRUE(Copy(L"pasted"));
    ASSERT_TRUE(Wait_Cell("A1", L"pasted"));
    ASSERT_TRUE(Send(standin::Busy, L"6000"));
    Read_Waiting_Copier copier;  // read by the program before the end is clicked, however slow the machine
    ASSERT_TRUE(copier.Copy(L"waiting"));
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
    EXPECT_TRUE(Wait_Until(
        [&] { return Text_Of(app->Control(ids::Lbl_Error_Check)) == L"前回の貼付のExcelが応答するのを待っています。"; },
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
    const std::vector<std::wstring> history =
        History_Once([](const auto& h) { return h.size() >= 3 && h.front() == L"x"; });
    ASSERT_GE(history.size(), 3u);
    EXPECT_EQ(history[0], L"x");
    EXPECT_EQ(history[1], L"next");
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 0));
    // Busy for longer than the program waits for Excel's copy: the copy is counted as not pasted.
    ASSERT_TRUE(Send(standin::Busy, L"6000"));
    ASSERT_TRUE(Send(standin::Copy_Cells, L"A1"));
    Expect_Notice(L"コピーが続いたため、1件のコピーを貼り付けませんでした。");
    EXPECT_EQ(Cell("H1"), L"");
    // One row per line: Excel pastes its own copy's text.
    ASSERT_TRUE(Click(app->Control(ids::Opt_Joken + 6)));
    ASSERT_TRUE(Send(standin::Copy_Cells, L"A1:B1"));
    ASSERT_TRUE(Wait_Cell("I1", L"x"));
    EXPECT_EQ(Cell("H1"), L"セルの値");
}

TEST_F(Capture_Run_Test, APictureThatTheNextCopyRacedIsPastedAgainBeforeAnyMessage) {
    Options(1, 1, 0, 0);  // "下へ", "図 (PNG)"
    Start();
    // Another program copies a text just as Excel reads the picture: Excel's paste fails with 1004.
    ASSERT_TRUE(Send(standin::Copy_Before_Paste, L"raced"));
    ASSERT_TRUE(Copy_Picture(64, 48));
    ASSERT_TRUE(Wait_Cell("A2", L"raced"));
    const std::vector<Json_Value> shapes = Sheet()["shapes"].Items();
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_EQ(shapes[0]["topLeftCell"].Text(), L"A1");
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 500)) << "no failure message";
    // The failed paste is in Excel's record, followed by the one that worked.
    const std::string log = Log();
    const std::size_t failed = log.find("\"member\":\"PasteSpecial\"");
    ASSERT_NE(failed, std::string::npos);
    EXPECT_NE(log.find("\"member\":\"PasteSpecial\"", failed + 1), std::string::npos);
}
