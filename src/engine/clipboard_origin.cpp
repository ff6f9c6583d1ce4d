#include "clipboard_origin.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <future>
#include <initializer_list>
#include <thread>
#include <vector>

namespace {

bool Has_Class(HWND window, const wchar_t* class_name) {
    wchar_t name[32] = {};
    return GetClassNameW(window, name, 32) > 0 && std::wcscmp(name, class_name) == 0;
}

BOOL CALLBACK Find_Excel_Window(HWND window, LPARAM found) {
    if (!Has_Class(window, L"XLMAIN")) return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

// Excel owns its copy through its main window, or through the OLE clipboard's hidden window on the
// same thread.
bool Owned_By_Excel() {
    const HWND owner = GetClipboardOwner();
    if (!owner || Has_Class(owner, L"XLMAIN")) return owner != nullptr;
    bool found = false;
    if (Has_Class(owner, L"CLIPBRDWNDCLASS"))
        EnumThreadWindows(GetWindowThreadProcessId(owner, nullptr), Find_Excel_Window,
                          reinterpret_cast<LPARAM>(&found));
    return found;
}

bool Offers_Any(const std::vector<UINT>& offered, std::initializer_list<UINT> wanted) {
    return std::find_first_of(offered.begin(), offered.end(), wanted.begin(), wanted.end()) != offered.end();
}

// Excel's own formats of a copied range.
bool Offers_Excel_Range_Formats(const std::vector<UINT>& offered) {
    static const UINT xml = RegisterClipboardFormatW(L"XML Spreadsheet");
    static const UINT biff12 = RegisterClipboardFormatW(L"Biff12");
    static const UINT biff8 = RegisterClipboardFormatW(L"Biff8");
    return Offers_Any(offered, {xml, biff12, biff8});
}

}  // namespace

Clipboard_Copy Clipboard_Read_Any_Copy(const std::atomic<bool>& stop) {
    const std::vector<UINT> offered = Clipboard_Offered_Formats();
    // Made in Excel: it offers Excel's own range formats (every range Excel copies does), or it offers
    // no text and Excel owns it (a chart, a picture). Asking for the owner of every text copy would slow
    // the reading of copies that come a few milliseconds apart.
    const bool text = Offers_Any(offered, {CF_UNICODETEXT, CF_TEXT});
    if (!Offers_Excel_Range_Formats(offered) && (text || !Owned_By_Excel())) return Clipboard_Read_Copy(true, false);
    Clipboard_Copy given_up;
    given_up.Sequence = Clipboard_Sequence();
    given_up.Not_Rendered = true;
    // The reading thread holds its own result and ends once Excel has answered, however long after
    // this call has stopped waiting for it.
    std::packaged_task<Clipboard_Copy()> read([text] { return Clipboard_Read_Copy(!text, false); });
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
