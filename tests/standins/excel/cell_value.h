#pragma once
// What a cell holds, and how Excel turns a typed text or an automation value into it: the stand-in
// must store "0123" as the number 123 and "'0123" as the text "0123", as Excel does, or a test could
// not tell whether the program pasted a value the way its users expect.
#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>

#include "com_handles.h"

struct Cell_Value {
    enum class Kind { Empty, String, Number, Date, Bool, Error };
    Kind Type = Kind::Empty;
    std::wstring Text;  // Kind::String, without a leading apostrophe; Kind::Error as shown ("#NAME?")
    double Number = 0;  // Kind::Number; Kind::Date as an automation date; Kind::Bool as 0 or 1; Kind::Error its code
    bool Prefixed = false;  // Kind::String typed with a leading apostrophe
    std::wstring Formula;   // a formula ("=1+2") whose value the rest holds; empty for a constant
};

// As if typed into the cell: "'x" → text "x"; number text → number; date or time text → date;
// TRUE / FALSE → bool; "" → empty; anything else → text. A text with a line feed stays text.
Cell_Value Value_From_Text(std::wstring_view typed);

// A Range.Value put, a text read as typed, a formula included. Fails (false) for what a cell cannot
// hold (objects, arrays, error values) and for a text that starts like a formula but is none.
[[nodiscard]] bool Value_From_Variant(const VARIANT& value, Cell_Value& cell);

// A Range.Formula get of one cell: the formula, else the constant as the formula bar shows it (a text
// without its apostrophe, a number, a date as "2021/5/31 12:30:00", TRUE), "" for an empty cell.
std::wstring Formula_Text(const Cell_Value& cell);

// A Range.Value get: VT_EMPTY, VT_BSTR, VT_R8, VT_DATE, VT_BOOL or VT_ERROR.
Unique_Variant Variant_From_Value(const Cell_Value& cell);

// Shortest text that reads back as the same double: 123, 1.5, -2, 48.0075.
std::wstring Number_Text(double number);
// ISO 8601 without a zone: 2021-05-31T12:30:00.
std::wstring Date_Text(double automation_date);
