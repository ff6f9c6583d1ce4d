#pragma once
// What the stand-in's window shows, so that someone trying the program watches the copies land: the
// active workbook's active sheet with its column letters and row numbers, the cells that hold
// values, the active cell, and a frame with its name for each picture. The view follows the active
// cell, as Excel's scrolls to it.
#include <windows.h>

#include "excel_model.h"

// The window's timer that repaints the sheet after changes, and its period.
constexpr UINT_PTR Repaint_Timer = 2;
constexpr UINT Repaint_Ms = 250;

// Draws the whole client area of the window into dc.
void Paint_Sheet(HDC dc, const RECT& client, Excel_Model& model);
