#include "cell_address.h"

#include <algorithm>
#include <cwctype>

namespace {

bool Is_Letter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
bool Is_Digit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// One cell reference such as "B3" or "$B$3".
std::optional<Cell_Ref> Parse_Cell(std::wstring_view text) {
    std::size_t i = 0;
    if (i < text.size() && text[i] == L'$') ++i;
    const std::size_t letters_start = i;
    while (i < text.size() && Is_Letter(text[i])) ++i;
    const auto column = Column_From_Letters(text.substr(letters_start, i - letters_start));
    if (!column) return std::nullopt;
    if (i < text.size() && text[i] == L'$') ++i;
    if (i == text.size() || text[i] == L'0') return std::nullopt;
    long long row = 0;
    for (; i < text.size(); ++i) {
        if (!Is_Digit(text[i])) return std::nullopt;
        row = row * 10 + (text[i] - L'0');
        if (row > Max_Rows) return std::nullopt;
    }
    return Cell_Ref{static_cast<int>(row), *column};
}

}  // namespace

bool Is_On_Sheet(Cell_Ref cell) {
    return cell.Row >= 1 && cell.Row <= Max_Rows && cell.Column >= 1 && cell.Column <= Max_Columns;
}

Cell_Rect Bounding(const Cell_Rect& a, const Cell_Rect& b) {
    return {std::min(a.Top, b.Top), std::min(a.Left, b.Left), std::max(a.Bottom, b.Bottom), std::max(a.Right, b.Right)};
}

std::optional<Cell_Rect> Overlap(const Cell_Rect& a, const Cell_Rect& b) {
    const Cell_Rect r{std::max(a.Top, b.Top), std::max(a.Left, b.Left), std::min(a.Bottom, b.Bottom),
                      std::min(a.Right, b.Right)};
    if (r.Top > r.Bottom || r.Left > r.Right) return std::nullopt;
    return r;
}

std::wstring Column_Letters(int column) {
    std::wstring letters;
    for (; column > 0; column = (column - 1) / 26) letters.insert(letters.begin(), L'A' + (column - 1) % 26);
    return letters;
}

std::optional<int> Column_From_Letters(std::wstring_view letters) {
    if (letters.empty() || letters.size() > 3) return std::nullopt;
    int column = 0;
    for (wchar_t c : letters) {
        if (!Is_Letter(c)) return std::nullopt;
        column = column * 26 + (std::towupper(c) - L'A' + 1);
    }
    if (column > Max_Columns) return std::nullopt;
    return column;
}

std::optional<Cell_Rect> Parse_Address(std::wstring_view text) {
    const std::size_t colon = text.find(L':');
    const auto first = Parse_Cell(text.substr(0, colon));
    if (!first) return std::nullopt;
    if (colon == std::wstring_view::npos) return Cell_Rect::Of(*first);
    const auto second = Parse_Cell(text.substr(colon + 1));
    if (!second) return std::nullopt;
    return Bounding(Cell_Rect::Of(*first), Cell_Rect::Of(*second));
}

std::wstring Cell_Name(Cell_Ref cell) { return Column_Letters(cell.Column) + std::to_wstring(cell.Row); }

std::wstring Address_Text(const Cell_Rect& rect, bool row_absolute, bool column_absolute) {
    auto one = [&](Cell_Ref cell) {
        return (column_absolute ? L"$" : L"") + Column_Letters(cell.Column) + (row_absolute ? L"$" : L"") +
               std::to_wstring(cell.Row);
    };
    std::wstring text = one(rect.Top_Left());
    if (rect.Rows() > 1 || rect.Columns() > 1) text += L":" + one({rect.Bottom, rect.Right});
    return text;
}
