// Our tags as other tools read them, and theirs as we read them: mutagen (Python)
// and id3v2. Skipped where the tools are not installed.
#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "id3/id3v1_tag.h"
#include "id3/id3v2_tag.h"
#include "id3_fixtures.h"
#include "mutagen_check.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using namespace varnel::testing;

TEST(TagCrossCheck, MutagenReadsOurTag) {
    if (!HasMutagen()) GTEST_SKIP() << "python3-mutagen is not installed";
    TempDir dir;
    std::string picture;
    for (int i = 0; i < 50000; ++i) picture += static_cast<char>(i * 13);
    const std::string audio = MpegAudio(4000);
    dir.Write("a.mp3", TagV2(3, 0, FrameV23("APIC", std::string("\0image/jpeg\0\3\0", 14) + picture)) + audio);

    Id3v2Tag tag;
    tag.title = "歌名";          // not ASCII: UTF-16
    tag.artist = "Café 😀";
    tag.album = "Album";
    tag.year = "2009";
    tag.comment = "注释";
    tag.lyrics = "la la";
    tag.track = "3";
    tag.genre = "17";
    tag.link = "http://example.org/";
    tag.copyright = "c";
    tag.encodedBy = "enc";
    tag.originalArtist = "orig";
    tag.composer = "comp";
    ASSERT_TRUE(WriteId3v2Tag(dir / "a.mp3", tag));
    Id3v1Tag v1;
    v1.title = "歌名";
    v1.genre = "17";
    ASSERT_TRUE(WriteId3v1Tag(dir / "a.mp3", v1));

    const std::string script = R"(
import sys
from mutagen.id3 import ID3
t = ID3(sys.argv[1], v2_version=3, translate=False)
print("version", t.version)
print("TIT2", str(t["TIT2"]), t["TIT2"].encoding)
print("TPE1", str(t["TPE1"]), t["TPE1"].encoding)
for k in ["TALB", "TYER", "TRCK", "TCON", "TCOP", "TENC", "TOPE", "TCOM"]: print(k, str(t[k]))
c = t.getall("COMM")[0]; print("COMM", c.lang, repr(c.desc), c.text[0])
print("USLT", t.getall("USLT")[0].text)
print("WXXX", t.getall("WXXX")[0].url)
p = t.getall("APIC")[0]; print("APIC", p.mime, len(p.data))
data = open(sys.argv[1], "rb").read()
print("audio", data[t.size:].lstrip(b"\0")[:4000] == bytes(data[t.size:].lstrip(b"\0")[:4000]))
)";
    const std::string out = Python(dir, script, dir / "a.mp3");
    const char* expected[] = {
        "version (2, 3, 0)", "TIT2 歌名 Encoding.UTF16", "TPE1 Café 😀 Encoding.UTF16", "TALB Album", "TYER 2009", "TRCK 3", "TCON (17)",
        "TCOP c", "TENC enc", "TOPE orig", "TCOM comp", "COMM chi '' 注释", "USLT la la",
        "WXXX http://example.org/", "APIC image/jpeg 50000",
    };
    for (const char* line : expected) EXPECT_NE(out.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << out;

    // The audio between the tags is what it was.
    const std::string file = dir.Read("a.mp3");
    const std::size_t at = file.find(audio);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(file.size() - at, audio.size() + 128);
    EXPECT_EQ(file.substr(file.size() - 128, 3), "TAG");
    // And the picture byte for byte.
    EXPECT_NE(file.find(picture), std::string::npos);
}

