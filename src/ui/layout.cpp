#include "layout.h"

#include <windows.h>

#include <algorithm>
#include <ctime>
#include <map>
#include <optional>

#include "control.h"
#include "form.h"
#include "gdi_handles.h"
#include "message_box.h"
#include "message_pump.h"
#include "mouse_pointer.h"
#include "twips.h"
#include "ui_text.h"
#include "wait.h"

namespace {

std::vector<Rect_Twips>& Popup_Areas() {
    static std::vector<Rect_Twips> areas;
    return areas;
}

Rect_Twips Rect_Of(const Form& form) { return Rect_Twips::Make(form.Top(), form.Left(), form.Height(), form.Width()); }

void Apply(Form& form, const Rect_Twips& r) { form.Move(r.Left, r.Top, r.Width, r.Height); }

// Runs the steps of an animation; false when the form was closed meanwhile.
bool Run_Steps(Form& form, const std::vector<Layout_Step>& steps) {
    // Nobody sees a hidden window move: it goes straight to where the animation ends.
    const bool shown = form.Is_Loaded() && IsWindowVisible(form.Hwnd());
    if (!shown && !steps.empty()) {
        Apply(form, steps.back().Rect);
        return form.Is_Loaded();
    }
    for (const Layout_Step& step : steps) {
        if (!form.Is_Loaded()) return false;
        Apply(form, step.Rect);
        if (step.Pause) {
            Sleep_Ms(20);
            Do_Events();
        }
    }
    return form.Is_Loaded();
}

Rect_Twips Twips_Of(const RECT& r) {
    return Work_Area_From_Pixels(r.left, r.top, r.right, r.bottom, Twips_Per_Pixel_X(), Twips_Per_Pixel_Y());
}

bool Is_Picture_Box(const Control& c) { return c.Kind() == Control_Kind::Picture_Box; }

bool Is_Focus_Type(const Control& c) {
    switch (c.Kind()) {
        case Control_Kind::Button:
        case Control_Kind::Check_Box:
        case Control_Kind::List_Box:
        case Control_Kind::Sorted_List_Box:
        case Control_Kind::Multi_List_Box:
        case Control_Kind::Combo_Box:
        case Control_Kind::Option_Button:
        case Control_Kind::Text_Box:
        case Control_Kind::Multi_Line_Text_Box:
            return true;
        default:
            return false;
    }
}

std::vector<Chain_Link> Chain_Of(const Control& control, bool vertical) {
    std::vector<Chain_Link> chain;
    for (const Control* o = &control; o; o = o->Container()) {
        Chain_Link link{vertical ? o->Top() : o->Left(), vertical ? o->Height() : o->Width(), std::nullopt};
        if (Is_Picture_Box(*o)) link.Inner_Size = vertical ? o->Inner_Height() : o->Inner_Width();
        chain.push_back(link);
    }
    return chain;
}

float Screen_Offset_Of(const Control& control, bool vertical) {
    float x = 0;
    for (const Control* o = &control; o; o = o->Container()) {
        x += vertical ? o->Top() : o->Left();
        if (const Control* box = o->Container()) {
            x += vertical ? (box->Height() - box->Inner_Height()) / 2 : (box->Width() - box->Inner_Width()) / 2;
        }
    }
    const Form& form = control.Owner();
    if (vertical) return x + form.Top() + Form_Caption_Height(form) + Form_Border_Width(form);
    return x + form.Left() + Form_Border_Width(form);
}

}  // namespace

std::vector<Monitor_Area> Monitors_Get() {
    std::vector<Monitor_Area> monitors;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoW(monitor, &info)) {
                reinterpret_cast<std::vector<Monitor_Area>*>(data)->push_back(
                    {Twips_Of(info.rcMonitor), Twips_Of(info.rcWork)});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) {
        // The primary monitor as the older calls see it.
        const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        RECT work = screen;
        if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) work = screen;
        monitors.push_back({Twips_Of(screen), Twips_Of(work)});
    }
    return monitors;
}

Monitor_Area Monitor_Get(const Rect_Twips& where) {
    const std::vector<Monitor_Area> monitors = Monitors_Get();
    return monitors[Monitor_For(monitors, where)];
}

Rect_Twips Work_Area_Get(const Rect_Twips& where) { return Monitor_Get(where).Work; }

float Form_Border_Width(const Form& form) { return (form.Width() - form.Inner_Width()) / 2; }

float Form_Caption_Height(const Form& form) {
    return form.Height() - form.Inner_Height() - 2 * Form_Border_Width(form);
}

