#pragma once
// The parameter-file format: single-value files, value lists, 40-entry history lists, and the pass
// registry that refuses a file name registered twice in one pass. Files go through the support
// library's text files (ANSI code page, CR LF, atomic writes, UTF-8 when the code page falls short).
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "text_file.h"

// The files of one read or write pass over the screen settings.
class Param_Pass {
public:
    // report shows the message about a file registered twice (the window's message box; nothing
    // when not given).
    explicit Param_Pass(std::wstring path_para, std::function<void(const std::wstring&)> report = {})
        : path_para_(std::move(path_para)), report_(std::move(report)) {}

    // Starts a pass: no file registered yet (Param_File_Count -1).
    void Begin() { files_.clear(); }

    // Registers the next file of the pass, in the parameter folder or in the given folder, and makes it
    // the file in hand. A path registered earlier in the same pass is reported with
    // "パレメータファイル名＝<path>\r\nが重複してます。"; the pass goes on with it all the same.
    void Text_Update_ParamFileName_Process(std::wstring_view file_name);
    void Text_Update_ParamFileName_Process(std::wstring_view folder, std::wstring_view file_name);

    const std::wstring& Param_File_Path() const { return path_; }
    int Param_File_Count() const { return static_cast<int>(files_.size()) - 1; }
    const std::vector<std::wstring>& Param_Files() const { return files_; }
    const std::wstring& Path_Para() const { return path_para_; }

private:
    std::wstring path_para_;
    std::function<void(const std::wstring&)> report_;
    std::vector<std::wstring> files_;
    std::wstring path_;
};

// The first line of the file (up to CR LF or the end); empty when the file is missing or unreadable.
std::wstring Read_Single_Value(std::wstring_view path);
// The file holds the value as its only line, or nothing at all when the value is empty.
File_Write_Result Write_Single_Value(std::wstring_view path, std::wstring_view value);

// The first count lines of the file; lines the file does not have are empty.
std::vector<std::wstring> Read_Values(std::wstring_view path, int count);

// A number as it is written on a line: a blank in front when not negative (" 1", "-1").
std::wstring Number_Line(long value);
// The whole number a line holds (see Number_In_Text), limited to the range of an int.
int Number_Value(std::wstring_view line);
// The number on a single-value line (digits, first point, minus signs; an empty line gives 0).
int Read_Number_Value(std::wstring_view path);

// The lines of the file joined with CR LF; leading empty lines vanish, later empty lines stay.
std::wstring Read_Value_List(std::wstring_view path);

// A value list beyond this size is no list a user keeps: it is not read (and must not be written over).
constexpr std::uint64_t Max_Value_List_Bytes = 16ull * 1024 * 1024;
struct Value_List_File {
    std::wstring Text;       // as Read_Value_List gives it
    bool Too_Large = false;  // larger than Max_Value_List_Bytes: not read, Text empty
};
Value_List_File Read_Value_List_File(std::wstring_view path);
// Every line of the text (split at CR LF) as one line of the file.
File_Write_Result Write_Value_List(std::wstring_view path, std::wstring_view text);

// The lines to write back for a value list whose text box may not show all it was given (a text box
// ends its text at a NUL character): read is the text read from the file, shown what the box showed
// of it, edited what it holds now. Lines the user left as the box showed them are written as they were
// read, and the lines the box never showed stay after the last line shown.
std::vector<std::wstring> Value_List_Lines_To_Write(std::wstring_view read, std::wstring_view shown,
                                                    std::wstring_view edited);

// A history list: newest first, free slots empty.
constexpr int History_Size = 40;
using History_List = std::array<std::wstring, History_Size>;

// Reads the first 40 lines of the file into the slots; a missing file gives 40 empty slots. A line
// longer than any path (Path_Too_Long) is left out.
void Text_Update_Tb_R(std::wstring_view path, History_List& list);
// Puts entry on top (when not empty), drops its older copies and the gaps, and writes the list.
File_Write_Result Text_Update_Tb_W(std::wstring_view path, History_List& list, std::wstring_view entry);
// The same list update without the file, for callers that only keep the list in memory.
void History_Push(History_List& list, std::wstring_view entry);
