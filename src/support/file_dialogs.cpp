#include "file_dialogs.h"

#include <commdlg.h>

#include <cstdio>

#include "file_checks.h"
#include "file_dialog_rules.h"
#include "message_box.h"

namespace {

// Room for any path the system accepts, so that no choice fails for want of buffer.
constexpr DWORD File_Buffer_Size = 32768;

}  // namespace

void Open_File_Dialog(HWND owner, Open_File_State& state) {
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
    if (GetOpenFileNameW(&record)) {
        state.Ofd_Path = file.c_str();
        return;
    }
    state.Dialog_Cancelled = true;
    // Zero means the user cancelled; anything else is a dialog that could not do its job.
    if (const DWORD error = CommDlgExtendedError(); error != 0) {
        wchar_t code[16];
        std::swprintf(code, std::size(code), L"0x%04lX", static_cast<unsigned long>(error));
        Show_Message(L"ファイルを選択する画面を表示できませんでした。（エラー " + std::wstring(code) + L"）");
    }
}

int CALLBACK Browse_Callback(HWND chooser, UINT message, LPARAM, LPARAM data) {
    // A path that names no folder leaves the chooser at its default.
    if (message == BFFM_INITIALIZED) SendMessageW(chooser, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}
