#include "id3/tag_run.h"

#include <filesystem>
#include <memory>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "id3/id3_tag_pair.h"
#include "id3/lyrics.h"
#include "id3_fixtures.h"
#include "recorded_tags.h"
#include "runs/task_table.h"
#include "runs/undo_manager.h"
#include "runs/undo_replay.h"
#include "support/child_probe.h"
#include "support/faulty_posix.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using namespace varnel::testing;

// A tag task over the files of a temporary folder, as the dispatcher would run it.
struct TagRun {
    explicit TagRun(const TempDir& dir, RunMode mode, RunSettings settings = {}) : dir(dir) {
        control.TryBegin(TaskKindOf(mode));
        run = std::make_unique<RunContext>(mode, kTaskId3Write, std::move(settings), control);
    }
    void AddRow(const std::string& name) { store.AppendRow(dir.Path() + "/", name, {}, 0); }
    void Run(const TagTaskParams& params, PosixApi& os = SystemPosix()) {
        RunRows rows(store, store.RowIds());
        RunTagTask(*run, rows, params, os);
    }
    std::string Status(std::size_t row) { return RunRows(store, store.RowIds()).Cell(row, ListColumn::Preview); }

    const TempDir& dir;
    RunControl control;
    RowStore store;
    std::unique_ptr<RunContext> run;
};

TagTaskParams SetTitle(TagVersions which, std::string title) {
    return {which, false, [title](Id3TagPair& tags, const TagRowContext&) -> std::expected<std::string, Error> {
                tags.v1.title = title;
                tags.v2.title = title;
                return {};
            }};
}

UndoOutcome Undo(UndoRecord record) {
    UndoHooks hooks;
    hooks.readd = [](const std::string&, std::optional<bool>) {};
    RegisterTagUndoKind(hooks.families);
    return ReplayUndoRecord(record, hooks);
}

TEST(TagRun, PreviewShowsTheNewTagsAndWritesNothing) {
    TempDir dir;
    dir.Write("a.mp3", MpegAudio(500));
    dir.Write("b.txt", "text");
    TagRun run(dir, RunMode::FullPreview);
    run.AddRow("a.mp3");
    run.AddRow("b.txt");
    run.Run(SetTitle(TagVersions::Both, "S"));
    EXPECT_EQ(run.Status(0), "【[v1]歌名:S】【[v2]歌名:S】");
    EXPECT_EQ(run.Status(1), "○");  // no MP3 and no tag: left alone
    EXPECT_EQ(dir.Read("a.mp3"), MpegAudio(500));
    EXPECT_TRUE(testing::RecordedTags(run.run->Record()).empty());

    TagRun transfer(dir, RunMode::FullPreview, [&] {
        RunSettings settings;
        settings.transferMode = true;
        settings.transferFolder = dir.Path() + "/out/";
        return settings;
    }());
    transfer.AddRow("a.mp3");
    transfer.Run(SetTitle(TagVersions::Version2, "S"));
    EXPECT_EQ(transfer.Status(0), "转移至：" + dir.Path() + "/out/a.mp3 ◆ 【[v2]歌名:S】");
}

TEST(TagRun, ExecuteRecordsAndUndoRestoresBothVersions) {
    TempDir dir;
    const std::string audio = MpegAudio(800);
    Id3v1Tag oldV1;
    oldV1.title = "old1";
    Id3v2Tag oldV2;
    oldV2.title = "old2";
    oldV2.album = "kept";
    dir.Write("a.mp3", audio);
    ASSERT_TRUE(WriteId3v1Tag(dir / "a.mp3", oldV1));
    ASSERT_TRUE(WriteId3v2Tag(dir / "a.mp3", oldV2));
    const std::string before = dir.Read("a.mp3");
    dir.Write("bare.mp3", audio);  // no tag: undo takes the new ones away

    TagRun run(dir, RunMode::Execute);
    run.AddRow("a.mp3");
    run.AddRow("bare.mp3");
    run.Run(SetTitle(TagVersions::Both, "new"));
    EXPECT_EQ(run.Status(0), "√");
    EXPECT_EQ(run.Status(1), "√");
    Id3v2Tag now;
    ASSERT_EQ(ReadId3v2Tag(dir / "a.mp3", now), TagReadResult::Found);
    EXPECT_EQ(now.title, "new");
    EXPECT_EQ(now.album, "kept");
    UndoRecord record = run.run->TakeRecord();
    ASSERT_EQ(testing::RecordedTags(record).size(), 2u);
    EXPECT_EQ(testing::RecordedTags(record)[0].which, TagVersions::Both);
    EXPECT_EQ(testing::RecordedTags(record)[0].oldTags->v2.title, "old2");

    const UndoOutcome outcome = Undo(record);
    EXPECT_EQ(outcome.restored, 2u);
    EXPECT_TRUE(outcome.failedPaths.empty());
    EXPECT_TRUE(dir.Read("a.mp3") == before);
    EXPECT_TRUE(dir.Read("bare.mp3") == audio);
}

