#include "id3/id3v2_tag.h"

#include <filesystem>
#include <tuple>

#include <gtest/gtest.h>

#include "id3/id3v2_frames.h"
#include "id3/tag_file.h"
#include "id3_fixtures.h"
#include "support/mutation_fuzz.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using namespace varnel::testing;

const std::string kGbkSong("\xB8\xE8", 2);  // 歌

TEST(Id3v2Tag, WorkedExampleByteForByte) {
    Id3v2Tag tag;
    tag.title = "AB";
    const std::string bytes = BuildId3v2TagBytes(BuildId3v2Frames(tag));
    const std::string expected = std::string("ID3\x03\x00\x00\x00\x00\x00\x17", 10) +
                                 std::string("TIT2\x00\x00\x00\x03\x00\x00\x00" "AB", 13) + std::string(126, '\0');
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.size(), 149u);
}

TEST(Id3v2Tag, FramesWrittenInOrderWithTheirContents) {
    Id3v2Tag tag;
    tag.title = "t";
    tag.year = "2009";
    tag.genre = "17";
    tag.comment = "c";
    tag.link = "http://x";
    tag.lyrics = "歌";
    const std::string frames = BuildId3v2Frames(tag);
    const std::string expected = FrameV23("WXXX", std::string("\0\0http://x", 10)) +
                                 FrameV23("COMM", std::string("\0chi\0c", 6)) +
                                 FrameV23("USLT", std::string("\x01" "chi\xFF\xFE\0\0\xFF\xFE\x4C\x6B", 12)) +
                                 FrameV23("TDRC", std::string("\0" "2009", 5)) +
                                 FrameV23("TYER", std::string("\0" "2009", 5)) +
                                 FrameV23("TCON", std::string("\0(17)", 5)) + FrameV23("TIT2", std::string("\0t", 2));
    EXPECT_EQ(frames, expected);
    // Any text that is not ASCII goes as UTF-16 with a byte-order mark.
    Id3v2Tag wide;
    wide.title = "é😀";
    EXPECT_EQ(BuildId3v2Frames(wide), FrameV23("TIT2", std::string("\x01\xFF\xFE\xE9\x00\x3D\xD8\x00\xDE", 9)));
    // A link holds ISO-8859-1 only: other characters go percent-encoded.
    Id3v2Tag link;
    link.link = "http://例.cn/é";
    EXPECT_EQ(BuildId3v2Frames(link), FrameV23("WXXX", std::string("\0\0http://%E4%BE%8B.cn/%C3%A9", 28)));
}

// A tag held in memory, read as a file's first bytes.
Id3v2Tag Parsed(const std::string& bytes) {
    Id3v2Tag tag;
    EXPECT_TRUE(ParseId3v2Tag(bytes, tag));
    return tag;
}

TEST(Id3v2Tag, ReadsTheShapesOtherProgramsWrite) {
    const std::string utf16Title = std::string("\x01\xFF\xFE" "A\0B\0", 7);
    struct Case {
        const char* what;
        std::string tag;
        std::string title;
        std::string artist;
    };
    const std::string v23Body = FrameV23("TIT2", std::string("\0Title", 6)) + FrameV23("TPE1", std::string("\0" "Art", 4));
    const std::string picture = std::string("\0image/jpeg\0\3\0", 14) + std::string("\xFF\xD8\xFF\xE0\xFF\x00", 6);
    const Case cases[] = {
        {"2.2", TagV2(2, 0, FrameV22("TT2", std::string("\0Title", 6)) + FrameV22("TP1", std::string("\0" "Art", 4))),
         "Title", "Art"},
        {"2.3", TagV2(3, 0, v23Body + std::string(50, '\0')), "Title", "Art"},
        {"2.3 unsynchronised",
         TagV2(3, 0x80, Unsynchronise(FrameV23("APIC", picture) + FrameV23("TIT2", std::string("\0\xFF\xFF", 3)))),
         "\xC3\xBF\xC3\xBF", ""},
        {"2.3 extended header",
         TagV2(3, 0x40, BigEndian32(6) + std::string(6, '\0') + v23Body), "Title", "Art"},
        {"2.4 UTF-8 with a footer",
         TagV2(4, 0x10, FrameV24("TIT2", "\x03歌名") + FrameV24("TPE1", std::string("\x03" "a\0b", 4))) +
             "3DI\x04" + std::string(6, '\0'),
         "歌名", "a"},
        {"2.4 extended header, frame unsynchronised",
         TagV2(4, 0x40, Syncsafe32(6) + std::string("\x01\0", 2) +
                            FrameV24("TIT2", Unsynchronise(std::string("\x00\xFF", 2)) + "", 0x0002)),
         "\xC3\xBF", ""},
        {"UTF-16 big-endian", TagV2(3, 0, FrameV23("TIT2", std::string("\x02\0A\0B", 5))), "AB", ""},
        {"UTF-16 with a BOM", TagV2(3, 0, FrameV23("TIT2", utf16Title)), "AB", ""},
        {"GBK", TagV2(3, 0, FrameV23("TIT2", std::string(1, '\0') + kGbkSong)), "歌", ""},
        {"Latin-1 that is no GBK", TagV2(3, 0, FrameV23("TIT2", std::string("\0Caf\xE9", 5))), "Café", ""},
        {"compressed frame skipped",
         TagV2(3, 0, FrameV23("TIT2", std::string("\0\0\0\5xx", 6), 0x0080) + FrameV23("TPE1", std::string("\0" "Art", 4))),
         "", "Art"},
        {"frame larger than the tag", TagV2(3, 0, FrameV23("TPE1", std::string("\0" "Art", 4)) + BigEndian32(0) +
                                                      "TIT2" + BigEndian32(1000) + std::string(2, '\0')),
         "", "Art"},
        {"letters inside a text are no frame", TagV2(3, 0, FrameV23("COMM", std::string("\0engTIT2\0\0\0\3\0\0\0x", 16)) +
                                                           FrameV23("TIT2", std::string("\0real", 5))),
         "real", ""},
    };
    for (const Case& c : cases) {
        const Id3v2Tag tag = Parsed(c.tag + MpegAudio(20));
        EXPECT_EQ(tag.marker, "ID3") << c.what;
        EXPECT_EQ(tag.title, c.title) << c.what;
        EXPECT_EQ(tag.artist, c.artist) << c.what;
    }
}

