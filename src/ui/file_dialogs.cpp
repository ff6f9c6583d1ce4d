#include "file_dialogs.h"

#include <commdlg.h>

#include <cstdio>

#include "file_checks.h"
#include "file_dialog_rules.h"
#include "message_box.h"
#include "ui_text.h"

namespace {

// Room for any path the system accepts, so that no choice fails for want of buffer.
constexpr DWORD File_Buffer_Size = 32768;

// The common dialog library, loaded when a file dialog first opens and kept until the program ends.
// Imported, it would load at every start and bring the print spooler with it, a sizeable part of the
// program's memory at rest, for a dialog many runs never open.
class Dialog_Library {
public:
    Dialog_Library() : module_(LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        if (!module_) {
            error_ = GetLastError();
            return;
        }
        open_ = reinterpret_cast<decltype(&GetOpenFileNameW)>(
            reinterpret_cast<void*>(GetProcAddress(module_, "GetOpenFileNameW")));
        extended_error_ = reinterpret_cast<decltype(&CommDlgExtendedError)>(
            reinterpret_cast<void*>(GetProcAddress(module_, "CommDlgExtendedError")));
        if (!open_ || !extended_error_) error_ = GetLastError();
    }
    Dialog_Library(const Dialog_Library&) = delete;
    Dialog_Library& operator=(const Dialog_Library&) = delete;
    ~Dialog_Library() {
        if (module_) FreeLibrary(module_);
    }

    // The one instance, loaded on the first call.
    static Dialog_Library& Get() {
        static Dialog_Library library;
        return library;
    }
    bool Usable() const { return open_ && extended_error_; }
    // Why the library or one of its functions could not be had.
    DWORD Load_Error() const { return error_; }
    BOOL Open(OPENFILENAMEW& record) const { return open_(&record); }
    DWORD Extended_Error() const { return extended_error_(); }

private:
    HMODULE module_;
    decltype(&GetOpenFileNameW) open_ = nullptr;
    decltype(&CommDlgExtendedError) extended_error_ = nullptr;
    DWORD error_ = 0;
};

void Report_Dialog_Failure(DWORD error) {
    wchar_t code[16];
    std::swprintf(code, std::size(code), L"0x%04lX", static_cast<unsigned long>(error));
    Show_Message(Ui_Format(Text_Id::File_Dialog_Failed, {code}));
}

}  // namespace

void Open_File_Dialog(HWND owner, Open_File_State& state) {
    const Dialog_Library& library = Dialog_Library::Get();
    if (!library.Usable()) {
        state.Dialog_Cancelled = true;
        Report_Dialog_Failure(library.Load_Error());
        return;
    }
    state.Dialog_Cancelled = false;
    const std::wstring start = Open_Dialog_Start_Folder(state.Ofd_Path, Is_Existing_Folder);
    const std::wstring filter = Open_Dialog_Filter(state.Ofd_Filter);
    std::wstring file(File_Buffer_Size, L'\0');
    std::wstring file_title(MAX_PATH, L'\0');

    OPENFILENAMEW record{};
    record.lStructSize = sizeof record;
    record.hwndOwner = owner;
    record.hInstance = GetModuleHandleW(nullptr);
    record.lpstrFilter = filter.c_str();
    record.nFilterIndex = 1;
    record.lpstrFile = file.data();
    record.nMaxFile = File_Buffer_Size;
    record.lpstrFileTitle = file_title.data();
    record.nMaxFileTitle = MAX_PATH;
    record.lpstrInitialDir = start.c_str();
    record.lpstrTitle = state.Ofd_Title.c_str();
    // OFN_NOCHANGEDIR: browsing here leaves the program's current folder where it was.
    record.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (library.Open(record)) {
        state.Ofd_Path = file.c_str();
        return;
    }
    state.Dialog_Cancelled = true;
    // Zero means the user cancelled; anything else is a dialog that could not do its job.
    if (const DWORD error = library.Extended_Error(); error != 0) Report_Dialog_Failure(error);
}

int CALLBACK Browse_Callback(HWND chooser, UINT message, LPARAM, LPARAM data) {
    // A path that names no folder leaves the chooser at its default.
    if (message == BFFM_INITIALIZED) SendMessageW(chooser, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}