float Scale_Horz_Of_Container(const Control&) { return 1; }
float Scale_Vert_Of_Container(const Control&) { return 1; }
float Scale_Horz_Of_Own(const Control&) { return 1; }
float Scale_Vert_Of_Own(const Control&) { return 1; }

float Screen_Left_Of(const Control& control) { return Screen_Offset_Of(control, false); }
float Screen_Top_Of(const Control& control) { return Screen_Offset_Of(control, true); }
float Screen_Left_Of(const Form& form) { return form.Left(); }
float Screen_Top_Of(const Form& form) { return form.Top(); }

float Form_Need_Height(const Control& control) {
    const Form& form = control.Owner();
    const float h = Form_Need_Height(Chain_Of(control, true), Form_Caption_Height(form), Form_Border_Width(form));
    Do_Events();
    return h;
}

float Form_Need_Width(const Control& control) {
    const float w = Form_Need_Width(Chain_Of(control, false), Form_Border_Width(control.Owner()));
    Do_Events();
    return w;
}

void Form_Grow(Form& form, const Rect_Twips& target) {
    Run_Steps(form, Grow_Steps(Rect_Of(form), target, Work_Area_Get(target)));
}

void Form_Slide(Form& form, const Rect_Twips& target) {
    Run_Steps(form, Slide_Steps(Rect_Of(form), target, Work_Area_Get(target)));
}

void Form_Animate_To(Form& form, const Rect_Twips& target) {
    // The monitor the form is headed for, so that a window on another monitor stays there.
    const Rect_Twips work_area = Work_Area_Get(target);
    if (!Run_Steps(form, Grow_Steps(Rect_Of(form), target, work_area))) return;
    if (!Run_Steps(form, Slide_Steps(Rect_Of(form), target, work_area))) return;
    Run_Steps(form, Pull_Into_Work_Area_Steps(Rect_Of(form), work_area));
}

void Form_Fit(Form& form, const Control& bottom, const Control& right) {
    const Hourglass busy;
    const Rect_Twips target =
        Rect_Twips::Make(form.Top(), form.Left(), Form_Need_Height(bottom), Form_Need_Width(right));
    Form_Animate_To(form, target);
}

void Form_Center(Form& form) {
    const Monitor_Area monitor = Monitor_Get(Rect_Of(form));
    const Position p = Center_Position(form.Height(), form.Width(), monitor.Work, monitor.Screen);
    form.Move(p.Left, p.Top, form.Width(), form.Height());
}

void Popup_Area_Reset() { Popup_Areas().clear(); }

bool Popup_Fits_Screen(const Form& form, float top, float left) {
    const Rect_Twips placed = Rect_Twips::Make(top, left, form.Height(), form.Width());
    return Popup_Fits_Screen(top, left, form.Height(), form.Width(), Work_Area_Get(placed));
}

bool Popup_Area_Free(const Form& form, float top, float left) {
    std::vector<Rect_Twips> earlier = Popup_Areas();
    if (!earlier.empty()) earlier.pop_back();
    return Popup_Area_Free(top, left, form.Height(), form.Width(), earlier);
}

void Form_Popup_At(Form& form, const Control& anchor, const std::vector<const Control*>& more) {
    std::optional<Hourglass> busy(std::in_place);
    if (!form.Load()) return;
    const float fh = form.Height();
    const float fw = form.Width();

    std::vector<Rect_Twips> rects;
    auto add = [&rects](const Control& c) {
        rects.push_back(Rect_Twips::Make(Screen_Top_Of(c), Screen_Left_Of(c), c.Height(), c.Width()));
    };
    add(anchor);
    for (const Control* c : more)
        if (c) add(*c);
    const Rect_Twips box = Bounding_Box(rects);
    // The monitor of the control that opened the form.
    const Rect_Twips work_area = Work_Area_Get(box);
    std::vector<Rect_Twips> earlier = Popup_Areas();
    Popup_Areas().push_back(box);
    const Popup_Choice place = Popup_Place(fh, fw, box, earlier, work_area);

    // The form starts small, centred on the anchor, and grows out of it to its place.
    form.Move(box.Left + (box.Width - fw) / 2, box.Top + (box.Height - fh) / 2, fw / 5, fh / 5);
    form.Show();
    Form_Animate_To(form, Rect_Twips::Make(place.Top, place.Left, fh, fw));
    busy.reset();
    Set_Screen_Mouse_Pointer(Mouse_Pointer::Default);  // the form waits for the user now
}

