#include "sheet_view.h"

#include <algorithm>
#include <string>

namespace {

constexpr int Tab_Height = 24;     // the strip with the book's and the sheet's name
constexpr int Header_Width = 40;   // row numbers
constexpr int Header_Height = 20;  // column letters
constexpr COLORREF Grid = RGB(0xD4, 0xD4, 0xD4);
constexpr COLORREF Header_Fill = RGB(0xEE, 0xEE, 0xEE);
constexpr COLORREF Excel_Green = RGB(0x21, 0x73, 0x46);
constexpr COLORREF Picture_Frame = RGB(0x1E, 0x6F, 0xD9);
constexpr COLORREF Picture_Fill = RGB(0xE3, 0xEE, 0xFB);

// One GDI object, selected into the DC for its lifetime and deleted afterwards.
class Selected_Object {
public:
    Selected_Object(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), old_(SelectObject(dc, object)) {}
    Selected_Object(const Selected_Object&) = delete;
    Selected_Object& operator=(const Selected_Object&) = delete;
    ~Selected_Object() {
        SelectObject(dc_, old_);
        DeleteObject(object_);
    }

private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ old_;
};

int Pixels(double points) { return static_cast<int>(points / Points_Per_Pixel + 0.5); }

std::wstring Shown_Text(const Cell_Value& value) {
    switch (value.Type) {
        case Cell_Value::Kind::String:
        case Cell_Value::Kind::Error:
            return value.Text;
        case Cell_Value::Kind::Number:
            return Number_Text(value.Number);
        case Cell_Value::Kind::Date:
            return Date_Text(value.Number);
        case Cell_Value::Kind::Bool:
            return value.Number != 0 ? L"TRUE" : L"FALSE";
        case Cell_Value::Kind::Empty:
            break;
    }
    return {};
}

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    SetDCBrushColor(dc, colour);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void Frame(HDC dc, const RECT& rect, COLORREF colour, int width) {
    for (int i = 0; i < width; ++i) {
        const RECT r{rect.left + i, rect.top + i, rect.right - i, rect.bottom - i};
        SetDCBrushColor(dc, colour);
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
}

void Text(HDC dc, const std::wstring& text, RECT rect, UINT format) {
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_NOPREFIX);
}

// The first row (or column) to show so that the active one is inside a view of the given extent.
template <class Edge>
int First_Shown(int active, int extent, Edge edge) {
    int first = 1;
    while (first < active && edge(active + 1) - edge(first) > extent) ++first;
    return first;
}

}  // namespace

void Paint_Sheet(HDC dc, const RECT& client, Excel_Model& model) {
    Fill(dc, client, RGB(0xFF, 0xFF, 0xFF));
    Selected_Object font(dc,
                         CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"ＭＳ Ｐゴシック"));
    SetBkMode(dc, TRANSPARENT);

    const Workbook* book = model.Active_Workbook();
    const Sheet* sheet = model.Active_Sheet();
    RECT tab{client.left, client.top, client.right, client.top + Tab_Height};
    Fill(dc, tab, Excel_Green);
    SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    tab.left += 8;
    Text(dc, book && sheet ? book->Name + L" — " + sheet->Name : std::wstring(L"ブックがありません"), tab,
         DT_SINGLELINE | DT_VCENTER);
    SetTextColor(dc, RGB(0, 0, 0));
    if (!sheet) return;

    // The grid's origin: the first shown row and column keep the active cell in view.
    const int width = client.right - Header_Width, height = client.bottom - Tab_Height - Header_Height;
    const auto column_edge = [&](int c) { return Pixels(sheet->Column_Left(c)); };
    const auto row_edge = [&](int r) { return Pixels(sheet->Row_Top(r)); };
    const int first_column = First_Shown(sheet->Active_Cell.Column, width, column_edge);
    const int first_row = First_Shown(sheet->Active_Cell.Row, height, row_edge);
    const int x0 = Header_Width - column_edge(first_column), y0 = Tab_Height + Header_Height - row_edge(first_row);
    int last_column = first_column, last_row = first_row;
    while (last_column < Max_Columns && x0 + column_edge(last_column) < client.right) ++last_column;
    while (last_row < Max_Rows && y0 + row_edge(last_row) < client.bottom) ++last_row;

    // Headers and grid lines.
    Fill(dc, {client.left, Tab_Height, client.right, Tab_Height + Header_Height}, Header_Fill);
    Fill(dc, {client.left, Tab_Height, Header_Width, client.bottom}, Header_Fill);
    for (int c = first_column; c <= last_column; ++c) {
        const int left = x0 + column_edge(c), right = x0 + column_edge(c + 1);
        Fill(dc, {right - 1, Tab_Height, right, client.bottom}, Grid);
        Text(dc, Column_Letters(c), {left, Tab_Height, right, Tab_Height + Header_Height},
             DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    for (int r = first_row; r <= last_row; ++r) {
        const int top = y0 + row_edge(r), bottom = y0 + row_edge(r + 1);
        Fill(dc, {client.left, bottom - 1, client.right, bottom}, Grid);
        Text(dc, std::to_wstring(r), {client.left, top, Header_Width, bottom}, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }

    // Values: a text runs on over the empty cells to its right, as on Excel's sheet.
    const RECT grid{Header_Width, Tab_Height + Header_Height, client.right, client.bottom};
    HRGN clip = CreateRectRgnIndirect(&grid);
    SelectClipRgn(dc, clip);
    for (const auto& [cell, value] : sheet->Cells) {
        if (cell.Row < first_row || cell.Row > last_row || cell.Column > last_column) continue;
        int end = cell.Column + 1;
        while (end <= last_column && !sheet->Cells.contains({cell.Row, end})) ++end;
        RECT box{x0 + column_edge(cell.Column) + 2, y0 + row_edge(cell.Row), x0 + column_edge(end) - 2,
                 y0 + row_edge(cell.Row + 1)};
        if (box.right < grid.left) continue;
        const bool number = value.Type == Cell_Value::Kind::Number;
        Text(dc, Shown_Text(value), box, DT_SINGLELINE | DT_VCENTER | (number ? DT_RIGHT : DT_LEFT));
    }
    const Cell_Ref active = sheet->Active_Cell;
    Frame(dc,
          {x0 + column_edge(active.Column) - 1, y0 + row_edge(active.Row) - 1, x0 + column_edge(active.Column + 1),
           y0 + row_edge(active.Row + 1)},
          Excel_Green, 2);

    // Pictures, in their order on the sheet: a frame with the picture's name.
    for (const Shape& shape : sheet->Shapes) {
        const int left = Header_Width - column_edge(first_column) + Pixels(shape.Left);
        const int top = Tab_Height + Header_Height - row_edge(first_row) + Pixels(shape.Top);
        const RECT box{left, top, left + std::max(Pixels(shape.Width), 4), top + std::max(Pixels(shape.Height), 4)};
        Fill(dc, box, Picture_Fill);
        Frame(dc, box, Picture_Frame, shape.Id == sheet->Selected_Shape ? 3 : 1);
        const std::wstring label =
            shape.Name + L"  " + std::to_wstring(Pixels(shape.Width)) + L"×" + std::to_wstring(Pixels(shape.Height));
        Text(dc, label, {box.left + 4, box.top + 2, box.right - 4, box.bottom - 2}, DT_SINGLELINE | DT_END_ELLIPSIS);
    }
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
}
