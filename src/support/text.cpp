#include "text.h"

#include "codepage.h"

std::vector<std::wstring> Str_Split(std::wstring_view text, std::wstring_view delimiter) {
    if (delimiter.empty()) return {std::wstring()};
    if (text.find(delimiter) == std::wstring_view::npos) return {std::wstring(text)};

    std::vector<std::wstring> parts;
    std::wstring_view rest = text;
    while (!rest.empty()) {
        const std::size_t p = rest.find(delimiter);
        if (p == std::wstring_view::npos) {
            parts.emplace_back(rest);
            rest = {};
        } else if (p == 0 && rest.size() > delimiter.size()) {
            parts.emplace_back();
            rest.remove_prefix(delimiter.size());
        } else if (p == 0) {
            // The rest is the delimiter itself: an empty part on each side of it.
            parts.emplace_back();
            parts.emplace_back();
            rest = {};
        } else {
            parts.emplace_back(rest.substr(0, p));
            rest.remove_prefix(p + delimiter.size());
        }
    }
    return parts;
}

Replace_Result Replace_All(std::wstring_view text, std::wstring_view find, std::wstring_view replacement) {
    Replace_Result r{std::wstring(text), 0};
    if (text.empty() || find.empty() || text.size() < find.size()) return r;

    // Upper_Case keeps the length, so positions in the folded copy are positions in the text.
    const std::wstring text_upper = Upper_Case(text);
    const std::wstring find_upper = Upper_Case(find);
    if (text.size() == find.size()) {
        if (text_upper == find_upper) r = {std::wstring(replacement), 1};
        return r;
    }

    r.Text.clear();
    std::size_t from = 0;
    while (true) {
        const std::size_t p = text_upper.find(find_upper, from);
        if (p == std::wstring::npos) {
            r.Text.append(text.substr(from));
            break;
        }
        r.Text.append(text.substr(from, p - from));
        r.Text.append(replacement);
        ++r.Count;
        from = p + find.size();
    }
    return r;
}

int Char_Width(std::wstring_view ch) {
    if (ch.size() != 1) return 0;
    return Ansi_Byte_Count(ch[0]) == 2 ? 2 : 1;
}

namespace {

// Digits of a decimal number, integer and fraction apart, turned into Fixed4 with rounding and clamping.
Fixed4 Digits_To_Fixed4(const std::wstring& whole, const std::wstring& fraction, bool negative) {
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max();
    std::int64_t raw = 0;
    bool overflow = false;
    auto push_digit = [&](wchar_t d) {
        const std::int64_t v = d - L'0';
        if (raw > (limit - v) / 10)
            overflow = true;
        else
            raw = raw * 10 + v;
    };
    for (wchar_t d : whole) {
        push_digit(d);
        if (overflow) break;
    }
    for (std::size_t i = 0; i < 4 && !overflow; ++i) push_digit(i < fraction.size() ? fraction[i] : L'0');

    if (!overflow && fraction.size() > 4) {
        // Round half to even on the fifth decimal and anything after it.
        const wchar_t fifth = fraction[4];
        bool above_half = fifth > L'5';
        if (fifth == L'5') above_half = fraction.find_first_not_of(L'0', 5) != std::wstring::npos;
        const bool exactly_half = fifth == L'5' && !above_half;
        if (above_half || (exactly_half && raw % 2 == 1)) {
            if (raw == limit)
                overflow = true;
            else
                ++raw;
        }
    }
    if (overflow) return negative ? Fixed4{-Fixed4::Max().Raw} : Fixed4::Max();
    return Fixed4{negative ? -raw : raw};
}

}  // namespace

Fixed4 Number_In_Text(std::wstring_view text) {
    std::wstring whole, fraction;
    bool seen_point = false;
    bool negative = false;
    for (wchar_t c : text) {
        if (c >= L'0' && c <= L'9') {
            (seen_point ? fraction : whole).push_back(c);
        } else if (c == L'.') {
            seen_point = true;
        } else if (c == L'-') {
            negative = !negative;
        }
    }
    if (whole.empty() && fraction.empty()) return Fixed4{};
    // Leading zeros would only count against the overflow test.
    const std::size_t first = whole.find_first_not_of(L'0');
    whole = first == std::wstring::npos ? std::wstring() : whole.substr(first);
    return Digits_To_Fixed4(whole, fraction, negative);
}

std::wstring Space_Remove(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text)
        if (c != L' ' && c != L'\u3000') out.push_back(c);
    return out;
}

bool Is_Blank_Text(std::wstring_view text) { return Space_Remove(Replace_All(text, Get_CrLf(), L"").Text).empty(); }
