// The stand-in's Excel rules without COM: how typed text becomes a cell value, A1 addresses, text
// paste, sheet names and book activation, and the JSON the tests read.
#include <gtest/gtest.h>

#include "cell_address.h"
#include "cell_value.h"
#include "excel_model.h"
#include "paste_choice.h"
#include "state_json.h"

namespace {

using Kind = Cell_Value::Kind;

struct Typed_Case {
    const wchar_t* Typed;
    Kind Type;
    double Number;        // for numbers, dates and bools
    const wchar_t* Text;  // for strings
};

TEST(Typed_Value, ConvertsAsExcelDoesWhenTyped) {
    const Typed_Case cases[] = {
        {L"0123", Kind::Number, 123, nullptr},
        {L"1.5", Kind::Number, 1.5, nullptr},
        {L"-2", Kind::Number, -2, nullptr},
        {L" 42 ", Kind::Number, 42, nullptr},
        {L"1,234,567", Kind::Number, 1234567, nullptr},
        {L"1e3", Kind::Number, 1000, nullptr},
        {L"50%", Kind::Number, 0.5, nullptr},
        {L"2021/05/31", Kind::Date, 44347, nullptr},
        {L"2021/05/31 12:30", Kind::Date, 44347 + 12.5 / 24, nullptr},
        {L"12:30", Kind::Date, 12.5 / 24, nullptr},
        {L"TRUE", Kind::Bool, 1, nullptr},
        {L"false", Kind::Bool, 0, nullptr},
        {L"'0123", Kind::String, 0, L"0123"},
        {L"'TRUE", Kind::String, 0, L"TRUE"},
        {L"1,23", Kind::String, 0, L"1,23"},
        {L"12a", Kind::String, 0, L"12a"},
        {L"a\nb", Kind::String, 0, L"a\nb"},
        {L"1\n2", Kind::String, 0, L"1\n2"},
        {L"貼付", Kind::String, 0, L"貼付"},
        {L"", Kind::Empty, 0, nullptr},
    };
    for (const Typed_Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "typed: " << testing::PrintToString(std::wstring(c.Typed)));
        const Cell_Value value = Value_From_Text(c.Typed);
        ASSERT_EQ(value.Type, c.Type);
        if (c.Type == Kind::String) {
            EXPECT_EQ(value.Text, c.Text);
        } else if (c.Type != Kind::Empty) {
            EXPECT_NEAR(value.Number, c.Number, 1e-9);
        }
    }
    EXPECT_TRUE(Value_From_Text(L"'0123").Prefixed);
    EXPECT_FALSE(Value_From_Text(L"abc").Prefixed);
}

TEST(Typed_Value, AutomationValuesKeepTheirType) {
    Cell_Value cell;
    ASSERT_TRUE(Value_From_Variant(Unique_Variant::Long(7).Get(), cell));
    EXPECT_EQ(cell.Type, Kind::Number);
    ASSERT_TRUE(Value_From_Variant(Unique_Variant::Date(44347).Get(), cell));
    EXPECT_EQ(cell.Type, Kind::Date);
    ASSERT_TRUE(Value_From_Variant(Unique_Variant::Bool(true).Get(), cell));
    EXPECT_EQ(cell.Type, Kind::Bool);
    ASSERT_TRUE(Value_From_Variant(Unique_Variant::Text(L"'x").Get(), cell));
    EXPECT_EQ(cell.Text, L"x");
    ASSERT_TRUE(Value_From_Variant(Unique_Variant().Get(), cell));
    EXPECT_EQ(cell.Type, Kind::Empty);
    // A value passed by reference, as VB passes variables.
    Unique_Variant number = Unique_Variant::Double(2.5);
    VARIANT by_reference;
    by_reference.vt = VT_BYREF | VT_VARIANT;
    by_reference.pvarVal = number.Address();
    ASSERT_TRUE(Value_From_Variant(by_reference, cell));
    EXPECT_EQ(cell.Type, Kind::Number);
    EXPECT_EQ(cell.Number, 2.5);

    EXPECT_EQ(Date_Text(44347 + 12.5 / 24), L"2021-05-31T12:30:00");
    EXPECT_EQ(Number_Text(123), L"123");
    EXPECT_EQ(Number_Text(-0.25), L"-0.25");
}

