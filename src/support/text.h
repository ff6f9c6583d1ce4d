#pragma once
// Text helpers shared by the whole program: splitting, case-blind replacing, character width,
// numbers read out of any text, and the two line-break texts.
#include <string>
#include <string_view>
#include <vector>

#include "fixed4.h"

// Parts of T between the occurrences of D (exact comparison; D may be several characters).
// An empty D gives one empty part; a D right after a non-empty last part adds no empty part:
//   Str_Split(L"a,b,", L",") -> {a, b};  Str_Split(L"a,,", L",") -> {a, "", ""}.
// The highest index (Split_Count) is size() - 1; the result is never empty.
std::vector<std::wstring> Str_Split(std::wstring_view text, std::wstring_view delimiter);

struct Replace_Result {
    std::wstring Text;
    int Count = 0;
};
// Replaces every occurrence of find in text, ignoring case, left to right, without overlaps.
// Text outside the matches keeps its case; the replacement is inserted as given.
Replace_Result Replace_All(std::wstring_view text, std::wstring_view find, std::wstring_view replacement);

// 2 for a double-byte character of the system ANSI code page, 1 for a single-byte one,
// 0 when the text is not exactly one character.
int Char_Width(std::wstring_view ch);

// The number written in any text: its ASCII digits in order, the first "." as decimal point, every "-"
// flipping the sign, everything else ignored; rounded to four decimals (half to even). A number beyond
// the range gives the range's limit with its sign. Number_In_Text(L"Kotei012.txt") is 12.
Fixed4 Number_In_Text(std::wstring_view text);

inline bool To_Flag(long value) { return value != 0; }

// The text without any half-width (U+0020) or full-width (U+3000) space.
std::wstring Space_Remove(std::wstring_view text);

// Nothing left once every CR LF pair and every space is removed: such a text is never kept in the
// copy history or as a fixed string.
bool Is_Blank_Text(std::wstring_view text);

inline std::wstring Get_CrLf() { return L"\r\n"; }
inline std::wstring Get_Lf() { return L"\n"; }
