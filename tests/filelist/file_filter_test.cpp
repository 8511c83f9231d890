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

TEST(FileFilter, EngineSwitchWithTheSameTextRecompiles) {
    FileFilter filter;
    // "a.c" as a regular expression matches "abc"; as a wildcard it means a literal dot.
    EXPECT_TRUE(filter.MatchText("abc", {true, 2, "a.c", false, false, false}));
    EXPECT_FALSE(filter.MatchText("abc", {true, 1, "a.c", false, false, false}));
    EXPECT_TRUE(filter.MatchText("abc", {true, 2, "a.c", false, false, false}));
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
