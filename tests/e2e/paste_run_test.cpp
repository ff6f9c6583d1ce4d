// Paste runs of CellDrop.exe into the stand-in Excel, each checked on the stand-in's state.
#include "paste_run_fixture.h"

#include <cmath>

#include "screenshot.h"

namespace {

// The chooser beside "PC" as the screen shows it, with the program's window brought in front of the
// stand-in's so that nothing covers it.
std::optional<Screen_Picture> Chooser_On_Screen(HWND main, HWND chooser) {
    SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RECT rect{};
    GetWindowRect(chooser, &rect);
    if (GetAncestor(WindowFromPoint({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}), GA_ROOT) != main)
        return std::nullopt;
    return Picture_On_Screen(chooser);
}

double Shade(std::uint32_t pixel) {
    return 0.299 * ((pixel >> 16) & 0xFF) + 0.587 * ((pixel >> 8) & 0xFF) + 0.114 * (pixel & 0xFF);
}

// How the shades of the disabled button's picture follow those of the enabled one, over the pixels
// inside the frame where the enabled picture is not the button's face: near 1 when the one is the
// other greyed, 0 when the disabled one is flat. *lighter tells whether the disabled one is lighter.
double Greying(const Screen_Picture& enabled, const Screen_Picture& disabled, bool* lighter) {
    double n = 0, e = 0, d = 0, ee = 0, dd = 0, ed = 0;
    for (int y = 3; y < enabled.Height - 3 && disabled.Height == enabled.Height; ++y) {
        for (int x = 3; x < enabled.Width - 3 && disabled.Width == enabled.Width; ++x) {
            if (enabled.At(x, y) == enabled.At(3, 3)) continue;
            const double a = Shade(enabled.At(x, y)), b = Shade(disabled.At(x, y));
            n += 1, e += a, d += b, ee += a * a, dd += b * b, ed += a * b;
        }
    }
    *lighter = d > e;
    if (n == 0) return 0;
    const double var_e = ee / n - (e / n) * (e / n), var_d = dd / n - (d / n) * (d / n);
    return var_e < 1 || var_d < 1 ? 0 : (ed / n - (e / n) * (d / n)) / std::sqrt(var_e * var_d);
}

}  // namespace

TEST_F(Paste_Run_Test, NewWorkbookDeleteModeMovesRightAndTakesEachTextOnce) {
    Start();  // no option file: "右へ", "削除→１個のセルに貼付"
    EXPECT_EQ(State()["activeWorkbook"].Text(), L"Book1");
    // The paste screen's controls, made as it was first shown, each with its fixed ID.
    EXPECT_EQ(Text_Of(app->Control(ids::Opt_Joken + 19)), L"セルの高さに合わせる");
    EXPECT_NE(app->Control(ids::Img_Pic + 29), nullptr);
    // The run holds the chooser beside "PC" disabled.
    const HWND chooser = app->Control(ids::Cmd_Control + 0);
    EXPECT_FALSE(Is_Enabled(chooser));
    ASSERT_TRUE(Copy(L"a\r\nb"));
    ASSERT_TRUE(Wait_Cell("A1", L"ab"));
    EXPECT_TRUE(Wait_Until([&] { return Active_Cell() == L"B1"; }, Paste_Timeout_Ms));
    // Looked at once a paste is over: the window has run its waiting messages, its greyed picture's
    // timer and repaint included (on a busy machine they may come well after the start).
    EXPECT_FALSE(Is_Enabled(chooser));
    const std::optional<Screen_Picture> disabled = Chooser_On_Screen(app->Main(), chooser);
    EXPECT_TRUE(disabled);
    // The same text again is no new copy: the next text lands in B1.
    ASSERT_TRUE(Copy(L"a\r\nb"));
    ASSERT_TRUE(Copy(L"c"));
    ASSERT_TRUE(Wait_Cell("B1", L"c"));
    EXPECT_EQ(Cell("C1"), L"");

    // "貼付終了": the workbook is closed and Excel quits; the set-up screen is back.
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Control + 4)));
    EXPECT_TRUE(Back_On_Setup_Screen());
    EXPECT_TRUE(Wait_Until([] { return FindWindowW(standin::Window_Class, nullptr) == nullptr; }, Paste_Timeout_Ms));
    const std::string log = Log();
    const std::size_t close = log.find("\"member\":\"Close\"");
    EXPECT_NE(close, std::string::npos);
    EXPECT_NE(log.find("\"member\":\"Quit\"", close), std::string::npos);

    // While it was disabled, the chooser showed its picture greyed, as Windows draws a disabled
    // button's picture: the same picture in lighter shades of grey, not a flat grey square.
    EXPECT_TRUE(Is_Enabled(chooser));
    const std::optional<Screen_Picture> enabled = Chooser_On_Screen(app->Main(), chooser);
    ASSERT_TRUE(enabled && disabled);
    bool lighter = false;
    EXPECT_GT(Greying(*enabled, *disabled, &lighter), 0.9);
    EXPECT_TRUE(lighter);
}

