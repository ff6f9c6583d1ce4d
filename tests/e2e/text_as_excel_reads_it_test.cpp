// Texts that a strict Excel reads otherwise than they were copied (formulas, line breaks of every
// kind, characters outside the code page, lines wider than a column may be), and the start and end
// of a run around a workbook file.
#include "paste_run_fixture.h"

TEST_F(Paste_Run_Test, OneCellTextsLandAsCopied) {
    Checks(1, 0, 0);  // widening on; "右へ", "削除→１個のセルに貼付"
    Start();
    // Texts Excel would take for a formula: a result, a refusal (1004) or #NAME?.
    const std::vector<std::pair<std::string, std::wstring>> texts = {
        {"A1", L"=1+1"}, {"B1", L"=== 見出し ==="}, {"C1", L"- 手順1"}, {"D1", L"@担当"}, {"E1", L"'引用"}};
    for (const auto& [cell, text] : texts) {
        ASSERT_TRUE(Copy(text));
        ASSERT_TRUE(Wait_Cell(cell, text)) << Cell(cell);
        EXPECT_EQ(Cell_Type(cell), L"string");
    }
    // A signed number stays a number.
    ASSERT_TRUE(Copy(L"-5"));
    ASSERT_TRUE(Wait_Until([&] { return Cell_Type("F1") == L"number"; }, Paste_Timeout_Ms));
    EXPECT_EQ(Cell("F1"), L"-5");
    // Every kind of line break is removed.
    ASSERT_TRUE(Copy(L"a\nb\rc\r\nd"));
    ASSERT_TRUE(Wait_Cell("G1", L"abcd"));
    // A line wider than Excel allows a column: as wide as it may be.
    ASSERT_TRUE(Copy(std::wstring(300, L'x')));
    ASSERT_TRUE(Wait_Cell("H1", std::wstring(300, L'x')));
    EXPECT_TRUE(Wait_Until([&] { return Sheet()["columnWidths"]["H"].Number() == 255; }, Paste_Timeout_Ms));
    EXPECT_FALSE(Wait_For_Message_Box(app->Process().Pid(), 0));
}

TEST_F(Paste_Run_Test, ManyCellsSplitAtEveryLineBreakAndKeepEveryCharacter) {
    Options(1, 0, 2, 0);  // "下へ", "改行を基準に縦の複数セルに貼付"
    Checks(0, 0, 1);      // dates as text
    Start();
    ASSERT_TRUE(Copy(L"メモ\n詳細\r\n2024/01/05"));
    // The date is on the third row, and the date box rewrites that row, not the second.
    ASSERT_TRUE(
        Wait_Until([&] { return Cell("A3") == L"2024/01/05" && Cell_Type("A3") == L"string"; }, Paste_Timeout_Ms))
        << Cell("A3");
    EXPECT_EQ(Cell("A1"), L"メモ");
    EXPECT_EQ(Cell("A2"), L"詳細");
    // The next copy lands below the block; characters outside the code page arrive as copied.
    ASSERT_TRUE(Copy(L"𠮷野家 🍣 é"));
    ASSERT_TRUE(Wait_Cell("A4", L"𠮷野家 🍣 é")) << Cell("A4");
    EXPECT_NE(Log().find("Unicode"), std::string::npos);
}

TEST_F(Paste_Run_Test, AWorkbookGoneBeforeTheStartIsMissingNotLocked) {
    const std::wstring book = folder / L"gone.xlsx";
    ASSERT_TRUE(Write_Bytes(book, Empty_Xlsx_Bytes));
    app = std::make_unique<CellDrop_App>(folder);
    ASSERT_TRUE(app->Started());
    ASSERT_TRUE(Type_Text(app->Control(ids::Txt_File_0), book));
    ASSERT_TRUE(app->Wait_Ready());
    // Deleted within the second before the check sees it.
    ASSERT_TRUE(DeleteFileW(book.c_str()));
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Update2_Start)));
    Expect_Message(L"貼付先Excelファイルがありません。");
    EXPECT_TRUE(Back_On_Setup_Screen());
    EXPECT_EQ(FindWindowW(standin::Window_Class, nullptr), nullptr);
}

TEST_F(Paste_Run_Test, TheEndBringsExcelForwardEvenForABookNamedLikeTheProgram) {
    // "Excel - Excel": the program's own caption holds the name too, and comes first.
    const std::wstring book = folder / L"Excel.xlsx";
    ASSERT_TRUE(Write_Bytes(book, Empty_Xlsx_Bytes));
    SetEnvironmentVariableW(standin::Hide_Extensions_Variable, L"1");
    Start(book);
    ASSERT_TRUE(Copy(L"in"));
    ASSERT_TRUE(Wait_Cell("A1", L"in"));
    const double activations = State()["window"]["activations"].Number();
    ASSERT_TRUE(Click(app->Control(ids::Cmd_Control + 4)));  // "貼付終了"
    EXPECT_TRUE(Wait_Until([&] { return !State()["running"].Bool(); }, Paste_Timeout_Ms));
    EXPECT_GT(State()["window"]["activations"].Number(), activations);
}
