#include "button_pictures.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <vsstyle.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "gdi_handles.h"

namespace {

// An icon of the shell's own resources, as a location "path,-ID".
std::wstring Shell_Resource(int id) {
    wchar_t system[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(system, MAX_PATH);
    return (n > 0 && n < MAX_PATH ? std::wstring(system) + L"\\" : std::wstring()) + L"shell32.dll,-" +
           std::to_wstring(id);
}

// The location ("path,index"; a negative index is a resource ID) of the icon workbook files are
// registered with; empty when they have none, or one per file ("%1"), which only the shell can tell.
std::wstring Registered_Workbook_Icon() {
    wchar_t registered[MAX_PATH * 2] = {};
    DWORD size = static_cast<DWORD>(std::size(registered));
    if (FAILED(AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_DEFAULTICON, L".xlsx", nullptr, registered, &size)) ||
        std::wstring_view(registered).find(L"%1") != std::wstring_view::npos)
        return {};
    wchar_t expanded[MAX_PATH * 2] = {};
    const DWORD length = ExpandEnvironmentStringsW(registered, expanded, static_cast<DWORD>(std::size(expanded)));
    return length > 0 && length <= std::size(expanded) ? std::wstring(expanded) : std::wstring();
}

// The icon at the location, size pixels square; nullptr when there is none.
HICON Icon_At(std::wstring location, int size) {
    if (location.empty()) return nullptr;
    const int index = PathParseIconLocationW(location.data());
    PathUnquoteSpacesW(location.data());
    HICON icon = nullptr;
    if (SHDefExtractIconW(location.c_str(), index, 0, &icon, nullptr, static_cast<UINT>(size)) != S_OK) return nullptr;
    return icon;
}

// The small picture of a folder, or of a workbook file (the generic file picture where no program
// owns the type), sized to fit inside the button's frame; nullptr when there is none. Read from where
// the registry and the shell's resources keep them rather than asked of the shell's file information,
// which builds the shell's whole picture cache for it: tens of milliseconds and megabytes at every
// start for two small icons. (The stock icon table would do on Windows, but Wine answers every entry
// of it with the file picture.)
HICON Shell_Icon(Stock_Picture picture, HWND button) {
    RECT inside{};
    GetClientRect(button, &inside);
    // The button's frame takes two pixels on each side; a 16-pixel icon on a 17-pixel button would
    // lose its edges under it.
    const int size = std::clamp<int>(std::min(inside.right, inside.bottom) - 4, 8, 16);
    constexpr int folder_id = 4, file_id = 1;  // the shell's closed folder and generic file
    HICON icon = picture == Stock_Picture::File ? Icon_At(Registered_Workbook_Icon(), size) : nullptr;
    if (!icon) icon = Icon_At(Shell_Resource(picture == Stock_Picture::Folder ? folder_id : file_id), size);
    return icon;
}

// An icon's colour bitmap and mask, and its size; no colour bitmap for a black-and-white icon.
struct Icon_Bitmaps {
    Bitmap_Handle Colour, Mask;
    int Width = 0, Height = 0;
};
Icon_Bitmaps Bitmaps_Of(HICON icon) {
    Icon_Bitmaps bitmaps;
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return bitmaps;
    bitmaps.Colour.Reset(info.hbmColor);
    bitmaps.Mask.Reset(info.hbmMask);
    BITMAP size{};
    if (!bitmaps.Colour || !GetObjectW(bitmaps.Colour.Get(), sizeof size, &size)) bitmaps.Colour.Reset();
    bitmaps.Width = size.bmWidth;
    bitmaps.Height = size.bmHeight;
    return bitmaps;
}

// The picture as a disabled button shows it: in shades of grey, faded halfway towards the button's
// face, with the picture's own transparency. Made here rather than left to the button, whose greying
// (DrawState) turns a picture with an alpha channel into a flat grey square under Wine.
HICON Greyed_Icon(const Icon_Bitmaps& icon) {
    if (!icon.Colour) return nullptr;
    const int width = icon.Width, height = icon.Height;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<RGBQUAD> pixels(static_cast<size_t>(width) * height);
    std::vector<RGBQUAD> transparent(pixels.size());  // the mask: white where the background shows
    HDC screen = GetDC(nullptr);
    const bool read = GetDIBits(screen, icon.Colour.Get(), 0, height, pixels.data(), &format, DIB_RGB_COLORS) &&
                      GetDIBits(screen, icon.Mask.Get(), 0, height, transparent.data(), &format, DIB_RGB_COLORS);
    if (!read) {
        ReleaseDC(nullptr, screen);
        return nullptr;
    }
    const bool has_alpha = std::any_of(pixels.begin(), pixels.end(), [](RGBQUAD p) { return p.rgbReserved != 0; });
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const int face_grey = (GetRValue(face) * 299 + GetGValue(face) * 587 + GetBValue(face) * 114) / 1000;
    for (size_t i = 0; i < pixels.size(); ++i) {
        RGBQUAD& p = pixels[i];
        if (!has_alpha && transparent[i].rgbRed) continue;  // the mask's see-through part stays untouched
        const int grey = (p.rgbRed * 299 + p.rgbGreen * 587 + p.rgbBlue * 114) / 1000;
        p.rgbRed = p.rgbGreen = p.rgbBlue = static_cast<BYTE>((grey + face_grey) / 2);
    }
    Bitmap_Handle greyed(CreateCompatibleBitmap(screen, width, height));
    if (greyed && !SetDIBits(screen, greyed.Get(), 0, height, pixels.data(), &format, DIB_RGB_COLORS)) greyed.Reset();
    ReleaseDC(nullptr, screen);
    if (!greyed) return nullptr;
    ICONINFO made{TRUE, 0, 0, icon.Mask.Get(), greyed.Get()};
    return CreateIconIndirect(&made);
}

// The button's pictures for each of its states (normal, hot, pressed, disabled, defaulted, stylus
// hot): the picture itself, and its greyed copy for the disabled state.
HIMAGELIST State_Pictures(HICON icon) {
    const Icon_Bitmaps bitmaps = Bitmaps_Of(icon);
    HICON greyed = Greyed_Icon(bitmaps);
    if (!greyed) return nullptr;
    HIMAGELIST list = ImageList_Create(bitmaps.Width, bitmaps.Height, ILC_COLOR32 | ILC_MASK, 6, 0);
    for (int state = PBS_NORMAL; list && state <= PBS_DEFAULTED_ANIMATING; ++state) {
        if (ImageList_AddIcon(list, state == PBS_DISABLED ? greyed : icon) < 0) {
            ImageList_Destroy(list);
            list = nullptr;
        }
    }
    DestroyIcon(greyed);
    return list;
}

}  // namespace

Button_Pictures::~Button_Pictures() {
    if (tooltip_ && IsWindow(tooltip_)) DestroyWindow(tooltip_);  // gone already when its owner went first
    for (HIMAGELIST list : state_pictures_) ImageList_Destroy(list);
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
        // With a picture per state the button draws its greyed copy while disabled; without (common
        // controls before version 6) it greys the icon itself.
        if (HIMAGELIST list = State_Pictures(icon)) {
            BUTTON_IMAGELIST pictures{list, {}, BUTTON_IMAGELIST_ALIGN_CENTER};
            if (SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&pictures))) {
                state_pictures_.push_back(list);
                InvalidateRect(button, nullptr, TRUE);
            } else {
                ImageList_Destroy(list);
            }
        }
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