TEST(TagRun, UndoLeavesAFileChangedSinceTheRun) {
    TempDir dir;
    dir.Write("a.mp3", MpegAudio(300));
    TagRun run(dir, RunMode::Execute);
    run.AddRow("a.mp3");
    run.Run(SetTitle(TagVersions::Version2, "new"));
    const std::string written = dir.Read("a.mp3");
    // Another program writes the file after the run.
    dir.Write("a.mp3", written + "more");
    const UndoOutcome outcome = Undo(run.run->TakeRecord());
    EXPECT_EQ(outcome.restored, 0u);
    ASSERT_EQ(outcome.failedPaths.size(), 1u);
    EXPECT_TRUE(dir.Read("a.mp3") == written + "more");
}

TEST(TagRun, PartialWriteIsFailedButRecordedForUndo) {
    TempDir dir;
    const std::string audio = MpegAudio(300);
    dir.Write("a.mp3", audio);
    TagRun run(dir, RunMode::Execute);
    run.AddRow("a.mp3");
    // The ID3v1 block is appended in place; the new ID3v2 tag needs a rewrite,
    // whose rename fails.
    FaultyPosix os;
    os.Fail(FaultyPosix::Call::Rename, ENOSPC);
    run.Run(SetTitle(TagVersions::Both, "new"), os);
    EXPECT_EQ(run.Status(0), "×");
    ASSERT_EQ(run.run->FailedPaths().size(), 1u);
    Id3v1Tag v1;
    EXPECT_EQ(ReadId3v1Tag(dir / "a.mp3", v1), TagReadResult::Found);  // the first write stays
    Id3v2Tag v2;
    EXPECT_EQ(ReadId3v2Tag(dir / "a.mp3", v2), TagReadResult::Absent);
    UndoRecord record = run.run->TakeRecord();
    ASSERT_EQ(testing::RecordedTags(record).size(), 1u);
    EXPECT_EQ(testing::RecordedTags(record)[0].which, TagVersions::Version1);
    Undo(record);
    EXPECT_TRUE(dir.Read("a.mp3") == audio);
}

TEST(TagRun, FailedInPlaceWriteFailsTheRowAndLeavesTheTag) {
    TempDir dir;
    const std::string file = TagV2(3, 0, FrameV23("TIT2", std::string("\0old", 4)) + std::string(200, '\0')) + MpegAudio(300);
    dir.Write("a.mp3", file);
    TagRun run(dir, RunMode::Execute);
    run.AddRow("a.mp3");
    FaultyPosix os;
    os.Fail(FaultyPosix::Call::Fsync, EIO);
    run.Run(SetTitle(TagVersions::Version2, "new"), os);
    EXPECT_EQ(run.Status(0), "×");
    EXPECT_EQ(run.run->FailedPaths().size(), 1u);
    EXPECT_TRUE(dir.Read("a.mp3") == file);
    EXPECT_TRUE(testing::RecordedTags(run.run->Record()).empty());
}

TEST(TagRun, UntrustedHeaderFailsTheRowAndTheFileStays) {
    TempDir dir;
    const std::string bad = TagV2(3, 0, "", 5000) + MpegAudio(100);  // size beyond the file
    dir.Write("a.mp3", bad);
    TagRun run(dir, RunMode::Execute);
    run.AddRow("a.mp3");
    run.AddRow("gone.mp3");
    run.Run(SetTitle(TagVersions::Both, "new"));
    EXPECT_EQ(run.Status(0), "× 标签无法读取或标签头无效");
    EXPECT_EQ(run.Status(1), "× " + SystemErrorReason(ENOENT));
    EXPECT_EQ(run.run->FailedPaths().size(), 2u);
    EXPECT_TRUE(dir.Read("a.mp3") == bad);
    EXPECT_FALSE(std::filesystem::exists(dir / "gone.mp3"));
    EXPECT_TRUE(testing::RecordedTags(run.run->Record()).empty());
}

