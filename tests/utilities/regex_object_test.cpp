#include <cerrno>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "utilities/regex_object.h"

namespace varnel {
namespace {

RegexFlags Flags(std::string_view letters) {
    return RegexFlags{.ignoreCase = letters.find('i') != std::string_view::npos,
                      .multiline = letters.find('m') != std::string_view::npos,
                      .global = letters.find('g') != std::string_view::npos};
}

RegexObject Compiled(std::string_view pattern, std::string_view flags) {
    RegexObject regex;
    EXPECT_TRUE(regex.Compile(pattern, Flags(flags))) << pattern;
    return regex;
}

struct RegexCase {
    const char* pattern;
    const char* flags;  // i: ignore case, m: multi-line, g: global
    const char* subject;
    const char* replacement;
    const char* result;
    int matches;
    std::vector<std::string> submatches;  // of the first match
};

// Every row gives what JavaScript's String.prototype.replace and matchAll give for
// the same pattern, flags and subject.
const RegexCase kEcmaScriptCases[] = {
    {"\\d", "g", "a1b22", "#", "a#b##", 3, {}},
    {"\\d", "", "a1b22", "#", "a#b22", 1, {}},
    {"(\\w+)\\s(\\w+)", "g", "John Smith", "$2 $1", "Smith John", 1, {"John", "Smith"}},
    {"x*", "g", "abc", "-", "-a-b-c-", 4, {}},
    {"b*", "g", "abc", "-", "-a--c-", 4, {}},
    {"a*?", "g", "aa", "-", "-a-a-", 3, {}},
    {"a", "ig", "AaA", "b", "bbb", 3, {}},
    {"a", "g", "AaA", "b", "AbA", 1, {}},
    {"^b", "mg", "a\nb", "X", "a\nX", 1, {}},
    {"^b", "g", "a\nb", "X", "a\nb", 0, {}},
    {"a$", "", "a\n", "X", "a\n", 0, {}},
    {"a$", "m", "a\nb", "X", "X\nb", 1, {}},
    {"$", "g", "ab", "-", "ab-", 1, {}},
    {"^", "mg", "a\nb", ">", ">a\n>b", 2, {}},
    {"(a)|(b)", "g", "b", "[$1|$2]", "[|b]", 1, {"", "b"}},
    {"(a)", "g", "xaa", "$$-$&-$`-$'.", "x$-a-x-a.$-a-xa-.", 2, {"a"}},
    {"(a)", "g", "a", "$2$0$10$01$05$<x>$", "$2$0a0a$05$<x>$", 1, {"a"}},
    {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", "g", "abcdefghij", "$10-$11-$9", "j-a1-i", 1,
     {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}},
    {"\\u4e2d", "g", "中文中", "Z", "Z文Z", 2, {}},
    {".", "g", "中文", "-", "--", 2, {}},
    {"", "g", "中文", "-", "-中-文-", 3, {}},
    {"[]", "g", "abc", "-", "abc", 0, {}},
    {"[^]", "g", "a\nc", "-", "---", 3, {}},
    {"(a)?b\\1", "g", "b", "<$1>", "<>", 1, {""}},
    {"\\w+", "g", "héllo", "X", "XéX", 2, {}},
    {"\\d+", "g", "１２3", "X", "１２X", 1, {}},
    {"É", "ig", "é", "X", "X", 1, {}},
    {"a.c", "g", "a\nc a\rc abc", "X", "a\nc a\rc X", 1, {}},
    {"(\\d+)-(\\d+)", "g", "1-2 33-44", "$2-$1", "2-1 44-33", 2, {"1", "2"}},
    {"a|ab", "g", "abc", "X", "Xbc", 1, {}},
    {"(.*?)\\s*-\\s*(.*)", "", "A-B", "$1 - $2", "A - B", 1, {"A", "B"}},
    {"([a-z]+)([A-Z]+)", "g", "helloWorldFoo", "$1 $2", "hello World Foo", 2, {"hello", "W"}},
    {"(\\w)\\1", "g", "aabbc", "<$1>", "<a><b>c", 2, {"a"}},
    {"\\bfoo\\b", "g", "foo food a.foo", "X", "X food a.X", 2, {}},
    {"(?=a)", "g", "aba", "^", "^ab^a", 2, {}},
    {"[a-z]+", "i", "123 ABC def", "<$&>", "123 <ABC> def", 1, {}},
    {"#.*", "", "#名字.txt", "", "", 1, {}},
};

TEST(RegexObject, BehavesAsEcmaScript) {
    for (const RegexCase& c : kEcmaScriptCases) {
        SCOPED_TRACE(std::string("/") + c.pattern + "/" + c.flags + " on \"" + c.subject + "\"");
        RegexObject regex = Compiled(c.pattern, c.flags);
        EXPECT_EQ(regex.ReplaceMatches(c.subject, c.replacement).value(), c.result);
        ASSERT_EQ(regex.FindMatches(c.subject).value(), c.matches);
        EXPECT_EQ(regex.GetMatchCount(), c.matches);
        if (c.matches == 0) {
            EXPECT_EQ(regex.GetSubmatchCount(), 0);
            continue;
        }
        std::vector<std::string> submatches;
        for (int j = 1; j <= regex.GetSubmatchCount(); ++j) {
            submatches.push_back(regex.GetSubmatchText(1, j));
        }
        EXPECT_EQ(submatches, c.submatches);
    }
}

TEST(RegexObject, MatchesAndGroupsByIndex) {
    RegexObject regex = Compiled("(\\d+)-(\\d+)", "g");
    EXPECT_EQ(regex.GetMatchCount(), 0);
    ASSERT_EQ(regex.FindMatches("1-2 33-44").value(), 2);
    EXPECT_EQ(regex.GetMatchText(1), "1-2");
    EXPECT_EQ(regex.GetMatchText(2), "33-44");
    EXPECT_EQ(regex.GetSubmatchText(2, 2), "44");
    // Out of range gives the empty text.
    EXPECT_EQ(regex.GetMatchText(0), "");
    EXPECT_EQ(regex.GetMatchText(3), "");
    EXPECT_EQ(regex.GetSubmatchText(1, 0), "");
    EXPECT_EQ(regex.GetSubmatchText(1, 3), "");
    EXPECT_EQ(regex.GetSubmatchText(3, 1), "");

    ASSERT_EQ(regex.FindMatches("none").value(), 0);
    EXPECT_EQ(regex.GetSubmatchCount(), 0);
    EXPECT_EQ(regex.GetMatchText(1), "");
    RegexObject plain = Compiled("\\d", "g");
    ASSERT_EQ(plain.FindMatches("7").value(), 1);
    EXPECT_EQ(plain.GetSubmatchCount(), 0);
}

TEST(RegexObject, CompileDefaultsToAllFlagsAndResetsMatches) {
    RegexObject regex;
    EXPECT_FALSE(regex.IsCompiled());
    EXPECT_EQ(regex.GetPattern(), "");
    ASSERT_TRUE(regex.Compile("^a"));
    EXPECT_EQ(regex.GetFlags(), (RegexFlags{true, true, true}));
    EXPECT_EQ(regex.GetPattern(), "^a");
    EXPECT_EQ(regex.ReplaceMatches("A\na", "x").value(), "x\nx");
    ASSERT_EQ(regex.FindMatches("a").value(), 1);
    ASSERT_TRUE(regex.Compile("b"));
    EXPECT_EQ(regex.GetMatchCount(), 0);
}

TEST(RegexObject, EscapesAndLineEnds) {
    // \u{...} is accepted besides \uXXXX.
    EXPECT_EQ(Compiled("\\u{4E2D}\\u0041", "g").ReplaceMatches("中A", "x").value(), "x");
    // A CRLF line end is one line end: "." stops before the CR and "^", "$" do
    // not match between CR and LF.
    EXPECT_EQ(Compiled("^(.*)$", "mg").ReplaceMatches("one\r\ntwo", "[$1]").value(),
              "[one]\r\n[two]");
}

// Handed out in pieces, a large replaced text is the same text, its unreplaced
// stretches handed out where they lie; a piece the receiver refuses ends the
// replacement with the receiver's error.
TEST(RegexObject, ReplacementInPiecesIsTheWholeReplacement) {
    std::string subject;
    for (int i = 0; i < 40000; ++i) subject += "line " + std::to_string(i) + (i % 7 == 0 ? " 中文\r\n" : "\n");
    subject += std::string(200000, 'z');  // a stretch longer than any buffer, then a match after it
    subject += "line end";
    const struct {
        const char* pattern;
        const char* flags;
        const char* replacement;
        bool stretchUnmatched;
    } cases[] = {
        {"line (\\d+)", "g", "<$1>", true},
        {"^(.*)$", "mg", "[$1]", false},
        {"z+", "g", "", false},
        {"line", "", "first only", true},
        {"nowhere", "g", "x", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        RegexObject regex = Compiled(c.pattern, c.flags);
        const std::string whole = regex.ReplaceMatches(subject, c.replacement).value();
        std::string pieces;
        std::size_t ofSubject = 0;  // bytes handed out as views of the subject itself
        ASSERT_TRUE(regex.ReplaceMatchesInto(subject, c.replacement, [&](std::string_view piece) {
            pieces.append(piece);
            if (piece.data() >= subject.data() && piece.data() + piece.size() <= subject.data() + subject.size()) {
                ofSubject += piece.size();
            }
            return std::expected<void, Error>{};
        }));
        EXPECT_EQ(pieces, whole);
        if (c.stretchUnmatched) EXPECT_GE(ofSubject, 200000u);  // the long stretch is never copied
    }
    RegexObject regex = Compiled("line", "g");
    int calls = 0;
    const auto refused = regex.ReplaceMatchesInto(subject, "x", [&](std::string_view) -> std::expected<void, Error> {
        if (++calls == 2) return std::unexpected(Error{ENOSPC, "disk full", "/f"});
        return {};
    });
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().code, ENOSPC);
    EXPECT_EQ(calls, 2);
}

TEST(RegexObject, EmptyMatchesAdvanceByWholeCharacters) {
    EXPECT_EQ(Compiled("", "g").ReplaceMatches("中文", "-").value(), "-中-文-");
    EXPECT_EQ(Compiled("x*", "g").ReplaceMatches("😀é", "-").value(), "-😀-é-");
    RegexObject regex = Compiled("", "g");
    ASSERT_EQ(regex.FindMatches("中文").value(), 3);
    EXPECT_EQ(regex.GetMatchText(2), "");
}

TEST(RegexObject, InvalidUtf8SubjectsKeepTheirBytes) {
    // An invalid byte is one step of an empty match and is never matched by ".".
    EXPECT_EQ(Compiled("", "g").ReplaceMatches("a\xFF" "b", "-").value(), "-a-\xFF-b-");
    EXPECT_EQ(Compiled(".", "g").ReplaceMatches("a\xFF" "b", "-").value(), "-\xFF-");
    // A truncated sequence before a match.
    EXPECT_EQ(Compiled("中", "g").ReplaceMatches("\xE4\xB8中\xFE", "文").value(), "\xE4\xB8文\xFE");
    RegexObject regex = Compiled("(b+)", "g");
    ASSERT_EQ(regex.FindMatches("\xC0\xAF" "bb\xED\xA0\x80" "b").value(), 2);
    EXPECT_EQ(regex.GetSubmatchText(1, 1), "bb");
    EXPECT_EQ(regex.GetMatchText(2), "b");
}

TEST(RegexObject, CommonPatternMistakesAreToldInChineseWithTheirPosition) {
    struct Case {
        const char* pattern;
        const char* message;
    };
    const Case cases[] = {
        {"ab)", "正则表达式有误（位置 2）：多出一个没有“(”配对的“)”"},
        {"[ab", "正则表达式有误（位置 3）：缺少与“[”配对的“]”"},
        {"*a", "正则表达式有误（位置 0）：重复符号前面没有可以重复的内容"},
        {"a{3,1}", "正则表达式有误（位置 5）：重复次数“{}”中的数字前大后小"},
        {"[z-a]", "正则表达式有误（位置 3）：字符范围前大后小"},
        {"中文\\", "正则表达式有误（位置 3）：表达式以“\\”结尾"},
    };
    for (const Case& c : cases) {
        RegexObject regex;
        const auto failed = regex.Compile(c.pattern);
        ASSERT_FALSE(failed.has_value()) << c.pattern;
        EXPECT_EQ(failed.error().message, c.message) << c.pattern;
    }
}

TEST(RegexObject, InvalidPatternIsReportedAndNothingRuns) {
    RegexObject regex;
    ASSERT_TRUE(regex.Compile("a"));
    const auto failed = regex.Compile("中(");
    ASSERT_FALSE(failed.has_value());
    EXPECT_EQ(failed.error().code, Error::kInvalidInput);
    EXPECT_NE(failed.error().message.find("正则表达式有误（位置 2）"), std::string::npos)
        << failed.error().message;
    EXPECT_NE(failed.error().message.find("缺少与“(”配对的“)”"), std::string::npos) << failed.error().message;
    EXPECT_FALSE(regex.IsCompiled());
    EXPECT_EQ(regex.GetPattern(), "");
    // The earlier pattern "a" is gone: every use reports the compile error.
    EXPECT_EQ(regex.ReplaceMatches("a", "b").error().message, failed.error().message);
    EXPECT_FALSE(regex.FindMatches("a").has_value());
    EXPECT_FALSE(regex.Copy().ReplaceMatches("a", "b").has_value());
    EXPECT_FALSE(RegexObject().ReplaceMatches("", "b").has_value());
}

TEST(RegexObject, RunawayMatchFailsInsteadOfHanging) {
    RegexObject regex = Compiled("(a+)+$", "");
    const std::string subject = std::string(40, 'a') + "b";
    const auto replaced = regex.ReplaceMatches(subject, "x");
    ASSERT_FALSE(replaced.has_value());
    EXPECT_NE(replaced.error().message.find("正则表达式匹配失败"), std::string::npos);
    EXPECT_FALSE(regex.FindMatches(subject).has_value());
    EXPECT_EQ(regex.GetMatchCount(), 0);
    // The object stays usable.
    EXPECT_EQ(regex.ReplaceMatches("aa", "x").value(), "x");
}

TEST(RegexObject, CopiesShareThePatternNotTheMatches) {
    RegexObject original = Compiled("(\\d)", "g");
    ASSERT_EQ(original.FindMatches("1 2").value(), 2);
    RegexObject copy = original.Copy();
    EXPECT_EQ(copy.GetPattern(), "(\\d)");
    EXPECT_EQ(copy.GetMatchCount(), 0);
    ASSERT_EQ(copy.FindMatches("345").value(), 3);
    EXPECT_EQ(original.GetMatchText(2), "2");

    // One compiled pattern, a copy per thread.
    std::vector<std::thread> threads;
    std::vector<std::string> results(4);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t, mine = original.Copy()]() mutable {
            std::string text;
            for (int k = 0; k < 500; ++k) text += std::to_string(t);
            for (int k = 0; k < 20; ++k) results[t] = mine.ReplaceMatches(text, "<$1>").value();
        });
    }
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < 4; ++t) {
        std::string expected;
        const std::string one = std::to_string(t);
        for (int k = 0; k < 500; ++k) expected.append("<").append(one).append(">");
        EXPECT_EQ(results[t], expected);
    }
}

