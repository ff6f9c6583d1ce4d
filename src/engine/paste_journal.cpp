#include "paste_journal.h"

#include <algorithm>
#include <string>
#include <utility>

#include "excel_session.h"

namespace {

std::optional<std::vector<Variant>> Read_Block(const Excel_Session& excel, const Automation_Object& range,
                                               Cell_Content what, long rows, long columns) {
    if (rows <= 0 || columns <= 0) return std::vector<Variant>();
    return excel.Read_Block(range, what, rows, columns).Cells;
}

std::wstring Text_Of(const Variant& value) {
    std::wstring text;
    if (value.Type() == VT_BSTR) (void)value.To_Text(text);
    return text;
}

// Whether the cell held a formula: its Formula is one ("=…") and not merely the text it shows (a
// text typed as "'=abc" reads "=abc" both ways).
bool Held_Formula(const std::wstring& formula, const Variant& value) {
    return !formula.empty() && formula.front() == L'=' && !(value.Type() == VT_BSTR && Text_Of(value) == formula);
}

// What the cell is given back: its formula; a text with the quote that keeps Excel from reading it
// anew ("0123" stays a text); an error value as it was typed ("#N/A"); a number, date or truth value
// as it was.
Variant As_Typed(const Variant& value, const std::wstring& formula) {
    if (Held_Formula(formula, value)) return Variant::Text(formula);
    if (value.Type() == VT_ERROR) return Variant::Text(formula);
    if (value.Type() != VT_BSTR) return value;
    const std::wstring text = Text_Of(value);
    return text.empty() ? Variant() : Variant::Text(L"'" + text);
}

}  // namespace

void Paste_Journal::Begin(const Excel_Session& excel, long rows, long columns) {
    open_.reset();
    pasting_ = true;
    Paste paste;
    Error_State errors;
    excel_ = &excel;
    paste.Start = excel.Active_Cell(errors);
    // Every paste goes to the target sheet, which the pass found active before it.
    paste.Sheet = excel.Active_Sheet(errors);
    if (paste.Start.Is_Nothing() || paste.Sheet.Is_Nothing()) return;
    paste.Rows = rows;
    paste.Columns = columns;
    if (rows > 0) {
        paste.Cells = rows == 1 && columns == 1 ? paste.Start : excel.Resize(paste.Start, rows, columns).Object();
        auto before = Read_Block(excel, paste.Cells, Cell_Content::Value, rows, columns);
        if (!before) return;
        paste.Before = std::move(*before);
        // Only a cell that holds something can hold a formula: an empty block costs no second read.
        if (std::any_of(paste.Before.begin(), paste.Before.end(),
                        [](const Variant& v) { return v.Type() != VT_EMPTY; })) {
            const auto formulas = Read_Block(excel, paste.Cells, Cell_Content::Formula, rows, columns);
            if (!formulas) return;
            for (const Variant& formula : *formulas) paste.Formulas.push_back(Text_Of(formula));
        }
    }
    open_ = std::move(paste);
}

void Paste_Journal::Picture_Added(const Automation_Object& selection) {
    // Kept as the object: nothing is asked of Excel until the picture is taken back.
    if (open_ && !selection.Is_Nothing()) open_->Pictures.push_back(selection);
}

void Paste_Journal::Picture_Numbered(int number) {
    if (open_) open_->Number = number;
}

void Paste_Journal::End(bool pasted, std::vector<double> widths_before, std::vector<double> widths_after) {
    std::optional<Paste> paste = std::exchange(open_, std::nullopt);
    if (!paste || !pasted) return;
    auto after = Read_Block(*excel_, paste->Cells, Cell_Content::Value, paste->Rows, paste->Columns);
    if (!after) return;
    paste->After = std::move(*after);
    paste->Widths_Before = std::move(widths_before);
    paste->Widths_After = std::move(widths_after);
    Keep(std::move(*paste));
}

void Paste_Journal::End_Each(bool pasted, std::vector<double> widths_before, std::vector<double> widths_after) {
    std::optional<Paste> block = std::exchange(open_, std::nullopt);
    if (!block || !pasted || block->Rows <= 0) return;
    const auto after = Read_Block(*excel_, block->Cells, Cell_Content::Value, block->Rows, block->Columns);
    if (!after) return;
    const bool down = block->Columns == 1;
    const std::size_t count = after->size();
    for (std::size_t i = 0; i < count; ++i) {
        Paste paste;
        paste.Sheet = block->Sheet;
        paste.Origin = block->Start;
        paste.Row = down ? static_cast<long>(i) : 0;
        paste.Column = down ? 0 : static_cast<long>(i);
        if (i == 0) paste.Start = paste.Cells = block->Start;
        paste.Rows = 1;
        paste.Before = {block->Before[i]};
        paste.After = {(*after)[i]};
        if (!block->Formulas.empty()) paste.Formulas = {block->Formulas[i]};
        // Down a column the one column was widened for all; along a row each cell's own column.
        const std::size_t column = down ? 0 : i;
        if ((!down || i == 0) && column < std::min(widths_before.size(), widths_after.size())) {
            paste.Widths_Before = {widths_before[column]};
            paste.Widths_After = {widths_after[column]};
        }
        Keep(std::move(paste));
    }
}

void Paste_Journal::Keep(Paste paste) {
    paste.Id = next_id_++;
    pastes_.push_back(std::move(paste));
    if (pastes_.size() > Max_Pastes) pastes_.pop_front();
    Changed();
}

void Paste_Journal::Changed() const {
    if (changed_) changed_();
}

