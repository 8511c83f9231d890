#include "filetasks/content_rewrite.h"

#include <cerrno>
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "content_run.h"
#include "support/faulty_posix.h"
#include "support/temp_dir.h"
#include "utilities/codec.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ContentText, EachEncodingIsRecognisedAndWrittenBackByteForByte) {
    struct Case {
        std::string bytes;
        TextEncoding encoding;
        std::string text;
    };
    const Case cases[] = {
        {"plain ascii\r\n", TextEncoding::Utf8, "plain ascii\r\n"},
        {"甲乙丙\n", TextEncoding::Utf8, "甲乙丙\n"},
        {"\xEF\xBB\xBF甲\r\n", TextEncoding::Utf8Bom, "甲\r\n"},
        {"\xBC\xD7\xD2\xD2\xB1\xFB", TextEncoding::Gbk, "甲乙丙"},
        {std::string("\xFF\xFE\x32\x75\x0A\x00", 6), TextEncoding::Utf16Le, "甲\n"},
        {std::string("\xFE\xFF\x75\x32\x00\x0A", 6), TextEncoding::Utf16Be, "甲\n"},
        {"", TextEncoding::Utf8, ""},
    };
    for (const Case& c : cases) {
        auto decoded = DecodeFileText(c.bytes);
        ASSERT_TRUE(decoded) << c.text;
        EXPECT_EQ(decoded->encoding, c.encoding) << c.text;
        EXPECT_EQ(decoded->text, c.text);
        EXPECT_EQ(EncodeFileText(decoded->text, decoded->encoding), c.bytes) << c.text;
    }
    // A text the file's encoding cannot hold fails instead of writing "?".
    EXPECT_FALSE(EncodeFileText("😀", TextEncoding::Gbk));
    EXPECT_TRUE(EncodeFileText("😀", TextEncoding::Utf16Le));
    // Odd UTF-16 is no text.
    EXPECT_FALSE(DecodeFileText(std::string("\xFF\xFE\x32", 3)));
}

TEST(ContentText, LinesCountEveryKindOfLineEnd) {
    struct Case {
        std::string text;
        int line;
        bool atStart;
        std::size_t offset;
    };
    const Case cases[] = {
        {"a\r\nbb\r\n", 2, true, 3},  {"a\r\nbb\r\n", 2, false, 5}, {"a\nbb\n", 2, true, 2},
        {"a\nbb\n", 2, false, 4},     {"a\rbb\r", 2, true, 2},      {"a\rbb\r", 2, false, 4},
        {"a\r\nbb", 2, false, 5},     {"a\r\nbb\r\n", 3, true, 7},  {"a\r\nbb\r\n", 9, false, 7},
        {"a\nbb", 0, false, 0},       {"", 1, true, 0},             {"\n\nx", 3, true, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OffsetOfLine(c.text, c.line, c.atStart), c.offset)
            << ::testing::PrintToString(c.text) << " line " << c.line << " start " << c.atStart;
    }
}

TEST(ContentText, PositionsNeverSplitACharacter) {
    // 甲乙丙: 2 bytes a character in GBK and UTF-16, 3 in UTF-8.
    EXPECT_EQ(Utf8OffsetOfBytePosition("甲乙丙", TextEncoding::Gbk, 4), 6u);
    EXPECT_EQ(Utf8OffsetOfBytePosition("甲乙丙", TextEncoding::Gbk, 3), 3u);  // inside 乙: before it
    EXPECT_EQ(Utf8OffsetOfBytePosition("甲乙丙", TextEncoding::Utf8, 4), 3u);
    EXPECT_EQ(Utf8OffsetOfBytePosition("甲乙丙", TextEncoding::Utf16Le, 2), 3u);
    EXPECT_EQ(Utf8OffsetOfBytePosition("a😀b", TextEncoding::Utf16Le, 4), 1u);  // inside the surrogate pair
    EXPECT_EQ(Utf8OffsetOfBytePosition("ab", TextEncoding::Utf8, 99), 2u);
    EXPECT_EQ(Utf8OffsetOfBytePosition("ab", TextEncoding::Utf8, -5), 0u);
    EXPECT_EQ(Utf8OffsetOfCharacter("甲乙丙", 3), 6u);
    EXPECT_EQ(Utf8OffsetOfCharacter("甲乙丙", 1), 0u);
    EXPECT_EQ(Utf8OffsetOfCharacter("甲乙丙", 0), 0u);
    EXPECT_EQ(Utf8OffsetOfCharacter("甲乙丙", 9), 9u);
}

