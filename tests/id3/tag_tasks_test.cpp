// The four tag tasks on files of a temporary folder: the change each makes, what
// mutagen reads back from the files written, and one round trip of each through
// the dispatcher (preview touches nothing, execute changes, undo brings back every
// byte and time).
#include <filesystem>
#include <fstream>
#include <memory>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "id3/tag_convert.h"
#include "id3/tag_copy.h"
#include "id3/tag_run.h"
#include "id3/tag_to_name.h"
#include "id3/tag_write.h"
#include "id3/id3_text.h"
#include "id3_fixtures.h"
#include "mutagen_check.h"
#include "runs/run_dispatcher.h"
#include "runs/task_table.h"
#include "runs/undo_replay.h"
#include "support/notice_recorder.h"
#include "support/pumping_run_host.h"
#include "support/temp_dir.h"
#include "support/tree_state.h"

namespace varnel {
namespace {

using namespace varnel::testing;
namespace fs = std::filesystem;

struct Files {
    void Add(const std::string& name, const Id3TagPair& tags, std::size_t audio = 600) {
        dir.Write(name, MpegAudio(audio));
        if (!tags.v1.marker.empty()) EXPECT_TRUE(WriteId3v1Tag(dir / name, tags.v1));
        if (!tags.v2.marker.empty()) EXPECT_TRUE(WriteId3v2Tag(dir / name, tags.v2));
    }
    Id3TagPair Read(const std::string& name) {
        Id3TagPair tags;
        ReadId3v1Tag(dir / name, tags.v1);
        ReadId3v2Tag(dir / name, tags.v2);
        return tags;
    }
    TempDir dir;
};

Id3TagPair Tags(std::string v1Title, std::string v2Title, std::string v1Artist = {}, std::string v2Artist = {}) {
    Id3TagPair tags;
    if (!v1Title.empty() || !v1Artist.empty()) {
        tags.v1.marker = "TAG";
        tags.v1.title = std::move(v1Title);
        tags.v1.artist = std::move(v1Artist);
    }
    if (!v2Title.empty() || !v2Artist.empty()) {
        tags.v2.marker = "ID3";
        tags.v2.title = std::move(v2Title);
        tags.v2.artist = std::move(v2Artist);
    }
    return tags;
}

// The change of one task on a pair, as the worker makes it for row `row` of `path`.
std::expected<std::string, Error> Write(Id3TagPair& tags, const TagEditParams& params, const std::string& path = "/x/a.mp3",
                                        std::int64_t row = 1) {
    std::atomic<bool> on(true);
    MetaEnvironment meta;
    meta.symbolsEnabled = &on;
    return WriteTagsOfFile(tags, TagRowContext{path, row}, params, meta);
}

TEST(TagWrite, FieldsAsThePanelGivesThem) {
    struct Case {
        const char* what;
        TagEditParams params;
        std::int64_t row;
        Id3v1Tag v1;  // the fields expected after the change (marker aside)
        Id3v2Tag v2;
    };
    const auto params = [](auto set, bool v1 = true, bool v2 = true) {
        TagEditParams p;
        p.writeV1 = v1;
        p.writeV2 = v2;
        set(p);
        return p;
    };
    Id3v1Tag old1;
    old1.title = "old";
    old1.year = "1999";
    Id3v2Tag old2;
    old2.title = "old";
    old2.year = "1999";
    old2.composer = "c";
    const auto v1With = [&](auto set) { Id3v1Tag t = old1; set(t); return t; };
    const auto v2With = [&](auto set) { Id3v2Tag t = old2; set(t); return t; };
    const Case cases[] = {
        {"-1 is a text like any other", params([](TagEditParams& p) { p.title = "-1"; }), 1,
         v1With([](Id3v1Tag& t) { t.title = "-1"; }), v2With([](Id3v2Tag& t) { t.title = "-1"; })},
        {"an unticked field keeps each file's value", params([](TagEditParams& p) { p.artist = "A"; }), 1,
         v1With([](Id3v1Tag& t) { t.artist = "A"; }), v2With([](Id3v2Tag& t) { t.artist = "A"; })},
        {"a ticked empty field clears", params([](TagEditParams& p) { p.year = ""; }), 1,
         v1With([](Id3v1Tag& t) { t.year = ""; }), v2With([](Id3v2Tag& t) { t.year = ""; })},
        {"genre 200 is clamped to the table", params([](TagEditParams& p) { p.genre = "200"; }), 1,
         v1With([](Id3v1Tag& t) { t.genre = "147"; }), v2With([](Id3v2Tag& t) { t.genre = "147"; })},
        {"a genre entry gives its number", params([](TagEditParams& p) { p.genre = "17.Rock"; }), 1,
         v1With([](Id3v1Tag& t) { t.genre = "17"; }), v2With([](Id3v2Tag& t) { t.genre = "17"; })},
        {"no genre chosen", params([](TagEditParams& p) { p.genre = ""; }), 1, old1, old2},
        {"* is the row number", params([](TagEditParams& p) { p.track = "*"; }), 7,
         v1With([](Id3v1Tag& t) { t.track = "7"; }), v2With([](Id3v2Tag& t) { t.track = "7"; })},
        {"CD* on row 2", params([](TagEditParams& p) { p.track = "CD*"; }), 2,
         v1With([](Id3v1Tag& t) { t.track = "CD2"; }), v2With([](Id3v2Tag& t) { t.track = "CD2"; })},
        {"meta-variables in the title; the copyright is written as typed",
         params([](TagEditParams& p) {
             p.title = "#主名";
             p.copyright = "(c) #主名";
         }),
         1, v1With([](Id3v1Tag& t) { t.title = "song"; }),
         v2With([](Id3v2Tag& t) {
             t.title = "song";
             t.copyright = "(c) #主名";
         })},
        {"ID3v1 takes only its seven fields",
         params([](TagEditParams& p) {
             p.composer = "new";
             p.comment = "n";
         }),
         1, v1With([](Id3v1Tag& t) { t.comment = "n"; }),
         v2With([](Id3v2Tag& t) {
             t.composer = "new";
             t.comment = "n";
         })},
        {"only ID3v2 chosen", params([](TagEditParams& p) { p.title = "T"; }, false, true), 1, old1,
         v2With([](Id3v2Tag& t) { t.title = "T"; })},
    };
    for (const Case& c : cases) {
        Id3TagPair tags{old1, old2};
        ASSERT_TRUE(Write(tags, c.params, "/music/song.mp3", c.row).has_value()) << c.what;
        EXPECT_EQ(tags.v1, c.v1) << c.what;
        EXPECT_EQ(tags.v2, c.v2) << c.what;
    }
    EXPECT_EQ(TagGenreNumberText("0.NO"), "");
    EXPECT_EQ(TagGenreNumberText("x"), "");
}

TEST(TagWrite, NoGenreIsStoredAs255AndEveryFieldReadsBackInMutagen) {
    if (!HasMutagen()) GTEST_SKIP() << "python3-mutagen is not installed";
    TempDir dir;
    dir.Write("a.mp3", MpegAudio(900));
    Id3TagPair tags;
    TagEditParams p;
    p.title = "歌名";
    p.artist = "Band";
    p.album = "-1";
    p.year = "2011";
    p.track = "*";
    p.genre = "";
    p.comment = "注释";
    p.composer = "Composer";
    p.lyrics = "la\r\nla";
    p.link = "http://example.org/";
    p.writeV2 = true;
    ASSERT_TRUE(Write(tags, p, dir / "a.mp3", 3).has_value());
    ASSERT_TRUE(WriteId3v1Tag(dir / "a.mp3", tags.v1));
    ASSERT_TRUE(WriteId3v2Tag(dir / "a.mp3", tags.v2));
    const std::string out = Python(dir, R"(
import sys
from mutagen.id3 import ID3, ParseID3v1
t = ID3(sys.argv[1], v2_version=3, translate=False)
def gbk(s): return s.encode("latin-1").decode("gbk")
print("TIT2", str(t["TIT2"]))
for k in ["TPE1", "TALB", "TYER", "TRCK", "TCOM"]: print(k, str(t[k]))
print("TCON" in t)
print("COMM", t.getall("COMM")[0].text[0])
print("USLT", repr(t.getall("USLT")[0].text))
print("WXXX", t.getall("WXXX")[0].url)
data = open(sys.argv[1], "rb").read()
print("genre byte", data[-1])
v1 = ParseID3v1(data[-128:], v2_version=4)
print("v1", gbk(str(v1["TIT2"])), str(v1["TALB"]), str(v1["TDRC"]), str(v1["TRCK"]), "TCON" in v1)
)", dir / "a.mp3");
    for (const char* line : {"TIT2 歌名", "TPE1 Band", "TALB -1", "TYER 2011", "TRCK 3", "TCOM Composer", "False",
                             "COMM 注释", "USLT 'la\\r\\nla'", "WXXX http://example.org/", "genre byte 255",
                             "v1 歌名 -1 2011 3 False"}) {
        EXPECT_NE(out.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << out;
    }
}

TEST(TagToName, NamesFromTags) {
    Files files;
    Id3TagPair both = Tags("Song", "Song2", "Band", "Band2");
    both.v1.genre = "17";
    both.v2.originalArtist = "Orig";
    files.Add("song.mp3", both);
    files.Add("README", Tags("Song", ""));
    files.Add("bare.mp3", {});
    Id3TagPair v1Only = Tags("Old", "", "A", "");
    files.Add("v1only.mp3", v1Only);
    files.Add("dirty.mp3", Tags("", "a/b\tc . .", "", "Band"));
    files.Add("slash.mp3", Tags("../../etc/passwd", ""));
    files.Add("dots.mp3", Tags(". . .", ""));
    struct Case {
        const char* file;
        const char* expression;
        bool useV1;
        bool complement;
        const char* name;  // or, when it fails, why
        bool fails = false;
    } cases[] = {
        {"song.mp3", "#歌名 - #歌手", true, false, "Song - Band.mp3"},
        {"song.mp3", "#ST - #SI", true, false, "Song - Band.mp3"},
        {"song.mp3", "#歌名 - #歌手", false, false, "Song2 - Band2.mp3"},
        {"song.mp3", "#流派", true, false, "17.mp3"},
        {"song.mp3", "#歌名 #原创", true, false, "Song #原创.mp3"},
        {"song.mp3", "#歌名 #原创", false, false, "Song2 Orig.mp3"},
        {"README", "#歌名", true, false, "Song"},
        {"bare.mp3", "#歌名 - #歌手", true, false, "标签中没有歌名", true},
        {"v1only.mp3", "#歌名", false, false, "标签中没有歌名", true},
        {"v1only.mp3", "#歌名 #歌手", false, true, "Old A.mp3"},
        {"dirty.mp3", "#歌名 #歌手", false, false, "a／bc Band.mp3"},
        {"slash.mp3", "#歌名", true, false, "..／..／etc／passwd.mp3"},
        {"dots.mp3", "#歌名", true, false, "标签中没有歌名", true},
        {"song.mp3", " ", true, false, "由标签得到的名称为空", true},
    };
    for (const Case& c : cases) {
        TagToNameParams p{LongTagCodes(c.expression), c.useV1, c.complement};
        auto name = TagToNameOfFile(files.dir / c.file, p);
        if (c.fails) {
            ASSERT_FALSE(name.has_value()) << c.file << " " << c.expression;
            EXPECT_EQ(name.error().message, c.name) << c.file << " " << c.expression;
            continue;
        }
        ASSERT_TRUE(name.has_value()) << c.file << " " << c.expression << ": " << name.error().message;
        EXPECT_EQ(*name, c.name) << c.file << " " << c.expression;
    }
    EXPECT_EQ(TagTextForName("x\x01/y. . "), "x／y");
    // A value is never read as a code: the title "#歌手" stays as it is.
    files.Add("codes.mp3", Tags("#歌手", "", "B", ""));
    EXPECT_EQ(*TagToNameOfFile(files.dir / "codes.mp3", {"#歌名-#歌手", true, false}), "#歌手-B.mp3");
}

TEST(TagConvert, GbkTagToTraditionalAndConversionsThatCannotBeStored) {
    ConvertOptions traditional;
    traditional.tradSimp = ScriptConversion::SimplifiedToTraditional;
    Id3TagPair tags = Tags("简体中文", "头发");
    auto changed = ConvertTagsOfFile(tags, {traditional, true, true});
    ASSERT_TRUE(changed.has_value());
    EXPECT_EQ(tags.v1.title, "簡體中文");
    EXPECT_EQ(tags.v2.title, "頭髮");

    ConvertOptions upper;
    upper.letters = LetterConversion::Upper;
    EXPECT_EQ(ConvertTagText("abc 😀", upper).value_or("?"), "ABC 😀");
    ConvertOptions utf16;
    utf16.codec = CodecConversion::AnsiToUnicode;
    EXPECT_FALSE(ConvertTagText("Song", utf16).has_value());  // NUL bytes
    ConvertOptions base64;
    base64.codec = CodecConversion::EncodeBase64;
    EXPECT_EQ(ConvertTagText("歌", base64).value_or("?"), "uOg=");
    EXPECT_FALSE(ConvertTagText("😀", base64).has_value());  // no single-byte form
    // A tag whose single-byte text is really UTF-8 is mended by "Utf8转Ansi".
    ConvertOptions fromUtf8;
    fromUtf8.codec = CodecConversion::Utf8ToAnsi;
    EXPECT_EQ(ConvertTagText(DecodeSingleByteText("歌名"), fromUtf8).value_or("?"), "歌名");

    // A row whose conversion fails keeps its tag and fails.
    Id3TagPair song = Tags("Song", "");
    const Id3TagPair before = song;
    EXPECT_FALSE(ConvertTagsOfFile(song, {utf16, true, false}).has_value());
    EXPECT_EQ(song.v1.title, before.v1.title);
}

TEST(TagCopy, ModesAndALongTitleThatId3v1CannotHold) {
    Id3TagPair tags = Tags("A", "", "", "B2");
    CopyTagFields(tags, TagCopyMode::Complement);
    EXPECT_EQ(tags.v1.title, "A");
    EXPECT_EQ(tags.v2.title, "A");
    EXPECT_EQ(tags.v1.artist, "B2");

    Id3TagPair swapped = Tags("one", "two", "x", "y");
    const Id3TagPair original = swapped;
    CopyTagFields(swapped, TagCopyMode::Exchange);
    EXPECT_EQ(swapped.v1.title, "two");
    CopyTagFields(swapped, TagCopyMode::Exchange);
    EXPECT_EQ(swapped, original);

    // Sixteen Chinese characters are 32 GBK bytes: copied whole, never cut (the
    // row's ID3v1 write then fails).
    const std::string title = "一二三四五六七八九十甲乙丙丁戊己";
    Id3TagPair chinese = Tags("", title);
    chinese.v2.year = "2009-10-01";
    EXPECT_EQ(CopyTagsOfFile(chinese, TagCopyMode::V2ToV1), "");
    EXPECT_EQ(chinese.v1.title, title);
    EXPECT_EQ(chinese.v1.year, "2009-10-01");
    EXPECT_EQ(chinese.v2.title, title);
    EXPECT_FALSE(BuildId3v1Block(chinese.v1).has_value());
}

// The four tasks through the dispatcher over a folder of tagged files.
struct TagRoundTrip : ::testing::Test {
    TagRoundTrip() {
        fs::create_directories(work);
        tasks.RegisterRunner<TagToNameParams>(kTaskId3Read, [](RunContext& run, RunRows& rows, const TagToNameParams& p) {
            RunTagToNameTask(run, rows, p);
        });
        tasks.RegisterRunner<TagEditParams>(kTaskId3Write, [](RunContext& run, RunRows& rows, const TagEditParams& p) {
            RunTagWriteTask(run, rows, p);
        });
        tasks.RegisterRunner<TagConvertParams>(kTaskId3Convert,
                                               [](RunContext& run, RunRows& rows, const TagConvertParams& p) {
                                                   RunTagConvertTask(run, rows, p);
                                               });
        tasks.RegisterRunner<TagCopyMode>(kTaskId3Copy, [](RunContext& run, RunRows& rows, const TagCopyMode& mode) {
            RunTagCopyTask(run, rows, mode);
        });
        Add("a.mp3", Tags("简体", "头发", "Band", "Band"));
        Add("b.mp3", Tags("", "一二三四五六七八九十甲乙丙丁戊己"));
        Add("c.mp3", {});
        ::chmod((work + "/a.mp3").c_str(), 0600);
        // Times of the past, which a rewrite would lose.
        const timespec past[2] = {{1000000000, 5}, {1000000000, 7}};
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) ::utimensat(AT_FDCWD, (work + "/" + name).c_str(), past, 0);
    }
    void Add(const std::string& name, const Id3TagPair& tags) {
        const std::string path = work + "/" + name;
        std::ofstream(path, std::ios::binary) << MpegAudio(700);
        if (!tags.v1.marker.empty()) ASSERT_TRUE(WriteId3v1Tag(path, tags.v1));
        if (!tags.v2.marker.empty()) ASSERT_TRUE(WriteId3v2Tag(path, tags.v2));
        store.AppendRow(work + "/", name, {}, 0);
    }
    Id3TagPair Read(const std::string& name) {
        Id3TagPair tags;
        ReadId3v1Tag(work + "/" + name, tags.v1);
        ReadId3v2Tag(work + "/" + name, tags.v2);
        return tags;
    }

    // Preview leaves the folder as it was; execute changes it (the caller checks
    // how); undo brings every byte, mode and time back.
    template <typename Check>
    void PreviewExecuteUndo(int task, const TaskParameters& parameters, Check check) {
        testing::CopyTreeAside(work, dir / "before");
        host.Run(dispatcher, task, parameters, false);
        testing::ExpectSameTree(dir / "before", work);
        host.Run(dispatcher, task, parameters, true);
        check();
        auto record = TakeUndoRecord(history);
        ASSERT_TRUE(record.has_value());
        UndoHooks hooks;
        RegisterTagUndoKind(hooks.families);
        EXPECT_TRUE(ReplayUndoRecord(*record, hooks).failedPaths.empty());
        testing::ExpectSameTree(dir / "before", work);
    }
    std::vector<std::string> Column(ListColumn column) { return testing::ColumnCells(store, column); }
    // The two titles as mutagen reads them ("-" for a tag without one).
    std::string MutagenTitles(const std::string& name) {
        if (!HasMutagen()) return "";
        return Python(dir, R"(
import sys
from mutagen.id3 import ID3, ParseID3v1
def gbk(f): return str(f).encode("latin-1").decode("gbk") if f.encoding == 0 else str(f)
data = open(sys.argv[1], "rb").read()
v1 = ParseID3v1(data[-128:], v2_version=4)
print(gbk(ID3(sys.argv[1], translate=False).get("TIT2", "-")), gbk(v1["TIT2"]) if v1 and "TIT2" in v1 else "-")
)", work + "/" + name);
    }

    testing::NoticeRecorder notices;
    testing::TempDir dir;
    const std::string work = dir / "work";
    RunControl control;
    RowStore store;
    TaskRegistry tasks;
    UndoRecord current;
    std::vector<UndoRecord> history;
    testing::PumpingRunHost host;
    RunDispatcher dispatcher{{control, store, tasks, nullptr, current, history}, host};
};

TEST_F(TagRoundTrip, NamesFromTags) {
    PreviewExecuteUndo(kTaskId3Read, TaskParameters::Of(TagToNameParams{"#歌名 - #歌手", true, false}), [&] {
        EXPECT_EQ(Column(ListColumn::Name), (std::vector<std::string>{"简体 - Band.mp3", "b.mp3", "c.mp3"}));
    });
}

TEST_F(TagRoundTrip, Write) {
    TagEditParams p;
    p.title = "#主名";
    p.track = "*";
    p.writeV2 = true;
    PreviewExecuteUndo(kTaskId3Write, TaskParameters::Of(p), [&] {
        EXPECT_EQ(Column(ListColumn::Preview), (std::vector<std::string>{"√", "√", "√"}));
        EXPECT_EQ(Read("b.mp3").v1.title, "b");
        EXPECT_EQ(Read("c.mp3").v2.track, "3");
        EXPECT_EQ(Read("a.mp3").v2.artist, "Band");
        if (HasMutagen()) EXPECT_EQ(MutagenTitles("b.mp3"), "b b\n");
    });
}

TEST_F(TagRoundTrip, InPlaceWritesKeepTheFileAndUndoPutsBackEveryByte) {
    // pad.mp3 (with a second name) has room in its tag for the new fields; the
    // tag of grow.mp3 has none and is moved by a rewrite, and undo moves it back.
    const auto make = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(work + "/" + name, std::ios::binary) << bytes;
        store.AppendRow(work + "/", name, {}, 0);
        const timespec past[2] = {{1000000000, 5}, {1000000000, 7}};
        ::utimensat(AT_FDCWD, (work + "/" + name).c_str(), past, 0);
    };
    make("pad.mp3", TagV2(3, 0, FrameV23("TIT2", std::string("\0x", 2)) + std::string(500, '\0')) + MpegAudio(700) +
                        Id3v1Block("x", 1, 17));
    // Zero bytes an older writer left after the tag: the rewrite drops them, undo puts them back.
    make("grow.mp3", TagV2(3, 0, FrameV23("TIT2", std::string("\0x", 2))) + std::string(50, '\0') + MpegAudio(700));
    ASSERT_EQ(::link((work + "/pad.mp3").c_str(), (work + "/pad-link.mp3").c_str()), 0);
    const auto inode = [&](const std::string& name) {
        struct stat info {};
        ::stat((work + "/" + name).c_str(), &info);
        return info.st_ino;
    };
    const ino_t pad = inode("pad.mp3");
    const ino_t grow = inode("grow.mp3");

