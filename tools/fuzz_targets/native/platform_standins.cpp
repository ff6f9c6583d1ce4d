// Native stand-ins for the few platform modules the window-free readers call, so that they build on
// Linux for the fuzzers. The ANSI code page is taken as Latin-1 (one byte, one character, every byte
// a character of its own); text files live in memory.
#include <map>
#include <optional>
#include <string>

#include "codepage.h"
#include "text_file.h"
#include "ui_text.h"

namespace {

std::map<std::wstring, std::string>& Files() {
    static std::map<std::wstring, std::string> files;
    return files;
}

void Put_Utf16(std::wstring& out, unsigned long c) {
    if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (c >> 10));
        out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<wchar_t>(c);
    }
}

}  // namespace

// A strict decoder of its own: every malformed sequence becomes U+FFFD, as Windows does.
std::wstring Utf8_To_Wide(std::string_view bytes) {
    std::wstring out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        int n = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        unsigned long c = n == 0 ? b : n == 1 ? (b & 0x1F) : n == 2 ? (b & 0x0F) : (b & 0x07);
        bool ok = n >= 0 && i + static_cast<std::size_t>(n) < bytes.size();
        for (int k = 1; ok && k <= n; ++k) {
            const unsigned char t = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
            if ((t & 0xC0) != 0x80) ok = false;
            c = c << 6 | (t & 0x3F);
        }
        const unsigned long least[] = {0, 0x80, 0x800, 0x10000};
        if (ok && (c < least[static_cast<std::size_t>(n)] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) ok = false;
        if (!ok) {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        Put_Utf16(out, c);
        i += static_cast<std::size_t>(n) + 1;
    }
    return out;
}

std::string Wide_To_Utf8(std::wstring_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned long c = static_cast<unsigned long>(text[i]) & 0xFFFF;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && (text[i + 1] & 0xFC00) == 0xDC00)
            c = 0x10000 + ((c - 0xD800) << 10) + ((static_cast<unsigned long>(text[++i]) & 0xFFFF) - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6), out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12), out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18), out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F)), out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring Ansi_To_Wide(std::string_view bytes) {
    std::wstring out;
    for (char b : bytes) out += static_cast<wchar_t>(static_cast<unsigned char>(b));
    return out;
}

std::optional<std::string> Wide_To_Ansi_Exact(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text) {
        if (static_cast<unsigned long>(c) > 0xFF) return std::nullopt;
        out += static_cast<char>(c);
    }
    return out;
}

int Ansi_Byte_Count(wchar_t ch) { return static_cast<unsigned long>(ch) > 0xFF ? 2 : 1; }

std::wstring Upper_Case(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 32);
    return out;
}

std::wstring Lower_Case(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
    return out;
}

unsigned Ansi_Code_Page() { return 1252; }

Text_Language System_Text_Language() { return Text_Language::Japanese; }

File_Text Get_File_To_Buffer1(std::wstring_view path, bool, std::uint64_t max_bytes) {
    File_Text r;
    const auto f = Files().find(std::wstring(path));
    if (f == Files().end()) return r;
    r.Opened = true;
    if (f->second.size() > max_bytes) {
        r.Too_Large = true;
        return r;
    }
    r.Complete = true;
    r.Text = Decode_Text_File(f->second);
    return r;
}

File_Write_Result Write_Text_File(std::wstring_view path, std::wstring_view text) {
    std::string bytes = Encode_Text_File(text);
    const Text_Encoding encoding = Is_Utf8_Bom_File(bytes) ? Text_Encoding::Utf8_Bom : Text_Encoding::Ansi;
    Files()[std::wstring(path)] = std::move(bytes);
    return File_Write_Result{true, 0, encoding};
}

File_Write_Result Write_Lines_File(std::wstring_view path, const std::vector<std::wstring>& lines) {
    return Write_Text_File(path, Lines_To_Buffer(lines));
}
