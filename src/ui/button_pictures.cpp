#include "button_pictures.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

namespace {

// The shell's small picture of a folder, or of a workbook file (the generic file picture where no
// program owns the type), sized to fit inside the button's frame; nullptr when the shell has none.
// Asked by file type and attributes, which every system answers with its own pictures; the stock
// icon table would do on Windows, but Wine answers every entry of it with the file picture.
HICON Shell_Icon(Stock_Picture picture, HWND button) {
    SHFILEINFOW info{};
    const bool folder = picture == Stock_Picture::Folder;
    if (!SHGetFileInfoW(folder ? L"folder" : L"book.xlsx", folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info,
                        sizeof info, SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES) ||
        !info.hIcon)
        return nullptr;
    RECT inside{};
    GetClientRect(button, &inside);
    // The button's frame takes two pixels on each side; a 16-pixel icon on a 17-pixel button would
    // lose its edges under it.
    const int size = std::clamp<int>(std::min(inside.right, inside.bottom) - 4, 8, 16);
    if (size == GetSystemMetrics(SM_CXSMICON)) return info.hIcon;
    HICON fitted = static_cast<HICON>(CopyImage(info.hIcon, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE));
    if (!fitted) fitted = static_cast<HICON>(CopyImage(info.hIcon, IMAGE_ICON, size, size, 0));
    if (!fitted) return info.hIcon;
    DestroyIcon(info.hIcon);
    return fitted;
}

}  // namespace

Button_Pictures::~Button_Pictures() {
    if (tooltip_ && IsWindow(tooltip_)) DestroyWindow(tooltip_);  // gone already when its owner went first
    for (HICON icon : icons_) DestroyIcon(icon);
}

HWND Button_Pictures::Tooltip(HWND owner) {
    if (tooltip_) return tooltip_;
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    return tooltip_;
}

void Button_Pictures::Add(HWND owner, HWND button, Stock_Picture picture, const std::wstring& tip) {
    if (!button) return;
    if (HICON icon = Shell_Icon(picture, button)) {
        icons_.push_back(icon);
        SetWindowLongPtrW(button, GWL_STYLE, GetWindowLongPtrW(button, GWL_STYLE) | BS_ICON);
        SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
    Add_Tip(owner, button, tip);
}

void Button_Pictures::Add_Tip(HWND owner, HWND button, const std::wstring& tip) {
    if (!button) return;
    if (HWND tooltip = Tooltip(owner)) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = GetParent(button);
        tool.uId = reinterpret_cast<UINT_PTR>(button);
        tool.lpszText = const_cast<wchar_t*>(tip.c_str());
        SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}
