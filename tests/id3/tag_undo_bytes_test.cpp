// Undo of a tag write gives back every byte of a tag another tool wrote, whatever
// its shape (version 2.2 to 2.4, UTF-8, footer, unsynchronisation, extended
// header, odd padding, ID3v1.0): each fixture below is built byte by byte, a tag
// write runs over it through the dispatcher, and undo must leave the file as the
// copy taken before, with its mode, times and, where the write went in place, its
// inode and its other names.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "id3/id3_tag_pair.h"
#include "id3/tag_run.h"
#include "id3/tag_undo_bytes.h"
#include "id3/tag_write.h"
#include "id3_fixtures.h"
#include "recorded_tags.h"
#include "runs/rename_step.h"
#include "runs/run_dispatcher.h"
#include "runs/task_table.h"
#include "runs/undo_replay.h"
#include "support/faulty_posix.h"
#include "support/pumping_run_host.h"
#include "support/temp_dir.h"
#include "support/tree_state.h"

namespace varnel {
namespace {

using namespace varnel::testing;
namespace fs = std::filesystem;

std::string Padded(std::string_view text, std::size_t width) {
    std::string field(text);
    field.resize(width, '\0');
    return field;
}

// The version 2.4 footer of a tag whose body is `body`.
std::string FooterV24(std::string_view body) {
    return std::string("3DI\x04\x00\x10", 6) + Syncsafe32(static_cast<std::uint32_t>(body.size()));
}

std::string V24Utf8WithFooter() {
    const std::string body = FrameV24("TIT2", "\x03Grüße aus Köln") + FrameV24("TPE1", "\x03Ärzte") +
                             FrameV24("TXXX", std::string("\x03mood\0ruhig", 11));
    return TagV2(4, 0x10, body) + FooterV24(body);
}

std::string V24Utf8WithRoom() {
    return TagV2(4, 0, FrameV24("TIT2", "\x03Straße") + FrameV24("TDRC", "\x03" "2001") + std::string(301, '\0'));
}

// Version 2.3, unsynchronised, with an extended header that tells of its padding.
std::string V23UnsyncExtended() {
    const std::string frames = FrameV23("TIT2", std::string("\0old", 4)) +
                               FrameV23("PRIV", std::string("owner\0\xFF\xE0\xFF\x00\xFF", 11));
    const std::size_t padding = 257;
    const std::string extended = BigEndian32(6) + std::string(2, '\0') + BigEndian32(padding);
    return TagV2(3, 0xC0, Unsynchronise(extended + frames) + std::string(padding, '\0'));
}

std::string V22() {
    return TagV2(2, 0, FrameV22("TT2", std::string("\0two-two", 8)) + FrameV22("TP1", std::string("\0old", 4)) +
                           std::string(199, '\0'));
}

// An odd count of padding bytes inside the tag, and zero bytes an older writer left after it.
std::string V23OddPadding() {
    return TagV2(3, 0, FrameV23("TIT2", std::string("\0x", 2)) + std::string(77, '\0')) + std::string(13, '\0');
}

// ID3v1.0: the comment runs to byte 126, so no track number.
std::string Id3v10Block() {
    return "TAG" + Padded("Old Title", 30) + Padded("Old Artist", 30) + Padded("Old Album", 30) + "1999" +
           "A comment filling all 30 byte" + "s" + '\x0C';
}

struct Fixture {
    const char* name;
    std::string bytes;
    bool inPlace;  // whether the write (and so the undo) keeps the file's inode
};

std::vector<Fixture> ForeignFixtures() {
    const std::string audio = MpegAudio(900);
    return {
        // Its UTF-8 texts take more bytes as UTF-16: the tag outgrows its room.
        {"v24-footer.mp3", V24Utf8WithFooter() + audio, false},
        {"v24-room.mp3", V24Utf8WithRoom() + audio + Id3v1Block("v1", 2, 17), true},
        {"v23-unsync.mp3", V23UnsyncExtended() + audio, true},
        {"v22.mp3", V22() + audio, true},
        {"odd-padding.mp3", V23OddPadding() + audio, true},
        {"v10.mp3", V24Utf8WithRoom() + audio + Id3v10Block(), true},
        {"v10-only.mp3", audio + Id3v10Block(), false},
        {"v11-only.mp3", audio + Id3v1Block("only", 3, 17), false},
        {"untagged.mp3", audio, false},
    };
}

ino_t InodeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_ino;
}

struct TagUndoBytes : ::testing::Test {
    TagUndoBytes() {
        fs::create_directories(work);
        tasks.RegisterRunner<TagEditParams>(kTaskId3Write, [](RunContext& run, RunRows& rows, const TagEditParams& p) {
            RunTagWriteTask(run, rows, p);
        });
    }
    // A file of the list with times of the past, which a rewrite would lose.
    void Make(const std::string& name, const std::string& bytes, mode_t mode = 0644) {
        std::ofstream(work + "/" + name, std::ios::binary) << bytes;
        ::chmod((work + "/" + name).c_str(), mode);
        const timespec past[2] = {{1000000000, 5}, {1000000000, 7}};
        ::utimensat(AT_FDCWD, (work + "/" + name).c_str(), past, 0);
        store.AppendRow(work + "/", name, {}, 0);
    }
    // Writes the title (from the name) into the chosen versions, checks what
    // `check` wants of the record, and undoes it.
    template <typename Check>
    void WriteAndUndo(bool v1, bool v2, Check check) {
        CopyTreeAside(work, dir / "before");
        TagEditParams p;
        p.title = "#主名";
        p.writeV1 = v1;
        p.writeV2 = v2;
        host.Run(dispatcher, kTaskId3Write, TaskParameters::Of(p), true);
        auto record = TakeUndoRecord(history);
        ASSERT_TRUE(record.has_value());
        check(*record);
        UndoHooks hooks;
        RegisterTagUndoKind(hooks.families);
        EXPECT_TRUE(ReplayUndoRecord(*record, hooks).failedPaths.empty());
        ExpectSameTree(dir / "before", work);
    }
    // Writes an ID3v2 title into every listed file; the run's record.
    std::optional<UndoRecord> WriteTitleV2(const std::string& title) {
        TagEditParams p;
        p.title = title;
        p.writeV1 = false;
        p.writeV2 = true;
        host.Run(dispatcher, kTaskId3Write, TaskParameters::Of(p), true);
        return TakeUndoRecord(history);
    }
    std::string Title(const std::string& name) {
        Id3TagPair tags;
        ReadId3TagPair(work + "/" + name, tags, false, true);
        return tags.v2.title;
    }

