// A tag write of one field on tags mutagen wrote (and on hand-made version 2.2
// and ID3v1 tags), as mutagen and id3v2 read the files afterwards: the field
// changes and nothing else does, and undo gives back every byte. Skipped where
// the tools are not installed.
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "id3/id3v2_tag.h"
#include "id3/tag_run.h"
#include "id3/tag_write.h"
#include "id3_fixtures.h"
#include "mutagen_check.h"
#include "runs/task_table.h"
#include "support/dispatched_run.h"
#include "support/temp_dir.h"
#include "support/tree_state.h"

namespace varnel {
namespace {

using namespace varnel::testing;
namespace fs = std::filesystem;

// Makes the fixtures in the folder given: tags of versions 2.3 and 2.4 saved by
// mutagen over MPEG-like audio, the 2.4 one given a footer.
constexpr const char* kMakeFixtures = R"(
import os, sys
from mutagen.id3 import ID3, TIT2, TPE1, TCON, TDRC, COMM, USLT, APIC, TXXX, PRIV
d = sys.argv[1]
audio = bytes([0xFF, 0xFB]) + bytes((0x10 + i * 7) % 200 for i in range(3000))
png = b"\x89PNG\r\n\x1a\n" + bytes(range(256)) * 40
def make(name, frames, version, **options):
    path = os.path.join(d, name)
    open(path, "wb").write(audio)
    t = ID3()
    for f in frames: t.add(f)
    t.save(path, v2_version=version, **options)
    return path
make("v23.mp3", [TIT2(encoding=1, text="月亮代表我的心"), TPE1(encoding=1, text="邓丽君"), TCON(encoding=0, text="Pop"),
                 TDRC(encoding=0, text="1983"),
                 COMM(encoding=1, lang="chi", desc="", text="中文注释"), COMM(encoding=0, lang="deu", desc="", text="Deutsch"),
                 USLT(encoding=1, lang="chi", desc="", text="中文歌词"), USLT(encoding=0, lang="eng", desc="", text="English words"),
                 APIC(encoding=0, mime="image/png", type=3, desc="", data=png), TXXX(encoding=1, desc="mood", text="calm"),
                 PRIV(owner="owner", data=b"\xff\x00\x01")], 3)
path = make("v24.mp3", [TIT2(encoding=3, text="Grüße aus Köln"), TPE1(encoding=3, text=["Artist One", "Артист"]),
                        TDRC(encoding=3, text="2011-05-03"), TXXX(encoding=3, desc="key", text="wert ✓"),
                        COMM(encoding=3, lang="eng", desc="", text="note ✓"), TCON(encoding=3, text="Rock"),
                        APIC(encoding=3, mime="image/png", type=3, desc="Cover ✓", data=png)],
            4, padding=lambda info: 0)
data = bytearray(open(path, "rb").read())
size = (data[6] << 21) | (data[7] << 14) | (data[8] << 7) | data[9]
data[5] |= 0x10
footer = b"3DI" + bytes(data[3:10])
open(path, "wb").write(bytes(data[:10 + size]) + footer + bytes(data[10 + size:]))
)";

// Prints every frame as mutagen reads it (encoding aside: a write may choose
// another), one line a frame, sorted.
constexpr const char* kFrameSummary = R"(
import sys
from mutagen.id3 import ID3
t = ID3(sys.argv[1])
lines = []
for frame in t.values():
    fields = {k: v for k, v in vars(frame).items() if k != "encoding"}
    lines.append(frame.HashKey + " " + repr(sorted(fields.items())))
print("\n".join(sorted(lines)))
)";

// The frames of a version 2.3 tag as they lie: identifier, flags and content in hex.
constexpr const char* kRawFramesV23 = R"(
import sys
data = open(sys.argv[1], "rb").read()
assert data[:4] == b"ID3\x03", data[:4]
size = (data[6] << 21) | (data[7] << 14) | (data[8] << 7) | data[9]
at, end = 10, 10 + size
while at + 10 <= end and data[at] != 0:
    n = int.from_bytes(data[at + 4:at + 8], "big")
    print(data[at:at + 4].decode("latin-1"), data[at + 8:at + 10].hex(), data[at + 10:at + 10 + n].hex())
    at += 10 + n
)";

