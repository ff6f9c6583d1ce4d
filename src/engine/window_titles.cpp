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

// Excel's main window; never the program's own window or any other program's, whatever their titles.
bool Is_Excel_Window(HWND window) {
    wchar_t class_name[16] = {};
    return GetClassNameW(window, class_name, 16) > 0 && std::wstring_view(class_name) == L"XLMAIN";
}

bool Activate_First_Naming(HWND form, const std::wstring& name) {
    bool found = false;
    For_Each_Top_Window(form, [&](HWND w) {
        if (!Is_Excel_Window(w) || !Title_Names_Workbook(Trimmed_Title(w), name)) return true;
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

bool Title_Names_Workbook(std::wstring_view title, std::wstring_view name) {
    if (name.empty()) return false;
    for (std::size_t at = title.find(name); at != std::wstring_view::npos; at = title.find(name, at + 1)) {
        // Before the name: the start, or the " - " of "Microsoft Excel - 帳票.xlsx".
        const bool starts = at == 0 || title.substr(0, at).ends_with(L"- ");
        // After it: the end, or what Excel puts after a name: " - Excel", "  -  互換モード", " [読み取り専用]".
        const std::wstring_view rest = title.substr(at + name.size());
        const bool ends = rest.empty() || rest.starts_with(L" -") || rest.starts_with(L"  ") || rest.starts_with(L" [");
        if (starts && ends) return true;
    }
    return false;
}

bool Activate_Window_Titled(HWND form, const std::wstring& workbook_name) {
    if (Activate_First_Naming(form, workbook_name)) return true;
    // With extensions hidden (the Windows default) Excel titles its window "帳票 - Excel".
    const std::size_t dot = workbook_name.find_last_of(L'.');
    if (dot == std::wstring::npos || dot == 0) return false;
    return Activate_First_Naming(form, workbook_name.substr(0, dot));
}
