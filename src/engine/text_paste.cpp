#include "text_paste.h"

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <cmath>

#include "excel_session.h"
#include "message_box.h"
#include "text.h"
#include "text_rows.h"

namespace {

const std::wstring kFailed = L"テキストの貼付に失敗しました";

// Excel refuses a wider column (error 1004) and would then keep the old width.
constexpr int Max_Column_Width = 255;

// Step W: the active cell's column grows to the widest line, as far as Excel allows, never narrower.
void Widen_Column(const Excel_Session& excel, const std::vector<std::wstring>& lines) {
    Error_State errors;
    const Automation_Object cell = excel.Active_Cell(errors);
    for (const std::wstring& line : lines) {
        double width = 0;
        if (!cell.Get(L"ColumnWidth").Value.To_Double(width)) continue;
        const int needed = std::min(Str_Width(line), Max_Column_Width);
        if (width < needed) (void)cell.Put(L"ColumnWidth", Variant::Long(needed));
    }
}

// The edits of one cell that already holds the text: a date becomes its date value; a number or a
// date whose box is ticked becomes text with a leading apostrophe.
void Apply_Edits(const Automation_Object& cell, const std::wstring& text, const Text_Edits& edits) {
    const std::optional<Date_Text> date = Date_Of_Text(text);
    if (date && !date->Time_Only) (void)cell.Put(L"Value", Variant::Date(date->Day));
    if (edits.Number_As_Text && Is_Number_Text(text)) (void)cell.Put(L"Value", Variant::Text(L"'" + text));
    if (edits.Date_As_Text && date) (void)cell.Put(L"Value", Variant::Text(L"'" + text));
}

// Step V. False when Excel did not take the text at all.
bool Write_One_Cell(const Excel_Session& excel, const std::wstring& paste_text, const Text_Edits& edits) {
    Error_State errors;
    const Automation_Object cell = excel.Active_Cell(errors);
    const std::wstring typed = Is_Formula_Text(paste_text) ? L"'" + paste_text : paste_text;
    if (!errors.Record(cell.Put(L"Value", Variant::Text(typed))).Ok()) return false;
    Apply_Edits(cell, paste_text, edits);
    return true;
}

// The text of each row's first cell, the one in the active cell's column.
std::vector<std::wstring> First_Cells(const std::vector<std::vector<std::wstring>>& rows) {
    std::vector<std::wstring> cells;
    for (const std::vector<std::wstring>& row : rows) cells.push_back(row.empty() ? std::wstring() : row.front());
    return cells;
}

Text_Paste_Result Paste_Many_Cells(const Excel_Session& excel, const std::wstring& clip_text, const Text_Edits& edits) {
    // Rows as Excel splits them, so that the rewrite below meets the cell that holds each line.
    const std::vector<std::wstring> parts = First_Cells(Split_Pasted_Text(clip_text));
    if (edits.Widen) Widen_Column(excel, parts);

    Error_State errors;
    const Automation_Object sheet = excel.Active_Sheet(errors);
    // The Unicode text: "テキスト" is the ANSI one, which turns what the code page lacks into "?".
    Call_Result pasted =
        sheet.Call(L"PasteSpecial", {},
                   {{L"Format", Variant::Text(excel.Format_Name(L"Unicode テキスト", L"Unicode Text"))},
                    {L"Link", Variant::Bool(false)},
                    {L"DisplayAsIcon", Variant::Bool(false)}});
    if (!pasted.Ok()) {
        const Automation_Object selection = excel.Xl_App.Get(L"Selection").Object();
        pasted = selection.Call(L"PasteSpecial", {},
                                {{L"Paste", Variant::Long(xl::Paste_Values)},
                                 {L"Operation", Variant::Long(xl::Operation_None)},
                                 {L"SkipBlanks", Variant::Bool(false)},
                                 {L"Transpose", Variant::Bool(false)}});
    }
    if (!pasted.Ok()) {
        Show_Message(kFailed);
        return {.Ok = false};
    }
    const Text_Paste_Result filled{.Ok = true, .Rows = std::max(static_cast<long>(parts.size()), 1L)};

    long row = 0, column = 0;
    if (!excel.Active_Cell_Position(row, column)) return filled;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::wstring& part = parts[i];
        if (!Date_Of_Text(part) && !(edits.Number_As_Text && Is_Number_Text(part))) continue;
        const Automation_Object cell =
            sheet.Get(L"Cells", {Variant::Long(row + static_cast<long>(i)), Variant::Long(column)}).Object();
        Apply_Edits(cell, part, edits);
    }
    return filled;
}

}  // namespace

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

Text_Paste_Result Paste_Text(const Excel_Session& excel, const std::wstring& clip_text, const std::wstring& text_mode,
                             const Text_Edits& edits) {
    Text_Paste_Result result;
    if (text_mode.find(L"削除") != std::wstring::npos) {
        const std::wstring paste_text = Replace_Line_Breaks(clip_text, L"");
        if (edits.Widen) Widen_Column(excel, {paste_text});
        if (!Write_One_Cell(excel, paste_text, edits)) {
            Show_Message(kFailed);
            result.Ok = false;
        }
    }
    if (text_mode.find(L"セル内") != std::wstring::npos) {
        const std::wstring paste_text = Replace_Line_Breaks(clip_text, Get_Lf());
        if (edits.Widen) Widen_Column(excel, Str_Split(paste_text, Get_Lf()));
        if (!Write_One_Cell(excel, paste_text, edits)) {
            Show_Message(kFailed);
            result.Ok = false;
        }
    }
    if (text_mode.find(L"複数セル") != std::wstring::npos) {
        const Text_Paste_Result block = Paste_Many_Cells(excel, clip_text, edits);
        result.Ok = block.Ok && result.Ok;
        result.Rows = block.Rows;
    }
    return result;
}

bool Text_Paste_Reads_Clipboard(const std::wstring& text_mode) { return text_mode.find(L"複数セル") != std::wstring::npos; }
