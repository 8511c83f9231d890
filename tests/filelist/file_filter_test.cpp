#include "filelist/file_filter.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

TEST(FileFilter, MatchTable) {
    struct Case {
        bool enabled; int engine; const char* pattern; bool ignoreCase; bool whole; bool invert;
        const char* text; bool expected;
    };
    const Case cases[] = {
        {false, 0, "zzz", false, false, true, "abc", true},  // disabled: invert not applied
        {true, 0, "ab", true, false, false, "xABy", true},
        {true, 0, "ab", false, false, false, "xABy", false},
        {true, 0, "ab", true, true, false, "AB", true},
        {true, 0, "ab", true, true, false, "xab", false},
        {true, 0, "ab", false, true, false, "ab", true},
        {true, 0, "über", true, false, false, "ÜBER.txt", true},  // case of any script
        {true, 1, "a?c", false, false, false, "ac", true},
        {true, 1, "a?c", false, false, false, "abc", true},
        {true, 1, "a?c", false, false, false, "xabcy", true},
        {true, 1, "a?c", false, false, false, "abbc", false},
        {true, 1, "*.txt", false, true, false, "a.txt", true},
        {true, 1, "*.txt", false, true, false, "a.txt.bak", false},
        {true, 1, "*.txt", false, false, false, "a.txt.bak", true},
        {true, 1, "*.rar|*.txt", false, false, false, "a.rar", true},
        {true, 1, "*.rar|*.txt", false, false, false, "b.txt", true},
        {true, 1, "*.rar|*.txt", false, false, false, "c.exe", false},
        {true, 1, "*.TXT", true, false, false, "a.txt", true},
        {true, 1, "*.txt", false, false, true, "c.exe", true},
        {true, 2, "^\\d+\\.jpg$", false, false, false, "123.jpg", true},
        {true, 2, "^\\d+\\.jpg$", false, false, false, "x123.jpg", false},
        {true, 2, "", false, false, false, "anything", false},       // empty pattern matches nothing
        {true, 2, "([", false, false, false, "anything", false},     // invalid: matches nothing
        {true, 2, "([", false, false, true, "anything", true},       // ... so invert passes all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " on " + c.text);
        FileFilter filter;
        EXPECT_EQ(filter.MatchText(c.text, {c.enabled, c.engine, c.pattern, c.ignoreCase, c.whole, c.invert}),
                  c.expected);
    }
}

TEST(FileFilter, LongWildcardRunsStillMatch) {
    // Written out one by one, such runs made the engine give up, and the name was
    // silently taken for a non-match (so an inverted filter let it through).
    const std::string marks(24, '?');
    struct Case { std::string pattern; bool whole; std::string text; bool expected; };
    const Case cases[] = {
        {marks + "report.doc", true, "report.doc", true},
        {marks + "report.doc", true, "0123456789012345678901234report.doc", false},  // 25 before
        {marks + "report.doc", true, "012345678901234567890123report.doc", true},    // 24 before
        {marks + "report.doc", false, "0123456789012345678901234report.doc", true},
        {"**********IMG_2024*", true, "IMG_20240101_123456.jpg", true},
        {"**********IMG_2024*", false, "x_IMG_20231231.jpg", false},
        {"*?*?*?*?*?*?*?*?*?*?*?*?*?*?*?*.jpg", true, std::string(200, 'x') + ".jpg", true},
        {"a" + std::string(3000, '?') + "b", true, "ab", true},  // more than one brace holds
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern.substr(0, 40) + " on " + c.text);
        FileFilter filter;
        EXPECT_EQ(filter.MatchText(c.text, {true, 1, c.pattern, false, c.whole, false}), c.expected);
        EXPECT_EQ(filter.MatchText(c.text, {true, 1, c.pattern, false, c.whole, true}), !c.expected);
    }
}

TEST(FileFilter, AMatchTheEngineCannotFinishIsAnErrorNotANo) {
    const std::string name = std::string(40, 'a') + "!";
    for (const bool invert : {false, true}) {
        FileFilter filter;
        const auto result = filter.MatchText(name, {true, 2, "^(\\w+\\s?)*$", false, false, invert});
        ASSERT_FALSE(result.has_value()) << invert;
        EXPECT_NE(result.error().message.find("超出匹配限度"), std::string::npos) << result.error().message;
    }
    // A wildcard text using regular-expression groups keeps its runs as they are
    // written; when the engine gives up on it, that is reported the same way.
    FileFilter filter;
    const auto grouped =
        filter.MatchText(std::string(200, 'a') + "cb", {true, 1, "(*a*a*a*a*a*a*a*b*c)", false, false, true});
    EXPECT_FALSE(grouped.has_value());
}

TEST(FileFilter, WildcardRunsCollapseOnlyWhereTheMeaningStays) {
    struct Case { const char* wildcard; const char* regex; };
    const Case cases[] = {
        {"*.t?t", ".*\\.t.?t"},
        {"a**?*b", "a.*b"},
        {"a???b", "a.{0,3}b"},
        {"*.rar|??.txt", ".*\\.rar|.{0,2}\\.txt"},
        {"^a??$", "^a.{0,2}$"},
        // Escapes, classes, groups, braces and "+" may bind to a run's characters.
        {"\\**", "\\.*.*"},
        {"[??]", "[.?.?]"},
        {"(??)", "(.?.?)"},
        {"a??+", "a.?.?+"},
        {"x{2}**", "x{2}.*.*"},
    };
    for (const Case& c : cases) EXPECT_EQ(ConvertWildcardToRegex(c.wildcard), c.regex) << c.wildcard;
}

TEST(FileFilter, EngineSwitchWithTheSameTextRecompiles) {
    FileFilter filter;
    // "a.c" as a regular expression matches "abc"; as a wildcard it means a literal dot.
    EXPECT_EQ(filter.MatchText("abc", {true, 2, "a.c", false, false, false}), true);
    EXPECT_EQ(filter.MatchText("abc", {true, 1, "a.c", false, false, false}), false);
    EXPECT_EQ(filter.MatchText("abc", {true, 2, "a.c", false, false, false}), true);
}

TEST(FileFilter, InvalidPatternsAreReportedBeforeALoad) {
    EXPECT_FALSE(FileFilter::Validate({true, 2, "([", false, false, false}).has_value());
    EXPECT_FALSE(FileFilter::Validate({true, 1, "*(", false, false, false}).has_value());
    EXPECT_TRUE(FileFilter::Validate({true, 0, "([", false, false, false}).has_value());
    EXPECT_TRUE(FileFilter::Validate({false, 2, "([", false, false, false}).has_value());
    EXPECT_EQ(ConvertWildcardToRegex("*.t?t"), ".*\\.t.?t");
}

}  // namespace
}  // namespace varnel
