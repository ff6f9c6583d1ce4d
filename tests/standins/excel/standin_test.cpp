// The Excel stand-in reached as the program reaches Excel: created through "Excel.Application",
// called late-bound through IDispatch, fed by the real clipboard, and acted on as the user through
// its window. Each test gets a server process of its own (one client per process). The tests share
// one clipboard, so they run one after another in this single process.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "../../common/clipboard_copy.h"
#include "../../common/json_value.h"
#include "../../common/test_files.h"
#include "standin_client.h"

namespace {

TEST_F(Excel_Stand_In, WithNoBookOpenActiveObjectsAreNothing) {
    EXPECT_TRUE(State_Has(R"("activeWorkbook":null,"workbooks":[],"running":true)")) << State();
    for (const wchar_t* member : {L"ActiveWorkbook", L"ActiveSheet", L"ActiveCell", L"Selection"}) {
        const Reply reply = Get(App(), member);
        EXPECT_EQ(reply.Hr, S_OK) << testing::PrintToString(std::wstring(member));
        EXPECT_EQ(reply.Value.Type(), VT_DISPATCH);
        EXPECT_EQ(reply.Object(), nullptr);
    }
    EXPECT_EQ(Get(App(), L"Worksheets", {L"Sheet1"}).Hr, DISP_E_EXCEPTION);
}

TEST_F(Excel_Stand_In, NewBooksAndTypedValuesAsInExcel) {
    const Reply books = Get(App(), L"Workbooks");
    EXPECT_EQ(Get(Call(books.Object(), L"Add").Object(), L"Name").Text(), L"Book1");
    EXPECT_EQ(Get(Call(books.Object(), L"Add").Object(), L"Name").Text(), L"Book2");
    EXPECT_EQ(Get(Get(App(), L"ActiveWorkbook").Object(), L"Name").Text(), L"Book2");
    EXPECT_EQ(Get(Get(books.Object(), L"Item", {1}).Object(), L"Name").Text(), L"Book1");
    EXPECT_TRUE(State_Has(R"("activeWorkbook":"Book2")")) << State();

    const Reply cell = Get(App(), L"ActiveCell");
    ASSERT_EQ(Put(cell.Object(), L"Value", L"0123").Hr, S_OK);
    EXPECT_TRUE(State_Has(R"("A1":{"type":"number","value":"123"})")) << State();
    const Reply back = Get(cell.Object(), L"Value");
    EXPECT_EQ(back.Value.Type(), VT_R8);
    EXPECT_EQ(back.Value.Get().dblVal, 123);

    const Reply sheet = Get(App(), L"ActiveSheet");
    const auto put_at = [&](int row, const wchar_t* text) {
        return Put(Get(sheet.Object(), L"Cells", {row, 1}).Object(), L"Value", text).Hr;
    };
    EXPECT_EQ(put_at(2, L"'0123"), S_OK);
    EXPECT_EQ(put_at(3, L"2021/05/31 12:30"), S_OK);
    EXPECT_EQ(put_at(4, L"a\nb"), S_OK);
    const std::string state = State();
    EXPECT_NE(state.find(R"("A2":{"type":"string","value":"0123","prefixed":true})"), std::string::npos) << state;
    EXPECT_NE(state.find(R"("A3":{"type":"date","value":"2021-05-31T12:30:00"})"), std::string::npos) << state;
    EXPECT_NE(state.find(R"("A4":{"type":"string","value":"a\nb"})"), std::string::npos) << state;
    // One log line per Invoke; a put's value is its last argument.
    const std::string log = Log();
    EXPECT_NE(
        log.find(R"({"object":"Range","member":"Value","kind":"put","args":["0123"],"named":{},"hr":"0x00000000"})"
                 "\n"),
        std::string::npos)
        << log;
    EXPECT_NE(log.find(R"({"object":"Worksheet","member":"Cells","kind":"get","args":["2","1"],)"), std::string::npos)
        << log;

    // The default member is Value; Cells(2, 3).Select moves the active cell.
    EXPECT_EQ(Invoke(Get(sheet.Object(), L"Range", {L"A2"}).Object(), L"_Default", DISPATCH_PROPERTYGET, {}, {}).Text(),
              L"0123");
    ASSERT_EQ(Call(Get(sheet.Object(), L"Cells", {2, 3}).Object(), L"Select").Hr, S_OK);
    EXPECT_TRUE(State_Has(R"("activeCell":"C2")")) << State();
    const Reply active = Get(App(), L"ActiveCell");
    EXPECT_EQ(Get(active.Object(), L"Address").Text(), L"$C$2");
    EXPECT_EQ(Get(active.Object(), L"Row").Value.Get().lVal, 2);
    EXPECT_EQ(Get(active.Object(), L"Column").Value.Get().lVal, 3);
}

TEST_F(Excel_Stand_In, TextPasteFillsOneRowPerLineAndFailsWithoutText) {
    const Com_Ptr<IDispatch> sheet = Add_Book_Sheet();
    ASSERT_EQ(Call(Get(sheet.Get(), L"Cells", {2, 3}).Object(), L"Select").Hr, S_OK);
    const std::wstring text = L"x\r\ny\r\n";
    ASSERT_TRUE(Copy_Text(text));
    const Reply pasted = Call(sheet.Get(), L"PasteSpecial", {}, {{L"Format", L"テキスト"}});
    ASSERT_EQ(pasted.Hr, S_OK) << testing::PrintToString(pasted.Error);
    const std::string state = State();
    EXPECT_NE(state.find(R"("cells":{"C2":{"type":"string","value":"x"},"C3":{"type":"string","value":"y"}})"),
              std::string::npos)
        << state;
    EXPECT_NE(Log().find(R"("object":"Worksheet","member":"PasteSpecial","kind":"method","args":[],)"
                         R"("named":{"Format":")"
                         "\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3\x83\x88"
                         R"("},"hr":"0x00000000"})"),
              std::string::npos)
        << Log();

    // "テキスト" is the ANSI text, read back through the code page; "Unicode テキスト" the text as copied.
    const std::wstring wide = L"𠮷野家 🍣 é 〜−";
    ASSERT_TRUE(Copy_Text(wide));
    ASSERT_EQ(Call(sheet.Get(), L"PasteSpecial", {}, {{L"Format", L"テキスト"}}).Hr, S_OK);
    const std::wstring ansi = First_Sheet()["cells"]["C2"]["value"].Text();
    EXPECT_NE(ansi, wide);
    EXPECT_NE(ansi.find(L"野家"), std::wstring::npos) << testing::PrintToString(ansi);
    ASSERT_EQ(Call(sheet.Get(), L"PasteSpecial", {}, {{L"Format", L"Unicode テキスト"}}).Hr, S_OK);
    EXPECT_EQ(First_Sheet()["cells"]["C2"]["value"].Text(), wide);

    // Range.PasteSpecial wants Excel's own copied cells: plain text makes it fail.
    EXPECT_EQ(Call(Get(App(), L"Selection").Object(), L"PasteSpecial", {}, {{L"Paste", -4163}}).Hr, DISP_E_EXCEPTION);

    // Excel pastes only on the sheet on screen, and only formats it knows for the clipboard's data.
    EXPECT_EQ(Call(sheet.Get(), L"PasteSpecial", {}, {{L"Format", L"ビットマップ"}}).Hr, DISP_E_EXCEPTION);
    ASSERT_EQ(User(standin::Add_Sheet, L"Sheet2"), TRUE);
    EXPECT_EQ(Call(sheet.Get(), L"PasteSpecial", {}, {{L"Format", L"テキスト"}}).Hr, DISP_E_EXCEPTION);
    ASSERT_EQ(User(standin::Activate_Sheet, L"Sheet1"), TRUE);

    ASSERT_TRUE(clipboard_copy::Put({}));
    const Reply empty = Call(sheet.Get(), L"PasteSpecial", {}, {{L"Format", L"テキスト"}});
    EXPECT_EQ(empty.Hr, DISP_E_EXCEPTION);
    EXPECT_NE(empty.Error.find(L"PasteSpecial"), std::wstring::npos) << testing::PrintToString(empty.Error);
    EXPECT_EQ(Call(sheet.Get(), L"Paste").Hr, DISP_E_EXCEPTION);
}

