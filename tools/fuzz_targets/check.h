#pragma once
// A property that does not hold stops the fuzzer with the input that broke it.
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

// A lone surrogate (from a UTF-16 file) has no UTF-8 form: Windows writes U+FFFD for it, so such a
// text cannot come back unchanged from a file written in UTF-8.
inline bool Has_Lone_Surrogate(const std::wstring& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned long c = static_cast<unsigned long>(text[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
            (static_cast<unsigned long>(text[i + 1]) & 0xFC00) == 0xDC00)
            ++i;
        else if (c >= 0xD800 && c <= 0xDFFF)
            return true;
    }
    return false;
}
