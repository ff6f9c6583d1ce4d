#include "text_paste.h"

#include <oleauto.h>
#include <windows.h>

#include <algorithm>
#include <cmath>

#include "excel_session.h"
#include "text.h"
#include "text_rows.h"

namespace {

// Excel refuses a wider column (error 1004) and would then keep the old width.
constexpr int Max_Column_Width = 255;

Text_Paste_Result Failed() {
    Text_Paste_Result result;
    result.Ok = false;
    return result;
}

// widths: the column's widths as Widen_Column left them in a result of its own.
Text_Paste_Result Filled(long rows, Automation_Object cell, const Text_Paste_Result& widths) {
    Text_Paste_Result result;
    result.Rows = rows;
    result.Widths_Before = widths.Widths_Before;
    result.Widths_After = widths.Widths_After;
    result.Cell = std::move(cell);
    return result;
}

// The width a column needs for the lines, as far as Excel allows.
int Needed_Width(const std::vector<std::wstring>& lines) {
    int needed = 0;
    for (const std::wstring& line : lines) needed = std::max(needed, std::min(Str_Width(line), Max_Column_Width));
    return needed;
}

Automation_Object Start_Cell(const Excel_Session& excel, const Automation_Object& start, Error_State& errors) {
    return start.Is_Nothing() ? excel.Active_Cell(errors) : start;
}

// The lines a one-cell text shows, for the widening.
std::vector<std::wstring> Cell_Lines(const std::wstring& cell_text) { return Str_Split(cell_text, Get_Lf()); }

Variant Value_Of(const Typed_Value& typed) { return typed.Day ? Variant::Date(*typed.Day) : Variant::Text(typed.Text); }

// The edits of one cell that already holds the text: a date becomes its date value; a number or a
// date whose box is ticked becomes text with a leading apostrophe.
void Apply_Edits(const Excel_Session& excel, const Automation_Object& cell, const std::wstring& text,
                 const Text_Edits& edits) {
    const std::optional<Date_Text> date = Date_Of_Text(text);
    if (date && !date->Time_Only) (void)excel.Put(cell, Cell_Content::Value, Variant::Date(date->Day));
    if (edits.Number_As_Text && Is_Number_Text(text))
        (void)excel.Put(cell, Cell_Content::Value, Variant::Text(L"'" + text));
    if (edits.Date_As_Text && date) (void)excel.Put(cell, Cell_Content::Value, Variant::Text(L"'" + text));
}

// Step V, with the edits, in one write. The cell is nothing when Excel did not take the text at all.
Text_Paste_Result Write_One_Cell(const Excel_Session& excel, const std::wstring& paste_text, const Text_Edits& edits,
                                 const Automation_Object& start) {
    Error_State errors;
    const Automation_Object cell = Start_Cell(excel, start, errors);
    Text_Paste_Result widths;
    if (edits.Widen) Widen_Column(excel, cell, Cell_Lines(paste_text), widths);
    if (!errors.Record(excel.Put(cell, Cell_Content::Value, Value_Of(Typed_Value_Of(paste_text, edits)))).Ok())
        return Failed();
    return Filled(1, cell, widths);
}

// The text of each row's first cell, the one in the active cell's column.
std::vector<std::wstring> First_Cells(const std::vector<std::vector<std::wstring>>& rows) {
    std::vector<std::wstring> cells;
    for (const std::vector<std::wstring>& row : rows) cells.push_back(row.empty() ? std::wstring() : row.front());
    return cells;
}

Text_Paste_Result Paste_Many_Cells(const Excel_Session& excel, const std::wstring& clip_text, const Text_Edits& edits,
                                   const Automation_Object& start) {
    // Rows as Excel splits them, so that the rewrite below meets the cell that holds each line.
    const std::vector<std::wstring> parts = First_Cells(Split_Pasted_Text(clip_text));
    Error_State errors;
    const Automation_Object active = Start_Cell(excel, start, errors);
    Text_Paste_Result widths;
    if (edits.Widen) Widen_Column(excel, active, parts, widths);

    const Automation_Object sheet = excel.Active_Sheet(errors);
    // The Unicode text: "テキスト" is the ANSI one, which turns what the code page lacks into "?".
    Call_Result pasted = excel.Paste_Special(sheet, excel.Format_Name(L"Unicode テキスト", L"Unicode Text"));
    if (!pasted.Ok()) pasted = excel.Paste_Values_Into_Selection();
    if (!pasted.Ok()) return Failed();
    const Text_Paste_Result filled = Filled(std::max(static_cast<long>(parts.size()), 1L), active, widths);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::wstring& part = parts[i];
        if (!Date_Of_Text(part) && !(edits.Number_As_Text && Is_Number_Text(part))) continue;
        const Automation_Object cell = excel.Offset(active, static_cast<long>(i), 0).Object();
        Apply_Edits(excel, cell, part, edits);
    }
    return filled;
}

}  // namespace

