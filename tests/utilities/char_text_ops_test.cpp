#include "utilities/char_text_ops.h"

#include <gtest/gtest.h>

#include "utilities/path_routines.h"

namespace varnel {
namespace {

TEST(CharTextOps, CutsInCharactersAndWidthsNeverSplitACharacter) {
    const CharTextOps ops;
    const std::string text = "ab中文c";  // widths 1 1 2 2 1
    EXPECT_EQ(ops.CountLength(text, false), 5);
    EXPECT_EQ(ops.CountLength(text, true), 7);
    struct Case {
        std::int64_t n;
        bool byBytes;
        const char* left;
        const char* right;
    };
    const Case cases[] = {
        {0, false, "", ""},         {-2, true, "", ""},          {3, false, "ab中", "中文c"},
        {3, true, "ab", "文c"},     // width 3 ends inside 中: the cut moves to its start
        {4, true, "ab中", "中文c"}, {5, true, "ab中", "中文c"},   {9, true, "ab中文c", "ab中文c"},
        {5, false, "ab中文c", "ab中文c"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ops.TakeLeft(text, c.n, c.byBytes), c.left) << c.n << c.byBytes;
        // A right cut inside a character keeps the whole character.
        EXPECT_EQ(ops.TakeRight(text, c.n, c.byBytes), c.right) << c.n << c.byBytes;
    }
    EXPECT_EQ(ops.TakeMiddle(text, 3, 2, false), "中文");
    EXPECT_EQ(ops.TakeMiddle(text, 4, 2, true), "中");  // starts inside 中: from its start
    EXPECT_EQ(ops.TakeMiddle(text, 0, 2, false), "ab");
    EXPECT_EQ(ops.TakeMiddle(text, 9, 2, false), "");
    EXPECT_EQ(MidChars(text, 2, INT64_MAX), "b中文c");
    // An invalid byte is one character of width 1 and stays as it is.
    EXPECT_EQ(LeftChars("a\xff中", 2), "a\xff");
    EXPECT_EQ(CharCount("a\xff中"), 3);
}

TEST(CharTextOps, FindsCharacterPositionsFromEitherEnd) {
    EXPECT_EQ(FindCharPosition("中文-名-字", "-", false), 3);
    EXPECT_EQ(FindLastCharPosition("中文-名-字", "-", false), 5);
    EXPECT_EQ(FindCharPosition("aXbx", "x", true), 2);
    EXPECT_EQ(FindCharPosition("aXbx", "x", false), 4);
    EXPECT_EQ(FindLastCharPosition("aaa", "aa", false), 2);  // overlapping occurrences count
    EXPECT_EQ(FindCharPosition("abc", "", false), std::nullopt);
    EXPECT_EQ(FindCharPosition("abc", "z", true), std::nullopt);
    EXPECT_EQ(FindCharPosition("ab", "abc", false), std::nullopt);
}

TEST(ReplaceOccurrences, CountsAndCase) {
    struct Case {
        const char* text;
        const char* sought;
        std::int64_t count;
        bool caseSensitive;
        const char* expected;
    };
    const Case cases[] = {
        {"AaAa.txt", "a", 2, false, "bbAa.txt"}, {"AaAa.txt", "a", 2, true, "AbAb.txt"},
        {"AaAa.txt", "a", 0, false, "bbbb.txt"}, {"AaAa.txt", "a", -5, true, "AbAb.txt"},
        {"aaa", "aa", 0, true, "ba"},            {"abc", "", 0, true, "abc"},
        {"中文中", "中", 1, true, "b文中"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReplaceOccurrences(c.text, c.sought, "b", c.count, c.caseSensitive), c.expected) << c.text;
    }
}

}  // namespace
}  // namespace varnel
