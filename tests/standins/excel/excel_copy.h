#pragma once
// What Excel puts on the clipboard when the user copies. Cells offer their text (a tab between cells,
// CR LF after every row, the last one included), a picture of the range (an enhanced metafile, from
// which Windows offers the older metafile too) and Excel's own formats "XML Spreadsheet" and
// "Biff12"; a chart offers its picture alone. Excel only promises the formats (delayed rendering,
// its main window the clipboard's owner) and makes each when a reader asks for it, on the thread that
// also answers automation calls. What was copied is fixed when the copy is made.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "excel_model.h"

class Excel_Copy {
public:
    // The user copies cells of the sheet, or a chart. False when the clipboard could not be had.
    [[nodiscard]] bool Copy_Cells(HWND owner, const Sheet& sheet, const Cell_Rect& range);
    [[nodiscard]] bool Copy_Chart(HWND owner);
    // WM_RENDERFORMAT: puts the format's data on the clipboard its reader holds open. The format's
    // name, or "" when this copy has no such format (or there is no copy any more).
    std::wstring Render(UINT format);
    // WM_RENDERALLFORMATS: Excel goes, the clipboard keeps every format that is still Excel's.
    void Render_All(HWND owner);
    // WM_DESTROYCLIPBOARD: another copy replaced this one.
    void Forget() { copied_.reset(); }

private:
    struct Copied {
        std::vector<std::vector<std::wstring>> Rows;  // the cells as shown; none for a chart
        double Width = 0;                             // points
        double Height = 0;
    };
    [[nodiscard]] bool Offer(HWND owner, Copied copied);

    std::optional<Copied> copied_;
};

// The cells' text as Excel copies it; a cell holding a line break is quoted ("a""b" doubles a quote).
std::wstring Copied_Text(const std::vector<std::vector<std::wstring>>& rows);
