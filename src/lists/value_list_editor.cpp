#include "value_list_editor.h"

#include <algorithm>

#include "control.h"
#include "layout.h"
#include "ui_text.h"
#include "value_list.h"
#include "value_list_editor_ids.h"

namespace {

namespace ids = value_list_editor_ids;
using K = Control_Kind;

// The list sits at the window's top left corner, so that it starts right under the box; its width
// is set when it opens. The buttons form one row below it, "閉じる" last.
// Made at the first use, in the language chosen at the start.
std::span<const Control_Def> Editor_Controls() {
    static const Control_Def controls[] = {
        {L"Lst_Value", -1, K::List_Box, nullptr, 0, 0, 5505, 2175, nullptr, -1, ids::Lst_Value},
        {L"Lst_Value_Sort", -1, K::Sorted_List_Box, nullptr, 0, 0, 1000, 1000, nullptr, -1, ids::Lst_Value_Sort},
        {L"Cmd_Ok", -1, K::Button, Ui_Text(Text_Id::Select_Entry), 60, 2235, 855, 375, nullptr, -1, ids::Cmd_Ok},
        {L"Cmd_Delete", -1, K::Button, Ui_Text(Text_Id::Delete_Entry), 975, 2235, 855, 375, nullptr, -1,
         ids::Cmd_Delete},
        {L"Cmd_Up", -1, K::Button, L"▲", 1890, 2235, 375, 375, nullptr, -1, ids::Cmd_Up},
        {L"Cmd_Down", -1, K::Button, L"▼", 2325, 2235, 375, 375, nullptr, -1, ids::Cmd_Down},
        {L"Cmd_Sort", 0, K::Button, Ui_Text(Text_Id::List_Sort_Ascending), 2760, 2235, 855, 375, nullptr, -1,
         ids::Cmd_Sort + 0},
        {L"Cmd_Sort", 1, K::Button, Ui_Text(Text_Id::List_Sort_Descending), 3675, 2235, 855, 375, nullptr, -1,
         ids::Cmd_Sort + 1},
        {L"Cmd_Cancel", -1, K::Button, Ui_Text(Text_Id::Close), 4590, 2235, 855, 375, nullptr, -1, ids::Cmd_Cancel},
    };
    return controls;
}

// Sent to itself when the editor loses the focus: it closes once the activation change is over.
constexpr UINT Close_Message = WM_APP + 1;

}  // namespace

Update2_Value_F::Update2_Value_F() : Form(L"Update2_Value_F", Ui_Text(Text_Id::History_Title)) {}

void Update2_Value_F::Open(Form& owner, Control& box, History_List& history, std::function<void()> picked_changed) {
    Unload();
    history_ = &history;
    Value_List_Load();
    Value_Text_Box = &box;
    picked_changed_ = std::move(picked_changed);
    Set_Owner(owner.Hwnd(), true);
    if (!Load()) return;
    Show();
    SetActiveWindow(Hwnd());
    SetFocus((*this)(L"Lst_Value").Hwnd());
}

void Update2_Value_F::On_Load() {
    // The controls outlive the window: a later opening recreates them instead of adding them again.
    if (!Find(L"Lst_Value")) Add_Controls(Editor_Controls());
    Control& list = (*this)(L"Lst_Value");
    Control& cancel = (*this)(L"Cmd_Cancel");
    (*this)(L"Lst_Value_Sort").Set_Visible(false);
    On(Control_Event::Click, L"Lst_Value", [this](int) { Cmd_Control(); });
    On(Control_Event::Dbl_Click, L"Lst_Value", [this](int) { Cmd_Ok_Click(); });
    On(Control_Event::Click, L"Cmd_Ok", [this](int) { Cmd_Ok_Click(); });
    On(Control_Event::Click, L"Cmd_Delete", [this](int) { Cmd_Delete_Click(); });
    On(Control_Event::Click, L"Cmd_Up", [this](int) { Cmd_Move_Click(-1); });
    On(Control_Event::Click, L"Cmd_Down", [this](int) { Cmd_Move_Click(1); });
    On(Control_Event::Click, L"Cmd_Sort", [this](int k) { Cmd_Sort_Click(k); });
    On(Control_Event::Click, L"Cmd_Cancel", [this](int) { Unload(); });

    // Placed while still hidden, so that it appears at once where it belongs, like a drop-down list.
    const Control& box = *Value_Text_Box;
    const float top = Screen_Top_Of(box) + box.Height();
    const float left = Screen_Left_Of(box) - (Width() - Inner_Width()) / 2 - list.Left();
    Move(left, top, Width(), Height());
    list.Set_Width(std::max(box.Width() + 255, cancel.Left() + cancel.Width()));
    Form_Fit(*this, cancel, list);

    list.Clear_List();
    for (const std::wstring& entry : Tb_Value_Work)
        if (!entry.empty()) list.Add_Item(entry);
    List_Fit_Extent(*this, list);
    Cmd_Control();
}

