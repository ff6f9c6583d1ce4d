#pragma once
// Titles of the visible top-level windows, for bringing Excel's window forward by its workbook name.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// True for a visible window that is neither a child nor a pop-up window.
bool Is_Top_Window(HWND window);
// Titles (trimmed of spaces) of the top-level windows at the level of the given window, in Z order.
std::vector<std::wstring> Win_Title_List(HWND form);
// Whether a window title names the workbook as a whole name, not as a part of a longer one:
// "帳票.xlsx - Excel", "帳票 - Excel", "Microsoft Excel - 帳票.xlsx", "帳票.xlsx [読み取り専用] - Excel"
// name "帳票.xlsx" or "帳票"; "data - Excel" does not name "a".
bool Title_Names_Workbook(std::wstring_view title, std::wstring_view name);
// Brings forward Excel's main window (class "XLMAIN") of the workbook: the first whose title names
// the workbook ("帳票.xlsx"), else the first that names it less its extension ("帳票"), as Excel
// titles it when extensions are hidden. False when none does.
bool Activate_Window_Titled(HWND form, const std::wstring& workbook_name);