    TempDir dir;
    const std::string work = dir / "work";
    UndoSpool spool{dir / "spool"};
    RunControl control;
    RowStore store;
    TaskRegistry tasks;
    UndoRecord current;
    std::vector<UndoRecord> history;
    PumpingRunHost host;
    RunDispatcher dispatcher{{control, store, tasks, &spool, current, history}, host};
};

TEST_F(TagUndoBytes, ForeignTagsComeBackByteForByte) {
    const auto fixtures = ForeignFixtures();
    std::vector<ino_t> inodes;
    for (const Fixture& f : fixtures) {
        Make(f.name, f.bytes, f.inPlace ? 0644 : 0640);
        inodes.push_back(InodeOf(work + "/" + f.name));
    }
    WriteAndUndo(true, true, [&](const UndoRecord& record) {
        ASSERT_EQ(testing::RecordedTags(record).size(), fixtures.size());
        for (std::size_t i = 0; i < fixtures.size(); ++i) {
            const std::string name = fixtures[i].name;
            SCOPED_TRACE(name);
            EXPECT_EQ(Title(name), fs::path(name).stem().string());
            EXPECT_EQ(InodeOf(work + "/" + name) == inodes[i], fixtures[i].inPlace);
            const auto kept = testing::RecordedTags(record)[i].oldBytes;
            ASSERT_TRUE(kept.has_value());
            EXPECT_EQ(kept->size, fixtures[i].bytes.size());
            EXPECT_TRUE(kept->headKept);
            // A head's closing zeros are kept as a length, not as bytes.
            if (kept->head) EXPECT_NE(kept->head->back(), '\0');
        }
    });
    for (std::size_t i = 0; i < fixtures.size(); ++i) {
        if (fixtures[i].inPlace) EXPECT_EQ(InodeOf(work + "/" + fixtures[i].name), inodes[i]) << fixtures[i].name;
    }
}

TEST_F(TagUndoBytes, OnlyVersion1WrittenKeepsNoHeadAndUndoesInPlace) {
    Make("v24.mp3", V24Utf8WithRoom() + MpegAudio(600) + Id3v10Block());
    const ino_t inode = InodeOf(work + "/v24.mp3");
    WriteAndUndo(true, false, [&](const UndoRecord& record) {
        ASSERT_EQ(testing::RecordedTags(record).size(), 1u);
        ASSERT_TRUE(testing::RecordedTags(record)[0].oldBytes.has_value());
        EXPECT_FALSE(testing::RecordedTags(record)[0].oldBytes->headKept);
        EXPECT_FALSE(testing::RecordedTags(record)[0].oldBytes->head);
        EXPECT_EQ(*testing::RecordedTags(record)[0].oldBytes->v1, Id3v10Block());
    });
    EXPECT_EQ(InodeOf(work + "/v24.mp3"), inode);
}

TEST_F(TagUndoBytes, TagGrownBeyondItsRoomIsRewrittenAndALargeHeadIsSpooled) {
    // A picture of 100 KiB and no padding: the new tag cannot fit, so the file is
    // rewritten, and its old tag is kept in the spool, not in memory.
    std::string picture = std::string("\0image/png\0\3\0", 13);
    for (int i = 0; i < 100 * 1024; ++i) picture += static_cast<char>(i * 31 + 7);
    const std::string tag = TagV2(4, 0, FrameV24("TIT2", "\x03" "é") + FrameV24("APIC", picture));
    Make("big.mp3", tag + MpegAudio(3000) + Id3v1Block("big", 1, 2));
    const ino_t inode = InodeOf(work + "/big.mp3");
    WriteAndUndo(false, true, [&](const UndoRecord& record) {
        ASSERT_EQ(testing::RecordedTags(record).size(), 1u);
        const KeptTagBytes kept = *testing::RecordedTags(record)[0].oldBytes;
        EXPECT_FALSE(kept.head);
        EXPECT_EQ(kept.spooledHead.Size(), static_cast<std::int64_t>(tag.size()));
        EXPECT_NE(InodeOf(work + "/big.mp3"), inode);
        EXPECT_EQ(Title("big.mp3"), "big");
    });
}

TEST_F(TagUndoBytes, HardLinkedFileStaysOneFile) {
    Make("linked.mp3", V23UnsyncExtended() + MpegAudio(700) + Id3v10Block());
    ASSERT_EQ(::link((work + "/linked.mp3").c_str(), (work + "/other-name.mp3").c_str()), 0);
    const ino_t inode = InodeOf(work + "/linked.mp3");
    WriteAndUndo(true, true, [&](const UndoRecord& record) {
        ASSERT_EQ(testing::RecordedTags(record).size(), 1u);
        EXPECT_EQ(Title("other-name.mp3"), "linked");
    });
    EXPECT_EQ(InodeOf(work + "/linked.mp3"), inode);
    EXPECT_EQ(InodeOf(work + "/other-name.mp3"), inode);
}

TEST_F(TagUndoBytes, GrownTagOnAFileWithTwoNamesStaysOneFile) {
    // The title (the file's main name) outgrows the old tag's room: the file is
    // written again in place, so its other name sees the new tag, and undo puts
    // every byte back into the same file.
    const std::string name = std::string(120, 'g') + ".mp3";
    Make(name, V23OddPadding() + MpegAudio(700) + Id3v10Block());
    ASSERT_EQ(::link((work + "/" + name).c_str(), (dir / "other-name.mp3").c_str()), 0);
    const ino_t inode = InodeOf(work + "/" + name);
    WriteAndUndo(false, true, [&](const UndoRecord& record) {
        ASSERT_EQ(testing::RecordedTags(record).size(), 1u);
        EXPECT_EQ(InodeOf(work + "/" + name), inode);
        Id3TagPair tags;
        ReadId3TagPair(dir / "other-name.mp3", tags, false, true);
        EXPECT_EQ(tags.v2.title, std::string(120, 'g'));
    });
    EXPECT_EQ(InodeOf(work + "/" + name), inode);
    EXPECT_EQ(InodeOf(dir / "other-name.mp3"), inode);
}

TEST_F(TagUndoBytes, FileChangedSinceTheRunIsLeftAlone) {
    const std::string bytes = V22() + MpegAudio(500);
    Make("v22.mp3", bytes);
    const std::optional<UndoRecord> record = WriteTitleV2("new");
    ASSERT_TRUE(record.has_value());
    ASSERT_EQ(testing::RecordedTags(*record).size(), 1u);
    // Someone appends to the file after the run: its bytes stay as they are.
    { std::ofstream(work + "/v22.mp3", std::ios::binary | std::ios::app) << "more"; }
    std::ifstream in(work + "/v22.mp3", std::ios::binary);
    const std::string edited((std::istreambuf_iterator<char>(in)), {});
    EXPECT_FALSE(RestoreTagEntry(testing::RecordedTags(*record)[0]).has_value());
    std::ifstream again(work + "/v22.mp3", std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), edited);
}

