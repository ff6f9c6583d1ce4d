#pragma once
// Telling UTF-8 text from the ANSI code page's when a file carries no byte-order mark.
#include <string_view>

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values beyond
// U+10FFFF) and hold at least one character beyond ASCII. Pure ASCII is the same in both forms.
bool Is_Utf8_Beyond_Ascii(std::string_view bytes);
// True when the bytes are well-formed UTF-8 (pure ASCII and no bytes at all included).
bool Is_Well_Formed_Utf8(std::string_view bytes);

// True when the bytes are well-formed code page 932 (Shift_JIS as Windows reads it): single bytes
// 00–7F and A1–DF (half-width katakana), lead bytes 81–9F and E0–FC each followed by a trail byte
// 40–7E or 80–FC.
bool Is_Valid_Cp932(std::string_view bytes);

// The one rule for a file without a mark: UTF-8 only when its bytes could not reasonably be code page
// 932 text. Two-byte UTF-8 sequences are also half-width katakana pairs ("ﾃｽﾄｰ" is C3 BD C4 B0), so
// well-formed UTF-8 is taken as such only when it holds a sequence of three or more bytes (every
// kana, kanji and full-width symbol) or is not code page 932 at all.
bool Is_Utf8_Text(std::string_view bytes);