TEST(ContentRewrite, KeepsModeLinksAndAttributesAndWritesNothingUnchanged) {
    testing::TempDir dir;
    dir.Write("target.txt", "old");
    ASSERT_EQ(::chmod((dir / "target.txt").c_str(), 0640), 0);
    const bool xattrs = ::setxattr((dir / "target.txt").c_str(), "user.tag", "blue", 4, 0) == 0;
    ASSERT_EQ(::symlink("target.txt", (dir / "link.txt").c_str()), 0);
    struct stat before {};
    ASSERT_EQ(::stat((dir / "target.txt").c_str(), &before), 0);

    // The same content: no write, no new inode, no entry.
    UndoSpool spool(dir / ".spool");
    auto same = RewriteFileContent(dir / "link.txt", "old", "old", &spool);
    ASSERT_TRUE(same);
    EXPECT_FALSE(same->changed);
    EXPECT_FALSE(same->entry);
    struct stat now {};
    ASSERT_EQ(::stat((dir / "target.txt").c_str(), &now), 0);
    EXPECT_EQ(now.st_ino, before.st_ino);

    auto changed = RewriteFileContent(dir / "link.txt", "old", "new!", &spool);
    ASSERT_TRUE(changed) << changed.error().message;
    ASSERT_TRUE(changed->entry);
    EXPECT_EQ(changed->entry->originalBytes.ReadAll(), "old");
    EXPECT_EQ(changed->entry->writtenSize, 4);
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(dir.Read("target.txt"), "new!");
    ASSERT_EQ(::stat((dir / "target.txt").c_str(), &now), 0);
    EXPECT_EQ(now.st_mode & 07777, 0640u);
    if (xattrs) {
        char value[8] = {};
        EXPECT_EQ(::getxattr((dir / "target.txt").c_str(), "user.tag", value, sizeof value), 4);
        EXPECT_STREQ(value, "blue");
    }
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{".spool", "link.txt", "target.txt"}));
}

TEST(ContentRewrite, RefusesWhatIsNotARegularFileWithoutOpeningIt) {
    testing::TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);  // opening it would block
    fs::create_directory(dir / "folder");
    for (const char* name : {"pipe", "folder", "missing"}) {
        EXPECT_FALSE(MappedFile::Open(dir / name)) << name;
        EXPECT_FALSE(MappedFile::Open(dir / name, SystemPosix(), 0)) << name;
    }
    EXPECT_FALSE(MappedFile::Open("/dev/null"));
}

// Writes pass until `budget` bytes have gone through, then the disk is full.
class DiskFillsUp : public PosixApi {
public:
    explicit DiskFillsUp(std::size_t budget) : m_budget(budget) {}
    ssize_t Write(int fd, const void* buffer, size_t size) override {
        if (m_budget == 0) {
            errno = ENOSPC;
            return -1;
        }
        const size_t part = std::min(size, m_budget);
        const ssize_t written = PosixApi::Write(fd, buffer, part);
        if (written > 0) m_budget -= static_cast<size_t>(written);
        return written;
    }
    // Writes in place go by offset, from the same room.
    ssize_t Pwrite(int fd, const void* buffer, size_t size, off_t offset) override {
        if (m_budget == 0) {
            errno = ENOSPC;
            return -1;
        }
        const size_t part = std::min(size, m_budget);
        const ssize_t written = PosixApi::Pwrite(fd, buffer, part, offset);
        if (written > 0) m_budget -= static_cast<size_t>(written);
        return written;
    }

private:
    std::size_t m_budget;
};

