#include "id3/id3v1_tag.h"

#include <gtest/gtest.h>

#include "id3/genre_names.h"
#include "id3_fixtures.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::Id3v1Block;
using testing::MpegAudio;
using testing::TempDir;

TEST(GenreNames, TableHasNoGenreFirstAndTheBuiltInNames) {
    std::vector<std::string> loaded;
    LoadGenreNames(loaded);
    ASSERT_EQ(loaded.size(), 147u);
    EXPECT_EQ(loaded.front(), "1.ClassicRock");
    EXPECT_EQ(loaded.back(), "147.Synthpop");
    const auto& table = GenreNames();
    ASSERT_EQ(table.size(), 148u);
    for (std::size_t n = 0; n < table.size(); ++n) EXPECT_TRUE(table[n].starts_with(std::to_string(n) + "."));
    EXPECT_EQ(table[0], "0.NO");
    EXPECT_EQ(table[14], "14.R&B");
}

TEST(GenreNames, NameOfText) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},           {"0", "0.NO"},           {"1", "1.ClassicRock"}, {"147", "147.Synthpop"},
        {"148", "0.NO"},    {"200", "0.NO"},         {"-3", "0.NO"},         {"17.Rock", "17.Rock"},
        {"Rock", "0.NO"},   {"17abc", "17.Rock"},
    };
    for (const auto& [text, name] : cases) EXPECT_EQ(GenreName(text), name) << text;
}

TEST(Id3v1Tag, BlockLayoutAndReadBack) {
    Id3v1Tag tag;
    tag.title = std::string(30, 'T');  // fills the field, no terminating zero
    tag.artist = "歌手";
    tag.year = "2009";
    tag.comment = "c";
    tag.track = "7";
    tag.genre = "17";
    const std::string block = BuildId3v1Block(tag).value_or("");
    ASSERT_EQ(block.size(), 128u);
    EXPECT_EQ(block.substr(0, 33), "TAG" + std::string(30, 'T'));
    EXPECT_EQ(block.substr(33, 5), std::string("\xB8\xE8\xCA\xD6\0", 5));  // GBK
    EXPECT_EQ(block.substr(93, 4), "2009");
    EXPECT_EQ(block[125], '\0');
    EXPECT_EQ(block[126], 7);
    EXPECT_EQ(block[127], 17);

    Id3v1Tag back;
    ASSERT_TRUE(ParseId3v1Block(block, back));
    tag.marker = "TAG";
    EXPECT_EQ(back, tag);
}

TEST(Id3v1Tag, NumbersWhenBuilding) {
    struct Case {
        const char* what;
        Id3v1Tag tag;
        std::size_t offset;
        std::string bytes;
    };
    const auto with = [](auto set) {
        Id3v1Tag tag;
        set(tag);
        return tag;
    };
    const Case cases[] = {
        {"empty genre: none", with([](Id3v1Tag&) {}), 127, "\xFF"},
        {"genre 0 is no genre, not Blues", with([](Id3v1Tag& t) { t.genre = "0"; }), 127, "\xFF"},
        {"0.NO", with([](Id3v1Tag& t) { t.genre = "0.NO"; }), 127, "\xFF"},
        {"genre beyond the table", with([](Id3v1Tag& t) { t.genre = "200"; }), 127, "\xFF"},
        {"genre from the box", with([](Id3v1Tag& t) { t.genre = "147.Synthpop"; }), 127, "\x93"},
        {"track above a byte", with([](Id3v1Tag& t) { t.track = "300"; }), 126, std::string(1, '\0')},
        {"track 255", with([](Id3v1Tag& t) { t.track = "255"; }), 126, "\xFF"},
        {"15 Chinese characters fill the title",
         with([](Id3v1Tag& t) { t.title = "一二三四五六七八九十一二三四五"; }), 32, "\xE5"},
        {"Latin-1 where GBK has no form", with([](Id3v1Tag& t) { t.title = "Ø"; }), 3, std::string("\xD8\0", 2)},
        {"30-byte comment without a track", with([](Id3v1Tag& t) { t.comment = std::string(30, 'c'); }), 97,
         std::string(30, 'c')},
        {"28-byte comment beside a track", with([](Id3v1Tag& t) { t.comment = std::string(28, 'c'), t.track = "9"; }),
         97, std::string(28, 'c') + '\0' + '\x09'},
    };
    for (const Case& c : cases) {
        const auto block = BuildId3v1Block(c.tag);
        ASSERT_TRUE(block.has_value()) << c.what << ": " << block.error().message;
        ASSERT_EQ(block->size(), 128u) << c.what;
        EXPECT_EQ(block->substr(c.offset, c.bytes.size()), c.bytes) << c.what;
    }
}