TEST(CachedRegex, CompilesOnlyWhenPatternOrFlagChanges) {
    CachedRegex cache;
    const RegexFlags flags{.ignoreCase = false, .multiline = false, .global = false};
    EXPECT_EQ(cache.CompileCount(), 0);
    for (int row = 0; row < 3; ++row) {
        auto regex = cache.Get("", flags);  // an empty pattern is still compiled once
        ASSERT_TRUE(regex);
        EXPECT_EQ(regex->ReplaceMatches("ab", "-").value(), "-ab");
    }
    EXPECT_EQ(cache.CompileCount(), 1);
    for (int row = 0; row < 3; ++row) ASSERT_TRUE(cache.Get("a", flags));
    EXPECT_EQ(cache.CompileCount(), 2);
    auto ignoring = cache.Get("a", {.ignoreCase = true, .multiline = false, .global = false});
    EXPECT_EQ(cache.CompileCount(), 3);
    EXPECT_EQ(ignoring->ReplaceMatches("A", "b").value(), "b");
    ASSERT_TRUE(cache.Get("a", {.ignoreCase = true, .multiline = true, .global = false}));
    ASSERT_TRUE(cache.Get("a", {.ignoreCase = true, .multiline = true, .global = true}));
    ASSERT_TRUE(cache.Get("A", {.ignoreCase = true, .multiline = true, .global = true}));
    EXPECT_EQ(cache.CompileCount(), 6);
}

TEST(CachedRegex, InvalidPatternFailsEveryRowWithOneCompile) {
    CachedRegex cache;
    for (int row = 0; row < 3; ++row) {
        const auto regex = cache.Get("[", {});
        ASSERT_FALSE(regex.has_value());
        EXPECT_EQ(regex.error().code, Error::kInvalidInput);
    }
    EXPECT_EQ(cache.CompileCount(), 1);
    EXPECT_TRUE(cache.Get("[a]", {}));
    EXPECT_EQ(cache.CompileCount(), 2);
}

}  // namespace
}  // namespace varnel