TEST(Id3v2Tag, FieldRules) {
    // Year from TYER before TDRC; genre numbers out of TCON; comments by description.
    struct Case {
        const char* what;
        std::string frames;
        std::string Id3v2Tag::*field;
        std::string value;
    };
    const Case cases[] = {
        {"TYER first", FrameV23("TDRC", std::string("\0" "2001", 5)) + FrameV23("TYER", std::string("\0" "1999", 5)),
         &Id3v2Tag::year, "1999"},
        {"TDRC alone", FrameV23("TDRC", std::string("\0" "2001-02", 8)), &Id3v2Tag::year, "2001-02"},
        {"(17)", FrameV23("TCON", std::string("\0(17)", 5)), &Id3v2Tag::genre, "17"},
        {"(17)Rock", FrameV23("TCON", std::string("\0(17)Rock", 9)), &Id3v2Tag::genre, "17"},
        {"17", FrameV23("TCON", std::string("\0" "17", 3)), &Id3v2Tag::genre, "17"},
        {"a name of the table", FrameV23("TCON", std::string("\0Rock", 5)), &Id3v2Tag::genre, "17"},
        {"a name in other case and blanks", FrameV23("TCON", std::string("\0classic rock", 13)), &Id3v2Tag::genre, "1"},
        {"a name the table lacks", FrameV23("TCON", std::string("\0Indie Pop", 10)), &Id3v2Tag::genre, "Indie Pop"},
        {"a remix", FrameV23("TCON", std::string("\0(RX)", 5)), &Id3v2Tag::genre, "(RX)"},
        {"UTF-16 genre", FrameV23("TCON", std::string("\x01\xFF\xFE(\0" "2\0)\0", 9)), &Id3v2Tag::genre, "2"},
        {"comment in eng", FrameV23("COMM", std::string("\0eng\0text", 9)), &Id3v2Tag::comment, "text"},
        {"comment after its description", FrameV23("COMM", std::string("\0engdesc\0text", 13)), &Id3v2Tag::comment,
         "text"},
        {"the undescribed comment wins",
         FrameV23("COMM", std::string("\0engiTunNORM\0 0001", 18)) + FrameV23("COMM", std::string("\0eng\0mine", 9)),
         &Id3v2Tag::comment, "mine"},
        {"UTF-16 comment",
         FrameV23("COMM", std::string("\x01" "eng\xFF\xFE\0\0\xFF\xFEh\0i\0", 14)), &Id3v2Tag::comment, "hi"},
        {"lyrics", FrameV23("USLT", std::string("\0chi\0la la", 10)), &Id3v2Tag::lyrics, "la la"},
        {"link", FrameV23("WXXX", std::string("\0\0http://a", 10)), &Id3v2Tag::link, "http://a"},
        {"encoded by", FrameV23("TENC", std::string("\0enc", 4)), &Id3v2Tag::encodedBy, "enc"},
    };
    for (const Case& c : cases) EXPECT_EQ(Parsed(TagV2(3, 0, c.frames)).*c.field, c.value) << c.what;
}