TEST_F(Paste_Run_Test, KeepLineBreaksInTheCellAndMoveDown) {
    Options(1, 0, 1, 0);
    Start();
    ASSERT_TRUE(Copy(L"a\r\nb"));
    ASSERT_TRUE(Wait_Cell("A1", L"a\nb"));
    EXPECT_TRUE(Wait_Until([&] { return Active_Cell() == L"A2"; }, Paste_Timeout_Ms));
}

TEST_F(Paste_Run_Test, OneLinePerCellFromTheActiveCell) {
    Options(0, 0, 2, 0);
    Start();
    ASSERT_TRUE(Copy(L"x\r\ny\r\n"));
    ASSERT_TRUE(Wait_Cell("A2", L"y"));
    EXPECT_EQ(Cell("A1"), L"x");
    EXPECT_EQ(Cell("A3"), L"");
    EXPECT_TRUE(Wait_Until([&] { return Active_Cell() == L"B1"; }, Paste_Timeout_Ms));
}

TEST_F(Paste_Run_Test, EachBoxSwitchesItsOwnEditOneAtATime) {
    // Positions out of range choose each group's first option: "右へ" and "削除→１個のセルに貼付".
    ASSERT_TRUE(Write_Bytes(folder / L"Para2_1.txt", "-5\r\n 0\r\n 12345678901234567890\r\n 0\r\n"));
    Checks(1, 2, 0);  // widening on; the number box greyed, which counts as off
    Start();
    const auto box_is = [&](int slot, LRESULT state) {
        return Wait_Until(
            [&] { return SendMessageW(app->Control(ids::Che_Control + slot), BM_GETCHECK, 0, 0) == state; },
            Paste_Timeout_Ms);
    };
    EXPECT_TRUE(box_is(1, BST_INDETERMINATE));

    // Into a fresh column: a double-byte character counts 2.
    ASSERT_TRUE(Copy(L"漢字漢字漢字abc"));
    ASSERT_TRUE(Wait_Cell("A1", L"漢字漢字漢字abc"));
    EXPECT_EQ(Sheet()["columnWidths"]["A"].Number(), 15);
    ASSERT_TRUE(Copy(L"0123"));
    // The cell moves only when all edits are done: then the value is final.
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"C1"; }, Paste_Timeout_Ms));
    EXPECT_EQ(Cell("B1"), L"123");

    // Choosing an option writes both files back; the greyed box stays 2 until it is clicked.
    ASSERT_TRUE(Click(app->Control(ids::Opt_Joken + 17)));
    EXPECT_TRUE(Wait_Until(
        [&] {
            return Read_Bytes(folder / L"Para2_1.txt") == " 0\r\n 0\r\n 0\r\n 1\r\n" &&
                   Read_Bytes(folder / L"Para2_2.txt") == " 1\r\n 2\r\n 0\r\n 0\r\n 0\r\n 0\r\n 1\r\n";
        },
        Paste_Timeout_Ms));
    ASSERT_TRUE(Click(app->Control(ids::Che_Control + 0)));
    ASSERT_TRUE(box_is(0, BST_UNCHECKED));
    ASSERT_TRUE(Click(app->Control(ids::Che_Control + 1)));
    ASSERT_TRUE(box_is(1, BST_CHECKED));
    ASSERT_TRUE(Copy(L"0456"));
    ASSERT_TRUE(Wait_Cell("C1", L"0456"));
    EXPECT_EQ(Cell_Type("C1"), L"string");

    ASSERT_TRUE(Click(app->Control(ids::Che_Control + 1)));
    ASSERT_TRUE(box_is(1, BST_UNCHECKED));
    ASSERT_TRUE(Click(app->Control(ids::Che_Control + 2)));
    ASSERT_TRUE(box_is(2, BST_CHECKED));
    // A time of day alone is a date to the date box.
    ASSERT_TRUE(Copy(L"12:30"));
    ASSERT_TRUE(Wait_Cell("D1", L"12:30"));
    EXPECT_EQ(Cell_Type("D1"), L"string");
    ASSERT_TRUE(Copy(L"2021/05/31 12:30"));
    ASSERT_TRUE(Wait_Cell("E1", L"2021/05/31 12:30"));
    EXPECT_EQ(Cell_Type("E1"), L"string");
    ASSERT_TRUE(Copy(L"0789"));
    ASSERT_TRUE(Wait_Until([&] { return Active_Cell() == L"G1"; }, Paste_Timeout_Ms));
    EXPECT_EQ(Cell("F1"), L"789");
    EXPECT_EQ(Sheet()["columnWidths"]["E"].Number(), 0);  // widening is off
}

