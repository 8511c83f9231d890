#include "tools/expression_evaluator.h"

#include <gtest/gtest.h>

#include <string>

namespace varnel {
namespace {

TEST(ExpressionEvaluatorTest, EvaluatesArithmetic) {
    struct Case {
        const char* expression;
        double value;
    };
    const Case cases[] = {
        {"1+2*3", 7},          {"(1+2)*3", 9},        {"10-4-3", 3},          {"24/4/2", 3},
        {"-3*2", -6},          {"2*-3", -6},          {"--2", 2},             {"-(2+3)*2", -10},
        {"+5", 5},             {"2 * ( 3 + 4 ) ", 14}, {"1.5*2", 3},          {".5+5.", 5.5},
        {"1e3/4", 250},        {"7/0", 0},            {"1+(2/(3-3))", 0},     {" 5*12*(52+13)/(14-3)- 5", 5 * 12 * 65 / 11.0 - 5},
        {"(((((1)))))", 1},    {"3-(-5)", 8},
    };
    for (const Case& c : cases) {
        const auto result = EvaluateExpression(c.expression);
        ASSERT_TRUE(result.has_value()) << c.expression;
        EXPECT_DOUBLE_EQ(*result, c.value) << c.expression;
    }
}

TEST(ExpressionEvaluatorTest, RefusesWhatIsNotArithmetic) {
    const char* const cases[] = {
        "",       "1,234",   "(1+2",      "1+2)",    ")(",         "+",          "2*",
        "*2",     "2 3",     "1+*2",      "()",      "[大小]*2",   "abs(1)",     "1;2",
        "\"1\"",  "1e",      "1..2",      "Execute(\"x\")", "2^3",  "5*12(52+13)",
    };
    for (const char* expression : cases) {
        const auto result = EvaluateExpression(expression);
        EXPECT_FALSE(result.has_value()) << expression;
        if (!result) {
            EXPECT_EQ(result.error(), ExpressionError::Malformed) << expression;
        }
    }
    EXPECT_EQ(EvaluateExpression("1e400").error(), ExpressionError::Overflow);
    EXPECT_EQ(EvaluateExpression("1e300*1e300").error(), ExpressionError::Overflow);
}

TEST(ExpressionEvaluatorTest, DeepBracketsNeitherOverflowTheStackNorLoop) {
    const std::string deep = std::string(10000, '(') + "7" + std::string(10000, ')');
    EXPECT_EQ(EvaluateExpression(deep).value_or(-1), 7);
    const std::string unbalanced = std::string(10000, '(') + "7" + std::string(9999, ')');
    EXPECT_EQ(EvaluateExpression(unbalanced).error(), ExpressionError::Malformed);
    const std::string signs = std::string(30000, '-') + "1";
    EXPECT_EQ(EvaluateExpression(signs).value_or(-9), 1);
}

TEST(ExpressionEvaluatorTest, RefusesAnOverlongExpression) {
    std::string longSum = "1";
    while (longSum.size() <= kMaxExpressionLength) longSum += "+1";
    EXPECT_EQ(EvaluateExpression(longSum).error(), ExpressionError::TooLong);
}

}  // namespace
}  // namespace varnel
