#pragma once
// Wide strings in test failures as readable text: GoogleTest prints every character outside ASCII
// as an escape (L"\x30B3\x30D4..."), which makes a failing comparison of Japanese text unreadable.
// This printer writes them as UTF-8 instead, escaping only quotes, backslashes and control
// characters, so that a line break in a message still shows as \r\n. Every test executable gets it
// (the build force-includes this header wherever GoogleTest is compiled or used), so one rule
// prints every std::wstring, std::wstring_view and wchar_t string a test compares.
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>

namespace celldrop_test {

// UTF-16 to UTF-8; an unpaired surrogate shows as \xD800, as it is not text.
inline void Print_Wide_Text(std::wstring_view text, std::ostream* os) {
    std::string out = "L\"";
    char escape[16];
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned code = static_cast<unsigned>(text[i]) & 0xFFFFu;
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && (text[i + 1] & 0xFC00) == 0xDC00) {
            code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<unsigned>(text[++i]) - 0xDC00);
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            std::snprintf(escape, sizeof escape, "\\x%X", code);
            out += escape;
            continue;
        }
        if (code == '"' || code == '\\') {
            out += '\\';
            out += static_cast<char>(code);
        } else if (code == '\r') {
            out += "\\r";
        } else if (code == '\n') {
            out += "\\n";
        } else if (code == '\t') {
            out += "\\t";
        } else if (code < 0x20 || code == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%X", code);
            out += escape;
        } else if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    out += '"';
    *os << out;
}

}  // namespace celldrop_test

namespace testing::internal {

// GoogleTest prints a value through UniversalPrinter<T>; wide C strings are printed as std::wstring.
template <>
class UniversalPrinter<std::wstring> {
public:
    static void Print(const std::wstring& value, std::ostream* os) { celldrop_test::Print_Wide_Text(value, os); }
};

template <>
class UniversalPrinter<std::wstring_view> {
public:
    static void Print(std::wstring_view value, std::ostream* os) { celldrop_test::Print_Wide_Text(value, os); }
};

}  // namespace testing::internal