TEST_F(Excel_Stand_In, PicturesPasteAtTheActiveCellInTheFormatsTheCopyCanSupply) {
    const Com_Ptr<IDispatch> sheet = Add_Book_Sheet();
    ASSERT_EQ(Call(Get(sheet.Get(), L"Range", {L"B3"}).Object(), L"Select").Hr, S_OK);
    // A drawing program's copy pastes as text by default and as a picture when asked.
    ASSERT_TRUE(Copy_Text_And_Picture(L"x", 100, 50));
    ASSERT_EQ(Call(sheet.Get(), L"Paste").Hr, S_OK);
    EXPECT_EQ(First_Sheet()["shapes"].Size(), 0u);
    const Reply png =
        Call(sheet.Get(), L"PasteSpecial", {}, {{L"Format", L"図 (PNG)"}, {L"Link", 0}, {L"DisplayAsIcon", 0}});
    ASSERT_EQ(png.Hr, S_OK) << testing::PrintToString(png.Error);
    EXPECT_TRUE(State_Has(R"("shapes":[{"name":")"
                          "\xE5\x9B\xB3 1"
                          R"(","kind":"picture","left":48,"top":37.5,"width":75,"height":37.5,"topLeftCell":"B3",)"
                          R"("bottomRightCell":"C5","alternativeText":""}],)"
                          R"("selectedShape":")"
                          "\xE5\x9B\xB3 1"
                          R"(","selection":"B3")"))
        << State();
    EXPECT_NE(Log().find(R"("member":"PasteSpecial","kind":"method","args":[],"named":{"Format":")"
                         "\xE5\x9B\xB3 (PNG)"
                         R"(","Link":"0","DisplayAsIcon":"0"},"hr":"0x00000000"})"),
              std::string::npos)
        << Log();

    // A Japanese Excel knows its formats by their Japanese names only.
    const Reply language = Get(Get(App(), L"LanguageSettings").Object(), L"LanguageID", {2});
    EXPECT_EQ(language.Text(), L"1041");
    EXPECT_EQ(Call(sheet.Get(), L"PasteSpecial", {}, {{L"Format", L"Picture (PNG)"}}).Hr, DISP_E_EXCEPTION);

    // A picture alone has no text, and SVG and HTML need formats of their own on the clipboard.
    ASSERT_TRUE(Copy_Picture(40, 20));
    for (const wchar_t* format : {L"テキスト", L"画像 (SVG)", L"HTML", L"図 (BMP)"})
        EXPECT_EQ(Call(sheet.Get(), L"PasteSpecial", {}, {{L"Format", format}}).Hr, DISP_E_EXCEPTION)
            << testing::PrintToString(std::wstring(format));
    ASSERT_EQ(Call(sheet.Get(), L"Paste").Hr, S_OK);
    // A metafile is as large as its frame (hundredths of a millimetre) at 96 dpi.
    const RECT frame{0, 0, 2646, 1323};
    HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    ASSERT_NE(recorder, nullptr);
    HENHMETAFILE metafile = CloseEnhMetaFile(recorder);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(EmptyClipboard() && SetClipboardData(CF_ENHMETAFILE, metafile));
    CloseClipboard();
    ASSERT_EQ(Call(sheet.Get(), L"PasteSpecial", {}, {{L"Format", L"図 (拡張メタファイル)"}}).Hr, S_OK);
    const Json_Value shapes = First_Sheet()["shapes"];
    ASSERT_EQ(shapes.Size(), 3u) << State();
    EXPECT_EQ(shapes[1]["width"].Number(), 30);
    EXPECT_EQ(shapes[1]["height"].Number(), 15);
    EXPECT_EQ(shapes[2]["name"].Text(), L"図 3");
    EXPECT_EQ(shapes[2]["width"].Number(), 75);
    EXPECT_EQ(shapes[2]["height"].Number(), 37.5);
    EXPECT_EQ(First_Sheet()["activeCell"].Text(), L"B3");  // the new picture is selected, not a cell

    ASSERT_TRUE(clipboard_copy::Put({}));
    EXPECT_EQ(Call(sheet.Get(), L"PasteSpecial", {}, {{L"Format", L"ビットマップ"}}).Hr, DISP_E_EXCEPTION);
}

