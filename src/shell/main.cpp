#include <objbase.h>
#include <windows.h>

#include "automation.h"
#include "celldrop_f.h"
#include "message_pump.h"
#include "numbered_files.h"
#include "single_instance.h"
#include "ui_text.h"

namespace {

// COM for the whole run, single-threaded apartment. RPC_E_CHANGED_MODE would mean someone initialised
// another model first; then we must not uninitialise what we did not initialise.
class Com_Apartment {
public:
    Com_Apartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    Com_Apartment(const Com_Apartment&) = delete;
    Com_Apartment& operator=(const Com_Apartment&) = delete;
    ~Com_Apartment() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }

private:
    HRESULT hr_;
};

}  // namespace

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
    Com_Apartment com;
    Busy_Retry_Filter_Registration busy_retry;
    CellDrop_F main_form(folder);
    if (!main_form.Load()) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        Dispatch_Message(msg);
    }
    return 0;
}
