// The Excel stand-in's settings, book lifecycle, refusals, user actions, busy spells and ends, reached
// as the program reaches Excel.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "../../common/clipboard_copy.h"
#include "../../common/json_value.h"
#include "../../common/test_files.h"
#include "standin_client.h"

namespace {

TEST_F(Excel_Stand_In, SettingsAndBookLifecycleAsInExcel) {
    ASSERT_EQ(Put(App(), L"Visible", 1).Hr, S_OK);
    ASSERT_EQ(Put(App(), L"DisplayAlerts", 0).Hr, S_OK);
    ASSERT_EQ(Put(App(), L"WindowState", -4137).Hr, S_OK);
    EXPECT_EQ(Put(App(), L"WindowState", 5).Hr, DISP_E_EXCEPTION);
    EXPECT_TRUE(State_Has(R"({"visible":true,"displayAlerts":false,"windowState":-4137,)")) << State();
    // Started through automation, Excel runs every macro (1, low) until told otherwise; 1 to 3 only.
    EXPECT_EQ(Get(App(), L"AutomationSecurity").Value.Get().lVal, 1);
    EXPECT_EQ(Put(App(), L"AutomationSecurity", 4).Hr, DISP_E_EXCEPTION);
    ASSERT_EQ(Put(App(), L"AutomationSecurity", 2).Hr, S_OK);

    // The same file again only comes to the front; another file of the same name cannot open.
    const std::wstring file = folder_ / L"a.xlsx";
    ASSERT_TRUE(Write_Bytes(file, Empty_Xlsx_Bytes));
    ASSERT_TRUE(CreateDirectoryW((folder_ / L"other").c_str(), nullptr));
    ASSERT_TRUE(Write_Bytes(folder_ / L"other\\a.xlsx", Empty_Xlsx_Bytes));
    const Reply books = Get(App(), L"Workbooks");
    const Reply opened = Call(books.Object(), L"Open", {file.c_str()});
    ASSERT_EQ(opened.Hr, S_OK) << testing::PrintToString(opened.Error);
    EXPECT_TRUE(State_Has(R"("openedUnderAutomationSecurity":2,)")) << State();
    ASSERT_EQ(Call(books.Object(), L"Add").Hr, S_OK);
    EXPECT_EQ(Call(books.Object(), L"Open", {file.c_str()}).Hr, S_OK);
    EXPECT_EQ(Get(books.Object(), L"Count").Value.Get().lVal, 2);
    EXPECT_EQ(Get(Get(App(), L"ActiveWorkbook").Object(), L"Name").Text(), L"a.xlsx");
    EXPECT_EQ(Call(books.Object(), L"Open", {(folder_ / L"other\\a.xlsx").c_str()}).Hr, DISP_E_EXCEPTION);

    // Closing without saving; saving is beyond the stand-in and must not pass unnoticed.
    EXPECT_EQ(Call(opened.Object(), L"Close", {}, {{L"SaveChanges", 1}}).Hr, E_NOTIMPL);
    ASSERT_EQ(Call(opened.Object(), L"Close", {}, {{L"SaveChanges", 0}}).Hr, S_OK);
    EXPECT_EQ(Get(books.Object(), L"Count").Value.Get().lVal, 1);
    EXPECT_EQ(Get(opened.Object(), L"Name").Hr, DISP_E_EXCEPTION);
    EXPECT_EQ(Get(Get(App(), L"ActiveWorkbook").Object(), L"Name").Text(), L"Book1");

    const Reply sheet = Get(App(), L"ActiveSheet");
    EXPECT_EQ(Put(sheet.Object(), L"Name", L"a/b").Hr, DISP_E_EXCEPTION);
    ASSERT_EQ(Put(sheet.Object(), L"Name", L"一覧").Hr, S_OK);
    EXPECT_EQ(Get(Get(App(), L"Worksheets", {L"一覧"}).Object(), L"Index").Value.Get().lVal, 1);
}

TEST_F(Excel_Stand_In, MisspeltCallsAndMissingThingsFail) {
    const Com_Ptr<IDispatch> sheet = Add_Book_Sheet();
    EXPECT_EQ(Get(App(), L"Workbookz").Hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(Get(App(), L"workbooks").Hr, S_OK);  // names are case-insensitive, as in Excel
    EXPECT_EQ(Call(sheet.Get(), L"PasteSpecial", {}, {{L"Formatt", L"テキスト"}}).Hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(Put(Get(App(), L"ActiveCell").Object(), L"Row", 3).Hr, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Get(App(), L"Worksheets", {L"NoSuchSheet"}).Hr, DISP_E_EXCEPTION);
    EXPECT_EQ(Get(App(), L"Workbooks", {L"Nope.xlsx"}).Hr, DISP_E_EXCEPTION);
    EXPECT_EQ(Get(sheet.Get(), L"Range", {L"B0"}).Hr, DISP_E_EXCEPTION);

    const Reply books = Get(App(), L"Workbooks");
    const std::wstring missing = folder_ / L"missing.xlsx";
    const Reply open_missing = Call(books.Object(), L"Open", {missing.c_str()});
    EXPECT_EQ(open_missing.Hr, DISP_E_EXCEPTION);
    EXPECT_NE(open_missing.Error.find(missing), std::wstring::npos) << testing::PrintToString(open_missing.Error);

    // A file that is not what its extension says: an .xlsx that is no zip, an .xls that is no compound file.
    for (const wchar_t* name : {L"text.xlsx", L"text.xlsm", L"text.xls"}) {
        ASSERT_TRUE(Write_Bytes(folder_ / name, "x"));
        EXPECT_EQ(Call(books.Object(), L"Open", {(folder_ / name).c_str()}).Hr, DISP_E_EXCEPTION) << "opened";
    }
    ASSERT_TRUE(Write_Bytes(folder_ / L"old.xls", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)));
    EXPECT_EQ(Call(books.Object(), L"Open", {(folder_ / L"old.xls").c_str()}).Hr, S_OK);

    const std::wstring existing = folder_ / L"売上.xlsx";
    ASSERT_TRUE(Write_Bytes(existing, Empty_Xlsx_Bytes));
    const Reply opened = Call(books.Object(), L"Open", {}, {{L"FileName", existing.c_str()}, {L"ReadOnly", 1}});
    ASSERT_EQ(opened.Hr, S_OK) << testing::PrintToString(opened.Error);
    EXPECT_EQ(Get(opened.Object(), L"Name").Text(), L"売上.xlsx");
    EXPECT_EQ(Get(Get(App(), L"Workbooks", {L"売上.XLSX"}).Object(), L"Path").Text(), folder_.Path());
}

TEST_F(Excel_Stand_In, UserActionsChangeWhatClientsSee) {
    const Com_Ptr<IDispatch> first = Add_Book_Sheet();
    EXPECT_EQ(User(standin::Add_Sheet, L"データ"), TRUE);
    const Reply added = Get(App(), L"ActiveSheet");
    EXPECT_EQ(Get(added.Object(), L"Name").Text(), L"データ");
    EXPECT_TRUE(State_Has("\"activeSheet\":\"\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF\"")) << State();
    EXPECT_EQ(User(standin::Add_Sheet, L"sheet1"), FALSE);  // taken, whatever the case

    // Excel selects only on the sheet on screen.
    EXPECT_EQ(Call(Get(first.Get(), L"Range", {L"B2"}).Object(), L"Select").Hr, DISP_E_EXCEPTION);
    EXPECT_EQ(User(standin::Delete_Sheet, L"データ"), TRUE);
    EXPECT_EQ(Get(added.Object(), L"Name").Hr, DISP_E_EXCEPTION);  // the object outlived its sheet
    EXPECT_EQ(Get(Get(App(), L"ActiveSheet").Object(), L"Name").Text(), L"Sheet1");

    EXPECT_EQ(User(standin::Select_Cell, L"D5"), TRUE);
    EXPECT_EQ(Get(Get(App(), L"ActiveCell").Object(), L"Address").Text(), L"$D$5");
    EXPECT_EQ(User(standin::Rename_Sheet, L"集計"), TRUE);
    EXPECT_EQ(Get(first.Get(), L"Name").Text(), L"集計");
    EXPECT_EQ(User(standin::Activate_Sheet, L"NoSuchSheet"), FALSE);
    EXPECT_EQ(User(static_cast<standin::Command>(99)), FALSE);

    EXPECT_EQ(User(standin::Close_Workbook), TRUE);
    const Reply none = Get(App(), L"ActiveWorkbook");
    EXPECT_EQ(none.Hr, S_OK);
    EXPECT_EQ(none.Value.Type(), VT_DISPATCH);
    EXPECT_EQ(none.Object(), nullptr);
    EXPECT_TRUE(State_Has(R"("activeWorkbook":null)")) << State();
    EXPECT_EQ(Get(first.Get(), L"Name").Hr, DISP_E_EXCEPTION);
}

TEST_F(Excel_Stand_In, InjectedFailureHitsOnlyTheNextCalls) {
    const Com_Ptr<IDispatch> sheet = Add_Book_Sheet();
    const Reply cell = Get(sheet.Get(), L"Range", {L"B3"});
    EXPECT_EQ(User(standin::Fail_Member, L"range.value:2"), TRUE);
    EXPECT_EQ(User(standin::Fail_Member, L"no member"), FALSE);
    EXPECT_EQ(Put(cell.Object(), L"Value", L"1").Hr, DISP_E_EXCEPTION);
    EXPECT_EQ(Get(cell.Object(), L"Value").Hr, DISP_E_EXCEPTION);
    EXPECT_EQ(Put(cell.Object(), L"Value", L"1").Hr, S_OK);
    EXPECT_TRUE(State_Has(R"("B3":{"type":"number","value":"1"})")) << State();
}

TEST_F(Excel_Stand_In, IntersectAndCellGeometry) {
    const Com_Ptr<IDispatch> sheet = Add_Book_Sheet();
    const Reply block = Get(sheet.Get(), L"Range", {L"B2:C3"});
    const Reply overlapping = Get(sheet.Get(), L"Range", {L"C3:D4"});
    const Reply apart = Get(sheet.Get(), L"Range", {L"F9"});
    const Reply common = Call(App(), L"Intersect", {block.Object(), overlapping.Object()});
    ASSERT_EQ(common.Hr, S_OK) << testing::PrintToString(common.Error);
    EXPECT_EQ(Get(common.Object(), L"Address").Text(), L"$C$3");
    const Reply nothing = Call(App(), L"Intersect", {block.Object(), apart.Object()});
    EXPECT_EQ(nothing.Hr, S_OK);
    EXPECT_EQ(nothing.Value.Type(), VT_DISPATCH);
    EXPECT_EQ(nothing.Object(), nullptr);

    // A rectangle takes one value into every cell and reads back as a 1-based two-dimensional array.
    ASSERT_EQ(Put(block.Object(), L"Value", L"7").Hr, S_OK);
    const Reply values = Get(block.Object(), L"Value");
    ASSERT_EQ(values.Value.Type(), VT_ARRAY | VT_VARIANT);
    SAFEARRAY* array = values.Value.Get().parray;
    ASSERT_EQ(SafeArrayGetDim(array), 2u);
    LONG upper_row = 0, upper_column = 0;
    SafeArrayGetUBound(array, 1, &upper_row);
    SafeArrayGetUBound(array, 2, &upper_column);
    EXPECT_EQ(upper_row, 2);
    EXPECT_EQ(upper_column, 2);
    LONG last[2] = {2, 2};
    Unique_Variant corner;
    ASSERT_EQ(SafeArrayGetElement(array, last, corner.Address()), S_OK);
    EXPECT_EQ(corner.Type(), VT_R8);
    EXPECT_TRUE(State_Has(R"("C3":{"type":"number","value":"7"})")) << State();

    const Reply cell = Get(sheet.Get(), L"Cells", {1, 3});
    EXPECT_EQ(Get(cell.Object(), L"ColumnWidth").Value.Get().dblVal, 8.43);
    EXPECT_EQ(Get(cell.Object(), L"Height").Value.Get().dblVal, 18.75);
    ASSERT_EQ(Put(cell.Object(), L"ColumnWidth", 12).Hr, S_OK);
    EXPECT_EQ(Get(cell.Object(), L"Width").Value.Get().dblVal, (12 * 7 + 5) * 0.75);
    EXPECT_TRUE(State_Has(R"("columnWidths":{"C":12})")) << State();
}

TEST_F(Excel_Stand_In, BusyExcelRejectsCallsUntilItIsFree) {
    const Com_Ptr<IDispatch> sheet = Add_Book_Sheet();
    ASSERT_EQ(User(standin::Busy, L"3000"), TRUE);
    EXPECT_EQ(Get(sheet.Get(), L"Name").Hr, RPC_E_CALL_REJECTED);
    HRESULT later = E_FAIL;
    EXPECT_TRUE(Wait_Until([&] { return SUCCEEDED(later = Get(sheet.Get(), L"Name").Hr); }, Deadline_Ms));
    EXPECT_EQ(later, S_OK);
}

TEST_F(Excel_Stand_In, UserQuitEndsTheProcessAndLaterCallsFail) {
    const Com_Ptr<IDispatch> sheet = Add_Book_Sheet();
    EXPECT_EQ(User(standin::Quit), TRUE);
    ASSERT_TRUE(Process_Ended());
    EXPECT_TRUE(FAILED(Get(App(), L"Name").Hr));
    EXPECT_TRUE(FAILED(Get(sheet.Get(), L"Name").Hr));
    EXPECT_TRUE(State_Has(R"("running":false)")) << State();
    EXPECT_TRUE(State_Has(R"("activeWorkbook":"Book1")")) << State();  // the last state stays readable
}

TEST_F(Excel_Stand_In, QuitEndsTheProcess) {
    EXPECT_EQ(Call(App(), L"Quit").Hr, S_OK);
    ASSERT_TRUE(Process_Ended());
    EXPECT_TRUE(FAILED(Get(App(), L"Name").Hr));
}

TEST_F(Excel_Stand_In, ReleasingTheLastReferenceEndsTheProcess) {
    Reply books = Get(App(), L"Workbooks");
    app_.Reset();
    EXPECT_EQ(WaitForSingleObject(process_, 0), static_cast<DWORD>(WAIT_TIMEOUT));  // Workbooks still held
    books.Value.Reset();
    EXPECT_TRUE(Process_Ended());
}

}  // namespace
