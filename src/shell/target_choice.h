#pragma once
// Whether the target box names a workbook file or stands for a new blank workbook.
#include <string>
#include <string_view>

// The text that stands for a new blank workbook.
inline const std::wstring New_Workbook_Text = L"新規、空白のブック";

// False for an empty text, for "新規、空白のブック" and each of its beginnings ("新", "新規", …), and for
// any text that starts with it; true for everything else, which is taken as a workbook path.
bool Check_ツール_CellDrop0_File(std::wstring_view target);