TEST(ContentRewrite, AFailedWriteOrRenameLeavesTheOriginalByteForByte) {
    using Call = testing::FaultyPosix::Call;
    const std::string original(200000, 'o');
    const std::string updated(300000, 'n');
    struct Case {
        const char* what;
        std::function<std::unique_ptr<PosixApi>()> make;
    };
    const Case cases[] = {
        {"disk full half way", [] { return std::make_unique<DiskFillsUp>(150000); }},
        {"rename", [] {
             auto os = std::make_unique<testing::FaultyPosix>();
             os->Fail(Call::Rename, EXDEV);
             return os;
         }},
        {"fsync", [] {
             auto os = std::make_unique<testing::FaultyPosix>();
             os->Fail(Call::Fsync, EIO);
             return os;
         }},
    };
    for (const Case& c : cases) {
        testing::TempDir dir;
        dir.Write("doc.txt", original);
        ASSERT_EQ(::chmod((dir / "doc.txt").c_str(), 0600), 0);
        UndoSpool spool(dir / ".spool");
        auto os = c.make();
        EXPECT_FALSE(RewriteFileContent(dir / "doc.txt", original, updated, &spool, *os)) << c.what;
        EXPECT_EQ(dir.Read("doc.txt"), original) << c.what;
        // No temporary file stays behind, and the failed change keeps no spooled copy
        // (a write that fails before the old content is kept makes no spool at all).
        fs::create_directories(dir / ".spool");
        EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{".spool", "doc.txt"})) << c.what;
        EXPECT_TRUE(fs::is_empty(dir / ".spool")) << c.what;
    }
}

TEST(ContentRewrite, UndoRestoresOnlyWhatTheRunWrote) {
    struct Case {
        const char* what;
        std::function<void(const testing::TempDir&)> afterRun;
        std::string expected;
        bool undone;
    };
    const Case cases[] = {
        {"untouched", [](const testing::TempDir&) {}, "before", true},
        {"edited to the same size", [](const testing::TempDir& d) { d.Write("a.txt", "AFTER!"); }, "AFTER!", false},
        {"edited", [](const testing::TempDir& d) { d.Write("a.txt", "user text"); }, "user text", false},
        {"removed", [](const testing::TempDir& d) { fs::remove(d / "a.txt"); }, "", false},
    };
    for (const Case& c : cases) {
        testing::TempDir dir;
        dir.Write("a.txt", "before");
        UndoSpool spool(dir / ".spool");
        auto rewritten = RewriteFileContent(dir / "a.txt", "before", "after!", &spool);
        ASSERT_TRUE(rewritten && rewritten->entry) << c.what;
        UndoRecord record;
        record.contentChanges.push_back(*rewritten->entry);
        c.afterRun(dir);
        const UndoOutcome outcome = ReplayUndoRecord(record, {});
        EXPECT_EQ(outcome.restored, c.undone ? 1u : 0u) << c.what;
        EXPECT_EQ(outcome.failedPaths.empty(), c.undone) << c.what;
        EXPECT_EQ(dir.Read("a.txt"), c.expected) << c.what;
    }
}

struct LinkedFile {
    ino_t inode = 0;
    nlink_t links = 0;
};

LinkedFile LinkState(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    return {info.st_ino, info.st_nlink};
}

TEST(ContentRewrite, AHardLinkedFileIsRewrittenAndUndoneInPlaceForEveryName) {
    struct Case {
        const char* what;
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {"longer", "short text", std::string(100000, 'L')},
        {"shorter", std::string(100000, 'S'), "tiny"},
        {"emptied", "some text", ""},
    };
    for (const Case& c : cases) {
        testing::TempDir dir;
        dir.Write("a.txt", c.before);
        ASSERT_EQ(::chmod((dir / "a.txt").c_str(), 0640), 0);
        ASSERT_EQ(::link((dir / "a.txt").c_str(), (dir / "b.txt").c_str()), 0);
        const LinkedFile start = LinkState(dir / "a.txt");
        ASSERT_EQ(start.links, 2u);
        UndoSpool spool(dir / ".spool");
        auto rewritten = RewriteFileContent(dir / "b.txt", c.before, c.after, &spool);
        ASSERT_TRUE(rewritten && rewritten->entry) << c.what;
        for (const char* name : {"a.txt", "b.txt"}) {
            EXPECT_TRUE(dir.Read(name) == c.after) << c.what << " " << name;
            EXPECT_EQ(LinkState(dir / name).inode, start.inode) << c.what << " " << name;
            EXPECT_EQ(LinkState(dir / name).links, 2u) << c.what << " " << name;
        }
        EXPECT_EQ(fs::status(dir / "a.txt").permissions(), fs::perms(0640)) << c.what;
        EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{".spool", "a.txt", "b.txt"})) << c.what;

        UndoRecord record;
        record.contentChanges.push_back(*rewritten->entry);
        const UndoOutcome outcome = ReplayUndoRecord(record, {});
        EXPECT_EQ(outcome.restored, 1u) << c.what;
        for (const char* name : {"a.txt", "b.txt"}) {
            EXPECT_TRUE(dir.Read(name) == c.before) << c.what << " " << name;
            EXPECT_EQ(LinkState(dir / name).inode, start.inode) << c.what << " " << name;
        }
        EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{".spool", "a.txt", "b.txt"})) << c.what;
    }
}