std::optional<LRESULT> Update2_Value_F::On_Message(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ACTIVATE:
            // Another window took the focus (a click anywhere else): close, as a drop-down list does.
            // Not from inside the activation change itself, which must finish first.
            if (LOWORD(wp) == WA_INACTIVE) PostMessageW(Hwnd(), Close_Message, 0, 0);
            return std::nullopt;
        case Close_Message:
            Unload();
            return 0;
        case WM_COMMAND:
            // Esc and Enter, which the keyboard handling turns into IDCANCEL and IDOK without a control.
            if (lp != 0) return std::nullopt;
            if (LOWORD(wp) == IDCANCEL) Unload();
            if (LOWORD(wp) == IDOK && (*this)(L"Cmd_Ok").Enabled()) Cmd_Ok_Click();
            return 0;
        default:
            return std::nullopt;
    }
}

void Update2_Value_F::Value_List_Load() { Tb_Value_Work = Value_List_Compact(*history_); }

void Update2_Value_F::Value_List_Store() { *history_ = Tb_Value_Work; }

void Update2_Value_F::Cmd_Control() {
    const Control& list = (*this)(L"Lst_Value");
    const Value_List_Buttons b = Value_List_Button_States(list.List_Count(), list.List_Index());
    (*this)(L"Cmd_Ok").Set_Enabled(b.Ok_Delete);
    (*this)(L"Cmd_Delete").Set_Enabled(b.Ok_Delete);
    (*this)(L"Cmd_Sort", 0).Set_Enabled(b.Sort);
    (*this)(L"Cmd_Sort", 1).Set_Enabled(b.Sort);
    (*this)(L"Cmd_Up").Set_Enabled(b.Up);
    (*this)(L"Cmd_Down").Set_Enabled(b.Down);
}

void Update2_Value_F::Cmd_Ok_Click() {
    const Control& list = (*this)(L"Lst_Value");
    const int selected = list.List_Index();
    if (selected < 0) return;
    const std::wstring value = list.List(selected);
    Control& box = *Value_Text_Box;
    const bool changed = box.Caption() != value;
    box.Set_Caption(value);
    // Closed first: the drop-down is gone before a rebuild that the new value starts.
    const std::function<void()> picked_changed = picked_changed_;
    Unload();
    if (changed && picked_changed) picked_changed();
}

void Update2_Value_F::Cmd_Delete_Click() {
    Control& list = (*this)(L"Lst_Value");
    const int selected = list.List_Index();
    if (selected < 0) return;
    list.Remove_Item(selected);
    Tb_Value_Work = {};
    for (int i = 0; i < list.List_Count() && i < History_Size; ++i)
        Tb_Value_Work[static_cast<std::size_t>(i)] = list.List(i);
    Value_List_Store();
    Cmd_Control();
}

void Update2_Value_F::Cmd_Move_Click(int step) {
    Control& list = (*this)(L"Lst_Value");
    const int from = list.List_Index();
    const int to = from + step;
    if (from < 0 || to < 0 || to >= list.List_Count()) return;
    std::swap(Tb_Value_Work[static_cast<std::size_t>(from)], Tb_Value_Work[static_cast<std::size_t>(to)]);
    list.Set_List_Item(from, Tb_Value_Work[static_cast<std::size_t>(from)]);
    list.Set_List_Item(to, Tb_Value_Work[static_cast<std::size_t>(to)]);
    SendMessageW(list.Hwnd(), LB_SETCURSEL, static_cast<WPARAM>(to), 0);
    Value_List_Store();
    Cmd_Control();
}

void Update2_Value_F::Cmd_Sort_Click(int order) {
    Control& list = (*this)(L"Lst_Value");
    // The hidden sorted list orders the lines as the system does: by the user's locale, letter case
    // ignored, so that a and A sit together before b.
    Control& sorted = (*this)(L"Lst_Value_Sort");
    sorted.Clear_List();
    for (int i = 0; i < list.List_Count(); ++i) sorted.Add_Item(list.List(i));
    list.Clear_List();
    Tb_Value_Work = {};
    const int count = std::min(sorted.List_Count(), History_Size);
    for (int j = 0; j < count; ++j) {
        const std::wstring line = sorted.List(order == 0 ? j : count - 1 - j);
        Tb_Value_Work[static_cast<std::size_t>(j)] = line;
        list.Add_Item(line);
    }
    Value_List_Store();
    Cmd_Control();
}
