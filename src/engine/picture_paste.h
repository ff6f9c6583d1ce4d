#pragma once
// Pasting a captured picture into Excel in the chosen clipboard format, and scaling it to the
// active cell.
#include <optional>
#include <string>
#include <string_view>

#include "automation.h"
#include "paste_options.h"

class Excel_Session;

// "$B$3" -> "B3".
std::wstring Address_Hensyu(std::wstring_view address);

// Pastes the clipboard's picture at the active cell of the target sheet in the format. False when Excel refused the
// paste (the message is the caller's to show, once any retry is over; the caller empties the clipboard after).
bool Paste_Picture_Now(const Excel_Session& excel, Picture_Format format);

// Scales the picture just pasted (the shape range of Excel's selection) to the cell it was pasted at as the size says
// (to fit inside the cell, to its width or its height, or not at all), keeping its top-left corner. Other pictures keep
// their size; failures leave the picture as it is. aspect_locked: whether Excel locked the picture's aspect ratio, when
// known (it is the same for every picture pasted in one format); read when not known, and known after.
void Size_Picture(const Excel_Session& excel, Picture_Size size, const Automation_Object& pasted,
                  const Automation_Object& cell, std::optional<bool>& aspect_locked);

// Scales the shapes of Excel's selection by the factor from their top-left corner; the height too
// when their aspect ratio is not locked (a locked one follows the width by itself).
Error_State Excel_シート_オブジェクト拡大縮小_Zoom(const Excel_Session& excel, double factor);
// The same for shapes already in hand (a ShapeRange); aspect_locked as for Size_Picture.
Error_State Scale_Shapes(const Excel_Session& excel, const Automation_Object& range, double factor,
                         std::optional<bool>& aspect_locked);
