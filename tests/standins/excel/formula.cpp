#include "formula.h"

#include <cstdlib>

namespace {

constexpr long Error_Div0 = 2007;  // xlErrDiv0
constexpr long Error_Name = 2029;  // xlErrName

// A part's value: a number, or the error it shows (which the rest of the formula carries on).
struct Result {
    double Number = 0;
    long Error = 0;
};

// Recursive descent over Excel's arithmetic: + - * /, signs, parentheses, numbers, and names with an
// optional argument list. The stand-in knows no function, cell or defined name: a name shows #NAME?.
// Anything else is no formula.
class Parser {
public:
    explicit Parser(std::wstring_view text) : text_(text) {}

    std::optional<Result> Whole() {
        std::optional<Result> r = Sum();
        return r && !Peek() ? r : std::nullopt;
    }

private:
    // The next character after spaces, or 0 at the end.
    wchar_t Peek() {
        while (at_ < text_.size() && (text_[at_] == L' ' || text_[at_] == L'\u3000')) ++at_;
        return at_ < text_.size() ? text_[at_] : 0;
    }
    bool Take(wchar_t c) {
        if (Peek() != c) return false;
        ++at_;
        return true;
    }
    static Result Apply(const Result& a, const Result& b, wchar_t op) {
        if (a.Error || b.Error) return a.Error ? a : b;
        if (op == L'/' && b.Number == 0) return {0, Error_Div0};
        return {op == L'+'   ? a.Number + b.Number
                : op == L'-' ? a.Number - b.Number
                : op == L'*' ? a.Number * b.Number
                             : a.Number / b.Number};
    }
    // Operands joined by the operators of one precedence level.
    template <class Operand>
    std::optional<Result> Chain(const wchar_t* operators, Operand operand) {
        std::optional<Result> left = operand();
        for (wchar_t op = Peek(); left && op && std::wstring_view(operators).find(op) != std::wstring_view::npos;
             op = Peek()) {
            ++at_;
            const std::optional<Result> right = operand();
            left = right ? std::optional<Result>(Apply(*left, *right, op)) : std::nullopt;
        }
        return left;
    }
    std::optional<Result> Sum() {
        return Chain(L"+-", [&] { return Product(); });
    }
    std::optional<Result> Product() {
        return Chain(L"*/", [&] { return Unary(); });
    }
    std::optional<Result> Unary() {
        if (Take(L'-')) {
            std::optional<Result> r = Unary();
            if (r) r->Number = -r->Number;
            return r;
        }
        if (Take(L'+') || Take(L'@')) return Unary();  // "@": implicit intersection, as in "=@A1"
        return Primary();
    }
    std::optional<Result> Primary() {
        const wchar_t c = Peek();
        if (Take(L'(')) {
            std::optional<Result> r = Sum();
            return r && Take(L')') ? r : std::nullopt;
        }
        if ((c >= L'0' && c <= L'9') || c == L'.') {
            wchar_t* end = nullptr;
            const double number = std::wcstod(text_.data() + at_, &end);
            if (end == text_.data() + at_) return std::nullopt;
            at_ = static_cast<std::size_t>(end - text_.data());
            return Result{number};
        }
        const std::size_t start = at_;
        while (at_ < text_.size() && Is_Name_Char(text_[at_])) ++at_;
        if (at_ == start) return std::nullopt;
        if (Take(L'(') && !Take(L')')) {
            do {
                if (!Sum()) return std::nullopt;
            } while (Take(L','));
            if (!Take(L')')) return std::nullopt;
        }
        return Result{0, Error_Name};
    }
    static bool Is_Name_Char(wchar_t c) {
        return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'_' ||
               c == L'.' || c == L'$' || (c >= 0x80 && c != L'\u3000');
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
    const std::optional<Result> result = Parser(typed.front() == L'=' ? typed.substr(1) : typed).Whole();
    if (!result) return std::nullopt;
    Cell_Value cell;
    cell.Type = result->Error ? Cell_Value::Kind::Error : Cell_Value::Kind::Number;
    cell.Number = result->Error ? result->Error : result->Number;
    if (result->Error) cell.Text = result->Error == Error_Div0 ? L"#DIV/0!" : L"#NAME?";
    return cell;
}
