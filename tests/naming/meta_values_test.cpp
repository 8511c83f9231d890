#include "naming/meta_values.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

TEST(MetaValues, DirectoryLevels) {
    struct Case { const char* path; int level; const char* separator; const char* folder; const char* name; };
    const Case cases[] = {
        {"/a/b/f.txt", 1, "", "/a/b", "b"},
        {"/a/b/f.txt", 2, "", "/a", "a"},
        {"/a/b/f.txt", 3, "", "/", ""},
        {"/a/b/f.txt", 4, "", "", ""},
        {"/a/b/f.txt", 0, "", "/a/b|/a|/", "a|b"},
        {"/a/b/f.txt", 0, " > ", "/a/b > /a > /", "a > b"},
        {"/a/b/f.txt", -5, "", "/a/b", "b"},
        // A folder path that ends in "/" is itself the folder at level 1.
        {"/a/b/", 1, "", "/a/b", "b"},
        {"/a/b/", 3, "", "/", ""},
        {"/f.txt", 1, "", "/", ""},
        {"/f.txt", 0, "", "/", ""},
        {"/", 1, "", "/", ""},
        {"/", 2, "", "", ""},
        // A colon is a character of a Linux name.
        {"/mnt/c:d/x", 1, "", "/mnt/c:d", "c:d"},
        {"/mnt/c:d/x", 0, ",", "/mnt/c:d,/mnt,/", "mnt,c:d"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetDirectoryPathAtLevel(c.path, c.level, c.separator), c.folder)
            << c.path << " " << c.level;
        EXPECT_EQ(GetDirectoryNameAtLevel(c.path, c.level, c.separator), c.name)
            << c.path << " " << c.level;
    }
}

TEST(MetaValues, SequenceNumbers) {
    struct Case { std::int64_t n; int zeros; bool uniform; const char* text; };
    const Case cases[] = {
        {7, 2, false, "007"},   {12, 2, false, "0012"}, {123, 2, false, "00123"},
        {1234, 2, false, "001234"},
        {7, 2, true, "007"},    {12, 2, true, "012"},   {123, 2, true, "123"},
        {1234, 2, true, "234"},
        {7, 0, false, "7"},     {1234, 0, true, "4"},   {-5, 2, false, "-005"},
        {5, -3, false, "5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatSequenceNumber(c.n, c.zeros, c.uniform, false, false, false), c.text)
            << c.n << " " << c.zeros << " " << c.uniform;
    }
    // The number of zeros stops at 255.
    EXPECT_EQ(FormatSequenceNumber(5, 1000, true, false, false, false), std::string(255, '0') + "5");
    EXPECT_EQ(FormatSequenceNumber(123, 2, true, true, false, false), "一百二十三");
    EXPECT_EQ(FormatSequenceNumber(123, 2, true, true, false, true), "壹佰贰拾叁");
    EXPECT_EQ(FormatSequenceNumber(123, 0, false, true, true, true), "壹佰贰拾叁元整");
}

TEST(MetaValues, SequenceValueByRow) {
    EXPECT_EQ(FormatSequenceValue(28, {.letters = true}), "ab");
    EXPECT_EQ(FormatSequenceValue(28, {.letters = true, .upperCase = true}), "AB");
    EXPECT_EQ(FormatSequenceValue(28, {.zeroDigits = 1}), "028");
    EXPECT_EQ(FormatSequenceValue(28, {.upperCase = true}), "二十八");
    for (std::int64_t row : {3, 13, 123}) {
        EXPECT_EQ(FormatSequenceValue(row, {.uniform = true}), "3") << row;
    }
}

}  // namespace
}  // namespace varnel
