#pragma once
// Titles of the visible top-level windows, for bringing Excel's window forward by its workbook name.
#include <windows.h>

#include <string>
#include <vector>

// True for a visible window that is neither a child nor a pop-up window.
bool Is_Top_Window(HWND window);
// Titles (trimmed of spaces) of the top-level windows at the level of the given window, in Z order.
std::vector<std::wstring> Win_Title_List(HWND form);
// Brings forward Excel's window of the workbook: the first top-level window whose title contains the
// name ("帳票.xlsx"), else the first whose title contains the name less its extension ("帳票"), as
// Excel titles it when extensions are hidden. False when none does.
bool Activate_Window_Titled(HWND form, const std::wstring& workbook_name);