TEST(Cell_Address, ParsesAndFormatsA1Notation) {
    EXPECT_EQ(Parse_Address(L"B3"), Cell_Rect::Of({3, 2}));
    EXPECT_EQ(Parse_Address(L"$b$3"), Cell_Rect::Of({3, 2}));
    EXPECT_EQ(Parse_Address(L"C4:A1"), (Cell_Rect{1, 1, 4, 3}));
    EXPECT_EQ(Parse_Address(L"XFD1048576"), Cell_Rect::Of({Max_Rows, Max_Columns}));
    for (const wchar_t* bad : {L"", L"B", L"3", L"3B", L"A0", L"A01", L"XFE1", L"A1048577", L"B3:", L"B 3", L"AAAA1"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(bad)));
        EXPECT_FALSE(Parse_Address(bad));
    }
    for (int column : {1, 26, 27, 52, 702, 703, Max_Columns})
        EXPECT_EQ(Column_From_Letters(Column_Letters(column)), column);
    EXPECT_EQ(Column_Letters(28), L"AB");
    EXPECT_EQ(Address_Text(Cell_Rect::Of({3, 2})), L"$B$3");
    EXPECT_EQ(Address_Text({1, 1, 2, 3}), L"$A$1:$C$2");
    EXPECT_EQ(Address_Text(Cell_Rect::Of({3, 2}), false, true), L"$B3");
    EXPECT_FALSE(Overlap({1, 1, 2, 2}, {3, 1, 4, 2}));
    EXPECT_EQ(Overlap({1, 1, 3, 3}, {2, 2, 5, 5}), (Cell_Rect{2, 2, 3, 3}));
}

TEST(Text_Paste, OneRowPerLineOneColumnPerTab) {
    Sheet sheet;
    EXPECT_EQ(sheet.Paste_Text({2, 3}, L"x\r\ny\r\n"), (Cell_Rect{2, 3, 3, 3}));
    EXPECT_EQ(sheet.Value({2, 3}).Text, L"x");
    EXPECT_EQ(sheet.Value({3, 3}).Text, L"y");
    EXPECT_EQ(sheet.Cells.size(), 2u);  // the final CR LF adds no row

    sheet.Set_Value({2, 2}, Value_From_Text(L"old"));
    EXPECT_EQ(sheet.Paste_Text({1, 1}, L"a\t0123\r\n\t2021/05/31"), (Cell_Rect{1, 1, 2, 2}));
    EXPECT_EQ(sheet.Value({1, 2}).Type, Kind::Number);
    EXPECT_EQ(sheet.Value({2, 1}).Type, Kind::Empty);  // an empty piece clears the cell
    EXPECT_EQ(sheet.Value({2, 2}).Type, Kind::Date);   // and pasting overwrites
    // A lone LF and a lone CR break the row as CR LF does; a quoted piece keeps its breaks and tabs.
    EXPECT_EQ(sheet.Paste_Text({5, 1}, L"a\nb\rc\r\n\"x\ny\t\"\"z\"\"\"\td\n"), (Cell_Rect{5, 1, 8, 2}));
    EXPECT_EQ(sheet.Value({6, 1}).Text, L"b");
    EXPECT_EQ(sheet.Value({7, 1}).Text, L"c");
    EXPECT_EQ(sheet.Value({8, 1}).Text, L"x\ny\t\"z\"");
    EXPECT_EQ(sheet.Value({8, 2}).Text, L"d");
    EXPECT_EQ(sheet.Value({9, 1}).Type, Kind::Empty);
    // A quote that is never closed is a plain character.
    sheet.Paste_Text({10, 1}, L"\"open\nend");
    EXPECT_EQ(sheet.Value({10, 1}).Text, L"\"open");
    EXPECT_EQ(sheet.Value({11, 1}).Text, L"end");
}