TEST_F(Paste_Run_Test, ManyCellsDownwardsRewriteNumbersAndDatesAndTheNextCopyGoesBelow) {
    Options(1, 0, 2, 0);  // "下へ", "改行を基準に縦の複数セルに貼付"
    Checks(0, 1, 0);
    Start();
    // Two trailing line breaks: the last line is empty.
    ASSERT_TRUE(Copy(L"x\r\n0123\r\n2021/05/31 12:30\r\n\r\n"));
    // The rewrite goes down the column: the date, last, loses its time of day.
    ASSERT_TRUE(Wait_Cell("A3", L"2021-05-31T00:00:00"));
    EXPECT_EQ(Cell("A1"), L"x");
    EXPECT_EQ(Cell("A2"), L"0123");
    EXPECT_EQ(Cell_Type("A2"), L"string");
    ASSERT_TRUE(Copy(L"next"));
    ASSERT_TRUE(Wait_Cell("A5", L"next"));
    EXPECT_EQ(Cell("A4"), L"");
    EXPECT_EQ(Cell("A2"), L"0123");
}

TEST_F(Paste_Run_Test, NumbersAndDatesAsExcelMakesThem) {
    Options(1, 0, 0, 0);
    Start();
    ASSERT_TRUE(Copy(L"0123"));
    ASSERT_TRUE(Wait_Cell("A1", L"123"));
    EXPECT_EQ(Cell_Type("A1"), L"number");
    ASSERT_TRUE(Copy(L"2021/05/31 12:30"));
    // The text goes in first (Excel reads it as a date and time), then the date value over it.
    EXPECT_TRUE(Wait_Until([&] { return Cell_Type("A2") == L"date" && Cell("A2") == L"2021-05-31T00:00:00"; },
                           Paste_Timeout_Ms))
        << Cell("A2");
}

TEST_F(Paste_Run_Test, ACopyMadeWhilePastingIsOffIsNeverPasted) {
    Start();
    ASSERT_TRUE(Click(app->Control(ids::Opt_Joken + 0)));  // "しない"
    ASSERT_TRUE(Wait_Until([&] { return !Is_Enabled(app->Control(ids::Opt_Joken + 2)); }, Paste_Timeout_Ms));
    ASSERT_TRUE(Copy(L"secret"));
    ASSERT_TRUE(Click(app->Control(ids::Opt_Joken + 1)));  // "する"
    ASSERT_TRUE(Wait_Until([&] { return Is_Enabled(app->Control(ids::Opt_Joken + 2)); }, Paste_Timeout_Ms));
    ASSERT_TRUE(Copy(L"after"));
    ASSERT_TRUE(Wait_Cell("A1", L"after"));
}

