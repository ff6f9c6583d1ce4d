// The Excel stand-in reached as the program reaches Excel: created through "Excel.Application",
// called late-bound through IDispatch, fed by the real clipboard, and acted on as the user through
// its window. Each test gets a server process of its own (one client per process). The tests share
// one clipboard, so they run one after another in this single process.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "../../common/clipboard_copy.h"
#include "../../common/json_value.h"
#include "../../common/temp_folder.h"
#include "../../common/test_files.h"
#include "com_handles.h"
#include "standin_protocol.h"

namespace {

constexpr int Deadline_Ms = 15000;

bool Wait_Until(const std::function<bool()>& predicate, int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        if (predicate()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        Sleep(20);
    }
}

// ---- a minimal late-bound client, independent of the server's own code ----

// One argument: converts from the C++ values the tests pass.
struct Arg {
    Unique_Variant Value;
    Arg(const wchar_t* text) : Value(Unique_Variant::Text(text)) {}
    Arg(int number) : Value(Unique_Variant::Long(number)) {}
    Arg(double number) : Value(Unique_Variant::Double(number)) {}
    Arg(IDispatch* object) : Value(Unique_Variant::Object(object)) {}
};

struct Named_Arg {
    const wchar_t* Name;
    Arg Value;
};

struct Reply {
    HRESULT Hr = E_FAIL;
    Unique_Variant Value;
    std::wstring Error;  // EXCEPINFO's description

    IDispatch* Object() const { return Value.Type() == VT_DISPATCH ? Value.Get().pdispVal : nullptr; }
    std::wstring Text() const {
        Unique_Variant text;
        if (FAILED(VariantChangeType(text.Address(), const_cast<VARIANT*>(&Value.Get()), 0, VT_BSTR))) return L"<?>";
        return std::wstring(text.Get().bstrVal, SysStringLen(text.Get().bstrVal));
    }
};

Reply Invoke(IDispatch* target, const wchar_t* member, WORD flags, std::initializer_list<Arg> positional,
             std::initializer_list<Named_Arg> named, const Arg* put_value = nullptr) {
    Reply reply;
    if (!target) return reply;
    std::vector<LPOLESTR> names{const_cast<LPOLESTR>(member)};
    for (const Named_Arg& n : named) names.push_back(const_cast<LPOLESTR>(n.Name));
    std::vector<DISPID> ids(names.size());
    reply.Hr =
        target->GetIDsOfNames(IID_NULL, names.data(), static_cast<UINT>(names.size()), LOCALE_USER_DEFAULT, ids.data());
    if (FAILED(reply.Hr)) return reply;
    // DISPPARAMS order: named arguments first (a put's value is the named DISPID_PROPERTYPUT), then
    // positional ones last to first.
    std::vector<Unique_Variant> args;
    std::vector<DISPID> named_ids;
    if (put_value) {
        args.push_back(Unique_Variant::Copy_Of(put_value->Value.Get()));
        named_ids.push_back(DISPID_PROPERTYPUT);
    }
    std::size_t i = 1;
    for (const Named_Arg& n : named) {
        args.push_back(Unique_Variant::Copy_Of(n.Value.Value.Get()));
        named_ids.push_back(ids[i++]);
    }
    for (auto it = std::rbegin(positional); it != std::rend(positional); ++it)
        args.push_back(Unique_Variant::Copy_Of(it->Value.Get()));
    static_assert(sizeof(Unique_Variant) == sizeof(VARIANT));
    DISPPARAMS params{reinterpret_cast<VARIANT*>(args.data()), named_ids.data(), static_cast<UINT>(args.size()),
                      static_cast<UINT>(named_ids.size())};
    EXCEPINFO exception{};
    UINT arg_error = 0;
    reply.Hr = target->Invoke(ids[0], IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                              put_value ? nullptr : reply.Value.Put(), &exception, &arg_error);
    if (reply.Hr == DISP_E_EXCEPTION) {
        if (exception.bstrDescription) reply.Error = exception.bstrDescription;
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
    }
    return reply;
}

Reply Get(IDispatch* target, const wchar_t* member, std::initializer_list<Arg> args = {}) {
    return Invoke(target, member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, {});
}
Reply Put(IDispatch* target, const wchar_t* member, Arg value) {
    return Invoke(target, member, DISPATCH_PROPERTYPUT, {}, {}, &value);
}
Reply Call(IDispatch* target, const wchar_t* member, std::initializer_list<Arg> args = {},
           std::initializer_list<Named_Arg> named = {}) {
    return Invoke(target, member, DISPATCH_METHOD, args, named);
}

std::wstring Wine_Path(std::string host_path) {
    for (char& c : host_path)
        if (c == '/') c = '\\';
    return L"Z:" + std::wstring(host_path.begin(), host_path.end());
}

std::wstring Registered_Server() {
    wchar_t value[MAX_PATH * 2] = {};
    LONG size = sizeof value;
    if (RegQueryValueW(HKEY_CLASSES_ROOT, L"CLSID\\{00024500-0000-0000-C000-000000000046}\\LocalServer32", value,
                       &size) != ERROR_SUCCESS)
        return L"";
    std::wstring path = value;
    if (path.size() >= 2 && path.front() == L'"') path = path.substr(1, path.find(L'"', 1) - 1);
    return path;
}

// Points the prefix's "Excel.Application" at this build's stand-in unless it already is.
void Register_Stand_In() {
    const std::wstring exe = Wine_Path(EXCEL_STANDIN_EXE);
    if (CompareStringOrdinal(Registered_Server().c_str(), -1, exe.c_str(), -1, TRUE) == CSTR_EQUAL) return;
    std::wstring command = L"\"" + exe + L"\" /RegServer";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        << GetLastError();
    WaitForSingleObject(process.hProcess, Deadline_Ms);
    DWORD exit_code = 1;
    GetExitCodeProcess(process.hProcess, &exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_EQ(exit_code, 0u);
}

class Excel_Stand_In : public testing::Test {
protected:
    void SetUp() override {
        // The records' paths travel to the server through the environment it inherits from us.
        ASSERT_TRUE(SetEnvironmentVariableW(standin::State_Variable, state_path_.c_str()));
        ASSERT_TRUE(SetEnvironmentVariableW(standin::Log_Variable, log_path_.c_str()));
        CLSID clsid{};
        ASSERT_EQ(CLSIDFromProgID(L"Excel.Application", &clsid), S_OK);
        ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, app_.Put_Void()), S_OK);
        const Reply hwnd = Get(App(), L"Hwnd");
        ASSERT_EQ(hwnd.Hr, S_OK);
        window_ = reinterpret_cast<HWND>(static_cast<LONG_PTR>(hwnd.Value.Get().lVal));
        DWORD pid = 0;
        ASSERT_NE(GetWindowThreadProcessId(window_, &pid), 0u);
        process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
        ASSERT_NE(process_, nullptr);
    }

