#include "control_states.h"

#include "colours.h"
#include "form.h"
#include "message_pump.h"

namespace {

void Show_Chosen(Control& c, bool chosen) {
    c.Set_Fore_Color(Colour_By_Name(chosen ? L"濃紺" : L"灰色"));
    c.Set_Strikethrough(!chosen);
}

}  // namespace

void Check_Appearance(Control& box) { Show_Chosen(box, box.Value() == 1); }

void Option_Appearance(Control& button) { Show_Chosen(button, button.Value() != 0); }

void Check_Appearance_All(const std::vector<Control*>& boxes) {
    for (Control* box : boxes) {
        if (!box) continue;
        Check_Appearance(*box);
        Do_Events();
    }
}

bool Control_Is_Inside(const Control& container, const Control& control) {
    for (const Control* o = &control; o; o = o->Container())
        if (o == &container) return true;
    return false;
}

void Controls_Enabled_In(Form& form, bool enabled) { form.Set_Enabled(enabled); }

void Controls_Enabled_In(Control& container, bool enabled) {
    for (const auto& k : container.Owner().Controls())
        if (Control_Is_Inside(container, *k)) k->Set_Enabled(enabled);
}
