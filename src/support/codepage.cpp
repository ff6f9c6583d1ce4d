#include "codepage.h"

#include <windows.h>

#include <climits>

namespace {

// MultiByteToWideChar and friends take int lengths; longer inputs are converted in pieces by callers
// that need them. 2 GB of text is far beyond anything the program reads.
int Int_Length(std::size_t n) { return n > INT_MAX ? INT_MAX : static_cast<int>(n); }

std::wstring Decode(UINT code_page, std::string_view bytes) {
    if (bytes.empty()) return {};
    const int in_len = Int_Length(bytes.size());
    const int out_len = MultiByteToWideChar(code_page, 0, bytes.data(), in_len, nullptr, 0);
    if (out_len <= 0) return {};
    std::wstring out(static_cast<std::size_t>(out_len), L'\0');
    MultiByteToWideChar(code_page, 0, bytes.data(), in_len, out.data(), out_len);
    return out;
}

std::wstring Map_Case(std::wstring_view text, bool upper) {
    std::wstring out(text);
    if (!out.empty()) {
        if (upper)
            CharUpperBuffW(out.data(), static_cast<DWORD>(out.size()));
        else
            CharLowerBuffW(out.data(), static_cast<DWORD>(out.size()));
    }
    return out;
}

}  // namespace

std::wstring Ansi_To_Wide(std::string_view bytes) { return Decode(CP_ACP, bytes); }

std::wstring Utf8_To_Wide(std::string_view bytes) { return Decode(CP_UTF8, bytes); }

std::optional<std::string> Wide_To_Ansi_Exact(std::wstring_view text) {
    if (text.empty()) return std::string();
    const int in_len = Int_Length(text.size());
    BOOL used_default = FALSE;
    const int out_len =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), in_len, nullptr, 0, nullptr, &used_default);
    if (out_len <= 0 || used_default) return std::nullopt;
    std::string out(static_cast<std::size_t>(out_len), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), in_len, out.data(), out_len, nullptr, &used_default);
    if (used_default) return std::nullopt;
    // Not every system honours WC_NO_BEST_FIT_CHARS for double-byte code pages (U+2014 becomes the
    // look-alike U+2015 in code page 932): only a text that decodes back to itself is exact.
    if (Ansi_To_Wide(out) != text) return std::nullopt;
    return out;
}

std::string Wide_To_Utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int in_len = Int_Length(text.size());
    const int out_len = WideCharToMultiByte(CP_UTF8, 0, text.data(), in_len, nullptr, 0, nullptr, nullptr);
    if (out_len <= 0) return {};
    std::string out(static_cast<std::size_t>(out_len), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), in_len, out.data(), out_len, nullptr, nullptr);
    return out;
}

int Ansi_Byte_Count(wchar_t ch) {
    char bytes[8];
    const int n = WideCharToMultiByte(CP_ACP, 0, &ch, 1, bytes, sizeof bytes, nullptr, nullptr);
    return n >= 2 ? 2 : (n == 1 ? 1 : 0);
}

std::wstring Upper_Case(std::wstring_view text) { return Map_Case(text, true); }
std::wstring Lower_Case(std::wstring_view text) { return Map_Case(text, false); }

unsigned Ansi_Code_Page() { return GetACP(); }
