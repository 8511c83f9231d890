#include "filetasks/content_insert.h"

#include <gtest/gtest.h>

#include "content_run.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

TEST(ContentInsert, EveryPlaceInEveryEncoding) {
    using T = InsertType;
    struct Case {
        const char* before;
        T type;
        std::int64_t position;
        const char* locator;
        const char* after;  // nullptr: nothing to do ("○")
    };
    const Case cases[] = {
        {"abc", T::Head, 0, "", "[]abc"},
        {"abc", T::Tail, 0, "", "abc[]"},
        {"a\r\nbb\r\n", T::LineStart, 2, "", "a\r\n[]bb\r\n"},
        {"a\r\nbb\r\n", T::LineEnd, 2, "", "a\r\nbb[]\r\n"},
        {"a\nbb\n", T::LineEnd, 2, "", "a\nbb[]\n"},
        {"a\nbb", T::LineEnd, 2, "", "a\nbb[]"},
        {"a\r\nbb\r\n", T::LineEnd, 9, "", "a\r\nbb\r\n[]"},
        {"a\r\nbb", T::LineStart, 0, "", "[]a\r\nbb"},
        {"abc", T::BytePosition, 0, "", "[]abc"},
        {"abc", T::BytePosition, 2, "", "ab[]c"},
        {"abc", T::BytePosition, 99, "", "abc[]"},
        {"甲乙丙", T::CharPosition, 1, "", "[]甲乙丙"},
        {"甲乙丙", T::CharPosition, 3, "", "甲乙[]丙"},
        {"x=1;x=2", T::BeforeLocator, 0, "x=", "[]x=1;x=2"},
        {"x=1;x=2", T::AfterLocator, 0, "x=", "x=[]1;x=2"},
        {"abc", T::AfterLocator, 0, "zz", nullptr},
        {"", T::BeforeLocator, 0, "a", nullptr},
        {"abc", T::BeforeLocator, 0, "", nullptr},
    };
    const TextEncoding encodings[] = {TextEncoding::Utf8, TextEncoding::Gbk, TextEncoding::Utf16Le,
                                      TextEncoding::Utf16LeNoBom, TextEncoding::Utf16BeNoBom};
    for (const TextEncoding encoding : encodings) {
        testing::TempDir dir;
        testing::ContentRun run(dir);
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            const std::string name = std::to_string(i) + ".txt";
            dir.Write(name, *EncodeFileText(cases[i].before, encoding));
            run.AddRow(dir.Path(), name);
        }
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            const Case& c = cases[i];
            // Byte positions in UTF-16 count two bytes a letter: see the test below.
            if (c.type == T::BytePosition && encoding != TextEncoding::Utf8 && encoding != TextEncoding::Gbk) continue;
            // UTF-16 without a BOM is known by its NUL bytes; a text of Chinese
            // characters alone has none (and reads as another encoding).
            const bool noBom = encoding == TextEncoding::Utf16LeNoBom || encoding == TextEncoding::Utf16BeNoBom;
            if (noBom && EncodeFileText(c.before, encoding)->find('\0') == std::string::npos) continue;
            ContentInsertParams params{c.type, c.position, c.locator, "[]"};
            RunRows rows(run.store, {run.store.IdOf(i)});
            RunContentInsertTask(*run.run, rows, params);
            const std::string name = std::to_string(i) + ".txt";
            const std::string expected = c.after ? c.after : c.before;
            EXPECT_EQ(dir.Read(name), *EncodeFileText(expected, encoding)) << i << " encoding " << int(encoding);
            EXPECT_EQ(run.Status(i), c.after ? "√" : "○") << i;
        }
        EXPECT_TRUE(run.run->FailedPaths().empty());
    }
}

TEST(ContentInsert, BytePositionsCountTheFilesOwnBytes) {
    // 甲乙丙 takes 2 bytes a character in GBK: position 4 is before 丙; 3 would split 乙.
    const ContentInsertParams at4{InsertType::BytePosition, 4, "", "x"};
    EXPECT_EQ(InsertOffset("甲乙丙", TextEncoding::Gbk, at4), 6u);
    EXPECT_EQ(InsertOffset("甲乙丙", TextEncoding::Utf8, at4), 3u);
    const ContentInsertParams at3{InsertType::BytePosition, 3, "", "x"};
    EXPECT_EQ(InsertOffset("甲乙丙", TextEncoding::Gbk, at3), 3u);
    EXPECT_EQ(InsertOffset("abc", TextEncoding::Utf16Le, at4), 2u);
    EXPECT_EQ(InsertOffset("abc", TextEncoding::Utf16Le, at3), 1u);
}

TEST(ContentInsert, RoundTripWithMetaVariablesAndUndo) {
    testing::TempDir dir;
    dir.Write("one.txt", "1\r\n");
    dir.Write("two.txt", "2\r\n");
    testing::ContentRun run(dir);
    run.AddRow(dir.Path(), "one.txt");
    run.AddRow(dir.Path(), "two.txt");
    RunRows rows = run.Rows();
    RunContentInsertTask(*run.run, rows, {InsertType::Head, 0, "", "#主名:"});
    EXPECT_EQ(dir.Read("one.txt"), "one:1\r\n");
    EXPECT_EQ(dir.Read("two.txt"), "two:2\r\n");
    dir.Write("two.txt", "edited by the user");
    const UndoOutcome undone = run.Undo();
    EXPECT_EQ(dir.Read("one.txt"), "1\r\n");
    EXPECT_EQ(dir.Read("two.txt"), "edited by the user");
    EXPECT_EQ(undone.failedPaths, std::vector<std::string>{dir / "two.txt"});
}

}  // namespace
}  // namespace varnel
