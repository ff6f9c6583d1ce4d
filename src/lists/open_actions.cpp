#include "open_actions.h"

#include <shellapi.h>

#include <cwchar>
#include <optional>

#include "codepage.h"
#include "file_checks.h"
#include "file_lock.h"
#include "kernel_handle.h"
#include "message_pump.h"
#include "paths.h"

namespace {

// Starts a program through the shell; the process handle it hands back is closed at once.
bool Shell_Execute(HWND owner, const wchar_t* file, const wchar_t* parameters, ULONG extra_mask) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | extra_mask;
    info.hwnd = owner;
    info.lpVerb = L"open";
    info.lpFile = file;
    info.lpParameters = parameters;
    info.nShow = SW_SHOWNORMAL;
    const bool started = ShellExecuteExW(&info) != FALSE;
    const Kernel_Handle process(info.hProcess);
    Do_Events();
    return started;
}

// Chrome's full path as its installer registers it under App Paths: the user's key first, then the
// machine's, as the shell itself looks. A program started by its bare name would be looked for in the
// current folder first, and the file choosers move that folder wherever the user browses.
std::optional<std::wstring> Chrome_Path() {
    constexpr wchar_t key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\chrome.exe";
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        // RRF_RT_REG_SZ takes a REG_EXPAND_SZ value too, its variables expanded.
        DWORD size = 0;
        if (RegGetValueW(root, key, nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS ||
            size < sizeof(wchar_t))
            continue;
        std::wstring path(size / sizeof(wchar_t), L'\0');
        if (RegGetValueW(root, key, nullptr, RRF_RT_REG_SZ, nullptr, path.data(), &size) != ERROR_SUCCESS) continue;
        path.resize(wcsnlen(path.c_str(), path.size()));
        // Some installers write the path in quotes.
        if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"') path = path.substr(1, path.size() - 2);
        if (!path.empty()) return path;
    }
    return std::nullopt;
}

}  // namespace

File_Line Classify_File_Line(const std::wstring& folder, const std::wstring& line) {
    File_Line result{Path_Join(folder, line), File_Line_Kind::Empty};
    // An empty line names no file (joined, it would name the folder itself).
    if (line.empty()) return result;
    if (!Is_Plain_File(result.Path)) {
        result.Kind = File_Line_Kind::Missing;
    } else if (!Check_File_Lock(result.Path)) {
        result.Kind = File_Line_Kind::Locked;
    } else {
        const std::wstring ext = Upper_Case(Path_Split(result.Path).Ext);
        result.Kind =
            ext == L"XLS" || ext == L"XLSX" || ext == L"XLSM" ? File_Line_Kind::Workbook : File_Line_Kind::Other;
    }
    return result;
}

bool ShellExecuteEx_Process(HWND owner, const std::wstring& path) {
    return Shell_Execute(owner, path.c_str(), nullptr, 0);
}

bool Start_Chrome(HWND owner, const std::wstring& url) {
    const std::optional<std::wstring> chrome = Chrome_Path();
    if (!chrome) return false;
    // Chrome takes everything after this switch as one argument, the URL: spaces and quotes stay in
    // it, and a line that looks like a switch ("--user-data-dir=...") is never read as one.
    const std::wstring parameters = L"--single-argument " + url;
    // Without a window of its own for a missing program: the caller says so in its own words.
    return Shell_Execute(owner, chrome->c_str(), parameters.c_str(), SEE_MASK_FLAG_NO_UI);
}
