#include "tools/formula_columns.h"

#include <gtest/gtest.h>

#include "utilities/number_text.h"

namespace varnel {
namespace {

TEST(FormulaColumnsTest, PrepareFormulaForTestReplacesEveryReference) {
    EXPECT_EQ(PrepareFormulaForTest("[大小]*2"), " 5*2");
    // Other letter case of the same reference is replaced in the same round.
    EXPECT_EQ(PrepareFormulaForTest("[Size]+[SIZE]*[b]"), " 5+ 5* 5");
    EXPECT_EQ(PrepareFormulaForTest("12/(4-1)"), "12/(4-1)");
    // A "[" without "]", or a "]" first, would never end: refused.
    EXPECT_EQ(PrepareFormulaForTest("[大小*2"), std::nullopt);
    EXPECT_EQ(PrepareFormulaForTest("]x[大小]"), std::nullopt);
    EXPECT_EQ(PrepareFormulaForTest("[a]+[b"), std::nullopt);
}

TEST(FormulaColumnsTest, TrialAcceptsOnlyFormulasThatEvaluate) {
    EXPECT_TRUE(FormulaPassesTrial("[第一列]*12*(52+13)/(14-3)-[第三列]"));
    EXPECT_TRUE(FormulaPassesTrial("[a]/([b]-[c])"));  // a division by zero is a value
    EXPECT_FALSE(FormulaPassesTrial("[第一列]*12(52+13)"));
    EXPECT_FALSE(FormulaPassesTrial("[a]+"));
    EXPECT_FALSE(FormulaPassesTrial("[a"));
}

TEST(FormulaColumnsTest, CellNumbers) {
    struct Case {
        const char* text;
        std::optional<double> whole;
        double leading;
    };
    const Case cases[] = {
        {"1,234", 1234, 1234},     {" -1,234,567.5 ", -1234567.5, -1234567.5},
        {"12", 12, 12},            {"1.5 KB", std::nullopt, 1.5},
        {"1,2", std::nullopt, 1},  {"12,3456", std::nullopt, 12},
        {"abc", std::nullopt, 0},  {"", std::nullopt, 0},
        {"1e3", 1000, 1000},       {"2*3", std::nullopt, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CellNumber(c.text, true), c.whole) << c.text;
        EXPECT_EQ(CellNumber(c.text, false), c.leading) << c.text;
    }
}

TEST(FormulaColumnsTest, CellTextsEnterAFormulaOnlyAsNumbers) {
    const std::vector<std::string> titles{"序号", "大小", "名称"};
    auto row = [&](std::string_view size, std::string_view name) {
        return EvaluateFormulaForRow("[大小]*2", titles, {"1", size, name});
    };
    EXPECT_EQ(row("21", "x"), 42);
    EXPECT_EQ(row("1,234", "x"), 2468);
    EXPECT_EQ(row("-3", "x"), -6);
    // A cell holding formula text is not a number: the row gives 0.
    EXPECT_EQ(row("1+1", "x"), 0);
    EXPECT_EQ(row("(2", "x"), 0);
    EXPECT_EQ(row("[名称]", "9"), 0);
    EXPECT_EQ(row("12 KB", "x"), 0);
    // Letter case of the reference does not matter; the name column is never read.
    EXPECT_EQ(EvaluateFormulaForRow("[SIZE]+[size]", {"Size", "Name"}, {"4", "not a number"}), 8);
    EXPECT_EQ(SubstituteColumnValues("[大小]-[序号]", titles, {"3", "-5", "x"}), "(-5)-(3)");
}

TEST(FormulaColumnsTest, AddUpdateAndDelete) {
    const std::vector<std::string> listTitles{"文件名称", "文件大小"};
    std::vector<FormulaColumn> columns;
    EXPECT_EQ(AddFormulaColumn(columns, listTitles, "", "1"),
              (FormulaRefusal{"自定义列标题或者公式填写错误！", 0x10, "提示", false}));
    EXPECT_EQ(AddFormulaColumn(columns, listTitles, "两倍", "[文件大小]*"),
              (FormulaRefusal{"公式设置有误！", 0x40, "提示", true}));
    EXPECT_EQ(AddFormulaColumn(columns, listTitles, "文件大小", "1"),
              (FormulaRefusal{"存在同名列！", 0x10, "错误", false}));
    EXPECT_EQ(AddFormulaColumn(columns, listTitles, "两倍", "[文件大小]*2"), std::nullopt);
    EXPECT_EQ(AddFormulaColumn(columns, listTitles, "两倍", "3"),
              (FormulaRefusal{"存在同名列！", 0x10, "错误", false}));
    EXPECT_EQ(AddFormulaColumn(columns, listTitles, "三倍", "[文件大小]*3"), std::nullopt);
    ASSERT_EQ(columns.size(), 2u);

    // Keeping its own name is fine; taking another column's name is not.
    EXPECT_EQ(UpdateFormulaColumn(columns, listTitles, 0, "两倍", "两倍", "[文件大小]*2+1"), std::nullopt);
    EXPECT_EQ(columns[0], (FormulaColumn{"两倍", "[文件大小]*2+1"}));
    EXPECT_EQ(UpdateFormulaColumn(columns, listTitles, 0, "两倍", "三倍", "1"),
              (FormulaRefusal{"存在同名列！", 0x30, "警告", false}));
    EXPECT_EQ(UpdateFormulaColumn(columns, listTitles, 0, "两倍", "两倍", "(1"),
              (FormulaRefusal{"公式设置有误！", 0x10, "错误", true}));
    EXPECT_EQ(UpdateFormulaColumn(columns, listTitles, 0, "两倍", "双倍", "2"), std::nullopt);
    EXPECT_EQ(columns[0], (FormulaColumn{"双倍", "2"}));

    std::vector<std::string> statistics{"文件大小", "双倍", "三倍"};
    EXPECT_EQ(DeleteFormulaColumn(columns, std::nullopt, statistics),
              (FormulaRefusal{"没有选择任何要删除的列名！", 0x40, "提示", false}));
    EXPECT_EQ(DeleteFormulaColumn(columns, 0, statistics), std::nullopt);
    EXPECT_EQ(columns, (std::vector<FormulaColumn>{{"三倍", "[文件大小]*3"}}));
    EXPECT_EQ(statistics, (std::vector<std::string>{"文件大小", "三倍"}));
}

TEST(FormulaColumnsTest, NumberToGroupedTextWithDecimals) {
    struct Case {
        double value;
        int decimals;
        bool separators;
        const char* text;
    };
    const Case cases[] = {
        {1234.5, 0, true, "1,235"},    {1234.5, 2, false, "1234.50"}, {1234.5, -2, true, "1,200"},
        {-1234567.125, 1, true, "-1,234,567.1"}, {-0.001, 2, false, "0.00"}, {0, 3, true, "0.000"},
        {999.5, 0, true, "1,000"},     {12, -3, false, "0"},
    };
    for (const Case& c : cases) EXPECT_EQ(NumberToGroupedText(c.value, c.decimals, c.separators), c.text) << c.value;
}

}  // namespace
}  // namespace varnel