// A hand-made version 2.2 tag, which mutagen cannot write.
std::string V22Tag() {
    return TagV2(2, 0,
                 FrameV22("TT2", std::string("\0Old Song", 9)) + FrameV22("TP1", std::string("\x01\xFF\xFE" "B\0a\0n\0d\0", 11)) +
                     FrameV22("TAL", std::string("\0Old Album", 10)) + FrameV22("COM", std::string("\0eng\0two-two", 12)) +
                     FrameV22("TCO", std::string("\0(17)", 5)) + FrameV22("TYE", std::string("\0" "1999", 5)) +
                     std::string(64, '\0'));
}

// ID3v1.0: a comment of 30 bytes, whose last byte is no track; genre byte 0.
std::string Id3v10Block() {
    std::string block = Id3v1Block("Old Title", 0, 0);
    block.replace(97, 30, "Thirty bytes of comment text!!");
    return block;
}

struct TagPeers : ::testing::Test {
    TagPeers() {
        fs::create_directories(work);
        run.tasks.RegisterRunner<TagEditParams>(kTaskId3Write, [](RunContext& run, RunRows& rows, const TagEditParams& p) {
            RunTagWriteTask(run, rows, p);
        });
    }
    void List(const std::string& name) { run.store.AppendRow(work + "/", name, {}, 0); }
    // Runs the write task; undo of it is then checked to give back the folder.
    void WriteThenUndo(const TagEditParams& params, const std::function<void()>& check) {
        CopyTreeAside(work, dir / "before");
        run.Run(kTaskId3Write, TaskParameters::Of(params), true);
        for (const std::string& status : ColumnCells(run.store, ListColumn::Preview)) EXPECT_EQ(status, "√");
        check();
        auto record = TakeUndoRecord(run.history);
        ASSERT_TRUE(record.has_value());
        UndoHooks hooks;
        RegisterTagUndoKind(hooks.families);
        EXPECT_TRUE(ReplayUndoRecord(*record, hooks).failedPaths.empty());
        ExpectSameTree(dir / "before", work);
    }
    std::map<std::string, std::string> Summaries() {
        std::map<std::string, std::string> out;
        for (const auto& entry : fs::directory_iterator(work)) {
            out[entry.path().filename()] = Python(dir, kFrameSummary, entry.path());
        }
        return out;
    }

    TempDir dir;
    const std::string work = dir / "work";
    DispatchedRun run;
};

// Drops the lines of one frame from a summary.
std::string Without(const std::string& summary, const std::string& frame) {
    std::string out;
    std::size_t at = 0;
    while (at < summary.size()) {
        const std::size_t end = std::min(summary.find('\n', at), summary.size());
        const std::string line = summary.substr(at, end - at);
        if (!line.starts_with(frame + " ")) out += line + "\n";
        at = end + 1;
    }
    return out;
}

TEST_F(TagPeers, WriteOfOneFieldChangesThatFieldOnly) {
    if (!HasMutagen()) GTEST_SKIP() << "python3-mutagen is not installed";
    ASSERT_EQ(Python(dir, kMakeFixtures, work), "");
    std::ofstream(work + "/v22.mp3", std::ios::binary) << V22Tag() + MpegAudio(2000);
    for (const char* name : {"v22.mp3", "v23.mp3", "v24.mp3"}) List(name);
    const std::map<std::string, std::string> before = Summaries();
    const std::string rawBefore = Python(dir, kRawFramesV23, work + "/v23.mp3");
    ASSERT_NE(before.at("v24.mp3").find("Артист"), std::string::npos) << before.at("v24.mp3");

    TagEditParams album;
    album.album = "测试专辑";
    album.writeV1 = false;
    album.writeV2 = true;
    WriteThenUndo(album, [&] {
        const std::map<std::string, std::string> after = Summaries();
        for (const auto& [name, summary] : before) {
            SCOPED_TRACE(name);
            // Every frame mutagen reads is as it was, the album aside.
            EXPECT_EQ(Without(after.at(name), "TALB"), Without(summary, "TALB"));
            EXPECT_NE(after.at(name).find("TALB [('text', ['测试专辑'])]"), std::string::npos) << after.at(name);
            // id3v2 reads the new tag too, every text in it.
            const std::string listed = RunCommand("id3v2 -l '" + work + "/" + name + "' 2>&1");
            EXPECT_NE(listed.find("TALB (Album/Movie/Show title): 测试专辑\n"), std::string::npos) << listed;
        }
        // The frames of the version 2.3 tag lie byte for byte as they were.
        EXPECT_EQ(Without(Python(dir, kRawFramesV23, work + "/v23.mp3"), "TALB"), rawBefore);
        const std::string v24 = RunCommand("id3v2 -l '" + work + "/v24.mp3' 2>&1");
        for (const char* line : {"TIT2 (Title/songname/content description): Grüße aus Köln", "TYER (Year): 2011",
                                 "COMM (Comments): ()[eng]: note ✓", "TCON (Content type): Rock (17)"}) {
            EXPECT_NE(v24.find(line), std::string::npos) << line << "\n" << v24;
        }
    });
}

