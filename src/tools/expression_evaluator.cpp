#include "tools/expression_evaluator.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace varnel {

namespace {

// Operators waiting on the stack; the higher binds tighter. Unary signs bind
// tighter than "*" and "/" and group to the right ("--2" is 2).
enum class Op : char { Open, Add, Sub, Mul, Div, Plus, Minus };

int Precedence(Op op) {
    switch (op) {
        case Op::Add:
        case Op::Sub: return 1;
        case Op::Mul:
        case Op::Div: return 2;
        case Op::Plus:
        case Op::Minus: return 3;
        case Op::Open: return 0;
    }
    return 0;
}

bool IsUnary(Op op) { return op == Op::Plus || op == Op::Minus; }

struct Machine {
    std::vector<double> values;
    std::vector<Op> ops;
    bool divisionByZero = false;

    // Applies the operator on top of the stack to the values; false when the
    // values it needs are missing.
    bool Apply() {
        const Op op = ops.back();
        ops.pop_back();
        if (IsUnary(op)) {
            if (values.empty()) return false;
            if (op == Op::Minus) values.back() = -values.back();
            return true;
        }
        if (values.size() < 2) return false;
        const double right = values.back();
        values.pop_back();
        double& left = values.back();
        switch (op) {
            case Op::Add: left += right; break;
            case Op::Sub: left -= right; break;
            case Op::Mul: left *= right; break;
            case Op::Div:
                if (right == 0.0) {
                    divisionByZero = true;
                    left = 0.0;
                } else {
                    left /= right;
                }
                break;
            default: return false;
        }
        return true;
    }

    // Applies every waiting operator that binds at least as tightly as `incoming`
    // (unary operators group to the right, so an equal unary one waits).
    bool Reduce(Op incoming) {
        const int level = Precedence(incoming);
        while (!ops.empty() && ops.back() != Op::Open) {
            const int top = Precedence(ops.back());
            if (top < level || (top == level && IsUnary(incoming))) break;
            if (!Apply()) return false;
        }
        return true;
    }
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The length of the number at the start of `text`, 0 when there is none.
std::size_t NumberLength(std::string_view text) {
    std::size_t pos = 0;
    std::size_t digits = 0;
    while (pos < text.size() && IsDigit(text[pos])) ++pos, ++digits;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && IsDigit(text[pos])) ++pos, ++digits;
    }
    if (digits == 0) return 0;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t exponent = pos + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        if (exponent < text.size() && IsDigit(text[exponent])) {
            pos = exponent;
            while (pos < text.size() && IsDigit(text[pos])) ++pos;
        }
    }
    return pos;
}

}  // namespace

std::expected<double, ExpressionError> EvaluateExpression(std::string_view expression) {
    if (expression.size() > kMaxExpressionLength) return std::unexpected(ExpressionError::TooLong);
    Machine machine;
    // Whether the next token is an operand (a number, "(" or a sign) or an operator.
    bool expectOperand = true;
    std::size_t pos = 0;
    while (pos < expression.size()) {
        const char c = expression[pos];
        if (c == ' ' || c == '\t') {
            ++pos;
            continue;
        }
        if (expectOperand) {
            if (c == '(') {
                machine.ops.push_back(Op::Open);
            } else if (c == '+' || c == '-') {
                machine.ops.push_back(c == '+' ? Op::Plus : Op::Minus);
            } else {
                const std::size_t length = NumberLength(expression.substr(pos));
                if (length == 0) return std::unexpected(ExpressionError::Malformed);
                // from_chars does not take a trailing "." ("5."); the digits before it do.
                std::string_view number = expression.substr(pos, length);
                if (number.back() == '.') number.remove_suffix(1);
                double value = 0.0;
                const char* first = number.data();
                if (number.front() == '.') {
                    // ".5": from_chars needs a digit first; read "0.5" instead.
                    std::string withZero = "0";
                    withZero += number;
                    const auto result = std::from_chars(withZero.data(), withZero.data() + withZero.size(), value);
                    if (result.ec == std::errc::result_out_of_range) return std::unexpected(ExpressionError::Overflow);
                } else {
                    const auto result = std::from_chars(first, first + number.size(), value);
                    if (result.ec == std::errc::result_out_of_range) {
                        // An underflow is a tiny number, an overflow is refused.
                        const auto e = number.find_first_of("eE");
                        if (e == std::string_view::npos || number[e + 1] != '-') {
                            return std::unexpected(ExpressionError::Overflow);
                        }
                        value = 0.0;
                    }
                }
                machine.values.push_back(value);
                pos += length;
                expectOperand = false;
                continue;
            }
            ++pos;
            continue;
        }
        Op op;
        switch (c) {
            case '+': op = Op::Add; break;
            case '-': op = Op::Sub; break;
            case '*': op = Op::Mul; break;
            case '/': op = Op::Div; break;
            case ')':
                if (!machine.Reduce(Op::Add)) return std::unexpected(ExpressionError::Malformed);
                if (machine.ops.empty()) return std::unexpected(ExpressionError::Malformed);
                machine.ops.pop_back();  // the matching "("
                ++pos;
                continue;
            default: return std::unexpected(ExpressionError::Malformed);
        }
        if (!machine.Reduce(op)) return std::unexpected(ExpressionError::Malformed);
        machine.ops.push_back(op);
        expectOperand = true;
        ++pos;
    }
    if (expectOperand) return std::unexpected(ExpressionError::Malformed);
    while (!machine.ops.empty()) {
        if (machine.ops.back() == Op::Open) return std::unexpected(ExpressionError::Malformed);
        if (!machine.Apply()) return std::unexpected(ExpressionError::Malformed);
    }
    if (machine.values.size() != 1) return std::unexpected(ExpressionError::Malformed);
    if (machine.divisionByZero) return 0.0;
    const double result = machine.values.back();
    if (!std::isfinite(result)) return std::unexpected(ExpressionError::Overflow);
    return result == 0.0 ? 0.0 : result;
}

}  // namespace varnel