TEST(Id3v1Tag, ValueThatDoesNotFitFailsAndLeavesTheFile) {
    TempDir dir;
    Id3v1Tag stored;
    stored.title = "Old";
    const std::string file = MpegAudio(400) + BuildId3v1Block(stored).value_or("");
    struct Case {
        const char* what;
        std::string Id3v1Tag::*field;
        std::string value;
        std::string track;
        const char* message;
    };
    const Case cases[] = {
        {"31 letters", &Id3v1Tag::title, std::string(31, 'x'), "", "歌名超出 Id3v1 的 30 字节"},
        {"16 Chinese characters", &Id3v1Tag::album, "一二三四五六七八九十一二三四五六", "", "专辑超出 Id3v1 的 30 字节"},
        {"a five-digit year", &Id3v1Tag::year, "20110", "", "年代超出 Id3v1 的 4 字节"},
        {"a year in Chinese numerals", &Id3v1Tag::year, "一千九百八十九", "", "年代超出 Id3v1 的 4 字节"},
        {"29-byte comment beside a track", &Id3v1Tag::comment, std::string(29, 'c'), "3", "注释超出 Id3v1 的 28 字节"},
        {"31-byte comment", &Id3v1Tag::comment, std::string(31, 'c'), "", "注释超出 Id3v1 的 30 字节"},
        {"no single-byte form", &Id3v1Tag::artist, "a😀b", "", "歌手含有 Id3v1 无法保存的字符"},
    };
    for (const Case& c : cases) {
        Id3v1Tag tag = stored;
        tag.*c.field = c.value;
        tag.track = c.track;
        const auto block = BuildId3v1Block(tag);
        ASSERT_FALSE(block.has_value()) << c.what;
        EXPECT_EQ(block.error().message, c.message) << c.what;
        dir.Write("a.mp3", file);
        EXPECT_FALSE(WriteId3v1Tag(dir / "a.mp3", tag)) << c.what;
        EXPECT_TRUE(dir.Read("a.mp3") == file) << c.what;
    }
}

TEST(Id3v1Tag, CommentAndTrackLayouts) {
    // Only a zero byte followed by a byte that is not zero marks a track.
    struct Case {
        const char* what;
        std::string tail;  // bytes 97 to 126
        std::string comment;
        std::string track;
    };
    const std::string thirty = "Thirty bytes of comment text!!";
    const Case cases[] = {
        {"version 1.1", std::string(28, 'c') + '\0' + '\x05', std::string(28, 'c'), "5"},
        {"a short comment and no track", "hi" + std::string(28, '\0'), "hi", "0"},
        {"a 29-byte comment", std::string(29, 'c') + '\0', std::string(29, 'c'), ""},
        {"a 30-byte comment ending in !", thirty, thirty, ""},
    };
    TempDir dir;
    for (const Case& c : cases) {
        ASSERT_EQ(c.tail.size(), 30u) << c.what;
        std::string block = Id3v1Block("t", 0, 17);
        block.replace(97, 30, c.tail);
        Id3v1Tag tag;
        ASSERT_TRUE(ParseId3v1Block(block, tag)) << c.what;
        EXPECT_EQ(tag.comment, c.comment) << c.what;
        EXPECT_EQ(tag.track, c.track) << c.what;
        // Built again, the block is the one read.
        EXPECT_EQ(BuildId3v1Block(tag).value_or(""), block) << c.what;
    }
}