TEST(Id3v2Tag, LongGenreTextIsReadInOnePass) {
    // 200 KB of genre text: read in one pass, a number near its end is not
    // searched for (a byte-by-byte search took a minute), and the text is kept.
    const std::string text = std::string(200 * 1024, 'x') + "(17)";
    const Id3v2Tag named = Parsed(TagV2(3, 0, FrameV23("TCON", '\0' + text)));
    EXPECT_EQ(named.genre, text);
    const Id3v2Tag number = Parsed(TagV2(3, 0, FrameV23("TCON", std::string("\0(", 2) + std::string(200 * 1024, '9') + ")")));
    EXPECT_EQ(number.genre, "2147483647");
}

TEST(Id3v2Tag, UntrustedHeadersReadAsUnreadableAndAreNeverWritten) {
    TempDir dir;
    const std::string audio = MpegAudio(400);
    const std::string good = TagV2(3, 0, FrameV23("TIT2", std::string("\0x", 2)));
    struct Case {
        const char* what;
        std::string bytes;
        TagReadResult read;
    };
    std::string badSize = good;
    badSize[8] = '\x80';
    std::string badVersion = good;
    badVersion[3] = 5;
    const Case cases[] = {
        {"size byte from 0x80", badSize + audio, TagReadResult::Unreadable},
        {"version 5", badVersion + audio, TagReadResult::Unreadable},
        {"size beyond the file", TagV2(3, 0, "", 100000) + audio, TagReadResult::Unreadable},
        {"truncated tag", good.substr(0, good.size() - 1), TagReadResult::Unreadable},
        {"no tag", audio, TagReadResult::Absent},
        {"empty file", "", TagReadResult::Absent},
        {"only an ID3v1 tag", Id3v1Block("x", 1, 1), TagReadResult::Absent},
    };
    Id3v2Tag title;
    title.title = "new";
    for (const Case& c : cases) {
        dir.Write("f.mp3", c.bytes);
        Id3v2Tag tag;
        EXPECT_EQ(ReadId3v2Tag(dir / "f.mp3", tag), c.read) << c.what;
        EXPECT_EQ(tag, Id3v2Tag{}) << c.what;
        const bool written = WriteId3v2Tag(dir / "f.mp3", title);
        EXPECT_EQ(written, c.read == TagReadResult::Absent) << c.what;
        if (!written) EXPECT_EQ(dir.Read("f.mp3"), c.bytes) << c.what;
    }
    EXPECT_FALSE(WriteId3v2Tag(dir / "missing.mp3", title));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.mp3"));
}

TEST(Id3v2Tag, WriteKeepsOtherFramesAndTheAudio) {
    TempDir dir;
    const std::string audio = MpegAudio(3000);
    std::string picture = std::string("\0image/jpeg\0\3\0", 14);
    for (int i = 0; i < 200 * 1024; ++i) picture += static_cast<char>(i * 31);  // larger than any first read
    const std::string keptPicture = FrameV23("APIC", picture);
    const std::string keptText = FrameV23("TXXX", std::string("\0key\0value", 10));
    const std::string keptComment = FrameV23("COMM", std::string("\0engiTunNORM\0 01", 16));
    const std::string old = TagV2(3, 0,
                                  FrameV23("TIT2", std::string("\0old", 4)) + keptPicture + keptText + keptComment +
                                      FrameV23("COMM", std::string("\0eng\0old comment", 16)) + std::string(500, '\0'));
    dir.Write("a.mp3", old + audio);

    Id3v2Tag tag;
    ASSERT_EQ(ReadId3v2Tag(dir / "a.mp3", tag), TagReadResult::Found);
    EXPECT_EQ(tag.title, "old");
    EXPECT_EQ(tag.comment, "old comment");
    tag.title = "new";
    tag.comment.clear();
    tag.artist = "歌";
    ASSERT_TRUE(WriteId3v2Tag(dir / "a.mp3", tag));

    // The new frames fit the old tag: written in its place, the rest padding.
    const std::string file = dir.Read("a.mp3");
    const std::string frames = FrameV23("TPE1", std::string("\x01\xFF\xFE\x4C\x6B", 5)) + FrameV23("TIT2", std::string("\0new", 4)) +
                               keptPicture + keptText + keptComment;
    ASSERT_LT(frames.size() + 10, old.size());
    EXPECT_TRUE(file == TagV2(3, 0, frames + std::string(old.size() - 10 - frames.size(), '\0')) + audio);
    Id3v2Tag back;
    ASSERT_EQ(ReadId3v2Tag(dir / "a.mp3", back), TagReadResult::Found);
    EXPECT_EQ(back.title, "new");
    EXPECT_EQ(back.artist, "歌");
    EXPECT_EQ(back.comment, " 01");  // the described comment is all that is left

    // Writing again over the file's own tag: the zero bytes it left are not piled up.
    ASSERT_TRUE(WriteId3v2Tag(dir / "a.mp3", back));
    EXPECT_TRUE(dir.Read("a.mp3") == file);
    ASSERT_TRUE(RemoveId3v2Tag(dir / "a.mp3"));
    EXPECT_TRUE(dir.Read("a.mp3") == audio);
}

