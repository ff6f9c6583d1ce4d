#pragma once
// Layout of the program's windows at run time: a form sized to the controls it must show, centred or
// popped up beside the control that opened it, grown and moved in a short animation and pulled back
// into the work area; tab and stacking order by screen position; list scroll extents; the closing
// shrink. The arithmetic lives in layout_math (window-free); this layer applies it to real windows.
#include <string>
#include <vector>

#include "layout_math.h"

class Control;
class Form;

// Every monitor of the desktop, in twips.
std::vector<Monitor_Area> Monitors_Get();
// The monitor that holds the rectangle (the one it overlaps most, else the nearest), and its area not
// covered by the task bar, in twips.
Monitor_Area Monitor_Get(const Rect_Twips& where);
Rect_Twips Work_Area_Get(const Rect_Twips& where);

void Form_Center(Form& form);
// Outer height and width that show the bottom control's lower edge and the right control's right edge.
void Form_Fit(Form& form, const Control& bottom, const Control& right);
float Form_Need_Height(const Control& control);
float Form_Need_Width(const Control& control);
void Form_Animate_To(Form& form, const Rect_Twips& target);
void Form_Grow(Form& form, const Rect_Twips& target);
void Form_Slide(Form& form, const Rect_Twips& target);

// Loads the form, places it beside the anchor (and the further controls), shows it and grows it out of
// the anchor to that place.
void Form_Popup_At(Form& form, const Control& anchor, const std::vector<const Control*>& more = {});
void Popup_Area_Reset();
bool Popup_Fits_Screen(const Form& form, float top, float left);
bool Popup_Area_Free(const Form& form, float top, float left);

float Screen_Left_Of(const Control& control);
float Screen_Top_Of(const Control& control);
float Screen_Left_Of(const Form& form);
float Screen_Top_Of(const Form& form);
float Form_Border_Width(const Form& form);
float Form_Caption_Height(const Form& form);

// Twips per unit of a control's container and inside an object: every form and picture box of the
// program works in twips, so these are 1.
float Scale_Horz_Of_Container(const Control& control);
float Scale_Vert_Of_Container(const Control& control);
float Scale_Horz_Of_Own(const Control& control);
float Scale_Vert_Of_Own(const Control& control);

void Tab_Order_In(Form& form, const Control& container);
void Z_Order_In(Form& form, const Control& container);
void List_Fit_Extent(Form& form, Control& list);

// Closes every other form, shrinks the given one away, destroys it and asks the message loop to end.
// Callers return at once afterwards; nested waits see the quit request and return too.
void Form_Close_All(Form& main);

// Highest index of the control array: the number of the form's controls of that name, minus one.
int Control_Array_Max(const Form& form, const std::wstring& array);
