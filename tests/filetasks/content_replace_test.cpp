#include "filetasks/content_replace.h"

#include <gtest/gtest.h>

#include "content_run.h"
#include "filetasks/content_text.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

TEST(ContentReplace, PlainReplacementCountsAndCase) {
    struct Case {
        const char* text;
        const char* find;
        const char* with;
        int count;
        bool ignoreCase;
        const char* result;
    };
    const Case cases[] = {
        {"a-a-a-a", "a", "b", 2, false, "b-b-a-a"},
        {"a-a-a-a", "a", "b", -1, false, "b-b-b-b"},
        {"God god GOD", "god", "x", -1, true, "x x x"},
        {"God god GOD", "god", "x", -1, false, "God x GOD"},
        {"aaa", "aa", "a", -1, false, "aa"},  // no overlap, no rescanning of the replacement
        {"abc", "", "x", -1, false, "abc"},
        {"甲乙甲", "甲", "丙", 1, true, "丙乙甲"},
        {"line\r\nline\r\n", "\r\n", "\n", -1, false, "line\nline\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReplaceSubText(c.text, c.find, c.with, c.count, c.ignoreCase), c.result) << c.text << " " << c.find;
    }
    EXPECT_EQ(ReplaceCountFromText("2"), 2);
    EXPECT_EQ(ReplaceCountFromText("2.9"), 2);
    EXPECT_EQ(ReplaceCountFromText("0"), -1);
    EXPECT_EQ(ReplaceCountFromText("-1"), -1);
    EXPECT_EQ(ReplaceCountFromText("many"), -1);
}

TEST(ContentReplace, RegexFlagsAndTheSharedCompile) {
    ContentReplaceParams params;
    params.useRegex = true;
    params.findText = "^(\\w)x";
    params.multiline = false;
    EXPECT_EQ(ReplaceTextInFile("ax\nbx", params, "$1y"), "ay\nbx");
    params.multiline = true;
    params.globalMatch = false;
    EXPECT_EQ(ReplaceTextInFile("ax\nbx", params, "$1y"), "ay\nbx");  // first match only
    params.globalMatch = true;
    EXPECT_EQ(ReplaceTextInFile("ax\nbx", params, "$1y"), "ay\nby");
    params.ignoreCase = true;
    EXPECT_EQ(ReplaceTextInFile("aX\nbX", params, "$1y"), "ay\nby");
    params.findText = "([";
    EXPECT_FALSE(ReplaceTextInFile("abc", params, "x"));

    // The same pattern and flags compile once; only the multi-line flag changed compiles again.
    (void)GetCachedContentRegex("k+", false, false, true);
    const int compiled = ContentRegexCompileCount();
    (void)GetCachedContentRegex("k+", false, false, true);
    EXPECT_EQ(ContentRegexCompileCount(), compiled);
    (void)GetCachedContentRegex("k+", false, true, true);
    EXPECT_EQ(ContentRegexCompileCount(), compiled + 1);
}

TEST(ContentReplace, EachFileKeepsItsEncodingAndLineEnds) {
    struct File {
        const char* name;
        TextEncoding encoding;
        const char* before;
        const char* after;
        const char* status;
    };
    // 甲 → #文件名: each file gets its own name; 😀 cannot go into GBK.
    const File files[] = {
        {"u8.txt", TextEncoding::Utf8, "甲\r\n乙\r\n", "u8.txt\r\n乙\r\n", "√"},
        {"bom.txt", TextEncoding::Utf8Bom, "甲\n乙\n", "bom.txt\n乙\n", "√"},
        {"gbk.txt", TextEncoding::Gbk, "甲\r\n乙\r\n", "gbk.txt\r\n乙\r\n", "√"},
        {"u16.txt", TextEncoding::Utf16Le, "甲\r\n乙", "u16.txt\r\n乙", "√"},
        {"u16be.txt", TextEncoding::Utf16Be, "乙甲", "乙u16be.txt", "√"},
        {"none.txt", TextEncoding::Gbk, "乙\r\n", "乙\r\n", "√"},
        {"le.txt", TextEncoding::Utf16LeNoBom, "a甲\r\n", "ale.txt\r\n", "√"},
        {"be.txt", TextEncoding::Utf16BeNoBom, "甲b\n", "be.txtb\n", "√"},
    };
    testing::TempDir dir;
    testing::ContentRun run(dir);
    for (const File& f : files) {
        dir.Write(f.name, *EncodeFileText(f.before, f.encoding));
        run.AddRow(dir.Path(), f.name);
    }
    ContentReplaceParams params;
    params.findText = "甲";
    params.replaceText = "#文件名";
    RunRows rows = run.Rows();
    RunContentReplaceTask(*run.run, rows, params);
    for (std::size_t i = 0; i < std::size(files); ++i) {
        EXPECT_EQ(dir.Read(files[i].name), *EncodeFileText(files[i].after, files[i].encoding)) << files[i].name;
        EXPECT_EQ(run.Status(i), files[i].status) << files[i].name;
    }
    EXPECT_EQ(run.run->Record().contentChanges.size(), std::size(files) - 1);  // the file without 甲 is not rewritten
    EXPECT_TRUE(run.Undo().failedPaths.empty());
    for (const File& f : files) EXPECT_EQ(dir.Read(f.name), *EncodeFileText(f.before, f.encoding)) << f.name;
}

// A file with NUL bytes that is not UTF-16 is no text: it fails and stays as it is.
TEST(ContentReplace, AFileWithNulBytesThatIsNotUtf16IsRefused) {
    testing::TempDir dir;
    const std::string files[] = {
        std::string("\x7f" "ELF\x02\x01\x01\0\0\0\0\0甲", 15),  // U+0000 pairs
        std::string("a\0\0b", 4) + "甲",                           // odd length
        std::string("\x01\0\0\x02", 4) + "甲甲",                  // NULs on both sides alike
    };
    testing::ContentRun run(dir);
    for (std::size_t i = 0; i < std::size(files); ++i) {
        dir.Write(std::to_string(i), files[i]);
        run.AddRow(dir.Path(), std::to_string(i));
    }
    ContentReplaceParams params;
    params.findText = "甲";
    params.replaceText = "乙";
    RunRows rows = run.Rows();
    RunContentReplaceTask(*run.run, rows, params);
    for (std::size_t i = 0; i < std::size(files); ++i) {
        EXPECT_TRUE(run.Status(i).starts_with("×")) << i;
        EXPECT_EQ(dir.Read(std::to_string(i)), files[i]) << i;
    }
    EXPECT_TRUE(run.run->Record().contentChanges.empty());
}

TEST(ContentReplace, ATextTheFileCannotHoldFailsThatRowOnly) {
    testing::TempDir dir;
    const std::string gbk = *EncodeFileText("甲乙", TextEncoding::Gbk);
    dir.Write("gbk.txt", gbk);
    dir.Write("u8.txt", "甲乙");
    testing::ContentRun run(dir);
    run.AddRow(dir.Path(), "gbk.txt");
    run.AddRow(dir.Path(), "u8.txt");
    ContentReplaceParams params;
    params.findText = "乙";
    params.replaceText = "😀";
    RunRows rows = run.Rows();
    RunContentReplaceTask(*run.run, rows, params);
    EXPECT_TRUE(run.Status(0).starts_with("×"));
    EXPECT_EQ(dir.Read("gbk.txt"), gbk);
    EXPECT_EQ(run.Status(1), "√");
    EXPECT_EQ(dir.Read("u8.txt"), "甲😀");
    EXPECT_EQ(run.run->FailedPaths(), std::vector<std::string>{dir / "gbk.txt"});
}

}  // namespace
}  // namespace varnel