TEST(Typed_Value, AFormulaLikeTextIsAFormulaAsInExcel) {
    Cell_Value cell;
    ASSERT_TRUE(Value_From_Variant(Unique_Variant::Text(L"=1+2*3").Get(), cell));
    EXPECT_EQ(cell.Type, Kind::Number);
    EXPECT_EQ(cell.Number, 7);
    // Range.Formula reads the formula, or a constant as the formula bar shows it.
    EXPECT_EQ(Formula_Text(cell), L"=1+2*3");
    ASSERT_TRUE(Value_From_Variant(Unique_Variant::Text(L"+A1").Get(), cell));
    EXPECT_EQ(Formula_Text(cell), L"=+A1");
    EXPECT_EQ(Formula_Text(Value_From_Text(L"'0123")), L"0123");
    EXPECT_EQ(Formula_Text(Value_From_Text(L"1.5")), L"1.5");
    EXPECT_EQ(Formula_Text(Value_From_Text(L"2021/5/31")), L"2021/5/31");
    EXPECT_EQ(Formula_Text(Value_From_Text(L"12:30")), L"12:30:00");
    EXPECT_EQ(Formula_Text(Cell_Value{}), L"");
    ASSERT_TRUE(Value_From_Variant(Unique_Variant::Text(L"=(1+1)/0").Get(), cell));
    EXPECT_EQ(cell.Text, L"#DIV/0!");
    for (const wchar_t* naming : {L"- 手順1", L"+A1", L"@田中", L"=SUM(1,2)", L"=見出し"}) {
        ASSERT_TRUE(Value_From_Variant(Unique_Variant::Text(naming).Get(), cell)) << "naming";
        EXPECT_EQ(cell.Type, Kind::Error);
        EXPECT_EQ(cell.Text, L"#NAME?");
        EXPECT_EQ(Variant_From_Value(cell).Get().vt, VT_ERROR);
    }
    // No formula at all: Excel refuses the value.
    for (const wchar_t* broken : {L"=1+", L"=== 見出し ===", L"=(1", L"@", L"=1 2"})
        EXPECT_FALSE(Value_From_Variant(Unique_Variant::Text(broken).Get(), cell)) << "accepted";
    // Numbers with a sign stay numbers; an apostrophe keeps any of these as text.
    ASSERT_TRUE(Value_From_Variant(Unique_Variant::Text(L"-5").Get(), cell));
    EXPECT_EQ(cell.Number, -5);
    ASSERT_TRUE(Value_From_Variant(Unique_Variant::Text(L"'=1+").Get(), cell));
    EXPECT_EQ(cell.Text, L"=1+");
}

TEST(Picture_Shapes, PlacedNumberedAndResizedAsInExcel) {
    Sheet sheet;
    EXPECT_EQ(Column_Points(Default_Column_Width), 48);  // 64 whole pixels
    sheet.Set_Column_Width(1, 12);
    EXPECT_EQ(sheet.Column_Left(3), 66.75 + 48);
    EXPECT_EQ(sheet.Row_Top(3), 37.5);
    sheet.Select(Cell_Rect::Of({3, 2}));
    Shape& first = sheet.Add_Picture({3, 2}, 75, 37.5);
    EXPECT_EQ(first.Name, L"図 1");
    EXPECT_EQ(first.Left, 66.75);
    EXPECT_EQ(first.Top, 37.5);
    EXPECT_EQ(sheet.Selected_Shape, first.Id);
    EXPECT_EQ(sheet.Active_Cell, (Cell_Ref{3, 2}));
    EXPECT_EQ(sheet.Cell_At(first.Left, first.Top), (Cell_Ref{3, 2}));
    EXPECT_EQ(sheet.Cell_At(first.Left - 0.1, first.Top - 0.1), (Cell_Ref{2, 1}));
    // A locked aspect ratio (Excel's default for pictures) carries a new width over to the height.
    first.Set_Width(150);
    EXPECT_EQ(first.Height, 75);
    first.Lock_Aspect_Ratio = false;
    first.Set_Height(10);
    EXPECT_EQ(first.Width, 150);

    const Object_Id first_id = first.Id;
    EXPECT_EQ(sheet.Add_Picture({1, 1}, 1, 1).Name, L"図 2");
    EXPECT_TRUE(sheet.Delete_Shape(first_id));
    EXPECT_EQ(sheet.Find_Shape(first_id), nullptr);
    EXPECT_EQ(sheet.Add_Picture({1, 1}, 1, 1).Name, L"図 3");  // numbers are never reused
    sheet.Select(Cell_Rect::Of({1, 1}));
    EXPECT_EQ(sheet.Selected_Shape, 0u);
}

