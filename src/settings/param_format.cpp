#include "param_format.h"

#include <algorithm>
#include <climits>

#include "paths.h"
#include "text.h"
#include "ui_text.h"

void Param_Pass::Text_Update_ParamFileName_Process(std::wstring_view file_name) {
    Text_Update_ParamFileName_Process(path_para_, file_name);
}

void Param_Pass::Text_Update_ParamFileName_Process(std::wstring_view folder, std::wstring_view file_name) {
    path_ = Path_Join(folder, file_name);
    for (const std::wstring& earlier : files_) {
        if (earlier == path_) {
            if (report_) report_(Ui_Format(Text_Id::Param_File_Twice, {path_}));
            break;
        }
    }
    files_.push_back(path_);
}

namespace {

std::vector<std::wstring> File_Lines(std::wstring_view path) {
    const File_Text file = Get_File_To_Buffer1(path, false);
    if (!file.Opened || file.Text.empty()) return {};
    return Buffer_To_Lines(file.Text);
}

}  // namespace

std::wstring Read_Single_Value(std::wstring_view path) {
    const File_Text file = Get_File_To_Buffer1(path, false);
    const std::size_t end = file.Text.find(L"\r\n");
    return end == std::wstring::npos ? file.Text : file.Text.substr(0, end);
}

std::vector<std::wstring> Read_Values(std::wstring_view path, int count) {
    std::vector<std::wstring> lines = File_Lines(path);
    if (count <= 0) return {};
    Lines_Redim(lines, count - 1);
    lines.resize(static_cast<std::size_t>(count));
    return lines;
}

File_Write_Result Write_Single_Value(std::wstring_view path, std::wstring_view value) {
    if (value.empty()) return Write_Text_File(path, L"");
    return Write_Lines_File(path, {std::wstring(value)});
}

std::wstring Number_Line(long value) { return value < 0 ? std::to_wstring(value) : L" " + std::to_wstring(value); }

int Number_Value(std::wstring_view line) {
    const std::int64_t whole = Number_In_Text(line).Whole();
    return static_cast<int>(std::clamp<std::int64_t>(whole, INT_MIN, INT_MAX));
}

int Read_Number_Value(std::wstring_view path) { return Number_Value(Read_Single_Value(path)); }

Value_List_File Read_Value_List_File(std::wstring_view path) {
    Value_List_File list;
    const File_Text file = Get_File_To_Buffer1(path, false, Max_Value_List_Bytes);
    if (file.Too_Large) {
        list.Too_Large = true;
        return list;
    }
    if (!file.Opened || file.Text.empty()) return list;
    // Leading empty lines vanish; the rest is the file's text without its last line break.
    std::wstring_view text = file.Text;
    while (text.starts_with(L"\r\n")) text.remove_prefix(2);
    if (text.ends_with(L"\r\n")) text.remove_suffix(2);
    list.Text = text;
    return list;
}

std::wstring Read_Value_List(std::wstring_view path) { return Read_Value_List_File(path).Text; }

File_Write_Result Write_Value_List(std::wstring_view path, std::wstring_view text) {
    return Write_Lines_File(path, Str_Split(text, Get_CrLf()));
}

std::vector<std::wstring> Value_List_Lines_To_Write(std::wstring_view read, std::wstring_view shown,
                                                    std::wstring_view edited) {
    const std::vector<std::wstring> r = Str_Split(read, Get_CrLf());
    const std::vector<std::wstring> s = Str_Split(shown, Get_CrLf());
    const std::vector<std::wstring> e = Str_Split(edited, Get_CrLf());
    if (s.size() > r.size()) return e;
    // The lines kept from the start and from the end of what the box showed.
    std::size_t front = 0;
    while (front < s.size() && front < e.size() && e[front] == s[front]) ++front;
    std::size_t back = 0;
    while (back < s.size() - front && back < e.size() - front && e[e.size() - 1 - back] == s[s.size() - 1 - back])
        ++back;
    const bool last_kept = front == s.size() || back > 0;
    std::vector<std::wstring> out(r.begin(), r.begin() + static_cast<std::ptrdiff_t>(front));
    out.insert(out.end(), e.begin() + static_cast<std::ptrdiff_t>(front), e.end() - static_cast<std::ptrdiff_t>(back));
    out.insert(out.end(), r.begin() + static_cast<std::ptrdiff_t>(s.size() - back),
               r.begin() + static_cast<std::ptrdiff_t>(s.size()));
    // The lines the box never showed follow the line they followed in the file.
    const auto hidden = r.begin() + static_cast<std::ptrdiff_t>(s.size());
    if (last_kept && front == s.size() && back == 0)
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(front), hidden, r.end());
    else
        out.insert(out.end(), hidden, r.end());
    return out;
}

void Text_Update_Tb_R(std::wstring_view path, History_List& list) {
    std::vector<std::wstring> lines = File_Lines(path);
    // The lists hold paths: one longer than Windows takes could never be opened, and is left out.
    std::erase_if(lines, [](const std::wstring& line) { return Path_Too_Long(line); });
    Lines_Redim(lines, History_Size - 1);
    for (int i = 0; i < History_Size; ++i) list[i] = std::move(lines[i]);
}

void History_Push(History_List& list, std::wstring_view entry) {
    History_List old = std::move(list);
    for (std::wstring& slot : list) slot.clear();
    std::size_t next = 0;
    if (!entry.empty()) list[next++] = entry;
    for (std::wstring& slot : old) {
        if (next >= list.size()) break;
        if (!slot.empty() && slot != entry) list[next++] = std::move(slot);
    }
}

File_Write_Result Text_Update_Tb_W(std::wstring_view path, History_List& list, std::wstring_view entry) {
    History_Push(list, entry);
    std::vector<std::wstring> lines;
    for (const std::wstring& slot : list)
        if (!slot.empty()) lines.push_back(slot);
    return Write_Lines_File(path, lines);
}
