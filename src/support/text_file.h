#pragma once
// The program's text files: whole-file reads, line splitting, and atomic writes.
// Files are in the system ANSI code page with CR LF line ends. A text the code page cannot hold
// exactly is written as UTF-8 with a byte-order mark instead, and the reader accepts that form (and
// UTF-16 with its mark), so no character is ever turned into "?".
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct File_Text {
    std::wstring Text;   // the decoded file; empty when it could not be read
    std::wstring Error;  // the report text, when one was asked for and the file could not be opened
    bool Opened = false;
    bool Too_Large = false;  // over Max_Text_File_Bytes: not read at all
    bool Complete = false;   // opened and read to its end: Text is the whole file
};

// Files are read whole into memory; nothing the program writes comes near this size.
constexpr std::uint64_t Max_Text_File_Bytes = 64ull * 1024 * 1024;

// Reads the whole file. Without a byte-order mark, bytes that can only be UTF-8 (Is_Utf8_Text) are
// read as UTF-8 (Notepad's default), anything else in the ANSI code page. When it cannot be opened and
// report is set, Error becomes
// "Wk_SysSub/Get_File_To_Buffer1「<path>」はありません。".
// A file larger than max_bytes is not read (Too_Large).
File_Text Get_File_To_Buffer1(std::wstring_view path, bool report, std::uint64_t max_bytes = Max_Text_File_Bytes);

// Lines of a text split at CR LF. An empty text gives one empty line; a final CR LF adds no empty
// line; two CR LF in a row give an empty line between them.
std::vector<std::wstring> Buffer_To_Lines(std::wstring_view buffer);

// Every line followed by CR LF.
std::wstring Lines_To_Buffer(const std::vector<std::wstring>& lines);

// Grows the list so that its highest index is at least highest, filling with empty lines.
void Lines_Redim(std::vector<std::wstring>& lines, int highest);

enum class Text_Encoding { Ansi, Utf8_Bom };

struct [[nodiscard]] File_Write_Result {
    bool Ok = false;
    std::uint32_t Error_Code = 0;  // the Win32 error of the step that failed
    Text_Encoding Encoding = Text_Encoding::Ansi;
};

// The bytes a text file of the text holds: the ANSI code page, or UTF-8 with its mark.
std::string Encode_Text_File(std::wstring_view text);
// The text of a file's bytes, by the rules of Get_File_To_Buffer1.
std::wstring Decode_Text_File(std::string_view bytes);
// The bytes are text in a form the reader knows: the ANSI code page (932) or UTF-8 without a mark,
// UTF-8 or UTF-16 with theirs. Anything else (a damaged file, a picture given a text name) would be read with
// replacement characters in place of its bytes.
bool Is_Text_File(std::string_view bytes);
// The bytes start with UTF-8's byte-order mark.
bool Is_Utf8_Bom_File(std::string_view bytes);

// Writes the text as the whole file: a temporary file in the same folder first, then a replace, so a
// failed or interrupted write leaves the old file as it was.
File_Write_Result Write_Text_File(std::wstring_view path, std::wstring_view text);

// Writes every line followed by CR LF, atomically as above.
File_Write_Result Write_Lines_File(std::wstring_view path, const std::vector<std::wstring>& lines);