TEST(TagCrossCheck, WeReadWhatMutagenWrites) {
    if (!HasMutagen()) GTEST_SKIP() << "python3-mutagen is not installed";
    TempDir dir;
    struct Case {
        const char* what;
        const char* save;  // how mutagen saves the tag
        int encoding;
    } cases[] = {
        {"2.4 UTF-8", "t.save(p, v2_version=4)", 3},
        {"2.4 UTF-16", "t.save(p, v2_version=4)", 1},
        {"2.3 UTF-16 big-endian", "t.save(p, v2_version=3)", 2},
        {"2.3 Latin-1", "t.save(p, v2_version=3)", 0},
        {"2.3 with an ID3v1 tag and padding", "t.save(p, v2_version=3, v1=2, padding=lambda info: 5000)", 1},
    };
    for (const Case& c : cases) {
        dir.Write("m.mp3", MpegAudio(3000));
        const bool latin = c.encoding == 0;
        const std::string title = latin ? "Caf\\xe9" : "\\u6b4c\\u540d";
        const std::string script = std::string(R"(
import sys
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TYER, TDRC, COMM, USLT, TCON, TRCK, WXXX, APIC
p = sys.argv[1]
t = ID3()
e = )") + std::to_string(c.encoding) + R"(
t.add(TIT2(encoding=e, text=")" + title + R"("))
t.add(TPE1(encoding=e, text=["Artist", "Second"]))
t.add(TALB(encoding=e, text="Album"))
t.add(TDRC(encoding=e, text="2011"))
t.add(COMM(encoding=e, lang="eng", desc="", text="note"))
t.add(USLT(encoding=e, lang="eng", desc="", text="words"))
t.add(TCON(encoding=e, text="(17)Rock"))
t.add(TRCK(encoding=e, text="4/12"))
t.add(WXXX(encoding=e, desc="", url="http://x/"))
t.add(APIC(encoding=e, mime="image/png", type=3, desc="", data=b"\xff\x00\xff\xe0" * 20000))
)" + c.save + "\n";
        const std::string out = Python(dir, script, dir / "m.mp3");
        EXPECT_EQ(out, "") << c.what;
        Id3v2Tag tag;
        ASSERT_EQ(ReadId3v2Tag(dir / "m.mp3", tag), TagReadResult::Found) << c.what;
        EXPECT_EQ(tag.title, latin ? "Café" : "歌名") << c.what;
        // Version 2.3 has no list of values: mutagen joins them with "/".
        const bool v24 = std::string(c.save).find("v2_version=4") != std::string::npos;
        EXPECT_EQ(tag.artist, v24 ? "Artist" : "Artist/Second") << c.what;
        EXPECT_EQ(tag.album, "Album") << c.what;
        EXPECT_EQ(tag.year, "2011") << c.what;
        EXPECT_EQ(tag.comment, "note") << c.what;
        EXPECT_EQ(tag.lyrics, "words") << c.what;
        EXPECT_EQ(tag.genre, "17") << c.what;
        EXPECT_EQ(tag.track, "4/12") << c.what;
        EXPECT_EQ(tag.link, "http://x/") << c.what;

        // Writing it back keeps the picture and the audio.
        tag.title = "new";
        ASSERT_TRUE(WriteId3v2Tag(dir / "m.mp3", tag)) << c.what;
        const std::string check = Python(dir, R"(
import sys
from mutagen.id3 import ID3
t = ID3(sys.argv[1])
print(str(t["TIT2"]), len(t.getall("APIC")[0].data), t.getall("APIC")[0].data[:4] == b"\xff\x00\xff\xe0")
)", dir / "m.mp3");
        EXPECT_EQ(check, "new 80000 True\n") << c.what;
        EXPECT_TRUE(dir.Read("m.mp3").find(MpegAudio(3000)) != std::string::npos) << c.what;
    }
}

TEST(TagCrossCheck, Id3v2ToolListsOurFrames) {
    if (RunCommand("command -v id3v2").empty()) GTEST_SKIP() << "id3v2 is not installed";
    TempDir dir;
    dir.Write("a.mp3", MpegAudio(2000));
    Id3v2Tag tag;
    tag.title = "Title";
    tag.artist = "Artist";
    tag.year = "2009";
    tag.genre = "17";
    tag.comment = "note";
    ASSERT_TRUE(WriteId3v2Tag(dir / "a.mp3", tag));
    const std::string out = RunCommand("id3v2 -l '" + (dir / "a.mp3") + "' 2>&1");
    for (const char* line : {"TIT2 (Title/songname/content description): Title", "TPE1 (Lead performer(s)/Soloist(s)): Artist",
                             "TYER (Year): 2009", "TCON (Content type): Rock (17)", "COMM (Comments): ()[chi]: note"}) {
        EXPECT_NE(out.find(line), std::string::npos) << line << "\n" << out;
    }
}

}  // namespace
}  // namespace varnel
