#include "open_actions.h"

#include <shellapi.h>

#include "codepage.h"
#include "file_checks.h"
#include "file_lock.h"
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
    if (info.hProcess) CloseHandle(info.hProcess);
    Do_Events();
    return started;
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
        result.Kind = ext == L"XLS" || ext == L"XLSX" || ext == L"XLSM" ? File_Line_Kind::Workbook : File_Line_Kind::Other;
    }
    return result;
}

bool ShellExecuteEx_Process(HWND owner, const std::wstring& path) { return Shell_Execute(owner, path.c_str(), nullptr, 0); }

bool Start_Chrome(HWND owner, const std::wstring& url) {
    const std::wstring parameters = L"-url " + url;
    // Without a window of its own for a missing program: the caller says so in its own words.
    return Shell_Execute(owner, L"chrome.exe", parameters.c_str(), SEE_MASK_FLAG_NO_UI);
}
