#pragma once
// Cell positions and their A1 notation: "B3" is row 3, column 2. Rows and columns are 1-based as in
// Excel. A rectangle covers a single cell today; the rest of the stand-in already passes rectangles
// around so that multi-cell ranges need no new plumbing.
#include <compare>
#include <optional>
#include <string>
#include <string_view>

constexpr int Max_Rows = 1048576;
constexpr int Max_Columns = 16384;

struct Cell_Ref {
    int Row = 1;
    int Column = 1;
    // Row-major, so cells sorted by it come out line by line as on the sheet.
    auto operator<=>(const Cell_Ref&) const = default;
};

struct Cell_Rect {
    int Top = 1;
    int Left = 1;
    int Bottom = 1;
    int Right = 1;

    static Cell_Rect Of(Cell_Ref cell) { return {cell.Row, cell.Column, cell.Row, cell.Column}; }
    Cell_Ref Top_Left() const { return {Top, Left}; }
    int Rows() const { return Bottom - Top + 1; }
    int Columns() const { return Right - Left + 1; }
    bool Contains(Cell_Ref cell) const {
        return cell.Row >= Top && cell.Row <= Bottom && cell.Column >= Left && cell.Column <= Right;
    }
    bool operator==(const Cell_Rect&) const = default;
};

bool Is_On_Sheet(Cell_Ref cell);

// The smallest rectangle holding both.
Cell_Rect Bounding(const Cell_Rect& a, const Cell_Rect& b);
// The overlap of both, or nothing when they are disjoint.
std::optional<Cell_Rect> Overlap(const Cell_Rect& a, const Cell_Rect& b);

// "A", "Z", "AA", … "XFD".
std::wstring Column_Letters(int column);
// Letters in either case; nothing when they are not a column of the sheet.
std::optional<int> Column_From_Letters(std::wstring_view letters);

// "B3", "$B$3", "b3", "A1:C4"; nothing for anything else or a cell beyond the sheet.
std::optional<Cell_Rect> Parse_Address(std::wstring_view text);

// "B3" (the form the state file uses for cells).
std::wstring Cell_Name(Cell_Ref cell);
// Range.Address: "$B$3", or "$A$1:$C$4" for a rectangle; "$" only where absolute.
std::wstring Address_Text(const Cell_Rect& rect, bool row_absolute = true, bool column_absolute = true);
