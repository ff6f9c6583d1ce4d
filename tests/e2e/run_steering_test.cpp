// Steering a paste run from Excel: the hot keys, taking back a paste, the wait for a busy Excel and
// the time written before a picture.
#include "paste_run_fixture.h"

namespace {

constexpr int Opt_Off = ids::Opt_Joken + 0, Opt_On = ids::Opt_Joken + 1;
constexpr int Cmd_Take_Back = ids::Cmd_Control + 14;
constexpr int Hot_Key_Line = ids::Label1 + 20;
constexpr UINT Ctrl_Alt = MOD_CONTROL | MOD_ALT;

// Whether this test process could hold Ctrl+Alt with the key itself: false while another program does.
bool Key_Free(UINT key) {
    if (!RegisterHotKey(nullptr, 0x7000, Ctrl_Alt, key)) return false;
    UnregisterHotKey(nullptr, 0x7000);
    return true;
}

}  // namespace

class Run_Steering_Test : public Paste_Run_Test {
protected:
    bool Checked(int id) const { return SendMessageW(app->Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Wait_Checked(int id) const {
        return Wait_Until([&] { return Checked(id); }, Paste_Timeout_Ms);
    }
    std::wstring Tip_Of(int id) {
        for (const Tool_Tip& tip : Tool_Tips(app->Process().Pid()))
            if (tip.Control == app->Control(id)) return tip.Text;
        return L"";
    }
};

TEST_F(Run_Steering_Test, HotKeysAreHeldOnlyDuringARunAndWorkFromTheKeyboard) {
    // Another program holds Ctrl+Alt+P before the run: the line names it, and the button still works.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, Ctrl_Alt, 'P'));
    ASSERT_TRUE(Key_Free('Z'));
    Start();
    EXPECT_EQ(Text_Of(app->Control(Hot_Key_Line)), L"Ctrl+Alt+Pは他のプログラムが使っています");
    EXPECT_FALSE(Key_Free('Z'));
    EXPECT_NE(Tip_Of(Opt_On).find(L"Ctrl+Alt+P"), std::wstring::npos);
    EXPECT_NE(Tip_Of(Cmd_Take_Back).find(L"Ctrl+Alt+Z"), std::wstring::npos);
    EXPECT_NE(Tip_Of(ids::Che_Control + 4).find(L"日時"), std::wstring::npos);
    EXPECT_EQ(Text_Of(app->Control(Cmd_Take_Back)), L"直前の貼付を取り消す");
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Control + 4)));
    ASSERT_TRUE(Back_On_Setup_Screen());
    // Let go with the run.
    EXPECT_TRUE(Key_Free('Z'));
    UnregisterHotKey(nullptr, 1);

    // The next run holds both; Ctrl+Alt+P pressed on the keyboard switches pasting off and on, as a
    // click on the option does.
    ASSERT_TRUE(Wait_Until([] { return FindWindowW(standin::Window_Class, nullptr) == nullptr; }, Paste_Timeout_Ms));
    ASSERT_TRUE(app->Wait_Ready());
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Update2_Start)));
    Expect_Message(Start_Message);
    ASSERT_TRUE(Wait_Until([&] { return !State()["activeWorkbook"].Is_Null(); }, Paste_Timeout_Ms));
    EXPECT_EQ(Text_Of(app->Control(Hot_Key_Line)), L"");
    EXPECT_FALSE(Key_Free('P'));
    ASSERT_TRUE(Wait_Checked(Opt_On));
    ASSERT_TRUE(Press_Keys({VK_CONTROL, VK_MENU, 'P'}));
    ASSERT_TRUE(Wait_Checked(Opt_Off));
    ASSERT_TRUE(Copy(L"not pasted"));
    ASSERT_TRUE(Press_Keys({VK_CONTROL, VK_MENU, 'P'}));
    // On again with the option's clipboard rule: what was copied meanwhile is emptied away.
    ASSERT_TRUE(Wait_Checked(Opt_On));
    ASSERT_TRUE(Wait_Until([] { return CountClipboardFormats() == 0; }, Paste_Timeout_Ms));
    ASSERT_TRUE(Copy(L"pasted"));
    ASSERT_TRUE(Wait_Cell("A1", L"pasted")) << Read_Bytes(state_file);
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Control + 4)));
    ASSERT_TRUE(Back_On_Setup_Screen());
    EXPECT_TRUE(Key_Free('P'));
    EXPECT_TRUE(Key_Free('Z'));
}

