#include "cell_value.h"

#include <charconv>
#include <cstdio>
#include <optional>

#include "formula.h"

namespace {

bool Is_Digit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::wstring_view Trim_Spaces(std::wstring_view text) {
    while (!text.empty() && text.front() == L' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == L' ') text.remove_suffix(1);
    return text;
}

// Excel's number entry: optional sign, digits with optional thousands commas, optional fraction and
// exponent, optional trailing percent sign. Only half-width characters are taken.
std::optional<double> Parse_Number(std::wstring_view text) {
    text = Trim_Spaces(text);
    bool percent = false;
    if (!text.empty() && text.back() == L'%') {
        percent = true;
        text.remove_suffix(1);
    }
    std::string plain;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        if (text[i] == L'-') plain += '-';
        ++i;
    }
    int digits = 0;
    int since_comma = -1;  // digits after the last comma; -1 while there has been none
    for (; i < text.size() && (Is_Digit(text[i]) || text[i] == L','); ++i) {
        if (text[i] == L',') {
            if (digits == 0 || (since_comma != -1 && since_comma != 3)) return std::nullopt;
            since_comma = 0;
            continue;
        }
        plain += static_cast<char>(text[i]);
        ++digits;
        if (since_comma != -1) ++since_comma;
    }
    if (since_comma != -1 && since_comma != 3) return std::nullopt;
    if (i < text.size() && text[i] == L'.') {
        plain += '.';
        for (++i; i < text.size() && Is_Digit(text[i]); ++i, ++digits) plain += static_cast<char>(text[i]);
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        plain += 'e';
        ++i;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) plain += static_cast<char>(text[i++]);
        const std::size_t exponent_start = i;
        for (; i < text.size() && Is_Digit(text[i]); ++i) plain += static_cast<char>(text[i]);
        if (i == exponent_start) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size()) return std::nullopt;
    return percent ? value / 100 : value;
}

// Only texts that look like a date or a time go to the OLE parser: it is lenient enough to read
// month names or lone words that Excel keeps as text.
bool Looks_Like_Date(std::wstring_view text) {
    bool digit = false;
    bool separator = false;
    for (wchar_t c : text) {
        if (Is_Digit(c)) digit = true;
        if (c == L'/' || c == L'-' || c == L':' || c == L'年' || c == L'月' || c == L'日' || c == L'時' || c == L'分' ||
            c == L'秒')
            separator = true;
    }
    return digit && separator;
}

std::optional<double> Parse_Date(std::wstring_view text) {
    text = Trim_Spaces(text);
    if (!Looks_Like_Date(text)) return std::nullopt;
    Unique_Bstr bstr(text);
    DATE date = 0;
    if (FAILED(VarDateFromStr(bstr.Get(), LOCALE_USER_DEFAULT, 0, &date))) return std::nullopt;
    return date;
}

bool Equals_No_Case(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

Cell_Value Number_Value(Cell_Value::Kind kind, double number) {
    Cell_Value cell;
    cell.Type = kind;
    cell.Number = number;
    return cell;
}

}  // namespace

Cell_Value Value_From_Text(std::wstring_view typed) {
    Cell_Value cell;
    if (typed.empty()) return cell;
    cell.Type = Cell_Value::Kind::String;
    if (typed.front() == L'\'') {
        cell.Text = typed.substr(1);
        cell.Prefixed = true;
        return cell;
    }
    cell.Text = typed;
    if (typed.find_first_of(L"\r\n") != std::wstring_view::npos) return cell;
    // A number first: the date parser would also read "123" as a day.
    if (const auto number = Parse_Number(typed)) return Number_Value(Cell_Value::Kind::Number, *number);
    if (const auto date = Parse_Date(typed)) return Number_Value(Cell_Value::Kind::Date, *date);
    const std::wstring_view word = Trim_Spaces(typed);
    if (Equals_No_Case(word, L"TRUE")) return Number_Value(Cell_Value::Kind::Bool, 1);
    if (Equals_No_Case(word, L"FALSE")) return Number_Value(Cell_Value::Kind::Bool, 0);
    return cell;
}

