#include "text_paste.h"

#include <gtest/gtest.h>

#include "file_lock.h"
#include "temp_folder.h"
#include "test_files.h"
#include "text_rows.h"

TEST(TextPaste, WidthCountsDoubleByteCharactersTwice) {
    EXPECT_EQ(Str_Width(L""), 0);
    EXPECT_EQ(Str_Width(L"abc"), 3);
    EXPECT_EQ(Str_Width(L"漢字ab"), 6);
    EXPECT_EQ(Str_Width(L"ｱｲｳ"), 3);
}

TEST(TextPaste, NumbersAndDatesByTheLocale) {
    for (const wchar_t* number : {L"0123", L"1.5", L"-2", L"1,234"}) EXPECT_TRUE(Is_Number_Text(number)) << "number";
    for (const wchar_t* text : {L"", L"abc", L"2021/05/31"}) EXPECT_FALSE(Is_Number_Text(text));

    const std::optional<Date_Text> date = Date_Of_Text(L"2021/05/31 12:30");
    ASSERT_TRUE(date);
    EXPECT_DOUBLE_EQ(date->Day, 44347.0);  // 2021/05/31, the time of day dropped
    EXPECT_FALSE(date->Time_Only);
    EXPECT_DOUBLE_EQ(Date_Of_Text(L"2021/05/31").value_or(Date_Text{}).Day, 44347.0);
    // A time of day alone is a date without a date part to store.
    const std::optional<Date_Text> time = Date_Of_Text(L"12:30");
    ASSERT_TRUE(time);
    EXPECT_TRUE(time->Time_Only);
    // Numbers that the date parser would also take are no dates.
    EXPECT_FALSE(Date_Of_Text(L"1.5"));
    EXPECT_FALSE(Date_Of_Text(L"1,234"));
    EXPECT_FALSE(Date_Of_Text(L"abc"));
}

TEST(TextPaste, RowsAndCellsAsExcelSplitsAPastedText) {
    using Rows = std::vector<std::vector<std::wstring>>;
    // CR LF, a lone LF and a lone CR each end a row; only the very last break adds none.
    EXPECT_EQ(Split_Pasted_Text(L"メモ\n詳細\r\n2024/01/05"), (Rows{{L"メモ"}, {L"詳細"}, {L"2024/01/05"}}));
    EXPECT_EQ(Split_Pasted_Text(L"a\rb\r\n"), (Rows{{L"a"}, {L"b"}}));
    EXPECT_EQ(Split_Pasted_Text(L"a\r\n\r\n"), (Rows{{L"a"}, {L""}}));
    EXPECT_EQ(Split_Pasted_Text(L""), Rows{});
    // Tabs part the cells; a quoted cell holds breaks, tabs and "" as one quote; an unclosed quote is text.
    EXPECT_EQ(Split_Pasted_Text(L"1\t\"a\r\nb\t\"\"c\"\"\"\n2"), (Rows{{L"1", L"a\r\nb\t\"c\""}, {L"2"}}));
    EXPECT_EQ(Split_Pasted_Text(L"\"a\nb"), (Rows{{L"\"a"}, {L"b"}}));
    EXPECT_EQ(Replace_Line_Breaks(L"a\r\nb\nc\rd", L""), L"abcd");
    EXPECT_EQ(Replace_Line_Breaks(L"a\r\nb\rc", L"\n"), L"a\nb\nc");
}

TEST(TextPaste, TextsExcelWouldTakeForAFormula) {
    for (const wchar_t* formula : {L"=1+1", L"=== 見出し ===", L"- 手順1", L"+A1", L"@user", L"'quoted"})
        EXPECT_TRUE(Is_Formula_Text(formula)) << "formula";
    for (const wchar_t* plain : {L"", L"-5", L"+3", L"1-2", L"a=b", L"メモ"})
        EXPECT_FALSE(Is_Formula_Text(plain)) << "plain";
}

TEST(TextPaste, TextsWrittenTogetherGetWhatEachWouldGetAlone) {
    // Mixed waiting texts as a one-cell mode writes them, without and with the two "as text" boxes.
    const std::wstring mixed[] = {L"=SUM(A1)", L"- 手順1", L"-5", L"0123", L"2021/05/31", L"12:30", L"メモ"};
    const Typed_Value plain[] = {{L"'=SUM(A1)", {}},       {L"'- 手順1", {}}, {L"-5", {}},  {L"0123", {}},
                                 {L"2021/05/31", 44347.0}, {L"12:30", {}},    {L"メモ", {}}};
    const Typed_Value as_text[] = {{L"'=SUM(A1)", {}},   {L"'- 手順1", {}}, {L"'-5", {}}, {L"'0123", {}},
                                   {L"'2021/05/31", {}}, {L"'12:30", {}},   {L"メモ", {}}};
    for (std::size_t i = 0; i < std::size(mixed); ++i) {
        EXPECT_EQ(Typed_Value_Of(mixed[i], {}), plain[i]) << i;
        EXPECT_EQ(Typed_Value_Of(mixed[i], {.Number_As_Text = true, .Date_As_Text = true}), as_text[i]) << i;
    }
    // Only the ticked box counts: a date stays a date when only numbers are kept as text.
    EXPECT_EQ(Typed_Value_Of(L"2021/05/31", {.Number_As_Text = true}), (Typed_Value{L"2021/05/31", 44347.0}));
    EXPECT_EQ(Typed_Value_Of(L"0123", {.Date_As_Text = true}), (Typed_Value{L"0123", {}}));
    // Several lines: removed, or kept as the cell's own line feeds; a line that looks like a formula
    // only after the breaks are gone is treated as one.
    EXPECT_TRUE(Is_One_Cell_Mode(Text_Mode::Breaks_Removed) && Is_One_Cell_Mode(Text_Mode::Breaks_In_Cell) &&
                !Is_One_Cell_Mode(Text_Mode::Row_Per_Line));
    EXPECT_EQ(One_Cell_Text(L"a\r\nb\rc\n", Text_Mode::Breaks_Removed), L"abc");
    EXPECT_EQ(One_Cell_Text(L"a\r\nb\rc", Text_Mode::Breaks_In_Cell), L"a\nb\nc");
    EXPECT_EQ(Typed_Value_Of(One_Cell_Text(L"\r\n=1", Text_Mode::Breaks_Removed), {}).Text, L"'=1");
}

TEST(FileLock, HeldOpenByAnotherProgram) {
    Temp_Folder dir;
    const std::wstring file = dir / L"book.xlsx";
    ASSERT_TRUE(Write_Bytes(file, "x"));
    EXPECT_TRUE(Check_File_Lock(file));
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(Check_File_Lock(file));
    CloseHandle(h);
    EXPECT_TRUE(Check_File_Lock(file));
    EXPECT_FALSE(Check_File_Lock(dir / L"missing.xlsx"));
    EXPECT_EQ(Read_Bytes(dir / L"missing.xlsx"), "<missing>");
    // A read-only workbook is no locked one.
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(Check_File_Lock(file));
}