void Paste_Journal::Clear() {
    open_.reset();
    pastes_.clear();
    pasting_ = false;
    refused_ = 0;
    ++clears_;
    Changed();
}

void Paste_Journal::Drop_Refused() {
    if (pastes_.empty() || pastes_.back().Id != refused_ || taking_back_) return;
    pastes_.pop_back();
    refused_ = 0;
    Changed();
}

Paste_Journal::Take_Back Paste_Journal::Take_Back_Last(const Excel_Session& excel) {
    // Not in the middle of a paste or of another take-back (a click handled while either waits for Excel).
    if (Pasting() || taking_back_) return Take_Back::Nothing;
    taking_back_ = true;
    taken_back_number_ = 0;
    const unsigned long long clears = clears_;
    Take_Back result = Take_Back::Nothing;
    bool dropped = false;
    while (!pastes_.empty() && clears == clears_) {
        // Out of the journal while Excel is asked: nothing else can reach it meanwhile.
        Paste paste = std::move(pastes_.back());
        pastes_.pop_back();
        const Restored restored = Restore(excel, paste);
        if (restored == Restored::Sheet_Gone) {
            dropped = true;
            continue;
        }
        if (restored == Restored::Done) {
            result = Take_Back::Done;
            taken_back_number_ = paste.Number;
        } else if (restored == Restored::Incomplete) {
            result = Take_Back::Failed;
        } else {
            // Untouched: it stays, for another press or to be dropped by the user.
            result = restored == Restored::Changed ? Take_Back::Changed : Take_Back::Failed;
            if (restored == Restored::Changed) refused_ = paste.Id;
            if (clears == clears_) pastes_.push_back(std::move(paste));
        }
        break;
    }
    taking_back_ = false;
    if (result == Take_Back::Done || result == Take_Back::Failed || dropped) Changed();
    return result;
}

Paste_Journal::Restored Paste_Journal::Restore(const Excel_Session& excel, Paste& paste) const {
    // A call on the paste failed: its sheet is gone when the sheet no longer answers either (deleted);
    // else Excel could not be asked (busy for too long).
    const auto failed = [&excel, &paste](const Call_Result& call) {
        if (Is_Busy_Answer(call.Hr)) return Restored::Failed;
        const Call_Result name = excel.Name_Of(paste.Sheet);
        return name.Ok() || Is_Busy_Answer(name.Hr) ? Restored::Failed : Restored::Sheet_Gone;
    };
    if (paste.Start.Is_Nothing()) {
        const Call_Result start = excel.Offset(paste.Origin, paste.Row, paste.Column);
        if (!start.Ok()) return failed(start);
        paste.Start = paste.Cells = start.Object();
    }
    // What is there now must still be what the paste left.
    if (paste.Rows > 0) {
        const Block_Read read = excel.Read_Block(paste.Cells, Cell_Content::Value, paste.Rows, paste.Columns);
        if (!read.Read.Ok()) return failed(read.Read);
        const auto& now = read.Cells;
        if (!now || now->size() != paste.After.size()) return Restored::Failed;
        for (std::size_t i = 0; i < now->size(); ++i)
            if (!Excel_Session::Same_Value((*now)[i], paste.After[i])) return Restored::Changed;
    }
    // A picture the user has deleted no longer answers; neither does one whose sheet is gone.
    for (const Automation_Object& picture : paste.Pictures) {
        const Call_Result name = excel.Name_Of(picture);
        if (name.Ok()) continue;
        if (Is_Busy_Answer(name.Hr)) return Restored::Failed;
        return failed(name) == Restored::Sheet_Gone ? Restored::Sheet_Gone : Restored::Changed;
    }

    Error_State errors;
    for (const Automation_Object& picture : paste.Pictures) errors.Record(excel.Delete(picture));
    if (paste.Rows > 0) {
        // The whole block in one write: its formulas as formulas when it held any, else its values.
        bool formulas = false;
        std::vector<Variant> values;
        for (std::size_t i = 0; i < paste.Before.size(); ++i) {
            const std::wstring formula = i < paste.Formulas.size() ? paste.Formulas[i] : std::wstring();
            formulas = formulas || Held_Formula(formula, paste.Before[i]);
            values.push_back(As_Typed(paste.Before[i], formula));
        }
        const Cell_Content what = formulas ? Cell_Content::Formula : Cell_Content::Value;
        errors.Record(values.size() == 1 ? excel.Put(paste.Cells, what, values.front())
                                         : excel.Put_Block(paste.Cells, what, paste.Rows, paste.Columns, values));
    }
    // Each column the paste widened, unless the user has given it another width since.
    const std::size_t widened = std::min(paste.Widths_Before.size(), paste.Widths_After.size());
    for (std::size_t j = 0; j < widened; ++j) {
        if (paste.Widths_After[j] == paste.Widths_Before[j]) continue;
        const Automation_Object cell =
            j == 0 ? paste.Start : excel.Offset(paste.Start, 0, static_cast<long>(j)).Object();
        double width = 0;
        if (excel.Column_Width(cell, width) && width == paste.Widths_After[j])
            errors.Record(excel.Set_Column_Width(cell, paste.Widths_Before[j]));
    }
    // Back to the cell it started from; its workbook and sheet brought forward first when the user has
    // gone to another.
    if (!excel.Select(paste.Start).Ok()) {
        (void)excel.Excel_ツール_CellDrop2_Activate();
        (void)excel.Activate(paste.Sheet);
        errors.Record(excel.Select(paste.Start));
    }
    return errors.Failed() ? Restored::Incomplete : Restored::Done;
}
