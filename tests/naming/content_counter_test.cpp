#include "naming/content_counter.h"

#include <string>

#include <gtest/gtest.h>

#include "utilities/codec.h"

namespace varnel {
namespace {

struct Counts {
    std::int64_t characters, lines, blanks, sought;
};

// Fed whole and one byte at a time: the chunk boundaries must not change a count.
Counts Count(std::string_view content, std::string_view sought = {}, bool caseSensitive = false) {
    ContentCounter whole(sought, caseSensitive);
    whole.Feed(content);
    whole.Finish();
    ContentCounter bytes(sought, caseSensitive);
    for (const char c : content) bytes.Feed(std::string_view(&c, 1));
    bytes.Finish();
    EXPECT_EQ(whole.Characters(), bytes.Characters()) << content;
    EXPECT_EQ(whole.SoughtCount(), bytes.SoughtCount()) << content;
    return {whole.Characters(), whole.Lines(), whole.Blanks(), whole.SoughtCount()};
}

std::string Gbk(std::string_view utf8) { return *EncodeToCodec(utf8, kCodecGbk); }

TEST(ContentCounter, LinesCharactersAndBlanks) {
    struct Case { std::string content; std::int64_t characters, lines, blanks; };
    const Case cases[] = {
        {"a b\r\nc d\r\ne f\r\n", 15, 4, 3},   // three CR LF lines: four lines
        {"a b\nc d\ne f\n", 12, 4, 3},         // the same with line feeds
        {"no break at all", 15, 1, 3},
        {"", 0, 1, 0},
        {"tab\there\u3000wide", 13, 1, 0},     // neither a tab nor U+3000 is a blank
        {"old\rmac", 7, 1, 0},                 // a lone CR is no line break
        {"中文 字数\n", 6, 2, 1},
        {"\xEF\xBB\xBF" "abc", 3, 1, 0},       // a BOM is not a character
    };
    for (const Case& c : cases) {
        const Counts counts = Count(c.content);
        EXPECT_EQ(counts.characters, c.characters) << c.content;
        EXPECT_EQ(counts.lines, c.lines) << c.content;
        EXPECT_EQ(counts.blanks, c.blanks) << c.content;
    }
}

TEST(ContentCounter, GbkContentCountsItsCharacters) {
    const std::string gbk = Gbk("中文 abc\n汉字");
    EXPECT_EQ(Count(gbk).characters, 9);
    EXPECT_EQ(Count(gbk).lines, 2);
    EXPECT_EQ(Count(gbk, "汉字").sought, 1);
    // A byte that starts no character counts as one.
    EXPECT_EQ(Count("\xFF\xFF").characters, 2);
    // "A" is the trail byte of 驛 (0xF3 0x41) in GBK: not a character of its own.
    const std::string trail = Gbk("驛") + "A";
    EXPECT_EQ(Count(trail, "A", true).sought, 1);
    EXPECT_EQ(Count(Gbk("驛"), "A", true).sought, 0);
}

TEST(ContentCounter, SoughtTextIsCountedWithoutOverlaps) {
    struct Case { std::string content, sought; bool caseSensitive; std::int64_t count; };
    const Case cases[] = {
        {"aaaa", "aa", true, 2},
        {"abAB", "ab", false, 2},
        {"abAB", "ab", true, 1},
        {"x\ny\nx\ny", "x\ny", true, 2},
        {"x\r\ny", "x\ny", true, 0},
        {"aabaabaab", "aab", true, 3},
        {"abababa", "aba", true, 2},
        {"一二一二一", "一二一", true, 1},
        {"anything", "", true, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Count(c.content, c.sought, c.caseSensitive).sought, c.count)
            << c.content << " / " << c.sought;
    }
}

}  // namespace
}  // namespace varnel
