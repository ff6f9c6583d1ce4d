#pragma once
// How Excel reads a typed text that starts like a formula: "=1+1" is 2, "- 手順1" a formula naming
// something unknown (#NAME?), "=1+" or "=== 見出し ===" no formula at all, which Excel refuses
// (error 1004). A program that puts such a text into a cell as a value loses what was copied; the
// stand-in does what Excel does so that a test sees it.
#include <optional>
#include <string_view>

#include "cell_value.h"

// "=…", "@…", and "+…" / "-…" that are no number ("-5" is one).
bool Is_Formula_Entry(std::wstring_view typed);

// The value the formula shows: a number for plain arithmetic, #NAME? for a formula that names
// anything (a function, a cell, a word), #DIV/0! for a division by zero. Nothing for a text that is no
// valid formula.
std::optional<Cell_Value> Evaluate_Formula(std::wstring_view typed);
