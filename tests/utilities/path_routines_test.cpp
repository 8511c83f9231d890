#include "utilities/path_routines.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

struct PathCase {
    const char* path;
    const char* name;
    const char* extension;
    const char* main;
    const char* parent;
};

TEST(PathRoutines, PartsOfPaths) {
    const PathCase cases[] = {
        {"/dir.old/file", "file", "", "file", "/dir.old"},
        {"/dir/", "", "", "", ""},
        {"/a/b/", "", "", "", "/a"},
        {"/a/b", "b", "", "b", "/a"},
        {"/a", "a", "", "a", ""},
        {"/", "", "", "", ""},
        {"", "", "", "", ""},
        // A leading dot marks a hidden file; it does not start an extension.
        {".cfg", ".cfg", "", ".cfg", ""},
        {".config.json", ".config.json", "json", ".config", ""},
        {"/home/u/.bashrc", ".bashrc", "", ".bashrc", "/home/u"},
        {"..x", "..x", "", "..x", ""},
        {"...", "...", "", "...", ""},
        {"a.", "a.", "", "a", ""},
        {"a.b.c", "a.b.c", "c", "a.b", ""},
        {"/文件夹/报告.第二版.txt", "报告.第二版.txt", "txt", "报告.第二版", "/文件夹"},
        {"/x/back\\slash.doc", "back\\slash.doc", "doc", "back\\slash", "/x"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(GetFileNameOfPath(c.path), c.name);
        EXPECT_EQ(GetExtensionOfPath(c.path), c.extension);
        EXPECT_EQ(GetMainNameOfPath(c.path), c.main);
        EXPECT_EQ(GetParentOfPath(c.path), c.parent);
    }
}

TEST(PathRoutines, TrailingSeparator) {
    EXPECT_EQ(AdjustTrailingBackslash("/a"), "/a/");
    EXPECT_EQ(AdjustTrailingBackslash("/a/", true), "/a");
    EXPECT_EQ(WithTrailingSlash(""), "/");
    EXPECT_EQ(WithTrailingSlash("/a"), "/a/");
    EXPECT_EQ(WithTrailingSlash("/a/"), "/a/");
    EXPECT_EQ(WithoutTrailingSlash("/a//"), "/a/");  // only one is removed
    EXPECT_EQ(WithoutTrailingSlash("/a"), "/a");
    // The root's parent is the empty path, and adjusting it gives the root back.
    EXPECT_EQ(WithTrailingSlash(GetParentOfPath("/a")), "/");
}

TEST(PathRoutines, SplitMainAndExtension) {
    struct Case { const char* name; const char* main; const char* extension; };
    const Case cases[] = {
        {"a.b.c", "a.b", "c"},
        {"readme", "readme", ""},
        {".profile", ".profile", ""},
        {".config.json", ".config", "json"},
        {"/d/.hidden0", ".hidden0", ""},
        {"..two.dots", "..two", "dots"},
        {"x.", "x", ""},
        {"/old.dir/notes", "notes", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto parts = SplitMainAndExtension(c.name);
        ASSERT_TRUE(parts.has_value());
        EXPECT_EQ(parts->main, c.main);
        EXPECT_EQ(parts->extension, c.extension);
    }
    EXPECT_FALSE(SplitMainAndExtension(""));
    EXPECT_FALSE(SplitMainAndExtension("/folder/"));
}

TEST(PathRoutines, CountOccurrences) {
    EXPECT_EQ(CountOccurrences("", "anything"), 0);
    EXPECT_EQ(CountOccurrences("aa", "aaa"), 1);  // hits never overlap
    EXPECT_EQ(CountOccurrences("aa", "aaaa"), 2);
    EXPECT_EQ(CountOccurrences("/", "/a/b/c"), 3);
    EXPECT_EQ(CountOccurrences("AB", "ab Ab aB"), 3);
    EXPECT_EQ(CountOccurrences("AB", "ab Ab aB AB", true), 1);
    EXPECT_EQ(CountOccurrences("文件", "文件夹里的文件"), 2);
    EXPECT_EQ(CountOccurrences("long sought", "short"), 0);
}

TEST(PathRoutines, SplitAtSeparator) {
    using Pieces = std::vector<std::string_view>;
    EXPECT_EQ(SplitAtSeparator("a;;;b;;;", ";;;"), (Pieces{"a", "b", ""}));
    EXPECT_EQ(SplitAtSeparator("", ";;;"), (Pieces{""}));
    EXPECT_EQ(SplitAtSeparator("甲[分隔]乙", "[分隔]"), (Pieces{"甲", "乙"}));
    EXPECT_EQ(SplitAtSeparator("abc", ""), (Pieces{"abc"}));
}

TEST(PathRoutines, DirectoryAttribute) {
    EXPECT_TRUE(IsDirectoryAttribute(0x10));
    EXPECT_TRUE(IsDirectoryAttribute(0x31));
    EXPECT_FALSE(IsDirectoryAttribute(0x20));
}

TEST(PathRoutines, NumberToLetters) {
    struct Case { long long n; bool lower; const char* letters; };
    const Case cases[] = {
        {0, false, ""}, {-5, false, ""}, {1, false, "A"}, {26, false, "Z"}, {27, true, "aa"},
        {52, false, "AZ"}, {53, false, "BA"}, {702, false, "ZZ"}, {703, false, "AAA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(NumberToLetters(c.n, c.lower), c.letters);
    }
}

TEST(PathRoutines, FormatDuration) {
    constexpr double kDay = 86'400'000.0;
    struct Case { double ms; const char* text; };
    const Case cases[] = {
        {999.5, "999.5 毫秒"},       // not rounded
        {0.33355179999999995, "0.3335518 毫秒"},  // but never more than 15 digits
        {1.0 / 3, "0.333333333333333 毫秒"},
        {0, "0 毫秒"},
        {1000, "1 秒"},              // 1000 is not below 1000
        {1234.567, "1.23 秒"},
        {59999, "60 秒"},            // the unit is chosen before rounding
        {60000, "1 分"},
        {90 * 60000.0, "1.5 时"},
        {7 * kDay, "1 周"},
        {30 * kDay, "1 月"},
        {90 * kDay, "1 季"},
        {360 * kDay, "1 年"},
        {720 * kDay, "2 年"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ms);
        EXPECT_EQ(FormatDuration(c.ms), c.text);
    }
}

}  // namespace
}  // namespace varnel
