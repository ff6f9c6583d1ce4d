#include "control.h"

#include <uxtheme.h>

#include <algorithm>

#include "form.h"
#include "twips.h"

namespace {

// A combo box's window height includes its dropped list: room for about ten lines below the box.
constexpr float Combo_List_Twips = 2400;

// The messages of list boxes and combo boxes that do the same job.
struct List_Messages {
    UINT Reset, Add, Count, Text_Length, Text, Get_Selection, Set_Selection, Remove, Insert;
};
constexpr List_Messages List_Box_Messages{LB_RESETCONTENT, LB_ADDSTRING, LB_GETCOUNT,     LB_GETTEXTLEN,  LB_GETTEXT,
                                          LB_GETCURSEL,    LB_SETCURSEL, LB_DELETESTRING, LB_INSERTSTRING};
constexpr List_Messages Combo_Box_Messages{CB_RESETCONTENT, CB_ADDSTRING,    CB_GETCOUNT,
                                           CB_GETLBTEXTLEN, CB_GETLBTEXT,    CB_GETCURSEL,
                                           CB_SETCURSEL,    CB_DELETESTRING, CB_INSERTSTRING};

}  // namespace

Control::Control(Form& form, Control_Kind kind, std::wstring name, std::optional<int> index, int id, Control* container)
    : form_(form), kind_(kind), name_(std::move(name)), index_(index), id_(id), container_(container) {}