// Writes pass until `budget` bytes have gone through; the next write fails, and
// then the disk has room again.
class DiskFullOnce : public PosixApi {
public:
    explicit DiskFullOnce(std::size_t budget) : m_budget(budget) {}
    ssize_t Write(int fd, const void* buffer, size_t size) override {
        if (!m_failed && m_budget == 0) {
            m_failed = true;
            errno = ENOSPC;
            return -1;
        }
        const size_t part = m_failed ? size : std::min(size, m_budget);
        const ssize_t written = PosixApi::Write(fd, buffer, part);
        if (!m_failed && written > 0) m_budget -= static_cast<size_t>(written);
        return written;
    }
    ssize_t Pwrite(int fd, const void* buffer, size_t size, off_t offset) override {
        if (!m_failed && m_budget == 0) {
            m_failed = true;
            errno = ENOSPC;
            return -1;
        }
        const size_t part = m_failed ? size : std::min(size, m_budget);
        const ssize_t written = PosixApi::Pwrite(fd, buffer, part, offset);
        if (!m_failed && written > 0) m_budget -= static_cast<size_t>(written);
        return written;
    }

private:
    std::size_t m_budget;
    bool m_failed = false;
};

TEST(ContentRewrite, AHardLinkedFileThatFailsMidWayGetsItsOldContentBack) {
    using Call = testing::FaultyPosix::Call;
    const std::string original(200000, 'o');
    struct Case {
        const char* what;
        std::string updated;
        std::function<std::unique_ptr<PosixApi>()> make;
    };
    const auto failOnce = [](Call call, int error) {
        return [=] {
            auto os = std::make_unique<testing::FaultyPosix>();
            os->FailOnce(call, error);
            return os;
        };
    };
    const Case cases[] = {
        {"disk full half way", std::string(300000, 'n'),
         [] { return std::make_unique<DiskFullOnce>(150000); }},
        {"truncate", std::string(1000, 'n'), failOnce(Call::Ftruncate, EIO)},
        {"fsync", std::string(300000, 'n'), failOnce(Call::Fsync, EIO)},
        {"close", std::string(300000, 'n'), failOnce(Call::Close, EIO)},
    };
    for (const Case& c : cases) {
        testing::TempDir dir;
        dir.Write("a.txt", original);
        ASSERT_EQ(::link((dir / "a.txt").c_str(), (dir / "b.txt").c_str()), 0);
        const ino_t inode = LinkState(dir / "a.txt").inode;
        UndoSpool spool(dir / ".spool");
        auto os = c.make();
        EXPECT_FALSE(RewriteFileContent(dir / "a.txt", original, c.updated, &spool, *os)) << c.what;
        for (const char* name : {"a.txt", "b.txt"}) {
            EXPECT_TRUE(dir.Read(name) == original) << c.what << " " << name;
            EXPECT_EQ(LinkState(dir / name).inode, inode) << c.what << " " << name;
        }
        EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{".spool", "a.txt", "b.txt"})) << c.what;
    }
}

TEST(ContentRewrite, AHardLinkedFileThatCannotBeRestoredKeepsAnUndoOfItsOldContent) {
    // Every write fails from the middle of the new content on: the old content
    // cannot go back in place, so the change fails but its undo entry stays.
    const std::string original(200000, 'o');
    testing::TempDir dir;
    dir.Write("a.txt", original);
    ASSERT_EQ(::link((dir / "a.txt").c_str(), (dir / "b.txt").c_str()), 0);
    UndoSpool spool(dir / ".spool");
    DiskFillsUp os(150000);
    auto rewritten = RewriteFileContent(dir / "a.txt", original, std::string(300000, 'n'), &spool, os);
    ASSERT_TRUE(rewritten);
    ASSERT_TRUE(rewritten->failure);
    ASSERT_TRUE(rewritten->entry);
    UndoRecord record;
    record.contentChanges.push_back(*rewritten->entry);
    EXPECT_EQ(ReplayUndoRecord(record, {}).restored, 1u);
    EXPECT_TRUE(dir.Read("a.txt") == original);
    EXPECT_TRUE(dir.Read("b.txt") == original);
}

