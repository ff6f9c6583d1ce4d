#include "text_file.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "binary_file.h"
#include "file_handle.h"
#include "ui_text.h"

File_Text Get_File_To_Buffer1(std::wstring_view path, bool report, std::uint64_t max_bytes) {
    File_Text r;
    const std::wstring p(path);
    File_Handle file(CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        if (report) r.Error = Ui_Format(Text_Id::File_Not_Found, {p});
        return r;
    }
    r.Opened = true;

    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) return r;
    if (static_cast<std::uint64_t>(size.QuadPart) > std::min(max_bytes, Max_Text_File_Bytes)) {
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
    }
    bytes.resize(got);
    r.Text = Decode_Text_File(bytes);
    r.Complete = true;
    return r;
}

File_Write_Result Write_Text_File(std::wstring_view path, std::wstring_view text) {
    const std::string bytes = Encode_Text_File(text);
    const Text_Encoding encoding = Is_Utf8_Bom_File(bytes) ? Text_Encoding::Utf8_Bom : Text_Encoding::Ansi;
    const Binary_Write_Result written = Write_Binary_File(path, bytes);
    return File_Write_Result{written.Ok, written.Error_Code, written.Ok ? encoding : Text_Encoding::Ansi};
}

File_Write_Result Write_Lines_File(std::wstring_view path, const std::vector<std::wstring>& lines) {
    return Write_Text_File(path, Lines_To_Buffer(lines));
}