TEST(TagRun, TransferWritesTheCopyAndRecordsNoTagEntry) {
    TempDir dir;
    std::filesystem::create_directory(dir / "out");
    dir.Write("a.mp3", MpegAudio(300));
    RunSettings settings;
    settings.transferMode = true;
    settings.transferFolder = dir.Path() + "/out/";
    TagRun run(dir, RunMode::Execute, settings);
    run.AddRow("a.mp3");
    run.Run(SetTitle(TagVersions::Version2, "copy"));
    EXPECT_EQ(run.Status(0), "√");
    EXPECT_EQ(dir.Read("a.mp3"), MpegAudio(300));
    Id3v2Tag tag;
    ASSERT_EQ(ReadId3v2Tag(dir / "out/a.mp3", tag), TagReadResult::Found);
    EXPECT_EQ(tag.title, "copy");
    EXPECT_TRUE(testing::RecordedTags(run.run->Record()).empty());
    EXPECT_EQ(run.run->Record().transfers.size(), 1u);
}

TEST(TagRun, FilesThatCannotTakeATagAreLeftAloneWithTheirReason) {
    // In a child with a hang guard: a reader that blocked on the named pipe
    // fails the test instead of hanging it.
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.mp3").c_str(), 0644), 0);
    std::filesystem::create_directory(dir / "folder.mp3");
    dir.Write("empty.mp3", "");
    dir.Write("a.mp3", MpegAudio(300));
    const ChildOutcome outcome = RunInChild([&] {
        int failures = 0;
        const auto expect = [&](bool ok) { failures += ok ? 0 : 1; };
        for (const RunMode mode : {RunMode::FullPreview, RunMode::Execute}) {
            TagRun run(dir, mode);
            for (const char* name : {"pipe.mp3", "folder.mp3", "empty.mp3", "a.mp3"}) run.AddRow(name);
            run.Run(SetTitle(TagVersions::Both, "new"));
            expect(run.Status(0) == "× 是命名管道，不是普通文件");
            expect(run.Status(1) == "× " + SystemErrorReason(EISDIR));
            expect(run.Status(2) == "○");
            expect(run.Status(3) == (mode == RunMode::Execute ? "√" : "【[v1]歌名:new】【[v2]歌名:new】"));
        }
        expect(dir.Read("empty.mp3").empty());
        expect(!ReadLyrics(dir / "pipe.mp3").has_value());
        Id3TagPair tags;
        const Id3TagReads reads = ReadId3TagPair(dir / "pipe.mp3", tags, true, true);
        expect(reads.v1 == TagReadResult::Unreadable && reads.v2 == TagReadResult::Unreadable);
        return failures;
    });
    ASSERT_TRUE(outcome.exited) << "the child was stopped: a reader blocked";
    EXPECT_EQ(outcome.exitCode, 0) << "checks that failed in the child";
}

TEST(TagRun, Id3v1ValueThatDoesNotFitFailsTheRowInPreviewAndExecute) {
    TempDir dir;
    const std::string audio = MpegAudio(300);
    dir.Write("a.mp3", audio);
    const std::string title(31, 'x');
    for (const RunMode mode : {RunMode::FullPreview, RunMode::Execute}) {
        TagRun run(dir, mode);
        run.AddRow("a.mp3");
        run.Run(SetTitle(TagVersions::Both, title));
        EXPECT_EQ(run.Status(0), "× 歌名超出 Id3v1 的 30 字节");
        EXPECT_TRUE(testing::RecordedTags(run.run->Record()).empty());
    }
    // Neither tag was written.
    EXPECT_TRUE(dir.Read("a.mp3") == audio);
    // ID3v2 alone takes it.
    TagRun v2(dir, RunMode::Execute);
    v2.AddRow("a.mp3");
    v2.Run(SetTitle(TagVersions::Version2, title));
    EXPECT_EQ(v2.Status(0), "√");
}