TEST(Id3v1Tag, WriteKeepsTheBytesOfFieldsItLeaves) {
    // A Latin-1 title, a comment with bytes after its end, a genre byte 0 and one
    // beyond the table: a write of the artist alone changes the artist's bytes only.
    TempDir dir;
    const std::string audio = MpegAudio(300);
    for (const unsigned char genre : {0, 200}) {
        std::string block = Id3v1Block("Caf\xE9 au lait", 0, genre);
        block.replace(97, 30, std::string("note\0", 5) + std::string(23, 'x') + "Z\x03");
        dir.Write("a.mp3", audio + block);
        Id3v1Tag tag;
        ASSERT_EQ(ReadId3v1Tag(dir / "a.mp3", tag), TagReadResult::Found);
        EXPECT_EQ(tag.title, "Café au lait");
        EXPECT_EQ(tag.comment, "note");
        EXPECT_EQ(tag.zeroMarker, "Z");
        EXPECT_EQ(tag.track, "");
        tag.artist = "邓丽君";
        ASSERT_TRUE(WriteId3v1Tag(dir / "a.mp3", tag));
        std::string expected = block;
        expected.replace(33, 6, "\xB5\xCB\xC0\xF6\xBE\xFD");
        EXPECT_TRUE(dir.Read("a.mp3") == audio + expected) << int(genre);
        // A genre the write sets is written.
        tag.genre = "17";
        ASSERT_TRUE(WriteId3v1Tag(dir / "a.mp3", tag));
        EXPECT_EQ(dir.Read("a.mp3").back(), '\x11');
    }
}

TEST(Id3v1Tag, ReadsGenreBytes) {
    struct Case {
        unsigned char genre;
        const char* read;
        const char* shown;
    } cases[] = {{0, "0", "流派:0.NO"}, {147, "147", "流派:147.Synthpop"}, {148, "", ""}, {255, "", ""}};
    for (const Case& c : cases) {
        std::string block = Id3v1Block("", 0, c.genre);
        Id3v1Tag tag;
        ASSERT_TRUE(ParseId3v1Block(block, tag));
        EXPECT_EQ(tag.genre, c.read);
        EXPECT_EQ(tag.track, "0");
        tag.track.clear();
        EXPECT_EQ(FormatId3v1Text(tag), c.shown) << int(c.genre);
    }
    Id3v1Tag tag;
    EXPECT_FALSE(ParseId3v1Block("TAX" + Id3v1Block("t", 3, 1).substr(3), tag));
}

TEST(Id3v1Tag, WriteAppendsOnceThenOverwrites) {
    TempDir dir;
    const std::string audio = MpegAudio(5000);
    dir.Write("a.mp3", audio);
    Id3v1Tag tag;
    tag.title = "Song";
    ASSERT_TRUE(WriteId3v1Tag(dir / "a.mp3", tag));
    EXPECT_EQ(dir.Read("a.mp3").size(), 5128u);
    tag.title = "Other";
    ASSERT_TRUE(WriteId3v1Tag(dir / "a.mp3", tag));
    const std::string file = dir.Read("a.mp3");
    ASSERT_EQ(file.size(), 5128u);
    EXPECT_EQ(file.substr(0, 5000), audio);
    Id3v1Tag back;
    ASSERT_EQ(ReadId3v1Tag(dir / "a.mp3", back), TagReadResult::Found);
    EXPECT_EQ(back.title, "Other");

    ASSERT_TRUE(RemoveId3v1Tag(dir / "a.mp3"));
    EXPECT_EQ(dir.Read("a.mp3"), audio);
}

TEST(Id3v1Tag, RefusedWritesLeaveTheFileAsItWas) {
    TempDir dir;
    dir.Write("a.mp3", MpegAudio(300));
    Id3v1Tag empty;
    empty.track = "3";
    empty.genre = "17";  // numbers alone cannot be written: every text field is empty
    EXPECT_FALSE(WriteId3v1Tag(dir / "a.mp3", empty));
    EXPECT_EQ(dir.Read("a.mp3"), MpegAudio(300));

    Id3v1Tag tag;
    tag.title = "x";
    EXPECT_FALSE(WriteId3v1Tag(dir / "missing.mp3", tag));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.mp3"));
    Id3v1Tag read;
    EXPECT_EQ(ReadId3v1Tag(dir / "missing.mp3", read), TagReadResult::Unreadable);
    dir.Write("short.mp3", "TAG");
    EXPECT_EQ(ReadId3v1Tag(dir / "short.mp3", read), TagReadResult::Absent);
    EXPECT_EQ(read, Id3v1Tag{});
}

TEST(Id3v1Tag, DisplayText) {
    Id3v1Tag tag;
    tag.title = "Song";
    tag.year = "2009";
    tag.genre = "17";
    EXPECT_EQ(FormatId3v1Text(tag), "歌名:Song 年代:2009 流派:17.Rock");
    EXPECT_EQ(FormatId3v1Text(tag, "="), "歌名=Song 年代=2009 流派=17.Rock");
    EXPECT_EQ(FormatId3v1Text(Id3v1Tag{}), "");
}

}  // namespace
}  // namespace varnel