TEST_F(TagUndoBytes, FailedUndoWriteLeavesTheFileAsTheRunLeftIt) {
    Make("v22.mp3", V22() + MpegAudio(500));
    const std::optional<UndoRecord> record = WriteTitleV2("new");
    ASSERT_TRUE(record.has_value());
    ASSERT_EQ(testing::RecordedTags(*record).size(), 1u);
    std::ifstream in(work + "/v22.mp3", std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), {});
    FaultyPosix os;
    os.Fail(FaultyPosix::Call::Fsync, EIO);
    EXPECT_FALSE(RestoreTagEntry(testing::RecordedTags(*record)[0], os).has_value());
    std::ifstream again(work + "/v22.mp3", std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), written);
}

// A large old tag that cannot be kept for undo is not replaced: the row fails.
TEST(TagUndoBytesKeep, TagThatCannotBeKeptIsNotWritten) {
    TempDir dir;
    std::string picture(200 * 1024, '\x5A');
    const std::string bytes = TagV2(3, 0, FrameV23("TIT2", std::string("\0old", 4)) + FrameV23("APIC", picture)) +
                              MpegAudio(400);
    dir.Write("a.mp3", bytes);
    FaultyPosix spoolOs;
    spoolOs.Fail(FaultyPosix::Call::Fsync, EIO);
    UndoSpool spool(dir / "spool", spoolOs);
    RunControl control;
    control.TryBegin(TaskKindOf(RunMode::Execute));
    RunContext run(RunMode::Execute, kTaskId3Write, {}, control, &spool);
    RowStore store;
    store.AppendRow(dir.Path() + "/", "a.mp3", {}, 0);
    RunRows rows(store, store.RowIds());
    TagTaskParams params{TagVersions::Version2, false,
                         [](Id3TagPair& tags, const TagRowContext&) -> std::expected<std::string, Error> {
                             tags.v2.title = "a much longer title than the old one";
                             return {};
                         }};
    RunTagTask(run, rows, params);
    EXPECT_TRUE(rows.Cell(0, ListColumn::Preview).starts_with(kStatusFailed));
    EXPECT_EQ(dir.Read("a.mp3"), bytes);
    EXPECT_TRUE(testing::RecordedTags(run.Record()).empty());
}

}  // namespace
}  // namespace varnel