TEST_F(Run_Steering_Test, TheTimeBeforeEachPictureAndItsBoxKeptAcrossARestart) {
    constexpr int Che_Caption = ids::Che_Control + 4;
    Options(0, 5, 0, 0);  // "右へ", "ビットマップ"
    Checks(1, 0, 1);      // a file of a version without the box: three lines
    Start();
    EXPECT_FALSE(Checked(Che_Caption));
    ASSERT_TRUE(Click(app->Control(Che_Caption)));
    ASSERT_TRUE(Wait_Checked(Che_Caption));
    // Kept at once, after the three lines an older version reads (then the step boxes off, number 1).
    ASSERT_TRUE(Wait_Until(
        [&] {
            return Read_Bytes(folder / L"Para2_2.txt") == Number_Lines({1, 0, 1, 1, 0, 0, 1});
        },
        Paste_Timeout_Ms));

    const auto now = [] {
        SYSTEMTIME t{};
        GetLocalTime(&t);
        wchar_t s[32];
        swprintf(s, 32, L"%04u/%02u/%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
        return std::wstring(s);
    };
    const std::wstring before = now();
    ASSERT_TRUE(Copy_Picture(40, 20));
    ASSERT_TRUE(Wait_Until([&] { return Sheet()["shapes"].Items().size() == 1; }, Paste_Timeout_Ms));
    const std::wstring after = now();
    // The time as text in A1, and the picture beside it.
    const std::wstring caption = Cell("A1");
    ASSERT_GE(caption.size(), 19u);
    EXPECT_GE(caption.substr(0, 19), before);
    EXPECT_LE(caption.substr(0, 19), after);
    EXPECT_EQ(Cell_Type("A1"), L"string");
    EXPECT_EQ(Sheet()["shapes"].Items()[0]["topLeftCell"].Text(), L"B1");
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"C1"; }, Paste_Timeout_Ms));
    // A text gets no time.
    ASSERT_TRUE(Copy(L"plain"));
    ASSERT_TRUE(Wait_Cell("C1", L"plain"));
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Control + 4)));
    ASSERT_TRUE(Back_On_Setup_Screen());

    // After a restart the box is ticked again.
    ASSERT_TRUE(Wait_Until([] { return FindWindowW(standin::Window_Class, nullptr) == nullptr; }, Paste_Timeout_Ms));
    ASSERT_TRUE(Close_Window(app->Main()));
    ASSERT_TRUE(app->Process().Wait_For_Exit(Paste_Timeout_Ms));
    Start();
    EXPECT_TRUE(Wait_Checked(Che_Caption));
    EXPECT_TRUE(Checked(ids::Che_Control + 0));
    EXPECT_FALSE(Checked(ids::Che_Control + 1));
}

TEST_F(Run_Steering_Test, ALineSaysHowManyCopiesWaitWhileExcelIsBusy) {
    Start();
    const HWND waiting = app->Control(ids::Label1 + 21);
    EXPECT_EQ(Text_Of(waiting), L"");
    const std::wstring text = L"Excelの応答を待っています（セルの編集中など）。待っているコピー: ";
    ASSERT_TRUE(Send(standin::Busy, L"8000"));
    ASSERT_TRUE(Copy(L"first"));
    ASSERT_TRUE(Wait_Until([&] { return Text_Of(waiting) == text + L"1件"; }, Paste_Timeout_Ms));
    ASSERT_TRUE(Copy(L"second"));
    ASSERT_TRUE(Wait_Until([&] { return Text_Of(waiting) == text + L"2件"; }, Paste_Timeout_Ms));
    EXPECT_EQ(Cell("A1"), L"");
    // No message box meanwhile; once Excel answers the line goes and both are pasted in order.
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 0));
    ASSERT_TRUE(Wait_Cell("B1", L"second"));
    EXPECT_EQ(Cell("A1"), L"first");
    EXPECT_TRUE(Wait_Until([&] { return Text_Of(waiting).empty(); }, Paste_Timeout_Ms));
    // They waited together and went into the row in one write, but each is taken back on its own.
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"C1"; }, Paste_Timeout_Ms));
    EXPECT_NE(Log().find("\"member\":\"Resize\""), std::string::npos);
    ASSERT_TRUE(Click(app->Control(Cmd_Take_Back)));
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"B1"; }, Paste_Timeout_Ms));
    EXPECT_EQ(Cell("A1"), L"first");
    EXPECT_EQ(Cell("B1"), L"");
}

