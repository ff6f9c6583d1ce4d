#include "formula.h"

#include <cmath>

namespace {

constexpr long Error_Div0 = 2007;  // xlErrDiv0
constexpr long Error_Name = 2029;  // xlErrName

// The value of a part of the formula: a number, or the error it shows.
struct Result {
    double Number = 0;
    long Error = 0;
};

Result Combine(const Result& a, const Result& b, wchar_t op) {
    if (a.Error) return a;
    if (b.Error) return b;
    switch (op) {
        case L'+':
            return {a.Number + b.Number};
        case L'-':
            return {a.Number - b.Number};
        case L'*':
            return {a.Number * b.Number};
        case L'/':
            return b.Number == 0 ? Result{0, Error_Div0} : Result{a.Number / b.Number};
        default:
            return {std::pow(a.Number, b.Number)};
    }
}

// Recursive descent over Excel's arithmetic: + - * / ^, parentheses, numbers, names with an optional
// argument list, and "…" strings as arguments. Anything else is a syntax error.
class Parser {
public:
    explicit Parser(std::wstring_view text) : text_(text) {}

    std::optional<Result> Whole() {
        std::optional<Result> r = Sum();
        Skip_Spaces();
        if (!r || at_ != text_.size()) return std::nullopt;
        return r;
    }

private:
    void Skip_Spaces() {
        while (at_ < text_.size() && (text_[at_] == L' ' || text_[at_] == L'\u3000')) ++at_;
    }
    bool Take(wchar_t c) {
        Skip_Spaces();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    std::optional<Result> Sum() {
        std::optional<Result> left = Product();
        while (left) {
            if (Take(L'+')) {
                const auto right = Product();
                left = right ? std::optional<Result>(Combine(*left, *right, L'+')) : std::nullopt;
            } else if (Take(L'-')) {
                const auto right = Product();
                left = right ? std::optional<Result>(Combine(*left, *right, L'-')) : std::nullopt;
            } else {
                break;
            }
        }
        return left;
    }
    std::optional<Result> Product() {
        std::optional<Result> left = Power();
        while (left) {
            wchar_t op = 0;
            if (Take(L'*'))
                op = L'*';
            else if (Take(L'/'))
                op = L'/';
            else
                break;
            const auto right = Power();
            left = right ? std::optional<Result>(Combine(*left, *right, op)) : std::nullopt;
        }
        return left;
    }
    std::optional<Result> Power() {
        std::optional<Result> left = Unary();
        while (left && Take(L'^')) {
            const auto right = Unary();
            left = right ? std::optional<Result>(Combine(*left, *right, L'^')) : std::nullopt;
        }
        return left;
    }
    std::optional<Result> Unary() {
        if (Take(L'-')) {
            auto r = Unary();
            if (r && !r->Error) r->Number = -r->Number;
            return r;
        }
        if (Take(L'+')) return Unary();
        if (Take(L'@')) return Unary();  // implicit intersection, as current Excel reads "@A1"
        return Primary();
    }
    std::optional<Result> Primary() {
        Skip_Spaces();
        if (at_ >= text_.size()) return std::nullopt;
        const wchar_t c = text_[at_];
        if (Take(L'(')) {
            auto r = Sum();
            return r && Take(L')') ? r : std::nullopt;
        }
        if ((c >= L'0' && c <= L'9') || c == L'.') return Number();
        if (c == L'"') return String() ? std::optional<Result>(Result{0, Error_Name}) : std::nullopt;
        if (Is_Name_Char(c)) return Name();
        return std::nullopt;
    }
    std::optional<Result> Number() {
        const std::size_t start = at_;
        while (at_ < text_.size() && ((text_[at_] >= L'0' && text_[at_] <= L'9') || text_[at_] == L'.')) ++at_;
        const std::wstring digits(text_.substr(start, at_ - start));
        if (digits == L"." || digits.find(L'.') != digits.rfind(L'.')) return std::nullopt;
        return Result{std::wcstod(digits.c_str(), nullptr)};
    }
    bool String() {
        ++at_;  // the opening quote
        while (at_ < text_.size()) {
            if (text_[at_++] != L'"') continue;
            if (at_ < text_.size() && text_[at_] == L'"') {
                ++at_;
                continue;
            }
            return true;
        }
        return false;
    }
    static bool Is_Name_Char(wchar_t c) {
        return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'_' ||
               c == L'.' || c == L'$' || c >= 0x80;
    }
    // A function, a cell or a defined name: the stand-in knows none of them, so the formula shows
    // #NAME? (after its arguments, which must still be well formed).
    std::optional<Result> Name() {
        while (at_ < text_.size() && Is_Name_Char(text_[at_]) && text_[at_] != L'\u3000') ++at_;
        if (Take(L'(')) {
            if (!Take(L')')) {
                do {
                    if (!Sum()) return std::nullopt;
                } while (Take(L','));
                if (!Take(L')')) return std::nullopt;
            }
        }
        return Result{0, Error_Name};
    }

    std::wstring_view text_;
    std::size_t at_ = 0;
};

}  // namespace

bool Is_Formula_Entry(std::wstring_view typed) {
    if (typed.empty()) return false;
    if (typed.front() == L'=' || typed.front() == L'@') return true;
    if (typed.front() != L'+' && typed.front() != L'-') return false;
    const Cell_Value plain = Value_From_Text(typed);
    return plain.Type != Cell_Value::Kind::Number && plain.Type != Cell_Value::Kind::Date;
}

std::optional<Cell_Value> Evaluate_Formula(std::wstring_view typed) {
    // "=" starts the formula; "@", "+" and "-" belong to it (Excel makes "+A1" into "=+A1").
    const std::wstring_view body = typed.front() == L'=' ? typed.substr(1) : typed;
    const std::optional<Result> result = Parser(body).Whole();
    if (!result) return std::nullopt;
    Cell_Value cell;
    if (result->Error) {
        cell.Type = Cell_Value::Kind::Error;
        cell.Number = result->Error;
        cell.Text = result->Error == Error_Div0 ? L"#DIV/0!" : L"#NAME?";
    } else {
        cell.Type = Cell_Value::Kind::Number;
        cell.Number = result->Number;
    }
    return cell;
}
