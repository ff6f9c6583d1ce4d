#include "paste_journal.h"

#include <string>
#include <utility>

#include "excel_session.h"

namespace {

struct Block {
    std::vector<Variant> Cells;  // top to bottom
    double Width = 0;            // of its column, when asked for
};

// The cells of the range (rows cells of one column) from one read of its Value: a single value for
// one cell, an array rows x 1 from 1 for several; and its column's width when asked for.
std::optional<Block> Read_Block(const Automation_Object& range, long rows, bool width) {
    Block block;
    if (rows <= 0) return block;
    const Call_Result value = range.Get(L"Value");
    if (!value.Ok()) return std::nullopt;
    if (width) (void)range.Get(L"ColumnWidth").Value.To_Double(block.Width);
    const VARIANT& v = value.Value.Get();
    if (!(v.vt & VT_ARRAY)) {
        if (rows != 1) return std::nullopt;
        block.Cells.push_back(value.Value);
        return block;
    }
    SAFEARRAY* array = v.parray;
    LONG low = 0;
    if (v.vt != (VT_ARRAY | VT_VARIANT) || !array || SafeArrayGetDim(array) != 2 || FAILED(SafeArrayGetLBound(array, 1, &low)))
        return std::nullopt;
    for (long i = 0; i < rows; ++i) {
        LONG index[2] = {low + i, 1};
        Variant cell;
        if (FAILED(SafeArrayGetElement(array, index, cell.Put()))) return std::nullopt;
        block.Cells.push_back(std::move(cell));
    }
    return block;
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

void Paste_Journal::Begin(const Excel_Session& excel, long rows) {
    open_.reset();
    Paste paste;
    Error_State errors;
    paste.Start = excel.Active_Cell(errors);
    if (paste.Start.Is_Nothing()) return;
    // Every paste goes to the target sheet, which is activated before it.
    paste.Sheet = excel.Ws_Name;
    paste.Rows = rows;
    if (rows > 0) {
        paste.Cells = rows == 1 ? paste.Start : paste.Start.Get(L"Resize", {Variant::Long(rows), Variant::Long(1)}).Object();
        auto before = Read_Block(paste.Cells, rows, false);
        if (!before) return;
        paste.Before = std::move(before->Cells);
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

void Paste_Journal::End(bool pasted, double width_before, double width_after) {
    std::optional<Paste> paste = std::exchange(open_, std::nullopt);
    if (!paste || !pasted) return;
    auto after = paste->Rows > 0 ? Read_Block(paste->Cells, paste->Rows, false) : std::optional<Block>(Block());
    if (!after) return;
    paste->After = std::move(after->Cells);
    paste->Width_Before = width_before;
    paste->Width_After = width_after;
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
    const bool widened = paste.Width_After != paste.Width_Before;
    const auto now = paste.Rows > 0 ? Read_Block(paste.Cells, paste.Rows, widened) : std::optional<Block>(Block());
    if (!now) return Take_Back::Failed;
    for (std::size_t i = 0; i < now->Cells.size(); ++i)
        if (!Same(now->Cells[i], paste.After[i])) return Take_Back::Changed;
    const Automation_Object shapes = sheet.Get(L"Shapes").Object();
    std::vector<Automation_Object> pictures;
    for (const std::wstring& name : paste.Pictures) {
        const Call_Result picture = shapes.Get(L"Item", {Variant::Text(name)});
        if (!picture.Ok()) return Take_Back::Changed;
        pictures.push_back(picture.Object());
    }

    for (const Automation_Object& picture : pictures) errors.Record(picture.Call(L"Delete"));
    for (long i = 0; i < paste.Rows; ++i) {
        const Automation_Object cell = i == 0 ? paste.Start : paste.Start.Get(L"Offset", {Variant::Long(i), Variant::Long(0)}).Object();
        errors.Record(cell.Put(L"Value", As_Typed(paste.Before[static_cast<std::size_t>(i)])));
        // A column the paste widened, unless the user has given it another width since.
        if (i == 0 && widened && now->Width == paste.Width_After)
            errors.Record(cell.Put(L"ColumnWidth", Variant::Double(paste.Width_Before)));
    }
    (void)excel.Excel_ツール_CellDrop2_Activate();
    errors.Record(paste.Start.Call(L"Select"));
    pastes_.pop_back();
    return errors.Failed() ? Take_Back::Failed : Take_Back::Done;
}
