#include "text_file.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "binary_file.h"
#include "codepage.h"
#include "utf8_check.h"
#include "file_handle.h"
#include "message_pump.h"

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
    // Code page 932 text is almost never valid UTF-8 once it holds a double-byte character.
    if (Is_Utf8_Beyond_Ascii(bytes)) return Utf8_To_Wide(bytes);
    return Ansi_To_Wide(bytes);
}

namespace {

// The bytes of the whole file: the ANSI code page when it holds the text exactly, else UTF-8 with its mark.
std::pair<std::string, Text_Encoding> Encode_File_Text(std::wstring_view text) {
    if (auto ansi = Wide_To_Ansi_Exact(text)) return {std::move(*ansi), Text_Encoding::Ansi};
    return {std::string(kUtf8Bom) + Wide_To_Utf8(text), Text_Encoding::Utf8_Bom};
}

}  // namespace

std::string Encode_Text_File(std::wstring_view text) { return Encode_File_Text(text).first; }

File_Text Get_File_To_Buffer1(std::wstring_view path, bool report) {
    File_Text r;
    const std::wstring p(path);
    File_Handle file(CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        if (report) r.Error = L"Wk_SysSub/Get_File_To_Buffer1「" + p + L"」はありません。";
        return r;
    }
    r.Opened = true;

    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) return r;
    if (static_cast<std::uint64_t>(size.QuadPart) > Max_Text_File_Bytes) {
        r.Too_Large = true;
        return r;
    }

    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t got = 0;
    // The file may shrink or grow while it is read: take what is there, in large pieces.
    while (got < bytes.size()) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - got, 1u << 20));
        if (!ReadFile(file.Get(), bytes.data() + got, want, &n, nullptr)) return r;
        if (n == 0) break;
        got += n;
        Do_Events_Sometimes();
    }
    bytes.resize(got);
    r.Text = Decode_Text_File(bytes);
    r.Complete = true;
    return r;
}

std::vector<std::wstring> Buffer_To_Lines(std::wstring_view buffer) {
    std::vector<std::wstring> lines;
    if (buffer.empty()) {
        lines.emplace_back();
        return lines;
    }
    while (!buffer.empty()) {
        Do_Events_Sometimes();
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

File_Write_Result Write_Text_File(std::wstring_view path, std::wstring_view text) {
    auto [bytes, encoding] = Encode_File_Text(text);
    const Binary_Write_Result written = Write_Binary_File(path, bytes);
    return File_Write_Result{written.Ok, written.Error_Code, written.Ok ? encoding : Text_Encoding::Ansi};
}

File_Write_Result Write_Lines_File(std::wstring_view path, const std::vector<std::wstring>& lines) {
    std::wstring text;
    std::size_t size = 0;
    for (const std::wstring& line : lines) size += line.size() + 2;
    text.reserve(size);
    for (const std::wstring& line : lines) {
        text += line;
        text += L"\r\n";
    }
    return Write_Text_File(path, text);
}