void Widen_Column(const Excel_Session& excel, const Automation_Object& cell, const std::vector<std::wstring>& lines,
                  Text_Paste_Result& result) {
    const int needed = Needed_Width(lines);
    double width = 0;
    if (!excel.Column_Width(cell, width)) width = -1;
    result.Widths_Before.push_back(width);
    result.Widths_After.push_back(width);
    if (width >= 0 && width < needed && excel.Set_Column_Width(cell, needed).Ok()) result.Widths_After.back() = needed;
}

int Str_Width(std::wstring_view text) {
    int width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) width += Char_Width(text.substr(i, 1)) == 2 ? 2 : 1;
    return width;
}

bool Is_Number_Text(const std::wstring& text) {
    if (text.empty()) return false;
    double value = 0;
    return SUCCEEDED(VarR8FromStr(const_cast<OLECHAR*>(text.c_str()), LOCALE_USER_DEFAULT, 0, &value));
}

bool Is_Formula_Text(const std::wstring& text) {
    if (text.empty()) return false;
    // "'" too: Excel would take it for its own text marker and drop it.
    if (text.front() == L'=' || text.front() == L'@' || text.front() == L'\'') return true;
    return (text.front() == L'+' || text.front() == L'-') && !Is_Number_Text(text);
}

std::optional<Date_Text> Date_Of_Text(const std::wstring& text) {
    if (text.empty() || Is_Number_Text(text)) return std::nullopt;
    DATE value = 0;
    if (FAILED(VarDateFromStr(const_cast<OLECHAR*>(text.c_str()), LOCALE_USER_DEFAULT, 0, &value))) return std::nullopt;
    const DATE day = std::trunc(value);
    // Day 0 is 1899/12/30, which only a time of day alone parses to.
    return Date_Text{day, day == 0};
}

Text_Paste_Result Paste_Text(const Excel_Session& excel, const std::wstring& clip_text, Text_Mode mode,
                             const Text_Edits& edits, const Automation_Object& start) {
    if (mode == Text_Mode::Row_Per_Line) return Paste_Many_Cells(excel, clip_text, edits, start);
    return Write_One_Cell(excel, One_Cell_Text(clip_text, mode), edits, start);
}

bool Text_Paste_Reads_Clipboard(Text_Mode mode) { return mode == Text_Mode::Row_Per_Line; }

bool Is_One_Cell_Mode(Text_Mode mode) { return mode != Text_Mode::Row_Per_Line; }

std::wstring One_Cell_Text(const std::wstring& clip_text, Text_Mode mode) {
    return Replace_Line_Breaks(clip_text, mode == Text_Mode::Breaks_Removed ? L"" : Get_Lf());
}

Typed_Value Typed_Value_Of(const std::wstring& text, const Text_Edits& edits) {
    // As a paste of the typed text followed by its edits would leave the cell: the last edit wins.
    const std::optional<Date_Text> date = Date_Of_Text(text);
    if ((edits.Date_As_Text && date) || (edits.Number_As_Text && Is_Number_Text(text))) return {L"'" + text, {}};
    if (date && !date->Time_Only) return {text, date->Day};
    return {Is_Formula_Text(text) ? L"'" + text : text, {}};
}

Text_Paste_Result Paste_Texts(const Excel_Session& excel, const std::vector<std::wstring>& texts, bool down,
                              const Text_Edits& edits, const Automation_Object& start) {
    if (texts.empty()) return {};
    Error_State errors;
    const Automation_Object cell = Start_Cell(excel, start, errors);
    const long count = static_cast<long>(texts.size());
    Text_Paste_Result widths;
    if (edits.Widen && down) {
        std::vector<std::wstring> lines;
        for (const std::wstring& text : texts)
            for (std::wstring& line : Cell_Lines(text)) lines.push_back(std::move(line));
        Widen_Column(excel, cell, lines, widths);
    } else if (edits.Widen) {
        for (long i = 0; i < count; ++i)
            Widen_Column(excel, i == 0 ? cell : excel.Offset(cell, 0, i).Object(),
                         Cell_Lines(texts[static_cast<std::size_t>(i)]), widths);
    }
    std::vector<Variant> values;
    for (const std::wstring& text : texts) values.push_back(Value_Of(Typed_Value_Of(text, edits)));
    const long rows = down ? count : 1, columns = down ? 1 : count;
    const Automation_Object cells = errors.Record(excel.Resize(cell, rows, columns)).Object();
    if (!errors.Record(excel.Put_Block(cells, Cell_Content::Value, rows, columns, values)).Ok()) return Failed();
    return Filled(down ? count : 1, cell, widths);
}
