#include "clipboard_origin.h"

#include <windows.h>

#include <chrono>
#include <cwchar>
#include <future>
#include <thread>

namespace {

BOOL CALLBACK Find_Excel_Window(HWND window, LPARAM found) {
    wchar_t name[8] = {};
    if (GetClassNameW(window, name, 8) == 6 && std::wcscmp(name, L"XLMAIN") == 0) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

// Excel may own its copy through its main window or through a hidden window of the same thread (the
// OLE clipboard's).
bool Owned_By_Excel() {
    const HWND owner = GetClipboardOwner();
    const DWORD thread = owner ? GetWindowThreadProcessId(owner, nullptr) : 0;
    bool found = false;
    if (thread) EnumThreadWindows(thread, Find_Excel_Window, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool Offers_Excel_Range_Formats() {
    for (const wchar_t* name : {L"XML Spreadsheet", L"Biff12", L"Biff8"}) {
        const UINT format = RegisterClipboardFormatW(name);
        if (format && IsClipboardFormatAvailable(format)) return true;
    }
    return false;
}

}  // namespace

bool Clipboard_Copy_From_Excel() { return Owned_By_Excel() || Offers_Excel_Range_Formats(); }

Clipboard_Copy Clipboard_Read_Any_Copy(const std::atomic<bool>& stop) {
    if (!Clipboard_Copy_From_Excel()) return Clipboard_Read_Copy();
    const bool text = IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT);
    Clipboard_Copy given_up;
    given_up.Sequence = Clipboard_Sequence();
    given_up.Not_Rendered = true;
    // The reading thread holds its own result and ends once Excel has answered, however long after
    // this call has stopped waiting for it.
    std::packaged_task<Clipboard_Copy()> read([text] { return Clipboard_Read_Copy(!text); });
    std::future<Clipboard_Copy> result = read.get_future();
    std::thread(std::move(read)).detach();
    const unsigned long long deadline = GetTickCount64() + Excel_Render_Wait_Ms;
    while (result.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
        if (stop || GetTickCount64() >= deadline) return given_up;
    Clipboard_Copy copy = result.get();
    // Excel ends every row of a copied range with CR LF, the last one included: the cells' text ends
    // before it.
    std::wstring& cells = copy.Snapshot.Text;
    if (cells.size() >= 2 && cells.ends_with(L"\r\n")) cells.resize(cells.size() - 2);
    return copy;
}
