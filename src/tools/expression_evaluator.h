// The arithmetic of formula columns: decimal numbers, "+", "-", "*", "/", unary
// signs and brackets, nothing else. It never runs code, never recurses (any depth
// of brackets is safe) and ends on every input. Safe on any thread.
#pragma once

#include <cstddef>
#include <expected>
#include <string_view>

namespace varnel {

// The longest expression evaluated; a longer one is refused.
inline constexpr std::size_t kMaxExpressionLength = 65536;

enum class ExpressionError {
    Malformed,  // a character, number or operator out of place, or unbalanced brackets
    TooLong,
    Overflow,   // a result too large for a double
};

// Numbers are digits with an optional fraction (".5" and "5." too) and an
// optional exponent; blanks and tabs between tokens are ignored. A division by
// zero makes the whole expression 0, so that a report cell shows 0 for it.
std::expected<double, ExpressionError> EvaluateExpression(std::string_view expression);

}  // namespace varnel