TEST(ContentRows, RowProtocolMarksRecordsAndLogs) {
    testing::TempDir dir;
    dir.Write("change.txt", "abc");
    dir.Write("same.txt", "abc");
    dir.Write("skip.txt", "abc");
    fs::create_directory(dir / "folder");
    testing::ContentRun run(dir);
    for (const char* name : {"change.txt", "same.txt", "skip.txt", "missing.txt", "folder"}) run.AddRow(dir.Path(), name);
    RunRows rows = run.Rows();
    RunContentRows(*run.run, rows, [](const ContentRow& row, std::string_view bytes, ContentSink& out) -> std::expected<bool, Error> {
        if (row.path.ends_with("skip.txt")) return false;
        if (!out.Write(bytes)) return std::unexpected(Error{EIO, "write", row.path});
        if (!row.path.ends_with("same.txt") && !out.Write("d")) return std::unexpected(Error{EIO, "write", row.path});
        return true;
    });
    EXPECT_EQ(run.Status(0), "√");
    EXPECT_EQ(run.Status(1), "√");
    EXPECT_EQ(run.Status(2), "○");
    EXPECT_TRUE(run.Status(3).starts_with("×"));
    EXPECT_TRUE(run.Status(4).starts_with("×"));
    EXPECT_EQ(run.run->FailedPaths(), (std::vector<std::string>{dir / "missing.txt", dir / "folder"}));
    ASSERT_EQ(run.run->Record().contentChanges.size(), 1u);  // the unchanged file keeps no entry
    EXPECT_EQ(dir.Read("change.txt"), "abcd");
    EXPECT_TRUE(run.Undo().failedPaths.empty());
    EXPECT_EQ(dir.Read("change.txt"), "abc");
}

TEST(ContentRows, APreviewTouchesNoFileAndClearsTheStatus) {
    testing::TempDir dir;
    dir.Write("a.txt", "abc");
    testing::ContentRun run(dir, RunMode::FullPreview);
    run.AddRow(dir.Path(), "a.txt");
    run.store.SetCellText(0, 1, "old status");
    RunRows rows = run.Rows();
    bool edited = false;
    RunContentRows(*run.run, rows, [&](const ContentRow&, std::string_view, ContentSink& out) -> std::expected<bool, Error> {
        edited = true;
        return out.Write("x").has_value();
    });
    EXPECT_FALSE(edited);
    EXPECT_EQ(run.Status(0), "");
    EXPECT_EQ(dir.Read("a.txt"), "abc");
}

TEST(ContentRows, TransferModeEditsTheCopyAndUndoRemovesIt) {
    testing::TempDir dir;
    dir.Write("a.txt", "abc");
    RunSettings settings;
    settings.transferMode = true;
    settings.transferFolder = dir / "out/";
    testing::ContentRun run(dir, RunMode::Execute, settings);
    run.run->Record().copyFlag = true;
    run.AddRow(dir.Path(), "a.txt");
    RunRows rows = run.Rows();
    RunContentRows(*run.run, rows, [](const ContentRow&, std::string_view bytes, ContentSink& out) -> std::expected<bool, Error> {
        return out.Write(std::string(bytes) + "!").has_value();
    });
    EXPECT_EQ(dir.Read("a.txt"), "abc");
    EXPECT_EQ(dir.Read("out/a.txt"), "abc!");
    EXPECT_EQ(run.Status(0), "√");
    EXPECT_TRUE(run.run->Record().contentChanges.empty());
    ASSERT_EQ(run.run->Record().transfers.size(), 1u);
    EXPECT_TRUE(run.Undo().failedPaths.empty());
    EXPECT_FALSE(fs::exists(dir / "out/a.txt"));
    EXPECT_EQ(dir.Read("a.txt"), "abc");
}

}  // namespace
}  // namespace varnel
