#pragma once
// The one place that converts between UTF-16 and the byte forms of text (system ANSI code page, UTF-8),
// and that maps letter case. Everything else in the program keeps text as UTF-16.
#include <optional>
#include <string>
#include <string_view>

// Decodes bytes in the system ANSI code page (932 on Japanese Windows). Invalid sequences become the
// code page's replacement character; nothing is dropped silently beyond that.
std::wstring Ansi_To_Wide(std::string_view bytes);

// Encodes in the system ANSI code page only when every character survives the round trip unchanged
// (no "?" and no best-fit look-alike); otherwise nothing.
std::optional<std::string> Wide_To_Ansi_Exact(std::wstring_view text);

std::wstring Utf8_To_Wide(std::string_view bytes);
std::string Wide_To_Utf8(std::wstring_view text);

// Bytes the character takes in the system ANSI code page: 1 or 2 (0 for an empty text).
int Ansi_Byte_Count(wchar_t ch);

// Upper- and lower-case forms with the system's Unicode case tables. The result has the same length
// as the input, so positions found in a case-folded copy are positions in the original.
std::wstring Upper_Case(std::wstring_view text);
std::wstring Lower_Case(std::wstring_view text);

// The system ANSI code page number (932 on the target systems).
unsigned Ansi_Code_Page();
