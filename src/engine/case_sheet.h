#pragma once
// A sheet per test case: during a run the user starts a new case, and the pastes go on at A1 of a
// new sheet "ケース1", "ケース2", … right after the one pasted into.
#include <string>
#include <vector>

#include "automation.h"

class Excel_Session;

// "ケース" and one more than the highest number a sheet of the book carries after it ("ケース1" in
// a book with none): the new case comes after every earlier one, even when some were deleted.
std::wstring Next_Case_Sheet_Name(const std::vector<std::wstring>& sheet_names);

// Adds the next case sheet after the target sheet, activates it with A1 selected and makes it the
// run's target. Fails when Excel added no sheet (a protected workbook, Excel gone); a sheet Excel added
// but would not rename keeps Excel's name and is the target all the same.
Call_Result Add_Case_Sheet(Excel_Session& excel);