bool Value_From_Variant(const VARIANT& value, Cell_Value& cell) {
    HRESULT hr = S_OK;
    Unique_Variant plain = Unique_Variant::Copy_Of(value, &hr);
    if (FAILED(hr)) return false;
    const VARIANT& v = plain.Get();
    switch (v.vt) {
        case VT_EMPTY:
        case VT_NULL:
            cell = Cell_Value{};
            return true;
        case VT_BSTR: {
            const std::wstring_view typed(v.bstrVal ? v.bstrVal : L"", SysStringLen(v.bstrVal));
            if (Is_Formula_Entry(typed)) {
                const std::optional<Cell_Value> shown = Evaluate_Formula(typed);
                if (!shown) return false;
                cell = *shown;
                // As the formula bar shows it: Excel puts the "=" before "+A1" or "@A1".
                cell.Formula = typed.front() == L'=' ? std::wstring(typed) : L"=" + std::wstring(typed);
                return true;
            }
            cell = Value_From_Text(typed);
            return true;
        }
        case VT_BOOL:
            cell = Number_Value(Cell_Value::Kind::Bool, v.boolVal ? 1 : 0);
            return true;
        case VT_DATE:
            cell = Number_Value(Cell_Value::Kind::Date, v.date);
            return true;
        case VT_I1:
        case VT_UI1:
        case VT_I2:
        case VT_UI2:
        case VT_I4:
        case VT_UI4:
        case VT_I8:
        case VT_UI8:
        case VT_INT:
        case VT_UINT:
        case VT_R4:
        case VT_R8:
        case VT_CY:
        case VT_DECIMAL: {
            Unique_Variant number;
            if (FAILED(VariantChangeType(number.Address(), const_cast<VARIANT*>(&v), 0, VT_R8))) return false;
            cell = Number_Value(Cell_Value::Kind::Number, number.Get().dblVal);
            return true;
        }
        default:
            return false;
    }
}

std::wstring Formula_Text(const Cell_Value& cell) {
    if (!cell.Formula.empty()) return cell.Formula;
    switch (cell.Type) {
        case Cell_Value::Kind::String:
        case Cell_Value::Kind::Error:
            return cell.Text;
        case Cell_Value::Kind::Number:
            return Number_Text(cell.Number);
        case Cell_Value::Kind::Date: {
            SYSTEMTIME t{};
            if (!VariantTimeToSystemTime(cell.Number, &t)) return Number_Text(cell.Number);
            wchar_t day[32] = L"", time[32] = L"";
            // Day 0 (1899/12/30) is a time of day alone; a whole day shows no time.
            const bool has_day = cell.Number >= 1 || cell.Number < 0;
            const bool has_time = !has_day || cell.Number != static_cast<double>(static_cast<long long>(cell.Number));
            if (has_day) std::swprintf(day, 32, L"%u/%u/%u", t.wYear, t.wMonth, t.wDay);
            if (has_time) std::swprintf(time, 32, L"%u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
            return std::wstring(day) + (has_day && has_time ? L" " : L"") + time;
        }
        case Cell_Value::Kind::Bool:
            return cell.Number != 0 ? L"TRUE" : L"FALSE";
        case Cell_Value::Kind::Empty:
            break;
    }
    return L"";
}

Unique_Variant Variant_From_Value(const Cell_Value& cell) {
    switch (cell.Type) {
        case Cell_Value::Kind::String:
            return Unique_Variant::Text(cell.Text);
        case Cell_Value::Kind::Number:
            return Unique_Variant::Double(cell.Number);
        case Cell_Value::Kind::Date:
            return Unique_Variant::Date(cell.Number);
        case Cell_Value::Kind::Bool:
            return Unique_Variant::Bool(cell.Number != 0);
        case Cell_Value::Kind::Error: {
            // CVErr: Excel's error code in the low word of an automation error value.
            Unique_Variant error;
            error.Put()->vt = VT_ERROR;
            error.Address()->scode = static_cast<SCODE>(0x800A0000u + static_cast<unsigned>(cell.Number));
            return error;
        }
        case Cell_Value::Kind::Empty:
            break;
    }
    return Unique_Variant();
}

std::wstring Number_Text(double number) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    return std::wstring(buffer, result.ptr);
}

std::wstring Date_Text(double automation_date) {
    SYSTEMTIME t{};
    if (!VariantTimeToSystemTime(automation_date, &t)) return Number_Text(automation_date);
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"%04u-%02u-%02uT%02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return buffer;
}