// UTF-16 with a byte-order mark, as frames hold it.
std::string Utf16(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
}

TEST(Id3v2Tag, WriteReplacesOnlyTheFramesOfTheFieldsItChanges) {
    TempDir dir;
    const std::string audio = MpegAudio(500);
    const std::string none = Utf16(u"") + std::string(2, '\0');
    const std::string title = FrameV23("TIT2", "\x01" + Utf16(u"月亮代表我的心"));
    const std::string artist = FrameV23("TPE1", "\x01" + Utf16(u"邓丽君") + std::string(2, '\0') + Utf16(u"Teresa"));
    const std::string genre = FrameV23("TCON", std::string("\0Pop", 4));
    const std::string german = FrameV23("COMM", std::string("\x01" "deu", 4) + none + Utf16(u"Schön"));
    const std::string chinese = FrameV23("COMM", std::string("\x01" "chi", 4) + none + Utf16(u"中文"));
    const std::string described = FrameV23("COMM", std::string("\0engiTunNORM\0 01", 16));
    const std::string english = FrameV23("USLT", std::string("\0eng\0words", 10));
    const std::string lyrics = FrameV23("USLT", std::string("\x01" "chi", 4) + none + Utf16(u"歌词"));
    const std::string others = FrameV23("TXXX", std::string("\0key\0value", 10)) +
                               FrameV23("APIC", std::string("\0image/png\0\3\0\x89PNG", 17)) +
                               FrameV23("PRIV", std::string("owner\0\xFF\x00", 8)) + FrameV23("XYZW", "?");
    const std::string old = title + artist + genre + german + chinese + described + english + lyrics + others;
    dir.Write("a.mp3", TagV2(3, 0, old) + audio);

    Id3v2Tag tag;
    ASSERT_EQ(ReadId3v2Tag(dir / "a.mp3", tag), TagReadResult::Found);
    EXPECT_EQ(tag.artist, "邓丽君");
    EXPECT_EQ(tag.genre, "13");  // by its name
    EXPECT_EQ(tag.comment, "Schön");
    EXPECT_EQ(tag.lyrics, "words");

    struct Step {
        const char* what;
        std::string Id3v2Tag::*field;
        std::string value;
        std::string frames;  // the tag's frames after the write
    };
    const Step steps[] = {
        {"an album added", &Id3v2Tag::album, "测试专辑",
         FrameV23("TALB", "\x01" + Utf16(u"测试专辑")) + old},
        {"the comment shown replaced in its language", &Id3v2Tag::comment, "Neu",
         FrameV23("COMM", std::string("\0deu\0Neu", 8)) + FrameV23("TALB", "\x01" + Utf16(u"测试专辑")) + title +
             artist + genre + chinese + described + english + lyrics + others},
        {"a genre set", &Id3v2Tag::genre, "17",
         FrameV23("TCON", std::string("\0(17)", 5)) + FrameV23("COMM", std::string("\0deu\0Neu", 8)) +
             FrameV23("TALB", "\x01" + Utf16(u"测试专辑")) + title + artist + chinese + described + english + lyrics +
             others},
    };
    for (const Step& step : steps) {
        tag.*step.field = step.value;
        ASSERT_TRUE(WriteId3v2Tag(dir / "a.mp3", tag)) << step.what;
        const std::string file = dir.Read("a.mp3");
        ASSERT_GT(file.size(), audio.size());
        const std::string body = file.substr(10, file.size() - audio.size() - 10);
        EXPECT_TRUE(body.substr(0, body.find_last_not_of('\0') + 1) == step.frames) << step.what;
        EXPECT_TRUE(file.substr(file.size() - audio.size()) == audio) << step.what;
        Id3v2Tag back;
        ASSERT_EQ(ReadId3v2Tag(dir / "a.mp3", back), TagReadResult::Found);
        EXPECT_EQ(back, tag) << step.what;
    }
}