TEST_F(Excel_Stand_In, ShapesAndTheSelectedPictureBehaveAsInExcel) {
    const Com_Ptr<IDispatch> sheet = Add_Book_Sheet();
    ASSERT_EQ(Call(Get(sheet.Get(), L"Range", {L"B3"}).Object(), L"Select").Hr, S_OK);
    ASSERT_TRUE(Copy_Picture(100, 50));
    ASSERT_EQ(Call(sheet.Get(), L"Paste").Hr, S_OK);
    ASSERT_EQ(Call(sheet.Get(), L"Paste").Hr, S_OK);
    const Reply shapes = Get(sheet.Get(), L"Shapes");
    EXPECT_EQ(Get(shapes.Object(), L"Count").Value.Get().lVal, 2);
    EXPECT_EQ(Get(shapes.Object(), L"Item", {3}).Hr, DISP_E_EXCEPTION);
    const Reply first = Get(sheet.Get(), L"Shapes", {1});
    const Reply second = Invoke(shapes.Object(), L"_Default", DISPATCH_PROPERTYGET, {L"図 2"}, {});
    EXPECT_EQ(Get(second.Object(), L"Name").Text(), L"図 2");
    EXPECT_EQ(Get(Get(App(), L"Selection").Object(), L"Name").Text(), L"図 2");  // the last pasted picture

    // The picture's top-left cell meets the active cell; a cell elsewhere does not.
    const Reply corner = Get(first.Object(), L"TopLeftCell");
    EXPECT_EQ(Get(corner.Object(), L"Address").Text(), L"$B$3");
    const Reply met = Call(App(), L"Intersect", {Get(sheet.Get(), L"Range", {L"B3"}).Object(), corner.Object()});
    EXPECT_EQ(Get(met.Object(), L"Address").Text(), L"$B$3");
    const Reply active = Call(App(), L"Intersect", {corner.Object(), Get(App(), L"ActiveCell").Object()});
    EXPECT_EQ(Get(active.Object(), L"Address").Text(), L"$B$3");
    const Reply apart = Call(App(), L"Intersect", {corner.Object(), Get(sheet.Get(), L"Range", {L"D5"}).Object()});
    EXPECT_EQ(apart.Hr, S_OK);
    EXPECT_EQ(apart.Object(), nullptr);

    // The selection scales from its top-left corner; a locked aspect ratio takes the other side along.
    ASSERT_EQ(Call(first.Object(), L"Select").Hr, S_OK);
    const Reply range = Get(Get(App(), L"Selection").Object(), L"ShapeRange");
    EXPECT_EQ(Get(range.Object(), L"LockAspectRatio").Value.Get().lVal, -1);
    ASSERT_EQ(Call(range.Object(), L"ScaleWidth", {0.5, 0, 0}).Hr, S_OK);
    EXPECT_EQ(Get(first.Object(), L"Height").Value.Get().dblVal, 18.75);
    ASSERT_EQ(Put(range.Object(), L"LockAspectRatio", 0).Hr, S_OK);
    ASSERT_EQ(Call(range.Object(), L"ScaleHeight", {4.0, 0, 0}).Hr, S_OK);
    EXPECT_EQ(Get(range.Object(), L"Width").Value.Get().dblVal, 37.5);
    EXPECT_EQ(Get(range.Object(), L"Height").Value.Get().dblVal, 75);
    EXPECT_EQ(Get(first.Object(), L"Left").Value.Get().dblVal, 48);
    EXPECT_EQ(Call(range.Object(), L"ScaleWidth", {2.0, -1, 0}).Hr, E_NOTIMPL);  // relative to the original
    ASSERT_EQ(Put(second.Object(), L"Width", 150).Hr, S_OK);
    EXPECT_EQ(Get(second.Object(), L"Height").Value.Get().dblVal, 75);
    ASSERT_EQ(Put(second.Object(), L"Left", 100).Hr, S_OK);  // column C spans 96 to 144 points
    EXPECT_EQ(Get(Get(second.Object(), L"TopLeftCell").Object(), L"Address").Text(), L"$C$3");

    // Selecting a cell selects cells again. Objects keep their own shape when another one goes.
    ASSERT_EQ(Call(Get(sheet.Get(), L"Range", {L"D5"}).Object(), L"Select").Hr, S_OK);
    EXPECT_EQ(Get(Get(App(), L"Selection").Object(), L"Address").Text(), L"$D$5");
    EXPECT_TRUE(First_Sheet()["selectedShape"].Is_Null()) << State();
    EXPECT_EQ(First_Sheet()["shapes"][1]["topLeftCell"].Text(), L"C3");
    ASSERT_EQ(Call(first.Object(), L"Delete").Hr, S_OK);
    const Reply gone = Get(range.Object(), L"Width");
    EXPECT_EQ(gone.Hr, DISP_E_EXCEPTION);
    EXPECT_NE(gone.Error.find(L"削除"), std::wstring::npos) << testing::PrintToString(gone.Error);
    EXPECT_EQ(Get(Get(sheet.Get(), L"Shapes", {1}).Object(), L"Name").Text(), L"図 2");
    ASSERT_EQ(User(standin::Add_Sheet, L"Sheet2"), TRUE);
    EXPECT_EQ(Call(second.Object(), L"Select").Hr, DISP_E_EXCEPTION);  // only on the sheet on screen
}

