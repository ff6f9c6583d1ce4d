#pragma once
// Looks and enabled states of groups of controls.
#include <vector>

class Control;
class Form;

// Ticked check box (value 1): dark navy text without strike-through; otherwise grey, struck through.
void Check_Appearance(Control& box);
// Chosen option button: dark navy text without strike-through; otherwise grey, struck through.
void Option_Appearance(Control& button);
// Check_Appearance for each box, letting window messages run after each.
void Check_Appearance_All(const std::vector<Control*>& boxes);

// True when control is container itself or sits inside it, directly or through other containers.
bool Control_Is_Inside(const Control& container, const Control& control);

// A form: its own enabled state. A container: the container and everything inside it.
void Controls_Enabled_In(Form& form, bool enabled);
void Controls_Enabled_In(Control& container, bool enabled);