// The undo manager shows a tag record's old tags of the versions its run wrote,
// in the columns its first entry's versions give.
TEST(TagRun, TheUndoManagerShowsTheOldTagsOfTheVersionsWritten) {
    auto old = std::make_shared<Id3TagPair>();
    old->v1.marker = "TAG";
    old->v1.title = "t1";
    old->v2.title = "t2";
    const std::string v1 = FormatId3v1Text(old->v1);
    const std::string v2 = FormatId3v2Text(old->v2);
    struct Case {
        TagVersions which;
        std::vector<std::string> titles;
        std::vector<std::string> cells;
    };
    const Case cases[] = {
        {TagVersions::Both, {"MP3文件", "原ID3v1", "原ID3v2"}, {"/a.mp3", v1, v2}},
        {TagVersions::Version1, {"MP3文件", "原ID3v1"}, {"/a.mp3", v1}},
        {TagVersions::Version2, {"MP3文件", "原ID3v2"}, {"/a.mp3", v2}},
    };
    UndoFamilyRegistry families;
    RegisterTagUndoKind(families);
    for (const Case& c : cases) {
        UndoRecord record;
        record.familyChanges.push_back(TagUndoEntry({"/a.mp3", old, c.which}));
        EXPECT_EQ(DescribeUndoRecord(record).kindName, "MP3标签");
        EXPECT_EQ(UndoDetailLayoutOf(record, families).titles, c.titles) << int(c.which);
        EXPECT_EQ(UndoDetailCells(record, UndoKind::TagChanges, 0, families), c.cells) << int(c.which);
    }
}

TEST(Lyrics, SavedBesideOthersWithoutReplacingAny) {
    TempDir dir;
    dir.Write("song.mp3", MpegAudio(100));
    Id3v2Tag tag;
    tag.lyrics = "第一行\r\nline";
    ASSERT_TRUE(WriteId3v2Tag(dir / "song.mp3", tag));
    dir.Write("song.txt", "mine");
    EXPECT_EQ(ReadLyrics(dir / "song.mp3"), "第一行\r\nline");
    EXPECT_EQ(LyricsNoticeText("/a.mp3", "x"), "/a.mp3>>> 包含歌词，如下：\r\n\r\nx");

    auto first = SaveLyricsToFolder(dir / "song.mp3", dir.Path() + "/");
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(*first, dir / "song (1).txt");
    auto second = SaveLyricsToFolder(dir / "song.mp3", dir.Path() + "/");
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(*second, dir / "song (2).txt");
    EXPECT_EQ(dir.Read("song.txt"), "mine");
    EXPECT_EQ(dir.Read("song (1).txt"), "第一行\r\nline");  // UTF-8

    dir.Write("plain.mp3", MpegAudio(100));
    EXPECT_FALSE(ReadLyrics(dir / "plain.mp3").has_value());
    EXPECT_FALSE(SaveLyricsToFolder(dir / "plain.mp3", dir.Path() + "/").has_value());
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) ++files;
    EXPECT_EQ(files, 5u);  // no temporary file left
}

// Any step of the save that fails, the close after the write among them, fails
// it with that step's reason and leaves the folder as it was.
TEST(Lyrics, ASaveThatFailsAtAnyStepLeavesNothing) {
    const FaultyPosix::Fault faults[] = {
        {FaultyPosix::Call::Write, ENOSPC},
        {FaultyPosix::Call::Fsync, EIO},
        {FaultyPosix::Call::Close, EIO},
        {FaultyPosix::Call::Renameat2, EACCES},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(static_cast<int>(fault.call));
        TempDir dir;
        dir.Write("song.mp3", MpegAudio(100));
        Id3v2Tag tag;
        tag.lyrics = "line";
        ASSERT_TRUE(WriteId3v2Tag(dir / "song.mp3", tag));
        std::filesystem::create_directory(dir / "out");
        FaultyPosix os;
        os.Fail(fault);
        const auto saved = SaveLyricsToFolder(dir / "song.mp3", dir / "out/", os);
        ASSERT_FALSE(saved.has_value());
        EXPECT_EQ(saved.error().code, fault.error);
        EXPECT_EQ(FailureReason(saved.error()), SystemErrorReason(fault.error));
        EXPECT_TRUE(std::filesystem::is_empty(dir / "out"));
    }
}

}  // namespace
}  // namespace varnel