TEST(Paste_Choice, TakesWhatTheFormatAsksForWhenTheCopyHasIt) {
    Clipboard_Offer text, picture, both;
    text.Text = both.Text = L"x";
    picture.Picture = both.Picture = Picture_Size{4, 3};
    EXPECT_EQ(Default_Paste(both), Paste_As::Text);
    EXPECT_EQ(Default_Paste(picture), Paste_As::Picture);
    EXPECT_EQ(Default_Paste({}), Paste_As::Nothing);
    for (const wchar_t* format : {L"図 (PNG)", L"図 (JPEG)", L"図 (GIF)", L"図 (拡張メタファイル)", L"ビットマップ",
                                  L"Microsoft Office 描画オブジェクト"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(format)));
        EXPECT_EQ(Paste_Special_As(format, both), Paste_As::Picture);
        EXPECT_EQ(Paste_Special_As(format, text), Paste_As::Nothing);
    }
    EXPECT_EQ(Paste_Special_As(L"テキスト", both), Paste_As::Nothing);  // no ANSI text on offer
    both.Ansi_Text = L"?";
    EXPECT_EQ(Paste_Special_As(L"テキスト", both), Paste_As::Ansi_Text);
    EXPECT_EQ(Paste_Special_As(L"Unicode テキスト", both), Paste_As::Text);
    EXPECT_EQ(Paste_Special_As(L"Unicode Text", picture), Paste_As::Nothing);
    EXPECT_EQ(Paste_Special_As(L"画像 (SVG)", both), Paste_As::Nothing);
    EXPECT_EQ(Paste_Special_As(L"HTML", both), Paste_As::Nothing);
    both.Svg = both.Html = true;
    EXPECT_EQ(Paste_Special_As(L"画像 (SVG)", both), Paste_As::Picture);
    EXPECT_EQ(Paste_Special_As(L"HTML", both), Paste_As::Text);  // an HTML copy's text goes into cells
    EXPECT_EQ(Paste_Special_As(L"図 (BMP)", both), Paste_As::Nothing);
}

TEST(Paste_Choice, KnowsTheFormatsOnlyByTheNamesOfItsLanguage) {
    Clipboard_Offer both;
    both.Text = L"x";
    both.Picture = Picture_Size{4, 3};
    EXPECT_EQ(Paste_Special_As(L"Text", both), Paste_As::Nothing);
    EXPECT_EQ(Paste_Special_As(L"Picture (PNG)", both), Paste_As::Nothing);
    EXPECT_EQ(Paste_Special_As(L"Unicode Text", both, Language_English), Paste_As::Text);
    EXPECT_EQ(Paste_Special_As(L"テキスト", both, Language_English), Paste_As::Nothing);
    EXPECT_EQ(Paste_Special_As(L"Picture (Enhanced Metafile)", both, 1031), Paste_As::Picture);
    EXPECT_EQ(Paste_Special_As(L"図 (PNG)", both, Language_English), Paste_As::Nothing);
}

