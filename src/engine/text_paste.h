#pragma once
// Writing a captured text into Excel, by the chosen line-break mode, with the optional edits: numbers
// and dates kept as text, the column widened to the text.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation.h"
#include "paste_options.h"

class Excel_Session;

// The three edits, each switched on by the check box whose caption names it.
struct Text_Edits {
    bool Widen = false;           // "列の幅の自動調整"
    bool Number_As_Text = false;  // "数字の場合、文字として扱う"
    bool Date_As_Text = false;    // "日付・時刻の場合、文字として扱う"
};

// Width in Excel's character units: 2 for a double-byte character of the ANSI code page, 1 otherwise.
int Str_Width(std::wstring_view text);

// A text the locale's number parser accepts ("0123", "1,234", "-1.5").
bool Is_Number_Text(const std::wstring& text);
// A text Excel would read as a formula when it is put into a cell ("=1+1", "- 手順1", "@A1"), or
// whose leading apostrophe Excel would take as its own text marker. A number ("-5", "+3") is none.
bool Is_Formula_Text(const std::wstring& text);
// A text the locale's date parser accepts as a date or a time of day.
struct Date_Text {
    double Day = 0;          // the date part, an automation DATE: days since 1899/12/30
    bool Time_Only = false;  // "12:30": its date part would be 1899/12/30, so it has none to store
};
// Never a number text: "1.5" and "1,234" also parse as dates.
std::optional<Date_Text> Date_Of_Text(const std::wstring& text);

// What a text paste filled, for the cell move that follows it.
struct Text_Paste_Result {
    bool Ok = true;          // false when the paste failed (Text_Id::Text_Paste_Failed is the caller's to show)
    long Rows = 1;           // rows filled from the active cell down: one per line in Text_Mode::Row_Per_Line
    Automation_Object Cell;  // the active cell the paste started from
    // The widths of the columns it widened, from the left, before and after (-1: not read).
    std::vector<double> Widths_Before, Widths_After;
    explicit operator bool() const { return Ok; }
};

// Step W: the cell's column grows to the widest line, as far as Excel allows, never narrower. The
// widths before and after go into the result, so that taking the paste back needs no read of them.
void Widen_Column(const Excel_Session& excel, const Automation_Object& cell, const std::vector<std::wstring>& lines,
                  Text_Paste_Result& result);

// Pastes the text into the active cell (or cells, one line per row) as the mode says. start: the
// active cell when the caller has it already (else it is asked for).
Text_Paste_Result Paste_Text(const Excel_Session& excel, const std::wstring& clip_text, Text_Mode mode,
                             const Text_Edits& edits, const Automation_Object& start = {});

// The modes that put a text into one cell, where several waiting texts can be written in one call.
bool Is_One_Cell_Mode(Text_Mode mode);
// The text a one-cell mode puts into its cell: its line breaks removed, or each made the cell's own
// line break (LF).
std::wstring One_Cell_Text(const std::wstring& clip_text, Text_Mode mode);

// What one cell is given for a text, as Excel reads typed text: the text, with an apostrophe before
// formula-like text and before a number or a date whose box is ticked; or a date's day value.
struct Typed_Value {
    std::wstring Text;
    std::optional<double> Day;
    bool operator==(const Typed_Value&) const = default;
};
Typed_Value Typed_Value_Of(const std::wstring& text, const Text_Edits& edits);

// Several texts of a one-cell mode (each already as One_Cell_Text makes it) written from the active
// cell down (or to the right), one cell each, in one call, each under the rules of a paste of it
// alone. Rows is the number of texts.
Text_Paste_Result Paste_Texts(const Excel_Session& excel, const std::vector<std::wstring>& texts, bool down,
                              const Text_Edits& edits, const Automation_Object& start = {});

// Whether the mode pastes through Excel's paste of the clipboard (one row per line), so that the
// text must be on the clipboard when it runs.
bool Text_Paste_Reads_Clipboard(Text_Mode mode);