TEST_F(TagPeers, Id3v1WriteOfOneFieldKeepsEveryOtherByte) {
    if (!HasMutagen()) GTEST_SKIP() << "python3-mutagen is not installed";
    const std::string audio = MpegAudio(1000);
    std::ofstream(work + "/v10.mp3", std::ios::binary) << audio + Id3v10Block();
    std::string v11 = Id3v1Block("Track Seven", 7, 255);
    v11.replace(97, 4, "note");
    std::ofstream(work + "/v11.mp3", std::ios::binary) << audio + v11;
    for (const char* name : {"v10.mp3", "v11.mp3"}) List(name);
    constexpr const char* kV1 = R"(
import sys
from mutagen.id3 import ParseID3v1
t = ParseID3v1(open(sys.argv[1], "rb").read()[-128:], v2_version=4)
print("\n".join(sorted(k + " " + str(v) for k, v in t.items())))
)";
    const std::string v10Before = Python(dir, kV1, work + "/v10.mp3");
    const std::string v11Before = Python(dir, kV1, work + "/v11.mp3");

    TagEditParams artist;
    artist.artist = "Band";
    WriteThenUndo(artist, [&] {
        for (const auto& [name, block] : {std::pair{"v10.mp3", Id3v10Block()}, std::pair{"v11.mp3", v11}}) {
            SCOPED_TRACE(name);
            std::string expected = block;
            expected.replace(33, 30, std::string("Band") + std::string(26, '\0'));
            EXPECT_TRUE(dir.Read(std::string("work/") + name) == audio + expected);
        }
        // And mutagen reads every other field as before.
        for (const auto& [name, before] : {std::pair{"v10.mp3", v10Before}, std::pair{"v11.mp3", v11Before}}) {
            const std::string after = Python(dir, kV1, work + "/" + name);
            EXPECT_EQ(Without(after, "TPE1"), Without(before, "TPE1")) << name;
            EXPECT_NE(after.find("TPE1 Band\n"), std::string::npos) << after;
        }
    });
}

TEST(TagPeerTitles, EveryScriptReadsBackTheSameInMutagenAndId3v2) {
    if (!HasMutagen()) GTEST_SKIP() << "python3-mutagen is not installed";
    const bool id3v2 = !RunCommand("command -v id3v2").empty();
    TempDir dir;
    const char* titles[] = {"Plain ASCII", "Café au lait", "Кино", "月亮代表我的心", "🎵 emoji"};
    for (const char* title : titles) {
        SCOPED_TRACE(title);
        dir.Write("a.mp3", MpegAudio(500));
        Id3v2Tag tag;
        tag.title = title;
        tag.comment = title;
        ASSERT_TRUE(WriteId3v2Tag(dir / "a.mp3", tag));
        Id3v2Tag back;
        ASSERT_EQ(ReadId3v2Tag(dir / "a.mp3", back), TagReadResult::Found);
        EXPECT_EQ(back.title, title);
        EXPECT_EQ(back.comment, title);
        EXPECT_EQ(Python(dir, R"(
import sys
from mutagen.id3 import ID3
t = ID3(sys.argv[1])
print(t["TIT2"].text[0])
print(t.getall("COMM")[0].text[0])
)", dir / "a.mp3"),
                  std::string(title) + "\n" + title + "\n");
        if (id3v2) {
            const std::string listed = RunCommand("id3v2 -l '" + (dir / "a.mp3") + "' 2>&1");
            EXPECT_NE(listed.find(std::string("TIT2 (Title/songname/content description): ") + title + "\n"),
                      std::string::npos)
                << listed;
        }
    }
}

}  // namespace
}  // namespace varnel