void Tab_Order_In(Form& form, const Control& container) {
    std::vector<Control*> collected;
    std::vector<Order_Item> items;
    for (const auto& c : form.Controls()) {
        if (c.get() == &container || !Is_Focus_Type(*c)) continue;
        bool inside = false;
        for (const Control* o = c->Container(); o && !inside; o = o->Container()) inside = o == &container;
        if (!inside) continue;
        collected.push_back(c.get());
        items.push_back({Screen_Top_Of(*c), Screen_Left_Of(*c), c->Name(), c->Index()});
    }
    const std::vector<int> order = Tab_Order(items);
    if (order.empty()) return;

    // Windows keeps the tab order of each parent's children in their window order. Every child of a
    // parent is placed by the first tab number found in it (itself, or a control inside it); children
    // without one keep their place after the others.
    std::map<const Control*, int> first_number;
    for (std::size_t number = 0; number < order.size(); ++number) {
        for (const Control* o = collected[static_cast<std::size_t>(order[number])]; o; o = o->Container()) {
            first_number.emplace(o, static_cast<int>(number));
            if (o == &container) break;
        }
    }
    std::map<HWND, std::vector<std::pair<int, HWND>>> by_parent;
    for (const auto& [control, number] : first_number) {
        if (control == &container || !control->Hwnd()) continue;
        by_parent[GetParent(control->Hwnd())].push_back({number, control->Hwnd()});
    }
    for (auto& [parent, children] : by_parent) {
        std::sort(children.begin(), children.end());
        HWND after = HWND_TOP;
        for (const auto& child : children) {
            SetWindowPos(child.second, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            after = child.second;
        }
    }
}

void Z_Order_In(Form&, const Control&) {
    // Windows keeps one order per parent for both keyboard navigation and stacking, and the tab order
    // set above is the one users notice: no two visible controls of these screens overlap, so there is
    // no stacking to decide.
}

void List_Fit_Extent(Form& form, Control& list) {
    if (!list.Hwnd()) return;
    const int count = list.List_Count();
    float widest = 0;
    if (count > 0) {
        const Window_Dc dc(list.Hwnd());
        const Selected_Object font(dc.Get(), form.Font(false));
        for (int i = 0; i < count; ++i) {
            const std::wstring item = list.List(i);
            SIZE size{};
            if (GetTextExtentPoint32W(dc.Get(), item.c_str(), static_cast<int>(item.size()), &size))
                widest = std::max(widest, Pixels_To_Twips_X(size.cx));
        }
    }
    const int extent = List_Extent(count, widest, list.Width(), Twips_Per_Pixel_Y());
    SendMessageW(list.Hwnd(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
}

void Form_Close_All(Form& main) {
    while (true) {
        Form* other = nullptr;
        for (Form* f : Form::Loaded_Forms()) {
            if (f == &main) continue;
            other = f;
            break;
        }
        if (!other || !other->Unload()) break;
    }
    if (main.Is_Loaded() && main.State() != Window_State::Normal) {
        main.Set_State(Window_State::Normal);
        Do_Events();
    }

    auto shrink = [&main](bool width, bool height) {
        while (main.Is_Loaded()) {
            const float w = main.Width(), h = main.Height();
            Sleep_Ms(20);
            main.Move(main.Left(), main.Top(), width ? Shrink_Next(w) : w, height ? Shrink_Next(h) : h);
            Do_Events();
            if (!main.Is_Loaded()) return;
            const bool w_goes_on = Shrink_Continues(main.Width(), w);
            const bool h_goes_on = Shrink_Continues(main.Height(), h);
            if ((width && !w_goes_on) || (height && !h_goes_on)) return;
        }
    };
    if (main.Is_Loaded() && IsWindowVisible(main.Hwnd())) {
        switch (std::time(nullptr) % 60 % 3) {
            case 0:
                shrink(true, false);
                shrink(false, true);
                break;
            case 1:
                shrink(false, true);
                shrink(true, false);
                break;
            default:
                shrink(true, true);
        }
    }
    if (main.Is_Loaded()) DestroyWindow(main.Hwnd());
    PostQuitMessage(0);
}

int Control_Array_Max(const Form& form, const std::wstring& array) {
    if (!form.Find(array, 0)) {
        Show_Message(Ui_Format(Text_Id::Missing_Array_Element, {array}));
        return -1;
    }
    int count = 0;
    for (const auto& c : form.Controls())
        if (c->Name() == array) ++count;
    return count - 1;
}
