#include "excel_copy.h"

#include <oleauto.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>

#include "state_json.h"

namespace {

// A chart of Excel's default size: 5 by 3 inches.
constexpr double Chart_Width = 360;
constexpr double Chart_Height = 216;
// Another program may hold the clipboard open for a moment.
constexpr ULONGLONG Open_Timeout_Ms = 1000;

UINT Xml_Format() { return RegisterClipboardFormatW(L"XML Spreadsheet"); }
UINT Biff12_Format() { return RegisterClipboardFormatW(L"Biff12"); }

// A cell as the sheet shows it in the General format.
std::wstring Shown(const Cell_Value& value) {
    switch (value.Type) {
        case Cell_Value::Kind::String:
        case Cell_Value::Kind::Error:
            return value.Text;
        case Cell_Value::Kind::Number:
            return Number_Text(value.Number);
        case Cell_Value::Kind::Bool:
            return value.Number != 0 ? L"TRUE" : L"FALSE";
        case Cell_Value::Kind::Date: {
            SYSTEMTIME t{};
            if (!VariantTimeToSystemTime(value.Number, &t)) return Number_Text(value.Number);
            wchar_t text[32];
            if (t.wHour || t.wMinute)
                std::swprintf(text, 32, L"%u/%u/%u %u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
            else
                std::swprintf(text, 32, L"%u/%u/%u", t.wYear, t.wMonth, t.wDay);
            return text;
        }
        case Cell_Value::Kind::Empty:
            break;
    }
    return {};
}

HGLOBAL Global_Copy(const void* bytes, std::size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    void* p = memory ? GlobalLock(memory) : nullptr;
    if (!p) {
        if (memory) GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(p, bytes, size);
    GlobalUnlock(memory);
    return memory;
}

std::string Ansi(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(std::max(size, 1)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    return bytes;  // with its terminating zero
}

std::string Xml_Escaped(const std::wstring& text) {
    std::string out;
    for (char c : To_Utf8(text)) out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
    return out;
}

// SpreadsheetML, every cell as a string: what the stand-in's readers would need of it, were there any.
std::string Spreadsheet_Xml(const std::vector<std::vector<std::wstring>>& rows) {
    std::string xml =
        "<?xml version=\"1.0\"?>\r\n<?mso-application progid=\"Excel.Sheet\"?>\r\n"
        "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
        "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"><Worksheet ss:Name=\"Sheet1\"><Table>";
    for (const auto& row : rows) {
        xml += "<Row>";
        for (const std::wstring& cell : row)
            xml += cell.empty() ? "<Cell/>" : "<Cell><Data ss:Type=\"String\">" + Xml_Escaped(cell) + "</Data></Cell>";
        xml += "</Row>";
    }
    return xml + "</Table></Worksheet></Workbook>\r\n";
}

// The copy drawn as Excel draws it for other programs: its frame, and the cells' text or the bars of
// a chart, in a metafile whose frame is the copy's size.
HENHMETAFILE Draw(const std::vector<std::vector<std::wstring>>& rows, double width, double height) {
    const RECT frame{0, 0, std::lround(width * 2540 / 72), std::lround(height * 2540 / 72)};
    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, L"Excel\0\0");
    if (!dc) return nullptr;
    const int w = static_cast<int>(std::lround(width / Points_Per_Pixel));
    const int h = static_cast<int>(std::lround(height / Points_Per_Pixel));
    Rectangle(dc, 0, 0, w, h);
    const int row_pixels = static_cast<int>(Default_Row_Height / Points_Per_Pixel);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::wstring line;
        for (const std::wstring& cell : rows[r]) line += cell + L"  ";
        TextOutW(dc, 2, static_cast<int>(r) * row_pixels + 2, line.c_str(), static_cast<int>(line.size()));
    }
    if (rows.empty()) {
        const RECT bars[] = {{40, 200, 100, 270}, {140, 120, 200, 270}, {240, 60, 300, 270}};
        for (const RECT& bar : bars) FillRect(dc, &bar, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    }
    return CloseEnhMetaFile(dc);
}

bool Open_Clipboard(HWND owner) {
    const ULONGLONG deadline = GetTickCount64() + Open_Timeout_Ms;
    while (!OpenClipboard(owner)) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(5);
    }
    return true;
}

}  // namespace

std::wstring Copied_Text(const std::vector<std::vector<std::wstring>>& rows) {
    std::wstring text;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) text += L'\t';
            if (row[c].find_first_of(L"\r\n") == std::wstring::npos) {
                text += row[c];
                continue;
            }
            text += L'"';
            for (wchar_t ch : row[c]) text += ch == L'"' ? std::wstring(L"\"\"") : std::wstring(1, ch);
            text += L'"';
        }
        text += L"\r\n";
    }
    return text;
}

