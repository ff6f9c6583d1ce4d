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

bool Activate_Window_Titled(HWND form, const std::wstring& part) {
    bool found = false;
    For_Each_Top_Window(form, [&](HWND w) {
        if (Trimmed_Title(w).find(part) == std::wstring::npos) return true;
        SetForegroundWindow(w);
        found = true;
        return false;
    });
    return found;
}
