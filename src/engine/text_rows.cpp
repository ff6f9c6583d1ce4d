#include "text_rows.h"

namespace {

bool Is_Break(wchar_t c) { return c == L'\r' || c == L'\n'; }

// The length of the line break at the position: 2 for CR LF, 1 for a lone CR or LF, 0 for none.
std::size_t Break_Length(std::wstring_view text, std::size_t at) {
    if (at >= text.size() || !Is_Break(text[at])) return 0;
    return text[at] == L'\r' && at + 1 < text.size() && text[at + 1] == L'\n' ? 2 : 1;
}

// The position of the quote that closes a quoted cell opened just before `from`, or npos.
std::size_t Closing_Quote(std::wstring_view text, std::size_t from) {
    for (std::size_t at = from; at < text.size(); ++at) {
        if (text[at] != L'"') continue;
        if (at + 1 < text.size() && text[at + 1] == L'"') {
            ++at;  // "" is a quote inside the cell
            continue;
        }
        return at;
    }
    return std::wstring_view::npos;
}

}  // namespace

std::vector<std::vector<std::wstring>> Split_Pasted_Text(std::wstring_view text) {
    std::vector<std::vector<std::wstring>> rows;
    std::size_t at = 0;
    while (at < text.size()) {
        std::vector<std::wstring>& row = rows.emplace_back();
        while (true) {
            std::wstring& cell = row.emplace_back();
            if (at < text.size() && text[at] == L'"') {
                if (const std::size_t close = Closing_Quote(text, at + 1); close != std::wstring_view::npos) {
                    for (std::size_t i = at + 1; i < close; ++i) {
                        cell += text[i];
                        if (text[i] == L'"') ++i;
                    }
                    at = close + 1;
                }
            }
            // Up to the tab or line break that ends the cell (after a closing quote: what follows it).
            while (at < text.size() && text[at] != L'\t' && !Is_Break(text[at])) cell += text[at++];
            if (at < text.size() && text[at] == L'\t') {
                ++at;
                continue;
            }
            at += Break_Length(text, at);
            break;
        }
    }
    return rows;
}

std::wstring Replace_Line_Breaks(std::wstring_view text, std::wstring_view with) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (const std::size_t length = Break_Length(text, at)) {
            out += with;
            at += length;
        } else {
            out += text[at++];
        }
    }
    return out;
}
