#include "excel_model.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

bool Same_Name(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// Excel lays columns out in whole pixels: 8.43 characters are 64 pixels, 48 points.
double Column_Points(double width) { return std::round(width * 7 + 5) * Points_Per_Pixel; }

// --- Shape ---

void Shape::Set_Width(double width) {
    if (Lock_Aspect_Ratio && Width > 0) Height *= width / Width;
    Width = width;
}

void Shape::Set_Height(double height) {
    if (Lock_Aspect_Ratio && Height > 0) Width *= height / Height;
    Height = height;
}

// --- Sheet ---

const Cell_Value& Sheet::Value(Cell_Ref cell) const {
    static const Cell_Value empty;
    const auto found = Cells.find(cell);
    return found == Cells.end() ? empty : found->second;
}

void Sheet::Set_Value(Cell_Ref cell, Cell_Value value) {
    if (value.Type == Cell_Value::Kind::Empty)
        Cells.erase(cell);
    else
        Cells[cell] = std::move(value);
}

double Sheet::Column_Width(int column) const {
    const auto found = Column_Widths.find(column);
    return found == Column_Widths.end() ? Default_Column_Width : found->second;
}

void Sheet::Set_Column_Width(int column, double width) {
    if (width == Default_Column_Width)
        Column_Widths.erase(column);
    else
        Column_Widths[column] = width;
}

double Sheet::Column_Left(int column) const {
    double points = 0;
    for (int c = 1; c < column; ++c) points += Column_Points(Column_Width(c));
    return points;
}

double Sheet::Row_Top(int row) const { return (row - 1) * Default_Row_Height; }

Cell_Ref Sheet::Cell_At(double left, double top) const {
    int column = 1;
    for (double right = Column_Points(Column_Width(1)); right <= left && column < Max_Columns;)
        right += Column_Points(Column_Width(++column));
    const double row = std::clamp(std::floor(top / Default_Row_Height) + 1, 1.0, double{Max_Rows});
    return {static_cast<int>(row), column};
}

Cell_Ref Bottom_Right_Cell(const Sheet& sheet, const Shape& shape) {
    return sheet.Cell_At(shape.Left + shape.Width, shape.Top + shape.Height);
}

void Sheet::Select(const Cell_Rect& rect) {
    Selection = rect;
    Active_Cell = rect.Top_Left();
    Selected_Shape = 0;
}

Cell_Rect Sheet::Paste_Text(Cell_Ref start, std::wstring_view text) {
    Cell_Rect pasted = Cell_Rect::Of(start);
    const auto is_break = [](wchar_t c) { return c == L'\r' || c == L'\n'; };
    int row = start.Row;
    std::size_t at = 0;
    // Excel's text import: a row ends at CR LF, at a lone CR and at a lone LF; a tab ends a cell; a
    // cell that opens with a quote and has a closing one runs to it, breaks and tabs included, "" being
    // one quote. A break at the very end starts no row.
    while (at < text.size() && row <= Max_Rows) {
        int column = start.Column;
        for (;;) {
            std::wstring piece;
            if (at < text.size() && text[at] == L'"') {
                std::size_t close = at + 1;
                std::wstring inside;
                for (; close < text.size(); ++close) {
                    if (text[close] != L'"') {
                        inside += text[close];
                    } else if (close + 1 < text.size() && text[close + 1] == L'"') {
                        inside += L'"';
                        ++close;
                    } else {
                        break;
                    }
                }
                if (close < text.size()) {
                    piece = std::move(inside);
                    at = close + 1;
                }
            }
            while (at < text.size() && text[at] != L'\t' && !is_break(text[at])) piece += text[at++];
            if (column <= Max_Columns) Set_Value({row, column}, Value_From_Text(piece));
            pasted = Bounding(pasted, Cell_Rect::Of({row, std::min(column, Max_Columns)}));
            if (at < text.size() && text[at] == L'\t') {
                ++at;
                ++column;
                continue;
            }
            if (at < text.size()) at += text[at] == L'\r' && at + 1 < text.size() && text[at + 1] == L'\n' ? 2 : 1;
            break;
        }
        ++row;
    }
    return pasted;
}

Shape& Sheet::Add_Picture(Cell_Ref at, double width, double height) {
    const Object_Id id = ++Last_Shape_Id;
    Shapes.push_back({.Id = id,
                      .Name = L"図 " + std::to_wstring(id),
                      .Kind = L"picture",
                      .Left = Column_Left(at.Column),
                      .Top = Row_Top(at.Row),
                      .Width = width,
                      .Height = height,
                      .Lock_Aspect_Ratio = true,
                      .Alternative_Text = {}});
    Selected_Shape = id;
    return Shapes.back();
}

Shape* Sheet::Find_Shape(Object_Id id) {
    const auto found = std::find_if(Shapes.begin(), Shapes.end(), [&](const Shape& s) { return s.Id == id; });
    return found == Shapes.end() ? nullptr : &*found;
}

const Shape* Sheet::Find_Shape(Object_Id id) const { return const_cast<Sheet*>(this)->Find_Shape(id); }

bool Sheet::Delete_Shape(Object_Id id) {
    if (std::erase_if(Shapes, [&](const Shape& s) { return s.Id == id; }) == 0) return false;
    if (Selected_Shape == id) Selected_Shape = 0;
    return true;
}

// --- Workbook ---

Sheet* Workbook::Find_Sheet(Object_Id id) {
    const auto found = std::find_if(Sheets.begin(), Sheets.end(), [&](const Sheet& s) { return s.Id == id; });
    return found == Sheets.end() ? nullptr : &*found;
}

Sheet* Workbook::Find_Sheet(std::wstring_view name) {
    const auto found =
        std::find_if(Sheets.begin(), Sheets.end(), [&](const Sheet& s) { return Same_Name(s.Name, name); });
    return found == Sheets.end() ? nullptr : &*found;
}

Sheet* Workbook::Sheet_At(long index) {
    if (index < 1 || index > static_cast<long>(Sheets.size())) return nullptr;
    return &Sheets[index - 1];
}

Sheet* Workbook::Active() { return Find_Sheet(Active_Sheet); }

// --- Excel_Model ---

Workbook* Excel_Model::Find_Workbook(Object_Id id) {
    const auto found =
        std::find_if(workbooks_.begin(), workbooks_.end(), [&](const Workbook& b) { return b.Id == id; });
    return found == workbooks_.end() ? nullptr : &*found;
}

Workbook* Excel_Model::Find_Workbook(std::wstring_view name) {
    const auto found =
        std::find_if(workbooks_.begin(), workbooks_.end(), [&](const Workbook& b) { return Same_Name(b.Name, name); });
    return found == workbooks_.end() ? nullptr : &*found;
}

Workbook* Excel_Model::Workbook_At(long index) {
    if (index < 1 || index > static_cast<long>(workbooks_.size())) return nullptr;
    return &workbooks_[index - 1];
}

Workbook* Excel_Model::Active_Workbook() { return Find_Workbook(active_workbook_); }

Sheet* Excel_Model::Active_Sheet() {
    Workbook* book = Active_Workbook();
    return book ? book->Active() : nullptr;
}

Sheet* Excel_Model::Find_Sheet(Object_Id book, Object_Id sheet) {
    Workbook* b = Find_Workbook(book);
    return b ? b->Find_Sheet(sheet) : nullptr;
}

Sheet Excel_Model::New_Sheet(std::wstring_view name) {
    Sheet sheet;
    sheet.Id = next_id_++;
    sheet.Name = name;
    return sheet;
}

Workbook& Excel_Model::Add_Book(std::wstring name, std::wstring path) {
    Workbook book;
    book.Id = next_id_++;
    book.Name = std::move(name);
    book.Path = std::move(path);
    book.Sheets.push_back(New_Sheet(L"Sheet1"));
    book.Active_Sheet = book.Sheets.front().Id;
    workbooks_.push_back(std::move(book));
    Activate_Workbook(workbooks_.back().Id);
    return workbooks_.back();
}

Workbook& Excel_Model::Add_Workbook() { return Add_Book(L"Book" + std::to_wstring(++books_added_), L""); }

Workbook& Excel_Model::Open_Workbook(std::wstring_view folder, std::wstring_view file_name) {
    return Add_Book(std::wstring(file_name), std::wstring(folder));
}

void Excel_Model::Activate_Workbook(Object_Id id) {
    std::erase(activation_order_, id);
    activation_order_.push_back(id);
    active_workbook_ = id;
}

bool Excel_Model::Close_Workbook(Object_Id id) {
    const auto removed = std::erase_if(workbooks_, [&](const Workbook& b) { return b.Id == id; });
    if (removed == 0) return false;
    std::erase(activation_order_, id);
    active_workbook_ = activation_order_.empty() ? 0 : activation_order_.back();
    return true;
}

void Excel_Model::Close_All() {
    workbooks_.clear();
    activation_order_.clear();
    active_workbook_ = 0;
}

Name_Check Excel_Model::Check_Sheet_Name(const Workbook& book, std::wstring_view name, Object_Id renamed) const {
    // Excel's own rules: 1 to 31 characters, none of : \ / ? * [ ], no apostrophe at either end.
    if (name.empty() || name.size() > 31 || name.find_first_of(L":\\/?*[]") != std::wstring_view::npos ||
        name.front() == L'\'' || name.back() == L'\'')
        return Name_Check::Invalid;
    for (const Sheet& s : book.Sheets)
        if (s.Id != renamed && Same_Name(s.Name, name)) return Name_Check::Taken;
    return Name_Check::Ok;
}

Sheet& Excel_Model::Add_Sheet(Workbook& book, std::wstring_view name) {
    auto after =
        std::find_if(book.Sheets.begin(), book.Sheets.end(), [&](const Sheet& s) { return s.Id == book.Active_Sheet; });
    if (after != book.Sheets.end()) ++after;
    const auto added = book.Sheets.insert(after, New_Sheet(name));
    book.Active_Sheet = added->Id;
    return *added;
}

Sheet& Excel_Model::Insert_Sheet(Workbook& book, std::size_t position) {
    std::wstring name;
    for (std::size_t n = book.Sheets.size() + 1; name.empty() || book.Find_Sheet(name); ++n)
        name = L"Sheet" + std::to_wstring(n);
    const auto added = book.Sheets.insert(
        book.Sheets.begin() + static_cast<std::ptrdiff_t>(std::min(position, book.Sheets.size())), New_Sheet(name));
    book.Active_Sheet = added->Id;
    return *added;
}

bool Excel_Model::Delete_Sheet(Workbook& book, Object_Id sheet) {
    if (book.Sheets.size() <= 1) return false;
    const auto found =
        std::find_if(book.Sheets.begin(), book.Sheets.end(), [&](const Sheet& s) { return s.Id == sheet; });
    if (found == book.Sheets.end()) return false;
    // As in Excel, the next sheet to the right (or the new last one) becomes active.
    const auto next = book.Sheets.erase(found);
    if (book.Active_Sheet == sheet) book.Active_Sheet = (next != book.Sheets.end() ? next : next - 1)->Id;
    return true;
}

std::wstring Window_Title(const Excel_Model& model) {
    const auto& books = model.Workbooks();
    const auto book =
        std::find_if(books.begin(), books.end(), [&](const Workbook& b) { return b.Id == model.Active_Workbook_Id(); });
    if (book == books.end()) return L"Excel";
    std::wstring name = book->Name;
    const std::size_t dot = name.find_last_of(L'.');
    if (model.Extensions_Hidden && dot != std::wstring::npos && dot > 0) name.resize(dot);
    return name + L" - Excel";
}
