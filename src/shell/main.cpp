#include <windows.h>

#include "automation.h"
#include "celldrop_f.h"
#include "com_init.h"
#include "message_pump.h"
#include "numbered_files.h"
#include "single_instance.h"
#include "ui_text.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // DLLs only from the system folder: the file choosers move the current folder anywhere, and a DLL
    // of a system name lying there must never be loaded.
    if (!SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
    const std::wstring folder = Program_Folder();
    Single_Instance instance(folder);
    if (!instance.First()) {
        instance.Activate_Running(Ui_Text(Text_Id::Main_Title));
        return 0;
    }
    // Only this program writes here: what a write cut short by a crash left is its own.
    for (const wchar_t* sub : {L"", L"\\Para"}) Remove_Write_Leftovers(folder + sub);
    // COM for the whole run, single-threaded apartment.
    const Com_Init com(COINIT_APARTMENTTHREADED);
    Busy_Retry_Filter_Registration busy_retry;
    CellDrop_F main_form(folder);
    if (!main_form.Load()) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        Dispatch_Message(msg);
    }
    return 0;
}