TEST_F(Paste_Run_Test, FailedMultiCellPasteIsSaidOnTheNoticeLineAndKeepsTheCell) {
    Options(0, 0, 2, 0);
    Start();
    ASSERT_TRUE(Send(standin::Fail_Member, L"Worksheet.PasteSpecial:1"));
    ASSERT_TRUE(Send(standin::Fail_Member, L"Range.PasteSpecial:1"));
    ASSERT_TRUE(Copy(L"x\r\ny"));
    Expect_Notice(L"テキストの貼付に失敗しました（1件）");
    EXPECT_EQ(Active_Cell(), L"A1");
    ASSERT_TRUE(Copy(L"next"));  // the loop goes on
    ASSERT_TRUE(Wait_Cell("A1", L"next"));
}

TEST_F(Paste_Run_Test, TheTargetSheetIsActivatedBeforeEveryPaste) {
    Start();
    ASSERT_TRUE(Send(standin::Add_Sheet, L"Other"));
    ASSERT_TRUE(Copy(L"z"));
    ASSERT_TRUE(Wait_Cell("A1", L"z"));
    EXPECT_EQ(Cell("A1", L"Other"), L"");
}

TEST_F(Paste_Run_Test, ClosingTheWorkbookEndsTheRun) {
    Start();
    ASSERT_TRUE(Send(standin::Close_Workbook, L""));
    Expect_Message(Closed_Message);
    EXPECT_TRUE(Back_On_Setup_Screen());
}

TEST_F(Paste_Run_Test, QuittingExcelEndsTheRun) {
    Start();
    ASSERT_TRUE(Send(standin::Quit, L""));
    Expect_Message(Closed_Message);
    EXPECT_TRUE(Back_On_Setup_Screen());
}

TEST_F(Paste_Run_Test, AnExcelCrashEndsTheRun) {
    Start();
    DWORD pid = 0;
    GetWindowThreadProcessId(FindWindowW(standin::Window_Class, nullptr), &pid);
    HANDLE excel = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    ASSERT_NE(excel, nullptr);
    TerminateProcess(excel, 1);
    WaitForSingleObject(excel, 10000);
    CloseHandle(excel);
    Expect_Message(Closed_Message);
    EXPECT_TRUE(Back_On_Setup_Screen());
}

TEST_F(Paste_Run_Test, ABusyExcelGetsTheCopyAfterwards) {
    Start();
    ASSERT_TRUE(Send(standin::Busy, L"3000"));
    ASSERT_TRUE(Copy(L"later"));
    ASSERT_TRUE(Wait_Cell("A1", L"later"));
}

TEST_F(Paste_Run_Test, ExistingWorkbookIsOpenedAndItsWindowComesForwardAtTheEnd) {
    const std::wstring book = folder / L"報告.xlsx";
    ASSERT_TRUE(Write_Bytes(book, Empty_Xlsx_Bytes));
    // Excel's window titled as Windows' default hides extensions: "報告 - Excel".
    SetEnvironmentVariableW(standin::Hide_Extensions_Variable, L"1");
    // The first two Excels refuse their creation (by either class name), as for a while after a
    // program was killed while starting Excel: the same press still starts the run.
    const std::wstring fail_marker = folder / L"fail_start.marker";
    ASSERT_TRUE(Write_Bytes(fail_marker, "2"));
    SetEnvironmentVariableW(standin::Fail_Start_Variable, fail_marker.c_str());
    Start(book);
    EXPECT_EQ(Read_Bytes(fail_marker), "<missing>");
    EXPECT_EQ(State()["activeWorkbook"].Text(), L"報告.xlsx");
    // Its macros run or not as the user's own setting says, not as automation's "low".
    EXPECT_EQ(State()["workbooks"][0]["openedUnderAutomationSecurity"].Number(), 2);
    ASSERT_TRUE(Copy(L"in the file"));
    ASSERT_TRUE(Wait_Cell("A1", L"in the file"));
    EXPECT_EQ(State()["window"]["title"].Text(), L"報告 - Excel");
    const double activations = State()["window"]["activations"].Number();
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Control + 4)));  // "貼付終了"
    EXPECT_TRUE(Wait_Until([&] { return !State()["running"].Bool(); }, Paste_Timeout_Ms));
    EXPECT_GT(State()["window"]["activations"].Number(), activations);
}

