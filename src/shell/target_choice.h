#pragma once
// Whether the target box names a workbook file or stands for a new blank workbook.
#include <string>
#include <string_view>

#include "ui_text.h"

// The text that stands for a new blank workbook, in the display language. It is never stored: the
// settings file holds an empty line for it.
inline std::wstring New_Workbook_Text() { return Ui_Text(Text_Id::New_Workbook); }

// False for an empty text, for New_Workbook_Text() ("新規、空白のブック") and each of its beginnings ("新", "新規", …),
// and for any text that starts with it; true for everything else, which is taken as a workbook path.
bool Check_ツール_CellDrop0_File(std::wstring_view target);
