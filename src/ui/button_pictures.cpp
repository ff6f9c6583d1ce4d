#include "button_pictures.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <vsstyle.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
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
Icon_Handle Greyed_Icon(const Icon_Bitmaps& icon) {
    if (!icon.Colour) return {};
    const int width = icon.Width, height = icon.Height;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<RGBQUAD> pixels(static_cast<size_t>(width) * height);
    std::vector<RGBQUAD> transparent(pixels.size());  // the mask: white where the background shows
    const Window_Dc screen_dc(nullptr);
    HDC screen = screen_dc.Get();
    const bool read = GetDIBits(screen, icon.Colour.Get(), 0, height, pixels.data(), &format, DIB_RGB_COLORS) &&
                      GetDIBits(screen, icon.Mask.Get(), 0, height, transparent.data(), &format, DIB_RGB_COLORS);
    if (!read) return {};
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
    if (!greyed) return {};
    ICONINFO made{TRUE, 0, 0, icon.Mask.Get(), greyed.Get()};
    return Icon_Handle(CreateIconIndirect(&made));
}

// A picture list of the icon alone, which a button draws for every state; room for one picture per
// state (normal, hot, pressed, disabled, defaulted, stylus hot), which Add_Greyed fills in.
Image_List_Handle One_Picture(HICON icon) {
    const Icon_Bitmaps bitmaps = Bitmaps_Of(icon);
    if (!bitmaps.Colour) return {};
    Image_List_Handle list(ImageList_Create(bitmaps.Width, bitmaps.Height, ILC_COLOR32 | ILC_MASK, 6, 0));
    if (list && ImageList_AddIcon(list.Get(), icon) < 0) list.Reset();
    return list;
}

// Turns the list of the icon alone into one picture per state: the icon itself, and its greyed copy
// for the disabled state. False, with the list as it was, when that cannot be made.
bool Add_Greyed(HIMAGELIST list, HICON icon) {
    const Icon_Handle greyed = Greyed_Icon(Bitmaps_Of(icon));
    if (!greyed) return false;
    bool added = true;
    for (int state = PBS_HOT; added && state <= PBS_DEFAULTED_ANIMATING; ++state)
        added = ImageList_AddIcon(list, state == PBS_DISABLED ? greyed.Get() : icon) >= 0;
    if (!added) ImageList_SetImageCount(list, 1);
    return added;
}

}  // namespace

Button_Pictures::~Button_Pictures() {
    if (timer_owner_) KillTimer(timer_owner_, reinterpret_cast<UINT_PTR>(this));
    // The tip window goes first, then the picture lists, then the icons they were made from (the
    // members' order).
}

HWND Button_Pictures::Tooltip(HWND owner) {
    if (tooltip_) return tooltip_.Get();
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    tooltip_.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                   GetModuleHandleW(nullptr), nullptr));
    return tooltip_.Get();
}

void Button_Pictures::Add(HWND button, Stock_Picture picture, const std::wstring& tip) {
    if (!button) return;
    Waiting waiting{button, Shell_Icon(picture, button), nullptr, tip};
    if (waiting.Icon) {
        icons_.emplace_back(waiting.Icon);
        SetWindowLongPtrW(button, GWL_STYLE, GetWindowLongPtrW(button, GWL_STYLE) | BS_ICON);
        SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(waiting.Icon));
        // Drawn from a picture list from the start, as it will be once the list holds a picture per state.
        // A list the button did not take goes at the end of the block.
        if (Image_List_Handle list = One_Picture(waiting.Icon)) {
            BUTTON_IMAGELIST pictures{list.Get(), {}, BUTTON_IMAGELIST_ALIGN_CENTER};
            if (SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&pictures))) {
                waiting.List = list.Get();
                state_pictures_.push_back(std::move(list));
                InvalidateRect(button, nullptr, TRUE);
            }
        }
    }
    waiting_.push_back(std::move(waiting));
}

void Button_Pictures::Finish_Later(HWND owner) {
    if (waiting_.empty() || timer_owner_) return;
    if (SetTimer(owner, reinterpret_cast<UINT_PTR>(this), USER_TIMER_MINIMUM, &On_Timer))
        timer_owner_ = owner;
    else
        On_Timer(owner, WM_TIMER, reinterpret_cast<UINT_PTR>(this), 0);
}

void CALLBACK Button_Pictures::On_Timer(HWND owner, UINT, UINT_PTR id, DWORD) {
    auto* self = reinterpret_cast<Button_Pictures*>(id);
    KillTimer(owner, id);
    self->timer_owner_ = nullptr;
    for (const Waiting& w : std::exchange(self->waiting_, {}))
        if (IsWindow(w.Button)) self->Finish(owner, w);
}

void Button_Pictures::Finish(HWND owner, const Waiting& waiting) {
    // With a picture per state the button draws its greyed copy while disabled; without (common
    // controls before version 6) it greys the icon itself.
    if (waiting.List) {
        if (Add_Greyed(waiting.List, waiting.Icon)) {
            InvalidateRect(waiting.Button, nullptr, TRUE);
        } else {
            // The icon alone would show ungreyed on a disabled button: the button greys it itself instead.
            BUTTON_IMAGELIST none{nullptr, {}, BUTTON_IMAGELIST_ALIGN_CENTER};
            SendMessageW(waiting.Button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&none));
            InvalidateRect(waiting.Button, nullptr, TRUE);
        }
    }
    Add_Tip(owner, waiting.Button, waiting.Tip);
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