    void TearDown() override {
        app_.Reset();
        // A server a failed test left running would linger: stop it.
        if (process_ && WaitForSingleObject(process_, Deadline_Ms) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
        if (process_) CloseHandle(process_);
    }

    IDispatch* App() const { return app_.Get(); }
    std::string State() const { return Read_Bytes(state_path_); }
    std::string Log() const { return Read_Bytes(log_path_); }
    bool State_Has(const std::string& piece) const { return State().find(piece) != std::string::npos; }
    // The first sheet of the first book, as the state file has it.
    Json_Value First_Sheet() const { return Json_Value::Parse(State())["workbooks"][0]["sheets"][0]; }

    // As the user: WM_COPYDATA to Excel's window; the answer says whether the command was done.
    LRESULT User(standin::Command command, const std::wstring& text = L"") const {
        COPYDATASTRUCT data{command, static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                            const_cast<wchar_t*>(text.data())};
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                                 Deadline_Ms, &result))
            return -1;
        return static_cast<LRESULT>(result);
    }

    bool Process_Ended() const { return WaitForSingleObject(process_, Deadline_Ms) == WAIT_OBJECT_0; }

    // A sheet to work on: Workbooks.Add, then its active sheet.
    Com_Ptr<IDispatch> Add_Book_Sheet() {
        Reply books = Get(App(), L"Workbooks");
        Reply book = Call(books.Object(), L"Add");
        EXPECT_EQ(book.Hr, S_OK) << testing::PrintToString(book.Error);
        Reply sheet = Get(book.Object(), L"ActiveSheet");
        return Com_Ptr<IDispatch>::Share(sheet.Object());
    }

    Temp_Folder folder_;
    const std::wstring state_path_ = folder_ / L"state.json";
    const std::wstring log_path_ = folder_ / L"calls.jsonl";
    Com_Ptr<IDispatch> app_;
    HWND window_ = nullptr;
    HANDLE process_ = nullptr;
};

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
                          R"(","kind":"picture","left":48,"top":37.5,"width":75,"height":37.5,"topLeftCell":"B3"}],)"
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

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const Com_Apartment apartment;
    if (FAILED(apartment.Result())) return 2;
    Register_Stand_In();
    if (testing::Test::HasFatalFailure()) return 3;
    return RUN_ALL_TESTS();
}
