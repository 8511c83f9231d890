#include "filetasks/write_element.h"

#include <gtest/gtest.h>

#include "content_run.h"
#include "filetasks/content_text.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

TEST(WriteElement, PresetsReadAndWriteTheirIniText) {
    const auto defaults = ParseElementPresets(kDefaultElementPresets);
    ASSERT_EQ(defaults.size(), 1u);
    EXPECT_EQ(defaults[0], (ElementPreset{"网页标题<title>", "<title>", "</title>", false}));
    EXPECT_EQ(FormatElementPresets(defaults), kDefaultElementPresets);
    const std::vector<ElementPreset> two{{"a", "<a>", "</a>", true}, {"b", "[", "]", false}};
    EXPECT_EQ(ParseElementPresets(FormatElementPresets(two)), two);
    EXPECT_EQ(ParseElementPreset("only a name"), (ElementPreset{"only a name", "", "", false}));
    EXPECT_TRUE(ParseElementPresets("").empty());
    EXPECT_FALSE(WriteElementProblem({"<a>", "", false, "x"}).empty());
    EXPECT_TRUE(WriteElementProblem({"<a>", "</a>", false, ""}).empty());
}

TEST(WriteElement, WritesBetweenTheElementsInEachEncoding) {
    struct Case {
        std::string before;
        bool caseSensitive;
        std::string after;  // "": the row fails, the file untouched
    };
    const Case cases[] = {
        {"<head><title>旧</title></head>\r\n", true, "<head><title>#主名</title></head>\r\n"},
        {"<TITLE>旧</TITLE>", false, "<TITLE>#主名</TITLE>"},
        {"<TITLE>旧</TITLE>", true, ""},
        {"<title>no end", false, ""},
        {"<title>甲</title><title>乙</title>", true, "<title>#主名</title><title>乙</title>"},
    };
    // Each page holds a non-ASCII character: a GBK file of ASCII alone is UTF-8 as well.
    for (const TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Gbk, TextEncoding::Utf16Le}) {
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            const Case& c = cases[i];
            testing::TempDir dir;
            const std::string original = *EncodeFileText(c.before, encoding);
            dir.Write("页.htm", original);
            testing::ContentRun run(dir);
            run.AddRow(dir.Path(), "页.htm");
            RunRows rows = run.Rows();
            RunWriteElementTask(*run.run, rows, {"<title>", "</title>", c.caseSensitive, "新#主名"});
            if (c.after.empty()) {
                EXPECT_EQ(dir.Read("页.htm"), original) << i;
                EXPECT_TRUE(run.Status(0).starts_with("×")) << i;
                continue;
            }
            std::string expected = c.after;
            expected.replace(expected.find("#主名"), 7, "新页");
            EXPECT_EQ(dir.Read("页.htm"), *EncodeFileText(expected, encoding)) << i << " " << int(encoding);
            EXPECT_EQ(run.Status(0), "√");
            EXPECT_TRUE(run.Undo().failedPaths.empty());
            EXPECT_EQ(dir.Read("页.htm"), original);
        }
    }
}

TEST(WriteElement, APreviewLeavesEvenTheStatusColumn) {
    testing::TempDir dir;
    dir.Write("a.htm", "<title>x</title>");
    testing::ContentRun run(dir, RunMode::FullPreview);
    run.AddRow(dir.Path(), "a.htm");
    run.store.SetCellText(0, 1, "kept");
    RunRows rows = run.Rows();
    RunWriteElementTask(*run.run, rows, {"<title>", "</title>", true, "y"});
    EXPECT_EQ(run.Status(0), "kept");
    EXPECT_EQ(dir.Read("a.htm"), "<title>x</title>");
}

}  // namespace
}  // namespace varnel
