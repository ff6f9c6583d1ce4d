#pragma once
// A minimal late-bound client of the Excel stand-in, independent of the server's own code, and the
// test fixture that gives each test a server process of its own (one client per process).
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

inline constexpr int Deadline_Ms = 15000;

inline bool Wait_Until(const std::function<bool()>& predicate, int timeout_ms) {
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

inline Reply Invoke(IDispatch* target, const wchar_t* member, WORD flags, std::initializer_list<Arg> positional,
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

inline Reply Get(IDispatch* target, const wchar_t* member, std::initializer_list<Arg> args = {}) {
    return Invoke(target, member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, {});
}
inline Reply Put(IDispatch* target, const wchar_t* member, Arg value) {
    return Invoke(target, member, DISPATCH_PROPERTYPUT, {}, {}, &value);
}
inline Reply Call(IDispatch* target, const wchar_t* member, std::initializer_list<Arg> args = {},
                  std::initializer_list<Named_Arg> named = {}) {
    return Invoke(target, member, DISPATCH_METHOD, args, named);
}

inline std::wstring Wine_Path(std::string host_path) {
    for (char& c : host_path)
        if (c == '/') c = '\\';
    return L"Z:" + std::wstring(host_path.begin(), host_path.end());
}

inline std::wstring Registered_Server() {
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
inline void Register_Stand_In() {
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