    TagEditParams p;
    p.title = "#主名";
    p.track = "*";
    p.writeV2 = true;
    PreviewExecuteUndo(kTaskId3Write, TaskParameters::Of(p), [&] {
        EXPECT_EQ(Column(ListColumn::Preview)[3], "√");
        EXPECT_EQ(Column(ListColumn::Preview)[4], "√");
        EXPECT_EQ(inode("pad.mp3"), pad);
        EXPECT_EQ(inode("pad-link.mp3"), pad);
        EXPECT_NE(inode("grow.mp3"), grow);
        EXPECT_EQ(Read("pad-link.mp3").v2.title, "pad");
        EXPECT_EQ(Read("pad-link.mp3").v1.track, "4");
        EXPECT_EQ(Read("grow.mp3").v2.title, "grow");
        if (HasMutagen()) EXPECT_EQ(MutagenTitles("pad-link.mp3"), "pad pad\n");
    });
    EXPECT_EQ(inode("pad.mp3"), pad);
    EXPECT_EQ(inode("pad-link.mp3"), pad);
}

TEST_F(TagRoundTrip, Convert) {
    TagConvertParams p;
    p.options.tradSimp = ScriptConversion::SimplifiedToTraditional;
    p.convertV2 = true;
    PreviewExecuteUndo(kTaskId3Convert, TaskParameters::Of(p), [&] {
        EXPECT_EQ(Read("a.mp3").v1.title, "簡體");
        EXPECT_EQ(Read("a.mp3").v2.title, "頭髮");
        if (HasMutagen()) EXPECT_EQ(MutagenTitles("a.mp3"), "頭髮 簡體\n");
    });
}

TEST_F(TagRoundTrip, Copy) {
    // A title too long for ID3v1 fails its row in the preview already, with the
    // reason; the file without tags has nothing to copy.
    const std::vector<std::string> failed = {"× 歌名超出 Id3v1 的 30 字节", "× Id3v1 标签的文字项目都为空"};
    host.Run(dispatcher, kTaskId3Copy, TaskParameters::Of(TagCopyMode::V2ToV1), false);
    EXPECT_EQ(Column(ListColumn::Preview)[1], failed[0]);
    EXPECT_EQ(Column(ListColumn::Preview)[2], failed[1]);
    const std::string b = dir.Read("work/b.mp3");
    PreviewExecuteUndo(kTaskId3Copy, TaskParameters::Of(TagCopyMode::V2ToV1), [&] {
        EXPECT_EQ(Column(ListColumn::Preview), (std::vector<std::string>{"√", failed[0], failed[1]}));
        EXPECT_EQ(Read("a.mp3").v1.title, "头发");
        EXPECT_TRUE(dir.Read("work/b.mp3") == b);
        if (HasMutagen()) EXPECT_EQ(MutagenTitles("a.mp3"), "头发 头发\n");
    });
}

TEST_F(TagRoundTrip, AReadOnlyFileFailsWithItsReasonAndKeepsEveryByte) {
    // No owner write bit: read-only to its owner, even to root.
    ::chmod((work + "/b.mp3").c_str(), 0444);
    const std::string before = dir.Read("work/b.mp3");
    TagEditParams p;
    p.title = "新";
    p.writeV2 = true;
    host.Run(dispatcher, kTaskId3Write, TaskParameters::Of(p), true);
    EXPECT_EQ(Column(ListColumn::Preview), (std::vector<std::string>{"√", "× 文件只读", "√"}));
    EXPECT_TRUE(dir.Read("work/b.mp3") == before);
    EXPECT_EQ(Read("a.mp3").v2.title, "新");
}

TEST_F(TagRoundTrip, NeitherVersionTouchesNoRow) {
    TagEditParams write;
    write.writeV1 = false;
    host.Run(dispatcher, kTaskId3Write, TaskParameters::Of(write), true);
    TagConvertParams convert;
    convert.convertV1 = false;
    host.Run(dispatcher, kTaskId3Convert, TaskParameters::Of(convert), true);
    EXPECT_EQ(Column(ListColumn::Preview), (std::vector<std::string>{"", "", ""}));
    EXPECT_TRUE(history.empty());
}

}  // namespace
}  // namespace varnel