Control::~Control() {
    if (kind_ == Control_Kind::Timer && form_.Hwnd()) KillTimer(form_.Hwnd(), static_cast<UINT_PTR>(id_));
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

std::wstring Control::Display_Name() const { return index_ ? name_ + L"(" + std::to_wstring(*index_) + L")" : name_; }

HWND Control::Parent_Hwnd() const { return container_ ? container_->hwnd_ : form_.Hwnd(); }

void Control::Create_Window() {
    const wchar_t* window_class = nullptr;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0);
    DWORD ex_style = 0;
    switch (kind_) {
        case Control_Kind::Button:
            window_class = L"BUTTON";
            style |= BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP;
            break;
        case Control_Kind::Label:
            window_class = L"STATIC";
            // One line, clipped at the edge like a fixed-size label, never wrapped mid-word.
            style |= SS_LEFTNOWORDWRAP | SS_NOTIFY | SS_NOPREFIX;
            break;
        case Control_Kind::Text_Box:
            window_class = L"EDIT";
            style |= ES_AUTOHSCROLL | WS_TABSTOP;
            ex_style |= WS_EX_CLIENTEDGE;
            break;
        case Control_Kind::Multi_Line_Text_Box:
            window_class = L"EDIT";
            style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP;
            ex_style |= WS_EX_CLIENTEDGE;
            break;
        case Control_Kind::List_Box:
        case Control_Kind::Sorted_List_Box:
        case Control_Kind::Multi_List_Box:
            window_class = L"LISTBOX";
            style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;
            if (kind_ == Control_Kind::Sorted_List_Box) style |= LBS_SORT;
            if (kind_ == Control_Kind::Multi_List_Box) style |= LBS_EXTENDEDSEL;
            ex_style |= WS_EX_CLIENTEDGE;
            break;
        case Control_Kind::Combo_Box:
            window_class = L"COMBOBOX";
            style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
            break;
        case Control_Kind::Option_Button:
            window_class = L"BUTTON";
            style |= BS_RADIOBUTTON | BS_MULTILINE | WS_TABSTOP;
            break;
        case Control_Kind::Check_Box:
            window_class = L"BUTTON";
            // Three-state, so that a stored 2 shows greyed: a two-state box would show it ticked.
            // Not automatic: a click goes through Notify_User_Click, which ticks a greyed box.
            style |= BS_3STATE | BS_MULTILINE | WS_TABSTOP;
            break;
        case Control_Kind::Picture_Box:
            window_class = L"CellDropPanel";
            style |= WS_CLIPCHILDREN | (border_ ? WS_BORDER : 0);
            ex_style |= WS_EX_CONTROLPARENT;  // Tab moves into the panel's controls
            break;
        case Control_Kind::Image:
            window_class = L"CellDropImage";
            break;
        case Control_Kind::VScroll_Bar:
            window_class = L"SCROLLBAR";
            style |= SBS_VERT;
            break;
        case Control_Kind::Timer:
            return;
    }
    hwnd_ = CreateWindowExW(ex_style, window_class, caption_.c_str(), style, Twips_To_Pixels_X(left_),
                            Twips_To_Pixels_Y(top_), Twips_To_Pixels_X(width_),
                            Twips_To_Pixels_Y(height_ + (Is_Combo() ? Combo_List_Twips : 0)), Parent_Hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // Themed check boxes and option buttons ignore the text colour that marks their state.
    if (kind_ == Control_Kind::Check_Box || kind_ == Control_Kind::Option_Button) SetWindowTheme(hwnd_, L"", L"");
    if (kind_ == Control_Kind::Text_Box || kind_ == Control_Kind::Multi_Line_Text_Box)
        SendMessageW(hwnd_, EM_LIMITTEXT, 0, 0);  // no 32,767-character limit on what a user types
    if (kind_ == Control_Kind::VScroll_Bar) Set_Scroll_Range(scroll_min_, scroll_max_, small_change_, large_change_);
    // What was set before the window was made (Window_Later).
    if ((kind_ == Control_Kind::Check_Box || kind_ == Control_Kind::Option_Button) && value_ != 0)
        SendMessageW(hwnd_, BM_SETCHECK, value_ == 1 ? BST_CHECKED : BST_INDETERMINATE, 0);
    if (locked_) SendMessageW(hwnd_, EM_SETREADONLY, TRUE, 0);
    Apply_Font();
    if (!enabled_) EnableWindow(hwnd_, FALSE);
}

void Control::Apply_Geometry() {
    if (!hwnd_) return;
    SetWindowPos(hwnd_, nullptr, Twips_To_Pixels_X(left_), Twips_To_Pixels_Y(top_), Twips_To_Pixels_X(width_),
                 Twips_To_Pixels_Y(height_ + (Is_Combo() ? Combo_List_Twips : 0)), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::Apply_Font() {
    if (hwnd_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(form_.Font(strikethrough_)), TRUE);
}

void Control::Apply_Timer() {
    if (kind_ != Control_Kind::Timer || !form_.Hwnd()) return;
    if (enabled_ && interval_ > 0)
        SetTimer(form_.Hwnd(), static_cast<UINT_PTR>(id_), static_cast<UINT>(interval_), nullptr);
    else
        KillTimer(form_.Hwnd(), static_cast<UINT_PTR>(id_));
}

void Control::Move(float left, float top, float width, float height) {
    left_ = left;
    top_ = top;
    width_ = std::max(0.0f, width);
    height_ = std::max(0.0f, height);
    Apply_Geometry();
}

namespace {

// A window's outer size in pixels less its frame: the client size it will have once made. Only a
// picture box's thin border (WS_BORDER, one pixel each side) is known before then.
int Inner_Pixels(int outer, bool border, int border_metric) {
    return std::max(0, outer - (border ? 2 * GetSystemMetrics(border_metric) : 0));
}

}  // namespace

float Control::Inner_Width() const {
    RECT r{};
    if (hwnd_ && GetClientRect(hwnd_, &r)) return Pixels_To_Twips_X(r.right - r.left);
    if (kind_ != Control_Kind::Picture_Box) return width_;
    return Pixels_To_Twips_X(Inner_Pixels(Twips_To_Pixels_X(width_), border_, SM_CXBORDER));
}

float Control::Inner_Height() const {
    RECT r{};
    if (hwnd_ && GetClientRect(hwnd_, &r)) return Pixels_To_Twips_Y(r.bottom - r.top);
    if (kind_ != Control_Kind::Picture_Box) return height_;
    return Pixels_To_Twips_Y(Inner_Pixels(Twips_To_Pixels_Y(height_), border_, SM_CYBORDER));
}

void Control::Set_Enabled(bool enabled) {
    enabled_ = enabled;
    if (hwnd_) EnableWindow(hwnd_, enabled ? TRUE : FALSE);
    Apply_Timer();
}

void Control::Set_Visible(bool visible) {
    visible_ = visible;
    if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

std::wstring Control::Caption() const {
    if (!hwnd_) return caption_;
    const int length = GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(0, got)));
    return text;
}

void Control::Set_Caption(const std::wstring& text) {
    caption_ = text;
    if (hwnd_) SetWindowTextW(hwnd_, text.c_str());
}

void Control::Append_Text(const std::wstring& text) {
    if (!hwnd_) {
        caption_ += text;
        return;
    }
    // A selection start beyond the text is taken as the text's end.
    constexpr WPARAM end = 0x7FFFFFFF;
    SendMessageW(hwnd_, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void Control::Set_Locked(bool locked) {
    locked_ = locked;
    if (hwnd_) SendMessageW(hwnd_, EM_SETREADONLY, locked ? TRUE : FALSE, 0);
}

void Control::Select_Text(int start, int length) {
    if (!hwnd_) return;
    SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + length));
    SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
}

int Control::Value() const { return value_; }

void Control::Set_Value(int value) {
    switch (kind_) {
        case Control_Kind::Option_Button:
            if (value == 0) {
                value_ = 0;
                if (hwnd_) SendMessageW(hwnd_, BM_SETCHECK, BST_UNCHECKED, 0);
                return;
            }
            if (value_ == 1) return;
            // Choosing one option releases the others of the same container.
            for (const auto& other : form_.Controls()) {
                if (other.get() != this && other->kind_ == Control_Kind::Option_Button &&
                    other->container_ == container_ && other->value_ != 0) {
                    other->value_ = 0;
                    if (other->hwnd_) SendMessageW(other->hwnd_, BM_SETCHECK, BST_UNCHECKED, 0);
                }
            }
            value_ = 1;
            if (hwnd_) SendMessageW(hwnd_, BM_SETCHECK, BST_CHECKED, 0);
            form_.Raise(Control_Event::Click, *this);
            return;
        case Control_Kind::Check_Box:
            value = std::clamp(value, 0, 2);
            if (value == value_) return;
            value_ = value;
            if (hwnd_)
                SendMessageW(hwnd_, BM_SETCHECK, value == 1 ? BST_CHECKED : (value == 2 ? BST_INDETERMINATE : 0), 0);
            form_.Raise(Control_Event::Click, *this);
            return;
        case Control_Kind::VScroll_Bar:
            value = std::clamp(value, std::min(scroll_min_, scroll_max_), std::max(scroll_min_, scroll_max_));
            if (value == value_) return;
            value_ = value;
            if (hwnd_) SetScrollPos(hwnd_, SB_CTL, value, TRUE);
            form_.Raise(Control_Event::Change, *this);
            return;
        default:
            value_ = value;
    }
}

void Control::Set_Fore_Color(Colour colour) {
    if (fore_color_ == colour) return;
    fore_color_ = colour;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Control::Set_Strikethrough(bool on) {
    if (strikethrough_ == on) return;
    strikethrough_ = on;
    Apply_Font();
}

void Control::Set_Border(bool on) {
    border_ = on;
    if (!hwnd_) return;
    LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    style = on ? (style | WS_BORDER) : (style & ~static_cast<LONG_PTR>(WS_BORDER));
    SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void Control::Clear_List() {
    if (hwnd_) SendMessageW(hwnd_, (Is_Combo() ? Combo_Box_Messages : List_Box_Messages).Reset, 0, 0);
}

void Control::Add_Item(const std::wstring& text) {
    if (hwnd_)
        SendMessageW(hwnd_, (Is_Combo() ? Combo_Box_Messages : List_Box_Messages).Add, 0,
                     reinterpret_cast<LPARAM>(text.c_str()));
}

void Control::Set_List(const std::vector<std::wstring>& items) {
    if (!hwnd_) return;
    const bool combo = Is_Combo();
    const List_Messages& m = combo ? Combo_Box_Messages : List_Box_Messages;
    // Drawn once at the end instead of after every line, with the room for all lines taken at once:
    // a list of thousands of lines otherwise costs seconds per thousand.
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(hwnd_, m.Reset, 0, 0);
    std::size_t chars = 0;
    for (const std::wstring& item : items) chars += item.size() + 1;
    SendMessageW(hwnd_, combo ? CB_INITSTORAGE : LB_INITSTORAGE, items.size(), chars * sizeof(wchar_t));
    for (const std::wstring& item : items) SendMessageW(hwnd_, m.Add, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

int Control::List_Count() const {
    if (!hwnd_) return 0;
    const LRESULT n = SendMessageW(hwnd_, (Is_Combo() ? Combo_Box_Messages : List_Box_Messages).Count, 0, 0);
    return n < 0 ? 0 : static_cast<int>(n);
}

std::wstring Control::List(int i) const {
    if (!hwnd_) return {};
    const List_Messages& m = Is_Combo() ? Combo_Box_Messages : List_Box_Messages;
    const LRESULT length = SendMessageW(hwnd_, m.Text_Length, static_cast<WPARAM>(i), 0);
    if (length < 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(hwnd_, m.Text, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
    return text;
}

int Control::List_Index() const {
    if (!hwnd_) return -1;
    // A list of several choices answers its caret for LB_GETCURSEL: only one line chosen is an index.
    if (kind_ == Control_Kind::Multi_List_Box) {
        const std::vector<int> chosen = Selected_Items();
        return chosen.size() == 1 ? chosen.front() : -1;
    }
    const LRESULT i = SendMessageW(hwnd_, (Is_Combo() ? Combo_Box_Messages : List_Box_Messages).Get_Selection, 0, 0);
    return i < 0 ? -1 : static_cast<int>(i);
}

void Control::Set_List_Index(int i) {
    if (!hwnd_) return;
    if (kind_ == Control_Kind::Multi_List_Box) {
        Clear_Selection();
        if (i >= 0) SendMessageW(hwnd_, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
        form_.Raise(Control_Event::Click, *this);
        return;
    }
    SendMessageW(hwnd_, (Is_Combo() ? Combo_Box_Messages : List_Box_Messages).Set_Selection, static_cast<WPARAM>(i), 0);
    // A drive list tells of a new choice as a change, as its user's choice does.
    form_.Raise(Is_Combo() ? Control_Event::Change : Control_Event::Click, *this);
}

std::vector<int> Control::Selected_Items() const {
    if (!hwnd_) return {};
    if (kind_ != Control_Kind::Multi_List_Box) {
        const int i = List_Index();
        return i < 0 ? std::vector<int>{} : std::vector<int>{i};
    }
    const LRESULT count = SendMessageW(hwnd_, LB_GETSELCOUNT, 0, 0);
    if (count <= 0) return {};
    std::vector<int> items(static_cast<std::size_t>(count));
    const LRESULT got =
        SendMessageW(hwnd_, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(items.data()));
    items.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
    return items;
}

void Control::Clear_Selection() {
    if (!hwnd_) return;
    if (kind_ == Control_Kind::Multi_List_Box)
        SendMessageW(hwnd_, LB_SETSEL, FALSE, -1);
    else
        SendMessageW(hwnd_, (Is_Combo() ? Combo_Box_Messages : List_Box_Messages).Set_Selection,
                     static_cast<WPARAM>(-1), 0);
}

void Control::Set_List_Item(int i, const std::wstring& text) {
    if (!hwnd_ || i < 0 || i >= List_Count()) return;
    const List_Messages& m = Is_Combo() ? Combo_Box_Messages : List_Box_Messages;
    const int selected = List_Index();
    SendMessageW(hwnd_, m.Remove, static_cast<WPARAM>(i), 0);
    SendMessageW(hwnd_, m.Insert, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.c_str()));
    if (selected >= 0) SendMessageW(hwnd_, m.Set_Selection, static_cast<WPARAM>(selected), 0);
}

void Control::Remove_Item(int i) {
    if (hwnd_ && i >= 0 && i < List_Count())
        SendMessageW(hwnd_, (Is_Combo() ? Combo_Box_Messages : List_Box_Messages).Remove, static_cast<WPARAM>(i), 0);
}

void Control::Set_Scroll_Range(int min, int max, int small_change, int large_change) {
    scroll_min_ = min;
    scroll_max_ = max;
    small_change_ = std::max(1, small_change);
    large_change_ = std::max(1, large_change);
    value_ = std::clamp(value_, std::min(min, max), std::max(min, max));
    if (!hwnd_) return;
    SetScrollRange(hwnd_, SB_CTL, min, max, FALSE);
    SetScrollPos(hwnd_, SB_CTL, value_, TRUE);
}

void Control::Set_Interval(int ms) {
    interval_ = std::max(0, ms);
    Apply_Timer();
}

void Control::Set_Picture(Bitmap_Handle picture) {
    picture_ = std::move(picture);
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Control::Notify_User_Click() {
    switch (kind_) {
        case Control_Kind::Option_Button:
            Set_Value(1);
            break;
        case Control_Kind::Check_Box:
            Set_Value(value_ == 1 ? 0 : 1);
            break;
        default:
            form_.Raise(Control_Event::Click, *this);
    }
}

void Control::Notify_Scroll(int request, int track_position) {
    int position = value_;
    switch (request) {
        case SB_LINEUP:
            position -= small_change_;
            break;
        case SB_LINEDOWN:
            position += small_change_;
            break;
        case SB_PAGEUP:
            position -= large_change_;
            break;
        case SB_PAGEDOWN:
            position += large_change_;
            break;
        case SB_TOP:
            position = scroll_min_;
            break;
        case SB_BOTTOM:
            position = scroll_max_;
            break;
        case SB_THUMBTRACK: {
            // Dragging the thumb: Scroll events while it moves, Change when it is let go.
            const int v =
                std::clamp(track_position, std::min(scroll_min_, scroll_max_), std::max(scroll_min_, scroll_max_));
            if (v != value_) {
                value_ = v;
                SetScrollPos(hwnd_, SB_CTL, v, TRUE);
                form_.Raise(Control_Event::Scroll, *this);
            }
            return;
        }
        case SB_THUMBPOSITION:
            position = track_position;
            break;
        case SB_ENDSCROLL:
            return;
        default:
            return;
    }
    Set_Value(position);
}

void Control::Paint_Image(HDC dc) const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    FillRect(dc, &r, form_.Background_Brush());
    if (!picture_) return;
    BITMAP info{};
    if (!GetObjectW(picture_.Get(), sizeof info, &info)) return;
    const Memory_Dc memory(CreateCompatibleDC(dc));
    if (!memory) return;
    const Selected_Object picture(memory.Get(), picture_.Get());
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, 0, 0, r.right, r.bottom, memory.Get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
}
