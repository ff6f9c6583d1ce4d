#include "single_instance.h"

#include "codepage.h"
#include "paths.h"
#include "process_image.h"
#include "wait.h"

std::wstring Instance_Mutex_Name(const std::wstring& program_folder) {
    wchar_t full[32768];
    const DWORD n = GetFullPathNameW(program_folder.c_str(), 32768, full, nullptr);
    std::wstring path = n > 0 && n < 32768 ? std::wstring(full, n) : program_folder;
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    path = Upper_Case(path);
    // A backslash would name a namespace; the name stays one name.
    for (wchar_t& c : path)
        if (c == L'\\' || c == L'/') c = L'|';
    return L"Local\\CellDrop " + path;
}

Single_Instance::Single_Instance(const std::wstring& program_folder)
    : mutex_(CreateMutexW(nullptr, FALSE, Instance_Mutex_Name(program_folder).c_str())), folder_(program_folder) {
    first_ = !(mutex_ && GetLastError() == ERROR_ALREADY_EXISTS);
}

namespace {

struct Search {
    const wchar_t* Caption;
    std::wstring Folder;
    HWND Found = nullptr;
};

// The folder of the program that owns the window.
std::wstring Program_Folder_Of(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    const std::wstring exe = Process_Image_Path(pid);
    const std::size_t slash = exe.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : exe.substr(0, slash);
}

BOOL CALLBACK Find_Window(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    if (GetWindow(window, GW_OWNER) || std::wstring(text) != search->Caption) return TRUE;
    if (Instance_Mutex_Name(Program_Folder_Of(window)) != Instance_Mutex_Name(search->Folder)) return TRUE;
    search->Found = window;
    return FALSE;
}

}  // namespace

void Single_Instance::Activate_Running(const wchar_t* caption) const {
    Search search{caption, folder_};
    // The other program may still be building its window.
    (void)Wait_Time_Until(5000, [&] {
        EnumWindows(Find_Window, reinterpret_cast<LPARAM>(&search));
        return search.Found != nullptr;
    });
    if (!search.Found) return;
    if (IsIconic(search.Found)) ShowWindow(search.Found, SW_RESTORE);
    SetForegroundWindow(search.Found);
}