TEST(Workbook_Model, NamesSheetsAndActivatesBooksAsExcel) {
    Excel_Model model;
    Workbook& first = model.Add_Workbook();
    EXPECT_EQ(first.Name, L"Book1");
    EXPECT_EQ(model.Check_Sheet_Name(first, L"sheet1", 0), Name_Check::Taken);
    EXPECT_EQ(model.Check_Sheet_Name(first, L"sheet1", first.Active_Sheet), Name_Check::Ok);  // renaming itself
    for (const wchar_t* bad : {L"", L"a/b", L"a[1]", L"'x", L"abcdefghijklmnopqrstuvwxyz123456"})
        EXPECT_EQ(model.Check_Sheet_Name(first, bad, 0), Name_Check::Invalid)
            << testing::PrintToString(std::wstring(bad));
    const Object_Id first_sheet = first.Active_Sheet;
    EXPECT_FALSE(model.Delete_Sheet(first, first_sheet));  // a book keeps one sheet
    const Object_Id added = model.Add_Sheet(first, L"データ").Id;
    EXPECT_EQ(first.Active_Sheet, added);
    EXPECT_TRUE(model.Delete_Sheet(first, added));
    EXPECT_EQ(first.Active_Sheet, first_sheet);

    const Object_Id book1 = first.Id;
    const Object_Id book2 = model.Add_Workbook().Id;
    const Object_Id book3 = model.Add_Workbook().Id;
    model.Activate_Workbook(book1);
    model.Activate_Workbook(book3);
    ASSERT_TRUE(model.Close_Workbook(book3));
    EXPECT_EQ(model.Active_Workbook_Id(), book1);  // the most recently active of the rest
    ASSERT_TRUE(model.Close_Workbook(book1));
    EXPECT_EQ(model.Active_Workbook_Id(), book2);
    ASSERT_TRUE(model.Close_Workbook(book2));
    EXPECT_EQ(model.Active_Workbook(), nullptr);
    EXPECT_EQ(model.Add_Workbook().Name, L"Book4");  // numbers are never reused
}

TEST(State_Json, WritesTheFixedLayoutTestsLookFor) {
    Excel_Model model;
    EXPECT_NE(State_Json(model).find(R"("activeWorkbook":null,"workbooks":[])"), std::string::npos);
    Workbook& book = model.Add_Workbook();
    Sheet& sheet = book.Sheets.front();
    sheet.Set_Value({1, 1}, Value_From_Text(L"'0123"));
    sheet.Set_Value({2, 1}, Value_From_Text(L"say \"貼付\"\r\n"));
    sheet.Set_Column_Width(3, 12);
    sheet.Select(Cell_Rect::Of({3, 2}));
    sheet.Add_Picture({3, 2}, 75, 37.5);
    const std::string json = State_Json(model);
    EXPECT_NE(json.find(R"("activeWorkbook":"Book1")"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("activeCell":"B3","cells":{"A1":{"type":"string","value":"0123","prefixed":true},)"
                        R"("A2":{"type":"string","value":"say \")"
                        "\xE8\xB2\xBC\xE4\xBB\x98"
                        R"(\"\r\n"}},"columnWidths":{"C":12},"shapes":[{"name":")"
                        "\xE5\x9B\xB3 1"
                        R"(","kind":"picture","left":48,"top":37.5,"width":75,"height":37.5,"topLeftCell":"B3",)"
                        R"("bottomRightCell":"C5","alternativeText":""}],)"
                        R"("selectedShape":")"
                        "\xE5\x9B\xB3 1"
                        R"(","selection":"B3"})"),
              std::string::npos)
        << json;

    Call_Record call{L"Worksheet", L"PasteSpecial", L"method", {std::nullopt}, {{L"Format", L"テキスト"}}, 0, L""};
    EXPECT_EQ(Call_Json(call),
              "{\"object\":\"Worksheet\",\"member\":\"PasteSpecial\",\"kind\":\"method\",\"args\":[null],"
              "\"named\":{\"Format\":\"\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3\x83\x88\"},"
              "\"hr\":\"0x00000000\"}");
}

}  // namespace