TEST_F(Excel_Stand_In, PicturesCarryAlternativeTextAndSheetsAreAddedAndNamedAsInExcel) {
    const Com_Ptr<IDispatch> sheet = Add_Book_Sheet();
    ASSERT_EQ(Call(Get(sheet.Get(), L"Range", {L"B3"}).Object(), L"Select").Hr, S_OK);
    // 75 x 37.5 points from B3 (48, 37.5): its corner (123, 75) lies in column C on the border of row 5.
    ASSERT_TRUE(Copy_Picture(100, 50));
    ASSERT_EQ(Call(sheet.Get(), L"Paste").Hr, S_OK);
    const Reply range = Get(Get(App(), L"Selection").Object(), L"ShapeRange");
    ASSERT_EQ(Put(range.Object(), L"AlternativeText", L"No.1 手順").Hr, S_OK);
    const Reply shape = Call(range.Object(), L"Item", {1});
    EXPECT_EQ(Get(shape.Object(), L"AlternativeText").Text(), L"No.1 手順");
    EXPECT_EQ(Call(range.Object(), L"Item", {2}).Hr, DISP_E_EXCEPTION);
    EXPECT_EQ(Get(Get(shape.Object(), L"BottomRightCell").Object(), L"Address").Text(), L"$C$5");
    EXPECT_EQ(First_Sheet()["shapes"][0]["alternativeText"].Text(), L"No.1 手順");

    // Sheets.Add(After:=) puts the new sheet right after and activates it; names as strict as Excel's.
    const Reply book = Get(App(), L"ActiveWorkbook");
    const Reply sheets = Get(book.Object(), L"Sheets");
    const Reply added = Call(sheets.Object(), L"Add", {}, {{L"After", sheet.Get()}});
    ASSERT_EQ(added.Hr, S_OK) << testing::PrintToString(added.Error);
    EXPECT_EQ(Get(added.Object(), L"Name").Text(), L"Sheet2");
    EXPECT_EQ(Get(Get(App(), L"ActiveSheet").Object(), L"Name").Text(), L"Sheet2");
    EXPECT_EQ(Get(sheets.Object(), L"Count").Value.Get().lVal, 2);
    EXPECT_EQ(Put(added.Object(), L"Name", L"sheet1").Hr, DISP_E_EXCEPTION);  // taken, whatever the case
    EXPECT_EQ(Put(added.Object(), L"Name", L"a[1]").Hr, DISP_E_EXCEPTION);
    EXPECT_EQ(Put(added.Object(), L"Name", std::wstring(32, L'x').c_str()).Hr, DISP_E_EXCEPTION);
    ASSERT_EQ(Put(added.Object(), L"Name", L"ケース1").Hr, S_OK);
    EXPECT_EQ(Get(Get(sheets.Object(), L"Item", {2}).Object(), L"Name").Text(), L"ケース1");
    const Reply before = Call(sheets.Object(), L"Add", {}, {{L"Before", sheet.Get()}});
    EXPECT_EQ(Get(Get(sheets.Object(), L"Item", {1}).Object(), L"Name").Text(), Get(before.Object(), L"Name").Text());
    EXPECT_EQ(Call(sheets.Object(), L"Add", {}, {{L"Before", sheet.Get()}, {L"After", sheet.Get()}}).Hr,
              DISP_E_EXCEPTION);
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const Com_Apartment apartment;
    if (FAILED(apartment.Result())) return 2;
    Register_Stand_In();
    if (testing::Test::HasFatalFailure()) return 3;
    return RUN_ALL_TESTS();
}