bool Excel_Copy::Copy_Cells(HWND owner, const Sheet& sheet, const Cell_Rect& range) {
    Copied copied;
    for (int row = range.Top; row <= range.Bottom; ++row) {
        auto& cells = copied.Rows.emplace_back();
        for (int column = range.Left; column <= range.Right; ++column)
            cells.push_back(Shown(sheet.Value({row, column})));
    }
    copied.Width = sheet.Column_Left(range.Right + 1) - sheet.Column_Left(range.Left);
    copied.Height = sheet.Row_Top(range.Bottom + 1) - sheet.Row_Top(range.Top);
    return Offer(owner, std::move(copied));
}

bool Excel_Copy::Copy_Chart(HWND owner) { return Offer(owner, Copied{{}, Chart_Width, Chart_Height}); }

bool Excel_Copy::Offer(HWND owner, Copied copied) {
    if (!Open_Clipboard(owner)) return false;
    // Emptying tells the previous owner, this window included, that its copy is gone.
    const bool emptied = EmptyClipboard() != FALSE;
    if (emptied) {
        const bool cells = !copied.Rows.empty();
        copied_ = std::move(copied);
        if (cells) {
            for (UINT format : {UINT(CF_UNICODETEXT), UINT(CF_TEXT), Xml_Format(), Biff12_Format()})
                SetClipboardData(format, nullptr);
        }
        SetClipboardData(CF_ENHMETAFILE, nullptr);
    }
    CloseClipboard();
    return emptied;
}

std::wstring Excel_Copy::Render(UINT format) {
    if (!copied_) return {};
    const bool cells = !copied_->Rows.empty();
    HANDLE data = nullptr;
    std::wstring name;
    if (format == CF_ENHMETAFILE) {
        data = Draw(copied_->Rows, copied_->Width, copied_->Height);
        name = L"CF_ENHMETAFILE";
    } else if (cells && format == CF_UNICODETEXT) {
        const std::wstring text = Copied_Text(copied_->Rows);
        data = Global_Copy(text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        name = L"CF_UNICODETEXT";
    } else if (cells && format == CF_TEXT) {
        const std::string text = Ansi(Copied_Text(copied_->Rows));
        data = Global_Copy(text.data(), text.size());
        name = L"CF_TEXT";
    } else if (cells && format == Xml_Format()) {
        const std::string xml = Spreadsheet_Xml(copied_->Rows);
        data = Global_Copy(xml.data(), xml.size());
        name = L"XML Spreadsheet";
    } else if (cells && format == Biff12_Format()) {
        // Excel's own binary workbook, which nothing here reads: an empty package stands for it.
        const char empty_zip[22] = {'P', 'K', 5, 6};
        data = Global_Copy(empty_zip, sizeof empty_zip);
        name = L"Biff12";
    }
    if (!data) return {};
    if (!SetClipboardData(format, data)) {
        if (format == CF_ENHMETAFILE)
            DeleteEnhMetaFile(static_cast<HENHMETAFILE>(data));
        else
            GlobalFree(data);
        return {};
    }
    return name;
}

void Excel_Copy::Render_All(HWND owner) {
    if (!copied_ || !Open_Clipboard(owner)) return;
    if (GetClipboardOwner() == owner)
        for (UINT format : {UINT(CF_UNICODETEXT), UINT(CF_TEXT), Xml_Format(), Biff12_Format(), UINT(CF_ENHMETAFILE)})
            (void)Render(format);
    CloseClipboard();
}