TEST_F(Paste_Run_Test, ALockedWorkbookStartsNoExcel) {
    const std::wstring book = folder / L"locked.xlsx";
    ASSERT_TRUE(Write_Bytes(book, "x"));
    HANDLE lock = CreateFileW(book.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    app = std::make_unique<CellDrop_App>(folder);
    ASSERT_TRUE(app->Started());
    ASSERT_TRUE(Type_Text(app->Control(ids::Txt_File_0), book));
    ASSERT_TRUE(app->Wait_Ready());
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Update2_Start)));
    Expect_Message(L"ファイル「" + book + L"」にロックがかかっています。");
    CloseHandle(lock);
    EXPECT_TRUE(Back_On_Setup_Screen());
    EXPECT_EQ(FindWindowW(standin::Window_Class, nullptr), nullptr);
    EXPECT_EQ(Read_Bytes(state_file), "<missing>");
}

TEST_F(Paste_Run_Test, ClosingTheWindowLeavesExcelAndTheWorkbookOpen) {
    Start();
    ASSERT_TRUE(Copy(L"kept"));
    ASSERT_TRUE(Wait_Cell("A1", L"kept"));
    ASSERT_TRUE(Close_Window(app->Main()));
    ASSERT_TRUE(app->Process().Wait_For_Exit(Paste_Timeout_Ms));
    // Neither closed nor quit: the user saves the workbook in Excel.
    EXPECT_EQ(State()["activeWorkbook"].Text(), L"Book1");
    EXPECT_EQ(Log().find("\"member\":\"Close\""), std::string::npos);
    EXPECT_EQ(Log().find("\"member\":\"Quit\""), std::string::npos);
}

TEST_F(Paste_Run_Test, NoExcelAtAllIsSaidAndTheSetupScreenReturns) {
    const std::wstring server = Wine_Path(EXCEL_STANDIN_EXE);
    auto run = [&](const wchar_t* option) {
        std::wstring command = L"\"" + server + L"\" " + option;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return false;
        WaitForSingleObject(pi.hProcess, 30000);
        DWORD code = 1;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return code == 0;
    };
    ASSERT_TRUE(run(L"/UnregServer"));
    app = std::make_unique<CellDrop_App>(folder);
    const bool started = app->Started() && app->Wait_Ready() && Click(app->Control(ids::Cmd_Update2_Start));
    if (started) Expect_Message(L"Excelを起動できませんでした。");
    const bool back = started && Back_On_Setup_Screen();
    ASSERT_TRUE(run(L"/RegServer"));  // before any assertion can end the test
    EXPECT_TRUE(started);
    EXPECT_TRUE(back);
    EXPECT_TRUE(Is_Enabled(app->Control(ids::Txt_File_0)));
}

TEST_F(Paste_Run_Test, ExcelBusyLongerThanTheRetriesIsNotTakenForClosed) {
    Start();
    ASSERT_TRUE(Send(standin::Busy, L"11000"));
    ASSERT_TRUE(Copy(L"after the wait"));
    ASSERT_TRUE(Wait_Until([&] { return Cell("A1") == L"after the wait"; }, 30000));
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 0));
}

TEST_F(Paste_Run_Test, ChoosingAnOptionSavesTheOptionsAtOnce) {
    Start();
    ASSERT_TRUE(Click(app->Control(ids::Opt_Joken + 3)));  // "下へ"
    EXPECT_TRUE(Wait_Until([&] { return Read_Bytes(folder / L"Para2_1.txt") == " 1\r\n 0\r\n 0\r\n 0\r\n"; },
                           Paste_Timeout_Ms));
    ASSERT_TRUE(Copy(L"down"));
    ASSERT_TRUE(Wait_Cell("A1", L"down"));
    EXPECT_TRUE(Wait_Until([&] { return Active_Cell() == L"A2"; }, Paste_Timeout_Ms));
}
