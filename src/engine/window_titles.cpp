#include "window_titles.h"

namespace {

std::wstring Trimmed_Title(HWND window) {
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 255);
    std::wstring title = buffer;
    const std::size_t first = title.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    return title.substr(first, title.find_last_not_of(L' ') - first + 1);
}

template <class Visit>
void For_Each_Top_Window(HWND form, Visit visit) {
    for (HWND w = GetWindow(form, GW_HWNDFIRST); w; w = GetWindow(w, GW_HWNDNEXT))
        if (Is_Top_Window(w) && !visit(w)) return;
}

bool Activate_First_Containing(HWND form, const std::wstring& part) {
    bool found = false;
    For_Each_Top_Window(form, [&](HWND w) {
        if (Trimmed_Title(w).find(part) == std::wstring::npos) return true;
        SetForegroundWindow(w);
        found = true;
        return false;
    });
    return found;
}

}  // namespace

bool Is_Top_Window(HWND window) {
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    return IsWindowVisible(window) && !(style & WS_CHILD) && !(style & WS_POPUP);
}

std::vector<std::wstring> Win_Title_List(HWND form) {
    std::vector<std::wstring> titles;
    For_Each_Top_Window(form, [&](HWND w) {
        titles.push_back(Trimmed_Title(w));
        return true;
    });
    return titles;
}

bool Activate_Window_Titled(HWND form, const std::wstring& workbook_name) {
    if (Activate_First_Containing(form, workbook_name)) return true;
    // With extensions hidden (the Windows default) Excel titles its window "帳票 - Excel".
    const std::size_t dot = workbook_name.find_last_of(L'.');
    if (dot == std::wstring::npos || dot == 0) return false;
    return Activate_First_Containing(form, workbook_name.substr(0, dot));
}
