// The settings files: values written and read back are the values; the history lists keep their
// entries, newest first, without blanks or repeats, and leave out on reading what no path can be.
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "check.h"
#include "param_format.h"
#include "paths.h"
#include "text.h"
#include "text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = Decode_Text_File(std::string_view(reinterpret_cast<const char*>(data), size));
    if (Has_Lone_Surrogate(text)) return 0;

    // A number, from the first bytes.
    std::int32_t number = 0;
    if (size >= 4) std::memcpy(&number, data, 4);
    FUZZ_CHECK(Write_Single_Value(L"P\\number.txt", Number_Line(number)).Ok);
    FUZZ_CHECK(Read_Number_Value(L"P\\number.txt") == number);

    // A list of lines: the non-empty lines of the text, without line-break characters.
    std::vector<std::wstring> lines(1);
    for (wchar_t c : text) {
        if (c == L'\r' || c == L'\n') {
            if (!lines.back().empty()) lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    if (lines.back().empty()) lines.pop_back();
    std::wstring list;
    for (std::size_t i = 0; i < lines.size(); ++i) list += (i ? L"\r\n" : L"") + lines[i];
    FUZZ_CHECK(Write_Value_List(L"P\\list.txt", list).Ok);
    FUZZ_CHECK(Read_Value_List(L"P\\list.txt") == list);
    if (!lines.empty()) {
        FUZZ_CHECK(Write_Single_Value(L"P\\single.txt", lines[0]).Ok);
        FUZZ_CHECK(Read_Single_Value(L"P\\single.txt") == lines[0]);
    }

    // A value list whose box showed it only up to a NUL and was left as shown is written back whole.
    const std::wstring shown = text.substr(0, text.find(L'\0'));
    FUZZ_CHECK(Value_List_Lines_To_Write(text, shown, shown) == Str_Split(text, L"\r\n"));

    // The value history: each line pushed in turn, written and read back.
    History_List history;
    for (const std::wstring& line : lines) (void)Text_Update_Tb_W(L"P\\history.txt", history, line);
    History_List read;
    Text_Update_Tb_R(L"P\\history.txt", read);
    if (!lines.empty()) {
        // A line longer than any path is left out on reading.
        History_List kept;
        std::size_t next = 0;
        for (const std::wstring& entry : history)
            if (!Path_Too_Long(entry)) kept[next++] = entry;
        FUZZ_CHECK(read == kept);
        if (!Path_Too_Long(lines.back())) FUZZ_CHECK(read[0] == lines.back());
    }
    return 0;
}
