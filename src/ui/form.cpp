#include "form.h"

#include <windowsx.h>

#include <algorithm>

#include "message_pump.h"
#include "mouse_pointer.h"
#include "twips.h"

namespace {

std::vector<Form*>& Loaded() {
    static std::vector<Form*> forms;
    return forms;
}

Control* Control_Of(HWND hwnd) {
    return hwnd ? reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)) : nullptr;
}

// Panels pass their children's notifications on to the form, which handles every control alike.
LRESULT CALLBACK Panel_Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_VSCROLL:
            if (HWND root = GetAncestor(hwnd, GA_ROOT)) return SendMessageW(root, msg, wp, lp);
            break;
        case WM_ERASEBKGND: {
            RECT r{};
            GetClientRect(hwnd, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK Image_Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (Control* c = Control_Of(hwnd)) c->Paint_Image(dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONUP:
            if (Control* c = Control_Of(hwnd)) c->Notify_User_Click();
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void Register_Toolkit_Classes() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSW wc{};
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpfnWndProc = Panel_Proc;
    wc.lpszClassName = L"CellDropPanel";
    RegisterClassW(&wc);
    wc.lpfnWndProc = Image_Proc;
    wc.lpszClassName = L"CellDropImage";
    RegisterClassW(&wc);
}

Form::Form(std::wstring window_class, std::wstring caption)
    : window_class_(std::move(window_class)), caption_(std::move(caption)) {}

Form::~Form() {
    if (hwnd_) DestroyWindow(hwnd_);
    controls_.clear();
}

const std::vector<Form*>& Form::Loaded_Forms() { return Loaded(); }

void Form::Create_Fonts() {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(9, static_cast<int>(1440.0f / Twips_Per_Pixel_Y() + 0.5f), 72);
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    wcscpy_s(lf.lfFaceName, L"ＭＳ Ｐゴシック");
    font_.Reset(CreateFontIndirectW(&lf));
    lf.lfStrikeOut = TRUE;
    strike_font_.Reset(CreateFontIndirectW(&lf));
}

void Form::Rescale(int dpi, const RECT& suggested) {
    // Laid out at this DPI already (an owned window made elsewhere and placed beside its owner).
    if (dpi == Display_Dpi_Y()) return;
    // The twips stay; the pixels they make, and the fonts, follow the new DPI.
    Set_Display_Dpi(dpi);
    Create_Fonts();
    for (const auto& c : controls_) {
        c->Apply_Geometry();
        c->Apply_Font();
    }
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT Form::Font(bool strikethrough) const { return strikethrough ? strike_font_.Get() : font_.Get(); }

HBRUSH Form::Background_Brush() const { return GetSysColorBrush(COLOR_BTNFACE); }

bool Form::Load() {
    if (hwnd_) return true;
    Register_Toolkit_Classes();
    WNDCLASSW wc{};
    wc.lpfnWndProc = Window_Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    wc.lpszClassName = window_class_.c_str();
    RegisterClassW(&wc);  // fails harmlessly when the class is already registered

    Create_Fonts();
    // An owned window is never minimised on its own: it would leave its owner for the task bar's corner.
    const DWORD style = drop_down_ ? WS_POPUP | WS_BORDER | WS_CLIPCHILDREN
                        : owner_   ? WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN
                                   : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    HWND created = CreateWindowExW(0, window_class_.c_str(), caption_.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                                   480, owner_, nullptr, wc.hInstance, this);
    if (!created) return false;
    // The main window opened on a monitor of another scale than the system's: the controls are made at
    // that one. An owned window takes its owner's, as it is placed beside it.
    if (const int dpi = owner_ ? 0 : static_cast<int>(GetDpiForWindow(created)); dpi > 0 && dpi != Display_Dpi_Y()) {
        Set_Display_Dpi(dpi);
        Create_Fonts();
    }
    Loaded().push_back(this);
    for (const auto& c : controls_)
        if (!c->hwnd_ && !c->Window_Waits()) c->Create_Window();
    On_Load();
    return hwnd_ != nullptr;
}

void Form::Show() {
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
}

void Form::Hide() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void Form::Set_Owner(HWND owner, bool drop_down) {
    owner_ = owner;
    drop_down_ = drop_down;
}

void Form::Hold_Owner() {
    if (holds_owner_ || !owner_ || !IsWindowEnabled(owner_)) return;
    EnableWindow(owner_, FALSE);
    holds_owner_ = true;
}

void Form::Release_Owner() {
    if (!holds_owner_) return;
    holds_owner_ = false;
    if (IsWindow(owner_)) EnableWindow(owner_, TRUE);
}

void Form::Show_Modal() {
    if (!hwnd_) return;
    Hold_Owner();
    Show();
    SetActiveWindow(hwnd_);
    MSG msg;
    while (hwnd_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        Dispatch_Message(msg);
    }
    Release_Owner();
}

bool Form::Unload() {
    if (!hwnd_) return true;
    if (!On_Query_Unload()) return false;
    On_Unload();
    // The owner takes input again before this window goes, so that Windows hands the activation back
    // to it rather than to another program's window.
    Release_Owner();
    if (hwnd_) DestroyWindow(hwnd_);
    return true;
}

Control& Form::Add_Control(const Control_Def& def) {
    Control* container = def.Container_Name
                             ? Find(def.Container_Name,
                                    def.Container_Index >= 0 ? std::optional<int>(def.Container_Index) : std::nullopt)
                             : nullptr;
    auto control = std::make_unique<Control>(
        *this, def.Kind, def.Name, def.Index >= 0 ? std::optional<int>(def.Index) : std::nullopt, def.Id, container);
    control->left_ = def.Left;
    control->top_ = def.Top;
    control->width_ = def.Width;
    control->height_ = def.Height;
    control->caption_ = def.Caption ? def.Caption : L"";
    if (def.Kind == Control_Kind::Timer) control->enabled_ = false;
    control->window_later_ = def.Window_Later;
    if (hwnd_ && !control->Window_Waits()) control->Create_Window();
    Control& ref = *control;
    by_id_[def.Id] = &ref;
    controls_.push_back(std::move(control));
    return ref;
}

void Form::Add_Controls(std::span<const Control_Def> table) {
    for (const Control_Def& def : table) Add_Control(def);
}

Control& Form::Load_Element(const std::wstring& name, int index) {
    if (Control* existing = Find(name, index)) return *existing;
    const Control& first = (*this)(name, 0);
    // IDs of an array are its base plus the index, so a new element's ID follows from element 0.
    auto control =
        std::make_unique<Control>(*this, first.kind_, first.name_, index, first.id_ + index, first.container_);
    control->left_ = first.left_;
    control->top_ = first.top_;
    control->width_ = first.width_;
    control->height_ = first.height_;
    control->caption_ = first.caption_;
    control->border_ = first.border_;
    control->visible_ = false;  // a new element starts hidden
    if (hwnd_ && !control->Window_Waits()) control->Create_Window();
    Control& ref = *control;
    by_id_[ref.id_] = &ref;
    controls_.push_back(std::move(control));
    return ref;
}

void Form::Make_Windows(Control& container) {
    if (!hwnd_ || container.hwnd_ || (container.container_ && !container.container_->hwnd_)) return;
    container.window_later_ = false;
    // Containers come before what they hold, so each parent is made before its children; children
    // take their places among their siblings in the order they are made, as with the form.
    for (const auto& c : controls_) {
        if (c->hwnd_ || c->Window_Waits()) continue;
        bool inside = false;
        for (const Control* o = c.get(); o && !inside; o = o->container_) inside = o == &container;
        if (inside) c->Create_Window();
    }
    if (!container.hwnd_) return;
    // The container itself joins siblings made long before: it goes where it stands in the table.
    HWND after = HWND_TOP;
    for (const auto& c : controls_) {
        if (c.get() == &container) break;
        if (c->hwnd_ && c->container_ == container.container_) after = c->hwnd_;
    }
    SetWindowPos(container.hwnd_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

Control* Form::Find(const std::wstring& name, std::optional<int> index) const {
    for (const auto& c : controls_)
        if (c->name_ == name && c->index_ == index) return c.get();
    return nullptr;
}

Control& Form::operator()(const std::wstring& name, std::optional<int> index) const {
    Control* c = Find(name, index);
    if (!c) {
        // A control missing from the screen's own table is a programming error; stop at once.
        const std::wstring text = L"Missing control " + name + (index ? L"(" + std::to_wstring(*index) + L")" : L"");
        MessageBoxW(nullptr, text.c_str(), caption_.c_str(), MB_OK | MB_ICONSTOP);
        ExitProcess(1);
    }
    return *c;
}

Control* Form::Find_By_Id(int id) const {
    const auto it = by_id_.find(id);
    return it == by_id_.end() ? nullptr : it->second;
}

void Form::On(Control_Event event, const std::wstring& name, Index_Handler handler) {
    handlers_[{event, name}] = std::move(handler);
}

void Form::Raise(Control_Event event, const Control& control) {
    const auto it = handlers_.find({event, control.Name()});
    if (it == handlers_.end()) return;
    // A copy: the handler may replace itself or unload the form while it runs.
    const Index_Handler handler = it->second;
    handler(control.Index().value_or(-1));
}

float Form::Left() const {
    RECT r{};
    return hwnd_ && GetWindowRect(hwnd_, &r) ? Pixels_To_Twips_X(r.left) : 0.0f;
}
float Form::Top() const {
    RECT r{};
    return hwnd_ && GetWindowRect(hwnd_, &r) ? Pixels_To_Twips_Y(r.top) : 0.0f;
}
float Form::Width() const {
    RECT r{};
    return hwnd_ && GetWindowRect(hwnd_, &r) ? Pixels_To_Twips_X(r.right - r.left) : 0.0f;
}
float Form::Height() const {
    RECT r{};
    return hwnd_ && GetWindowRect(hwnd_, &r) ? Pixels_To_Twips_Y(r.bottom - r.top) : 0.0f;
}

void Form::Move(float left, float top, float width, float height) {
    if (!hwnd_) return;
    SetWindowPos(hwnd_, nullptr, Twips_To_Pixels_X(left), Twips_To_Pixels_Y(top), Twips_To_Pixels_X(width),
                 Twips_To_Pixels_Y(height), SWP_NOZORDER | SWP_NOACTIVATE);
}

float Form::Inner_Width() const {
    RECT r{};
    return hwnd_ && GetClientRect(hwnd_, &r) ? Pixels_To_Twips_X(r.right) : 0.0f;
}
float Form::Inner_Height() const {
    RECT r{};
    return hwnd_ && GetClientRect(hwnd_, &r) ? Pixels_To_Twips_Y(r.bottom) : 0.0f;
}

Window_State Form::State() const {
    if (!hwnd_) return Window_State::Normal;
    if (IsIconic(hwnd_)) return Window_State::Minimized;
    if (IsZoomed(hwnd_)) return Window_State::Maximized;
    return Window_State::Normal;
}

void Form::Set_State(Window_State state) {
    if (!hwnd_) return;
    ShowWindow(hwnd_, state == Window_State::Minimized   ? SW_MINIMIZE
                      : state == Window_State::Maximized ? SW_MAXIMIZE
                                                         : SW_RESTORE);
}

void Form::Set_Caption(const std::wstring& caption) {
    caption_ = caption;
    if (hwnd_) SetWindowTextW(hwnd_, caption.c_str());
}

bool Form::Enabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }

void Form::Set_Enabled(bool enabled) {
    if (hwnd_) EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

LRESULT CALLBACK Form::Window_Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Form* form = nullptr;
    if (msg == WM_NCCREATE) {
        form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        form->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    } else {
        form = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!form) return DefWindowProcW(hwnd, msg, wp, lp);
    return form->Handle_Message(msg, wp, lp);
}

LRESULT Form::Handle_Message(UINT msg, WPARAM wp, LPARAM lp) {
    if (auto handled = On_Message(msg, wp, lp)) return *handled;
    switch (msg) {
        case WM_COMMAND:
            if (lp) On_Command(reinterpret_cast<HWND>(lp), HIWORD(wp));
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            return On_Control_Colour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), msg);
        case WM_VSCROLL:
            if (Control* c = Control_Of(reinterpret_cast<HWND>(lp)); c && c->Kind() == Control_Kind::VScroll_Bar) {
                SCROLLINFO si{};
                si.cbSize = sizeof si;
                si.fMask = SIF_TRACKPOS;
                GetScrollInfo(c->Hwnd(), SB_CTL, &si);
                c->Notify_Scroll(LOWORD(wp), si.nTrackPos);
            }
            return 0;
        case WM_TIMER:
            if (Control* c = Find_By_Id(static_cast<int>(wp)); c && c->Kind() == Control_Kind::Timer && c->Enabled())
                Raise(Control_Event::Timer, *c);
            return 0;
        case WM_SETCURSOR:
            if (Screen_Mouse_Pointer() == Mouse_Pointer::Hourglass) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_CLOSE:
            Unload();
            return 0;
        case WM_DPICHANGED:
            Rescale(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_DESTROY: {
            Release_Owner();
            auto& forms = Loaded();
            forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
            for (const auto& c : controls_)
                if (c->Kind() == Control_Kind::Timer) KillTimer(hwnd_, static_cast<UINT_PTR>(c->Id()));
            break;
        }
        case WM_NCDESTROY:
            hwnd_ = nullptr;
            for (const auto& c : controls_) c->hwnd_ = nullptr;
            break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void Form::On_Command(HWND control_hwnd, int code) {
    Control* c = Control_Of(control_hwnd);
    if (!c || &c->Owner() != this) return;
    switch (c->Kind()) {
        case Control_Kind::Button:
        case Control_Kind::Option_Button:
        case Control_Kind::Check_Box:
            if (code == BN_CLICKED) c->Notify_User_Click();
            break;
        case Control_Kind::Label:
            if (code == STN_CLICKED) Raise(Control_Event::Click, *c);
            if (code == STN_DBLCLK) Raise(Control_Event::Dbl_Click, *c);
            break;
        case Control_Kind::Text_Box:
        case Control_Kind::Multi_Line_Text_Box:
            if (code == EN_CHANGE) Raise(Control_Event::Change, *c);
            break;
        case Control_Kind::List_Box:
        case Control_Kind::Sorted_List_Box:
        case Control_Kind::Multi_List_Box:
            if (code == LBN_SELCHANGE) Raise(Control_Event::Click, *c);
            if (code == LBN_DBLCLK) Raise(Control_Event::Dbl_Click, *c);
            break;
        case Control_Kind::Combo_Box:
            if (code == CBN_SELCHANGE) Raise(Control_Event::Change, *c);
            if (code == CBN_SETFOCUS) Raise(Control_Event::Got_Focus, *c);
            break;
        default:
            break;
    }
}

LRESULT Form::On_Control_Colour(HDC dc, HWND control_hwnd, UINT msg) {
    Control* c = Control_Of(control_hwnd);
    if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX) {
        if (c) SetTextColor(dc, c->Fore_Color());
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    if (c) SetTextColor(dc, c->Fore_Color());
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(Background_Brush());
}
