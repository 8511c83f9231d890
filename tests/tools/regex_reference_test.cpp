#include "tools/regex_reference.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "utilities/regex_object.h"

namespace varnel {
namespace {

// The first match of a classic pattern, with the flags the tester starts with
// except case: the case-bound entries are tested as written.
std::optional<std::string> FirstMatch(const std::string& pattern, const std::string& text) {
    RegexObject regex;
    EXPECT_TRUE(regex.Compile(pattern, RegexFlags{false, false, false}).has_value()) << pattern;
    auto count = regex.FindMatches(text);
    EXPECT_TRUE(count.has_value()) << pattern;
    if (!count || *count == 0) return std::nullopt;
    return regex.GetMatchText(1);
}

struct PatternCase {
    const char* name;
    // Each text with the match it must give (the whole text unless given).
    std::vector<std::pair<std::string, std::string>> hits;
    std::vector<std::string> misses;
};

const std::vector<PatternCase>& Cases() {
    static const std::vector<PatternCase> cases = {
        {"匹配HTML标记", {{"x<b>bold</b>y", "<b>bold</b>"}, {"<br />", "<br />"}}, {"plain text"}},
        {"匹配链接地址", {{"<a href=\"http://a.b/c\">", "href=\"http://a.b/c\""}}, {"<a name=x>"}},
        {"匹配链接地址及标题", {{"<a href=\"u.html\">标题</a>", "<a href=\"u.html\">标题</a>"}}, {"<b>标题</b>"}},
        {"匹配网址URL", {{"见 http://example.org/a?b 吧", "http://example.org/a?b"}}, {"http:/x", "Z[]://x"}},
        {"匹配IP地址", {{"ip 192.168.0.1 end", "192.168.0.1"}}, {"192.168.1"}},
        {"匹配Email地址", {{"to a.b-c@mail.example.com now", "a.b-c@mail.example.com"}}, {"a@b", "@example.com"}},
        {"匹配图片引用地址", {{"<img src=\"p.png\">", "<img src=\"p.png\">"}}, {"<image>"}},
        {"匹配帐号是否合法", {{"abc_12", "abc_12"}}, {"1abc_12", "abcd", "abcdefghijklmnopq"}},
        {"匹配国内电话号码", {{"010-12345678", "010-12345678"}, {"0571-1234567", "0571-1234567"}}, {"12-345"}},
        {"匹配即时通讯号码", {{"号码 12345", "12345"}}, {"01234", "1234"}},
        {"匹配中国邮政编码", {{"100080", "100080"}}, {"012345", "10008"}},
        {"匹配身份证", {{"110101199003071234", "110101199003071234"}, {"110101900307123", "110101900307123"}},
         {"11010119900307"}},
        {"匹配中文字符", {{"ab中c", "中"}}, {"abc"}},
        {"匹配双字节字符", {{"ab中c", "中"}}, {"abc"}},
        {"匹配空白行", {{"a\n\nb", "\n"}, {"a\r\n  \r\nb", "\n  \r"}}, {"a\nb"}},
        {"匹配首尾空白字符", {{"  a", "  "}}, {}},
        {"匹配多行文本", {{"x开头一\n二结尾y", "开头一\n二结尾"}}, {"开头没有"}},
        {"匹配26字母英文单词", {{"Word", "Word"}}, {"Word1", "两"}},
        {"匹配26字母大写英文单词", {{"WORD", "WORD"}}, {"Word"}},
        {"匹配26字母小写英文单词", {{"word", "word"}}, {"Word"}},
        {"匹配包含数字的26字母英文单词", {{"Word1", "Word1"}}, {"Word_1"}},
        {"匹配英文单词(包含数字、下划线)", {{"Word_1", "Word_1"}}, {"Word-1"}},
        {"匹配正整数", {{"12", "12"}}, {"0", "-12", "012"}},
        {"匹配负整数", {{"-12", "-12"}}, {"12", "-0", "-12 "}},
        {"匹配整数", {{"-12", "-12"}, {"12", "12"}, {"0", "0"}}, {"-0", "1.5", "012"}},
        {"匹配非负整数(正整数 + 0)", {{"12", "12"}, {"0", "0"}}, {"-12", "a0", "12a"}},
        {"匹配非正整数(负整数 + 0)", {{"-12", "-12"}, {"0", "0"}}, {"12", "a0", "-12a"}},
        {"匹配正浮点数", {{"1.5", "1.5"}, {"0.25", "0.25"}}, {"-1.5", "a0.5", "1.5a", "0.0"}},
        {"匹配负浮点数", {{"-1.5", "-1.5"}, {"-0.25", "-0.25"}}, {"1.5", "-0.0"}},
        {"匹配浮点数", {{"1.5", "1.5"}, {"-1.5", "-1.5"}, {"0.0", "0.0"}, {"0", "0"}}, {"a", "1.5.5", "--1.5"}},
        {"匹配非负浮点数(正浮点数 + 0)", {{"1.5", "1.5"}, {"0.0", "0.0"}, {"0", "0"}}, {"-1.5", "a0", "1.5a"}},
        {"匹配非正浮点数(负浮点数 + 0)", {{"-1.5", "-1.5"}, {"0.0", "0.0"}, {"0", "0"}}, {"1.5", "a0", "-1.5a"}},
    };
    return cases;
}

TEST(ClassicPatterns, EveryPatternMatchesWhatItsNameSays) {
    int tested = 0;
    for (const ClassicPatternEntry& entry : ClassicPatternEntries()) {
        if (entry.pattern.empty()) continue;
        const PatternCase* found = nullptr;
        for (const PatternCase& c : Cases()) {
            if (entry.name == c.name) found = &c;
        }
        ASSERT_NE(found, nullptr) << "no sample texts for " << entry.name;
        ++tested;
        for (const auto& [text, match] : found->hits) {
            EXPECT_EQ(FirstMatch(entry.pattern, text), match) << entry.name << " on \"" << text << "\"";
        }
        for (const std::string& text : found->misses) {
            EXPECT_EQ(FirstMatch(entry.pattern, text), std::nullopt) << entry.name << " on \"" << text << "\"";
        }
    }
    EXPECT_EQ(tested, static_cast<int>(Cases().size()));
}

TEST(ClassicPatterns, TableHoldsHeadingsNamesAndNoDuplicates) {
    const auto& entries = ClassicPatternEntries();
    ASSERT_EQ(entries.size(), 37u);
    EXPECT_EQ(entries[0].name, "*** 网页 ***");
    EXPECT_TRUE(entries[0].pattern.empty());
    EXPECT_EQ(entries[11].name, "匹配即时通讯号码");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        for (std::size_t j = i + 1; j < entries.size(); ++j) {
            if (!entries[i].pattern.empty()) {
                EXPECT_NE(entries[i].pattern, entries[j].pattern) << entries[i].name << " / " << entries[j].name;
            }
        }
        EXPECT_FALSE(entries[i].pattern.ends_with(' ')) << entries[i].name;
    }
}

TEST(RegexSyntax, ThirtyOneEntriesInOrderWithButtonWidths) {
    const auto& entries = RegexSyntaxEntries();
    ASSERT_EQ(entries.size(), 31u);
    EXPECT_EQ(entries[0].symbol, "\\");
    EXPECT_EQ(entries[7].symbol, "(pattern)");
    EXPECT_EQ(entries[29].symbol, "\\num");
    EXPECT_EQ(entries[30].symbol, "\\n");
    for (const RegexSyntaxEntry& entry : entries) EXPECT_FALSE(entry.description.empty()) << entry.symbol;
    EXPECT_EQ(entries[0].caption, "\\");
    EXPECT_EQ(entries[21].caption, "\\n换行");
    EXPECT_EQ(entries[21].insertText, "\\n");
    EXPECT_EQ(entries[30].caption, "\\nnn八进制");
    EXPECT_EQ(entries[30].insertText, "\\");
    EXPECT_EQ(SymbolButtonWidth("\\num"), 29);
    EXPECT_EQ(SymbolButtonWidth("中"), 17);
}

TEST(ReferenceText, SplitsAtTheFirstSeparator) {
    const auto entries = ParseReferenceText("a::b::c\r\nheading\nx::");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], (std::pair<std::string, std::string>{"a", "b::c"}));
    EXPECT_EQ(entries[1], (std::pair<std::string, std::string>{"heading", ""}));
    EXPECT_EQ(entries[2], (std::pair<std::string, std::string>{"x", ""}));
}

}  // namespace
}  // namespace varnel