TEST_F(Run_Steering_Test, TakingBackRestoresABlockAndACellInTurnAndTheColumnWidth) {
    Options(1, 0, 2, 0);  // "下へ", one line per cell
    Checks(1, 0, 0);      // columns widened
    Start();
    ASSERT_TRUE(Send(standin::Type_Cell, L"A1=old"));
    ASSERT_TRUE(Send(standin::Type_Cell, L"A2=5"));
    ASSERT_TRUE(Copy(L"x\r\na line long enough to widen\r\nz"));
    ASSERT_TRUE(Wait_Cell("A3", L"z"));
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"A4"; }, Paste_Timeout_Ms));
    EXPECT_GT(Sheet()["columnWidths"]["A"].Number(), 20);
    ASSERT_TRUE(Copy(L"single"));
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"A5"; }, Paste_Timeout_Ms));
    // The list shows the texts once copies pause.
    std::vector<std::wstring> history;
    ASSERT_TRUE(Wait_Until(
        [&] {
            history = List_Items(app->Control(ids::Lst_Select + 2));
            return history == std::vector<std::wstring>{L"single", L"x"};
        },
        Paste_Timeout_Ms));

    // The button takes back the newest paste, Ctrl+Alt+Z the one before it.
    ASSERT_TRUE(Click(app->Control(Cmd_Take_Back)));
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"A4"; }, Paste_Timeout_Ms));
    EXPECT_EQ(Cell("A4"), L"");
    EXPECT_EQ(Cell("A3"), L"z");
    ASSERT_TRUE(Press_Keys({VK_CONTROL, VK_MENU, 'Z'}));
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"A1"; }, Paste_Timeout_Ms));
    EXPECT_EQ(Cell("A1"), L"old");
    EXPECT_EQ(Cell("A2"), L"5");
    EXPECT_EQ(Cell_Type("A2"), L"number");
    EXPECT_EQ(Cell("A3"), L"");
    EXPECT_TRUE(Sheet()["columnWidths"]["A"].Is_Null());
    // Nothing more to take back: the button is greyed; the history is as it was.
    EXPECT_TRUE(Wait_Until([&] { return !Is_Enabled(app->Control(Cmd_Take_Back)); }, Paste_Timeout_Ms));
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 0));
    EXPECT_EQ(List_Items(app->Control(ids::Lst_Select + 2)), history);
    // The same text copied again is pasted again.
    ASSERT_TRUE(Copy(L"single"));
    ASSERT_TRUE(Wait_Cell("A1", L"single"));
}

TEST_F(Run_Steering_Test, APictureWithItsTimeIsTakenBackButNotATextTheUserChanged) {
    Options(0, 5, 0, 0);  // "右へ", "ビットマップ"
    Start();
    ASSERT_TRUE(Click(app->Control(ids::Che_Control + 4)));
    ASSERT_TRUE(Wait_Checked(ids::Che_Control + 4));
    ASSERT_TRUE(Copy(L"t1"));
    ASSERT_TRUE(Wait_Cell("A1", L"t1"));
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"B1"; }, Paste_Timeout_Ms));
    ASSERT_TRUE(Copy_Picture(40, 20));
    ASSERT_TRUE(
        Wait_Until([&] { return Sheet()["shapes"].Items().size() == 1 && Active_Cell() == L"D1"; }, Paste_Timeout_Ms));
    EXPECT_NE(Cell("B1"), L"");
    // The picture beside the time: its column fits the time, which would otherwise run under it.
    EXPECT_GE(Sheet()["columnWidths"]["B"].Number(), 19.0);

    // The picture and the time before it go together, with the column's width.
    ASSERT_TRUE(Click(app->Control(Cmd_Take_Back)));
    ASSERT_TRUE(
        Wait_Until([&] { return Sheet()["shapes"].Items().empty() && Active_Cell() == L"B1"; }, Paste_Timeout_Ms));
    EXPECT_EQ(Cell("B1"), L"");
    EXPECT_TRUE(Sheet()["columnWidths"]["B"].Is_Null());
    // A text the user has typed over since is left as it is, unless the user says otherwise.
    ASSERT_TRUE(Send(standin::Type_Cell, L"A1=mine"));
    ASSERT_TRUE(Click(app->Control(Cmd_Take_Back)));
    const auto box = Wait_For_Message_Box(app->Process().Pid(), Paste_Timeout_Ms);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Text.substr(0, 27), L"貼付のあとで変更されたため、取り消しませんでした。\r\n");
    ASSERT_TRUE(Answer_Message_Box(*box, IDNO));
    EXPECT_EQ(Cell("A1"), L"mine");
    EXPECT_EQ(Active_Cell(), L"B1");
    EXPECT_TRUE(Is_Enabled(app->Control(Cmd_Take_Back)));
}
