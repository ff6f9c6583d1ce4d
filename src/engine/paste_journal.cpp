#include "paste_journal.h"

#include <string>
#include <utility>

#include "excel_session.h"

namespace {

// "AB" for column 28.
std::wstring Column_Letters(long column) {
    std::wstring letters;
    for (; column > 0; column = (column - 1) / 26) letters.insert(letters.begin(), static_cast<wchar_t>(L'A' + (column - 1) % 26));
    return letters;
}

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

// The rows cells down from (row, column) of the sheet.
Automation_Object Block_Range(const Automation_Object& sheet, long row, long column, long rows) {
    const std::wstring letters = Column_Letters(column);
    return sheet.Get(L"Range", {Variant::Text(letters + std::to_wstring(row) + L":" + letters + std::to_wstring(row + rows - 1))})
        .Object();
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

void Paste_Journal::Begin(const Excel_Session& excel, long rows, bool widens) {
    open_.reset();
    Paste paste;
    Error_State errors;
    const Automation_Object cell = excel.Active_Cell(errors);
    if (!cell.Get(L"Row").Value.To_Long(paste.Row) || !cell.Get(L"Column").Value.To_Long(paste.Column)) return;
    // Every paste goes to the target sheet, which is activated before it.
    paste.Sheet = excel.Ws_Name;
    paste.Rows = rows;
    paste.Widens = widens;
    if (rows > 0) {
        // The active cell is the block of one cell; a longer block is asked for once.
        range_ = rows == 1 ? cell : Block_Range(excel.Active_Sheet(errors), paste.Row, paste.Column, rows);
        auto before = Read_Block(range_, rows, widens);
        if (!before) return;
        paste.Before = std::move(before->Cells);
        paste.Width_Before = before->Width;
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

void Paste_Journal::End(bool pasted) {
    const Automation_Object range = std::exchange(range_, Automation_Object());
    if (!open_ || !pasted) {
        open_.reset();
        return;
    }
    auto after = open_->Rows > 0 ? Read_Block(range, open_->Rows, open_->Widens) : std::optional<Block>(Block());
    if (after) {
        open_->After = std::move(after->Cells);
        open_->Width_After = after->Width;
        pastes_.push_back(std::move(*open_));
        if (pastes_.size() > Max_Pastes) pastes_.pop_front();
    }
    open_.reset();
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
    const auto now = paste.Rows > 0 ? Read_Block(Block_Range(sheet, paste.Row, paste.Column, paste.Rows), paste.Rows, paste.Widens)
                                     : std::optional<Block>(Block());
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
        const Automation_Object cell = sheet.Get(L"Cells", {Variant::Long(paste.Row + i), Variant::Long(paste.Column)}).Object();
        errors.Record(cell.Put(L"Value", As_Typed(paste.Before[static_cast<std::size_t>(i)])));
        // A column the paste widened, unless the user has given it another width since.
        if (i == 0 && paste.Widens && paste.Width_After != paste.Width_Before && now->Width == paste.Width_After)
            errors.Record(cell.Put(L"ColumnWidth", Variant::Double(paste.Width_Before)));
    }
    (void)excel.Excel_ツール_CellDrop2_Activate();
    excel.Select_Cell(paste.Row, paste.Column, errors);
    pastes_.pop_back();
    return errors.Failed() ? Take_Back::Failed : Take_Back::Done;
}