TEST(Id3v2Tag, ConvertsFramesOfOtherVersionsToTheWrittenOne) {
    TempDir dir;
    const std::string audio = MpegAudio(100);
    const std::string v22 = TagV2(2, 0, FrameV22("TT2", std::string("\0a", 2)) +
                                            FrameV22("PIC", std::string("\0PNG\3\0png", 9)) + FrameV22("XYZ", "q"));
    const std::string v24 = TagV2(4, 0, FrameV24("TIT2", std::string("\x03" "a", 2)) +
                                            FrameV24("TXXX", std::string("\x03k\0v", 4), 0x4000) +
                                            FrameV24("PRIV", std::string("\xFF\x00\x01", 3), 0x0002) +
                                            std::string(20, '\0'));
    // The 2.2 tag is too short for the new frames (the file is rewritten); the 2.4
    // one holds them (written in its place). Its UTF-8 user text goes as UTF-16.
    const std::tuple<std::string, std::string, bool> cases[] = {
        {v22, FrameV23("APIC", std::string("\0image/png\0\3\0png", 16)), false},
        {v24,
         FrameV23("TXXX", std::string("\x01\xFF\xFEk\0\0\0\xFF\xFEv\0", 11), 0x8000) +
             FrameV23("PRIV", std::string("\xFF\x01", 2)),
         true},
    };
    for (const auto& [old, kept, inPlace] : cases) {
        dir.Write("a.mp3", old + audio);
        Id3v2Tag tag;
        tag.title = "b";
        ASSERT_TRUE(WriteId3v2Tag(dir / "a.mp3", tag));
        const std::string frames = FrameV23("TIT2", std::string("\0b", 2)) + kept;
        const std::string written =
            inPlace ? TagV2(3, 0, frames + std::string(old.size() - 10 - frames.size(), '\0')) : BuildId3v2TagBytes(frames);
        EXPECT_EQ(dir.Read("a.mp3"), written + audio);
    }
}

TEST(Id3v2Tag, EmptyRecordIsRefusedUnlessStored) {
    TempDir dir;
    dir.Write("a.mp3", MpegAudio(50));
    EXPECT_FALSE(WriteId3v2Tag(dir / "a.mp3", Id3v2Tag{}));
    EXPECT_EQ(dir.Read("a.mp3"), MpegAudio(50));
    EXPECT_TRUE(StoreId3v2Tag(dir / "a.mp3", Id3v2Tag{}));
    EXPECT_EQ(dir.Read("a.mp3"), BuildId3v2TagBytes("") + MpegAudio(50));
}

TEST(Id3v2Tag, DisplayText) {
    Id3v2Tag tag;
    tag.title = "S";
    tag.genre = "17";
    tag.lyrics = "la";
    tag.encodedBy = "e";
    EXPECT_EQ(FormatId3v2Text(tag), "歌名:S 流派:17.Rock 歌词:la 编码:e");
    tag.genre = "Indie Pop";
    EXPECT_EQ(FormatId3v2Text(tag), "歌名:S 流派:Indie Pop 歌词:la 编码:e");
}

TEST(Id3v2TagFuzz, ReaderStaysInsideItsBytes) {
    FuzzOptions options;
    options.seeds = {
        TagV2(2, 0, FrameV22("TT2", std::string("\0a", 2)) + FrameV22("PIC", std::string("\0PNG\3\0png", 9))),
        TagV2(3, 0x80, Unsynchronise(FrameV23("TIT2", std::string("\0\xFF\xFF", 3)) +
                                     FrameV23("COMM", std::string("\x01" "eng\xFF\xFE\0\0\xFF\xFEh\0", 12)))),
        TagV2(3, 0x40, BigEndian32(6) + std::string(6, '\0') + FrameV23("TCON", std::string("\0(17)Rock", 9))),
        TagV2(4, 0x50, Syncsafe32(6) + std::string("\x01\0", 2) +
                           FrameV24("TIT2", std::string("\x03" "a", 2), 0x0043) +
                           FrameV24("WXXX", std::string("\x02\0d\0\0x", 7))) + "3DI\x04" + std::string(6, '\0'),
    };
    options.dictionary = {"ID3", "TIT2", "COMM", "USLT", "TCON", "WXXX", "TYER", std::string("\xFF\xFE", 2),
                          std::string("\xFF\x00", 2), std::string(4, '\x7F')};
    options.maxLength = 2048;
    MutationFuzzer fuzzer(options);
    fuzzer.Run([](std::string_view bytes) {
        Id3v2Tag tag;
        if (ParseId3v2Tag(bytes, tag)) EXPECT_EQ(tag.marker, "ID3");
    });
}

}  // namespace
}  // namespace varnel
