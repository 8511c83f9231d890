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
    const std::string block = BuildId3v1Block(tag);
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

TEST(Id3v1Tag, NumbersAndCutsWhenBuilding) {
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
        {"a 16th character is cut whole", with([](Id3v1Tag& t) { t.title = "a一二三四五六七八九十一二三四五"; }),
         32, std::string(1, '\0')},
        {"31 letters keep 30", with([](Id3v1Tag& t) { t.title = std::string(31, 'x'); }), 32, "x"},
        {"no GBK form", with([](Id3v1Tag& t) { t.title = "a😀b"; }), 3, "a?b"},
    };
    for (const Case& c : cases) {
        const std::string block = BuildId3v1Block(c.tag);
        ASSERT_EQ(block.size(), 128u) << c.what;
        EXPECT_EQ(block.substr(c.offset, c.bytes.size()), c.bytes) << c.what;
    }
}

TEST(Id3v1Tag, ReadsGenreAndMarkerBytes) {
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
    std::string block = Id3v1Block("t", 3, 1);
    block[125] = 'Z';
    Id3v1Tag tag;
    ASSERT_TRUE(ParseId3v1Block(block, tag));
    EXPECT_EQ(tag.zeroMarker, "Z");
    EXPECT_EQ(BuildId3v1Block(tag), block);  // the marker byte goes back as it was
    EXPECT_FALSE(ParseId3v1Block("TAX" + block.substr(3), tag));
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
