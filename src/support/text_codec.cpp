// The window-free half of the text files: bytes to text and back, and lines.
#include <utility>

#include "codepage.h"
#include "text_file.h"
#include "utf8_check.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16Bom = "\xFF\xFE";

}  // namespace

std::wstring Decode_Text_File(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) return Utf8_To_Wide(bytes.substr(kUtf8Bom.size()));
    if (bytes.starts_with(kUtf16Bom)) {
        bytes.remove_prefix(kUtf16Bom.size());
        std::wstring out(bytes.size() / 2, L'\0');
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                          static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
        return out;
    }
    if (Is_Utf8_Text(bytes)) return Utf8_To_Wide(bytes);
    return Ansi_To_Wide(bytes);
}

bool Is_Text_File(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) return Is_Well_Formed_Utf8(bytes.substr(kUtf8Bom.size()));
    if (bytes.starts_with(kUtf16Bom)) return bytes.size() % 2 == 0;
    // Only code page 932 has byte sequences that are no character; other code pages read every byte.
    return Ansi_Code_Page() != 932 || Is_Valid_Cp932(bytes) || Is_Well_Formed_Utf8(bytes);
}

namespace {

// The bytes of the whole file: the ANSI code page when it holds the text exactly and its bytes cannot
// be taken for another form when read back (a text may start with the bytes of a mark, or be UTF-8
// by the reader's rule), else UTF-8 with its mark.
std::pair<std::string, Text_Encoding> Encode_File_Text(std::wstring_view text) {
    if (auto ansi = Wide_To_Ansi_Exact(text);
        ansi && !Is_Utf8_Text(*ansi) && !ansi->starts_with(kUtf8Bom) && !ansi->starts_with(kUtf16Bom))
        return {std::move(*ansi), Text_Encoding::Ansi};
    return {std::string(kUtf8Bom) + Wide_To_Utf8(text), Text_Encoding::Utf8_Bom};
}

}  // namespace

std::string Encode_Text_File(std::wstring_view text) { return Encode_File_Text(text).first; }

bool Is_Utf8_Bom_File(std::string_view bytes) { return bytes.starts_with(kUtf8Bom); }

std::vector<std::wstring> Buffer_To_Lines(std::wstring_view buffer) {
    std::vector<std::wstring> lines;
    if (buffer.empty()) {
        lines.emplace_back();
        return lines;
    }
    while (!buffer.empty()) {
        const std::size_t p = buffer.find(L"\r\n");
        if (p == std::wstring_view::npos) {
            lines.emplace_back(buffer);
            break;
        }
        lines.emplace_back(buffer.substr(0, p));
        buffer.remove_prefix(p + 2);
    }
    return lines;
}

void Lines_Redim(std::vector<std::wstring>& lines, int highest) {
    if (highest < 0) return;
    if (lines.size() < static_cast<std::size_t>(highest) + 1) lines.resize(static_cast<std::size_t>(highest) + 1);
}

std::wstring Lines_To_Buffer(const std::vector<std::wstring>& lines) {
    std::wstring text;
    std::size_t size = 0;
    for (const std::wstring& line : lines) size += line.size() + 2;
    text.reserve(size);
    for (const std::wstring& line : lines) {
        text += line;
        text += L"\r\n";
    }
    return text;
}
