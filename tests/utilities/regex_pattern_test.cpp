#include "utilities/regex_pattern.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "utilities/regex_object.h"

namespace varnel {
namespace {

bool Matches(std::string_view pattern, std::string_view subject, bool ignoreCase = false) {
    RegexObject regex;
    const auto compiled = regex.Compile(pattern, RegexFlags{ignoreCase, false, false});
    EXPECT_TRUE(compiled) << pattern << ": " << (compiled ? "" : compiled.error().message);
    auto found = regex.FindMatches(subject);
    return found && *found > 0;
}

// Every expectation is what JavaScript's RegExp.prototype.test gives.
TEST(RegexHyphenNextToASet, IsALiteralHyphenAsInEcmaScript) {
    struct Case {
        const char* pattern;
        const char* subject;
        bool matches;
    };
    const Case cases[] = {
        {"^[\\w-.]+$", "a-b.c", true},   {"^[\\w-.]+$", "a,b", false},
        {"^[.-\\w]+$", "-.x", true},     {"^[.-\\w]+$", "/", false},
        {"^[\\d-z]$", "-", true},        {"^[\\d-z]$", "z", true},
        {"^[\\d-z]$", "y", false},       {"^[\\D-9]$", "9", true},
        {"^[\\D-9]$", "5", false},       {"^[\\W-\\d]$", "-", true},
        {"^[\\W-\\d]$", "a", false},     {"^[^\\w-.]$", "-", false},
        {"^[^\\w-.]$", "!", true},
        // After "\d-a" the next hyphen starts a new item: no range a-z.
        {"^[\\d-a-z]$", "b", false},     {"^[\\d-a-z]$", "-", true},
        {"^[\\d-a-z]$", "z", true},
        // Patterns that were already valid keep their meaning.
        {"^[a\\-z]$", "-", true},        {"^[a\\-z]$", "b", false},
        {"^[a-z]$", "b", true},          {"^[a-z]$", "-", false},
        {"^[\\w-]$", "-", true},         {"^[-\\w]$", "-", true},
        {"^[a-c-e]$", "-", true},        {"^[a-c-e]$", "d", false},
        {"^[]-\\w]$", "-", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Matches(c.pattern, c.subject), c.matches) << c.pattern << " on " << c.subject;
    }
}

TEST(RegexHyphenNextToASet, TheCommonEmailPattern) {
    const char* pattern = "^[\\w-.]+@([\\w-]+\\.)+[\\w-]{2,4}$";
    struct Case {
        const char* address;
        bool valid;
    };
    const Case cases[] = {
        {"john.doe@example.com", true},   {"a-b.c@mail-server.co.uk", true},
        {"x@y.io", true},                 {"user_1@sub.domain.info", true},
        {"-@x-y.ab", true},               {".dot@start.com", true},
        {"Upper.Case@Example.COM", true}, {"bad@@example.com", false},
        {"no-at-sign.com", false},        {"a@b.c", false},
        {"a@b.toolong", false},           {"a b@example.com", false},
        {"user@example.com.", false},     {"user@.com", false},
        {"中文@example.com", false},      {"user+tag@example.com", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Matches(pattern, c.address, true), c.valid) << c.address;
    }
}

TEST(RegexHyphenNextToASet, OnlySuchHyphensAreEscaped) {
    struct Case {
        const char* pattern;
        const char* prepared;
    };
    const Case changed[] = {
        {"[\\w-.]", "[\\w\\-.]"},
        {"[.-\\w]", "[.\\-\\w]"},
        {"[^\\s-\\S]", "[^\\s\\-\\S]"},
        {"[\\d-a-z]", "[\\d\\-a\\-z]"},
        {"[--\\w]", "[-\\-\\w]"},
        {"[[:alpha:]-.]", "[[:alpha:]\\-.]"},
        {"[\\p{Han}-x]", "[\\p{Han}\\-x]"},
        {"[中-\\d]", "[中\\-\\d]"},
        // A "[" inside a class is an ordinary character.
        {"[a[\\w-.]+", "[a[\\w\\-.]+"},
        {"(a)[\\w-.]|[x-\\d]", "(a)[\\w\\-.]|[x\\-\\d]"},
    };
    for (const Case& c : changed) EXPECT_EQ(PrepareRegexPattern(c.pattern).text, c.prepared) << c.pattern;

    const char* unchanged[] = {
        "[a-z]", "[\\w-]", "[-\\w]", "[^-\\w]", "[a\\-z]", "[a-c-e]", "[\\x41-\\x5A]",
        "[中-龥]", "\\w-.", "[[:alpha:]]", "[[:^digit:]-]",
        // Escaped brackets and quoted text are no classes.
        "\\[\\w-.]", "\\Q[\\w-.]\\E", "[\\Q\\w-\\E]", "(?#[\\w-.])x",
        // The first "]" ends a class, even an empty one.
        "[]\\w-.]", "[^]\\w-.]",
        // Unfinished patterns are left to the engine to report.
        "[\\w-", "\\",
    };
    for (const char* pattern : unchanged) {
        const PreparedPattern prepared = PrepareRegexPattern(pattern);
        EXPECT_EQ(prepared.text, pattern);
        EXPECT_TRUE(prepared.insertedAt.empty()) << pattern;
    }
}

TEST(RegexHyphenNextToASet, ErrorsPointIntoThePatternAsWritten) {
    RegexObject regex;
    const auto failed = regex.Compile("[\\w-.][.-\\d]中(");
    ASSERT_FALSE(failed);
    EXPECT_NE(failed.error().message.find("（位置 14）"), std::string::npos) << failed.error().message;
    // The pattern the user wrote is what the object reports.
    ASSERT_TRUE(regex.Compile("[\\w-.]"));
    EXPECT_EQ(regex.GetPattern(), "[\\w-.]");
}

}  // namespace
}  // namespace varnel
