#include "paste_journal.h"

#include <algorithm>
#include <string>
#include <utility>

#include "excel_session.h"

namespace {

// The cells of the range (rows x columns) from one read of its Value, row by row: a single value for
// one cell, an array from 1 for several.
std::optional<std::vector<Variant>> Read_Block(const Automation_Object& range, long rows, long columns) {
    std::vector<Variant> cells;
    if (rows <= 0 || columns <= 0) return cells;
    const Call_Result value = range.Get(L"Value");
    if (!value.Ok()) return std::nullopt;
    const VARIANT& v = value.Value.Get();
    if (!(v.vt & VT_ARRAY)) {
        if (rows != 1 || columns != 1) return std::nullopt;
        cells.push_back(value.Value);
        return cells;
    }
    SAFEARRAY* array = v.parray;
    LONG low_row = 0, low_column = 0;
    if (v.vt != (VT_ARRAY | VT_VARIANT) || !array || SafeArrayGetDim(array) != 2 ||
        FAILED(SafeArrayGetLBound(array, 1, &low_row)) || FAILED(SafeArrayGetLBound(array, 2, &low_column)))
        return std::nullopt;
    for (long i = 0; i < rows; ++i)
        for (long j = 0; j < columns; ++j) {
            LONG index[2] = {low_row + i, low_column + j};
            Variant cell;
            if (FAILED(SafeArrayGetElement(array, index, cell.Put()))) return std::nullopt;
            cells.push_back(std::move(cell));
        }
    return cells;
}

// The cell i rows down and j columns right of the start.
Automation_Object Cell_At(const Automation_Object& start, long i, long j) {
    return i == 0 && j == 0 ? start : start.Get(L"Offset", {Variant::Long(i), Variant::Long(j)}).Object();
}

bool Same(const Variant& a, const Variant& b) {
    if (a.Type() != b.Type()) return false;
    if (a.Type() == VT_EMPTY) return true;
    return VarCmp(const_cast<VARIANT*>(&a.Get()), const_cast<VARIANT*>(&b.Get()), LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
}

// A value put back as Excel held it: a text with the quote that keeps Excel from reading it anew.
Variant As_Typed(const Variant& value) {
    if (value.Type() != VT_BSTR) return value;
    std::wstring text;
    (void)value.To_Text(text);
    return text.empty() ? Variant() : Variant::Text(L"'" + text);
}


}  // namespace

void Paste_Journal::Begin(const Excel_Session& excel, long rows, long columns) {
    open_.reset();
    Paste paste;
    Error_State errors;
    paste.Start = excel.Active_Cell(errors);
    if (paste.Start.Is_Nothing()) return;
    // Every paste goes to the target sheet, which is activated before it.
    paste.Sheet = excel.Ws_Name;
    paste.Rows = rows;
    paste.Columns = columns;
    if (rows > 0) {
        paste.Cells = rows == 1 && columns == 1
                          ? paste.Start
                          : paste.Start.Get(L"Resize", {Variant::Long(rows), Variant::Long(columns)}).Object();
        auto before = Read_Block(paste.Cells, rows, columns);
        if (!before) return;
        paste.Before = std::move(*before);
    }
    open_ = std::move(paste);
}

void Paste_Journal::Picture_Added(const Excel_Session& excel) {
    if (!open_) return;
    std::wstring name;
    // Excel selects the picture it has just pasted.
    if (excel.Xl_App.Get(L"Selection").Object().Get(L"Name").Value.To_Text(name) && !name.empty())
        open_->Pictures.push_back(name);
}

void Paste_Journal::End(bool pasted, std::vector<double> widths_before, std::vector<double> widths_after) {
    std::optional<Paste> paste = std::exchange(open_, std::nullopt);
    if (!paste || !pasted) return;
    auto after = Read_Block(paste->Cells, paste->Rows, paste->Columns);
    if (!after) return;
    paste->After = std::move(*after);
    paste->Widths_Before = std::move(widths_before);
    paste->Widths_After = std::move(widths_after);
    pastes_.push_back(std::move(*paste));
    if (pastes_.size() > Max_Pastes) pastes_.pop_front();
}

void Paste_Journal::Clear() {
    open_.reset();
    pastes_.clear();
}

Paste_Journal::Take_Back Paste_Journal::Take_Back_Last(const Excel_Session& excel) {
    // Not in the middle of a paste (a click handled while it waits for Excel).
    if (pastes_.empty() || open_) return Take_Back::Nothing;
    const Paste& paste = pastes_.back();
    Error_State errors;
    const Automation_Object sheet =
        excel.Xl_App.Get(L"ActiveWorkbook").Object().Get(L"Worksheets", {Variant::Text(paste.Sheet)}).Object();
    if (sheet.Is_Nothing()) return Take_Back::Failed;
    // What is there now must still be what the paste left.
    const auto now = Read_Block(paste.Cells, paste.Rows, paste.Columns);
    if (!now) return Take_Back::Failed;
    for (std::size_t i = 0; i < now->size(); ++i)
        if (!Same((*now)[i], paste.After[i])) return Take_Back::Changed;
    const Automation_Object shapes = sheet.Get(L"Shapes").Object();
    std::vector<Automation_Object> pictures;
    for (const std::wstring& name : paste.Pictures) {
        const Call_Result picture = shapes.Get(L"Item", {Variant::Text(name)});
        if (!picture.Ok()) return Take_Back::Changed;
        pictures.push_back(picture.Object());
    }

    for (const Automation_Object& picture : pictures) errors.Record(picture.Call(L"Delete"));
    for (long i = 0; i < paste.Rows; ++i)
        for (long j = 0; j < paste.Columns; ++j)
            errors.Record(Cell_At(paste.Start, i, j).Put(L"Value", As_Typed(paste.Before[static_cast<std::size_t>(i * paste.Columns + j)])));
    // Each column the paste widened, unless the user has given it another width since.
    const std::size_t widened = std::min(paste.Widths_Before.size(), paste.Widths_After.size());
    for (std::size_t j = 0; j < widened; ++j) {
        if (paste.Widths_After[j] == paste.Widths_Before[j]) continue;
        const Automation_Object cell = Cell_At(paste.Start, 0, static_cast<long>(j));
        double width = 0;
        if (cell.Get(L"ColumnWidth").Value.To_Double(width) && width == paste.Widths_After[j])
            errors.Record(cell.Put(L"ColumnWidth", Variant::Double(paste.Widths_Before[j])));
    }
    (void)excel.Excel_ツール_CellDrop2_Activate();
    errors.Record(paste.Start.Call(L"Select"));
    pastes_.pop_back();
    return errors.Failed() ? Take_Back::Failed : Take_Back::Done;
}
