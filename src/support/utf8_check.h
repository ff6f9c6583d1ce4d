#pragma once
// Telling UTF-8 text from the ANSI code page's when a file carries no byte-order mark.
#include <string_view>

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values beyond
// U+10FFFF) and hold at least one character beyond ASCII. Pure ASCII is the same in both forms.
bool Is_Utf8_Beyond_Ascii(std::string_view bytes);
