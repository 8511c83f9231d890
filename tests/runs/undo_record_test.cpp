#include "runs/undo_record.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/open_folder.h"
#include "support/faulty_posix.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;

TEST(UndoRecord, KeptExactlyWhenItHoldsAChange) {
    struct Case {
        const char* name;
        std::function<void(UndoRecord&)> fill;
        bool kept;
        std::optional<UndoKind> kind;
    };
    const std::vector<Case> cases = {
        {"nothing", [](UndoRecord&) {}, false, std::nullopt},
        {"copy flag only", [](UndoRecord& r) { r.copyFlag = true; }, false, std::nullopt},
        {"created folders only",
         [](UndoRecord& r) { r.createdFolders.push_back({"/out/新", {}}); }, true, UndoKind::Transfers},
        {"one rename", [](UndoRecord& r) { r.renames.push_back({"b", "a", "/x/"}); }, true, UndoKind::Renames},
        {"attributes", [](UndoRecord& r) { r.attributeChanges.push_back({"/x/a", 0x20}); }, true,
         UndoKind::AttributeChanges},
        {"titles", [](UndoRecord& r) { r.titleChanges.push_back({"/x/a.htm", "旧"}); }, true, UndoKind::TitleChanges},
        {"transfers with folders",
         [](UndoRecord& r) {
             r.createdFolders.push_back({"/out", {}});
             r.transfers.push_back({"/out/a", "/x/a", {}});
         },
         true, UndoKind::Transfers},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UndoRecord record;
        c.fill(record);
        EXPECT_EQ(HoldsChange(record), c.kept);
        EXPECT_EQ(FirstUndoKind(record, kUndoReplayOrder), c.kind);
    }
}

TEST(UndoRecord, KindOrdersAndNames) {
    // A record the system never makes (two lists), to tell the three orders apart.
    UndoRecord record;
    record.renames.push_back({"b", "a", "/x/"});
    record.transfers.push_back({"/out/b", "/x/b", {}});
    record.titleChanges.push_back({"/x/a.htm", "旧"});
    EXPECT_EQ(FirstUndoKind(record, kUndoReplayOrder), UndoKind::Transfers);
    EXPECT_EQ(FirstUndoKind(record, kUndoRecordListOrder), UndoKind::Transfers);
    EXPECT_EQ(FirstUndoKind(record, kUndoDetailOrder), UndoKind::Renames);
    record.transfers.clear();
    record.renames.clear();
    EXPECT_EQ(FirstUndoKind(record, kUndoReplayOrder), UndoKind::TitleChanges);

    const std::pair<UndoKind, std::string_view> names[] = {
        {UndoKind::Transfers, "变更路径"},       {UndoKind::Renames, "文件改名"},
        {UndoKind::AttributeChanges, "文件属性"}, {UndoKind::TimeChanges, "文件时间"},
        {UndoKind::TagChanges, "MP3标签"},       {UndoKind::ContentChanges, "修改内容"},
        {UndoKind::Splits, "文件分割"},          {UndoKind::TitleChanges, "网页标题"},
        {UndoKind::ShortcutChanges, "快捷方式"},
    };
    for (const auto& [kind, name] : names) EXPECT_EQ(UndoKindName(kind), name);
    EXPECT_EQ(kUndoRecordListOrder[0], UndoKind::Transfers);
    EXPECT_EQ(kUndoRecordListOrder[8], UndoKind::ShortcutChanges);
}

TEST(UndoRecord, HistoryCopyIsIndependentAndSpooledDataLivesWithTheLastCopy) {
    TempDir dir;
    UndoSpool spool(dir / "cache/Varnel/undo");
    auto original = spool.Store("旧的内容");
    ASSERT_TRUE(original.has_value()) << original.error().message;
    const std::string spooled = original->Path();

    std::vector<UndoRecord> history;
    {
        UndoRecord current;
        current.contentChanges.push_back({dir / "a.txt", *original});
        current.renames.push_back({"b", "a", "/x/"});
        history.push_back(current);
        current.renames.clear();
        current.contentChanges.front().path = "/changed";
        EXPECT_EQ(history[0].renames.size(), 1u);
        EXPECT_EQ(history[0].contentChanges[0].path, dir / "a.txt");
        original = SpooledBytes();
    }
    // The record's copy in the history still reads the old content.
    EXPECT_EQ(history[0].contentChanges[0].originalBytes.ReadAll().value(), "旧的内容");
    EXPECT_TRUE(std::filesystem::exists(spooled));
    history.clear();
    EXPECT_FALSE(std::filesystem::exists(spooled));
}

TEST(UndoSpool, KeepsItsFolderPrivateAndCopiesFiles) {
    TempDir dir;
    std::filesystem::create_directories(dir / "undo");
    std::filesystem::permissions(dir / "undo", std::filesystem::perms::all);
    dir.Write("big.bin", std::string(200000, 'x') + "end");
    UndoSpool spool(dir / "undo");
    auto copy = spool.StoreCopyOf(dir / "big.bin");
    ASSERT_TRUE(copy.has_value()) << copy.error().message;
    EXPECT_EQ(copy->Size(), 200003);
    EXPECT_EQ(copy->ReadAll().value(), dir.Read("big.bin"));
    struct stat info {};
    ASSERT_EQ(::stat((dir / "undo").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    EXPECT_FALSE(spool.StoreCopyOf(dir / "missing").has_value());

    // Bytes the spool may be the only holder of are kept only when every write,
    // sync and close of them succeeded.
    using Call = testing::FaultyPosix::Call;
    const testing::FaultyPosix::Fault faults[] = {{Call::Write, ENOSPC}, {Call::Fsync, EIO}, {Call::Close, EIO}};
    for (const auto& fault : faults) {
        for (const bool copying : {false, true}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(fault.call)) + (copying ? " copy" : " bytes"));
            testing::FaultyPosix faulty;
            faulty.Fail(fault);
            UndoSpool full(dir / "undo", faulty);
            const auto failed = copying ? full.StoreCopyOf(dir / "big.bin", true) : full.Store("内容", true);
            ASSERT_FALSE(failed.has_value());
            EXPECT_EQ(failed.error().code, fault.error);
            EXPECT_EQ(FailureReason(failed.error()), SystemErrorReason(fault.error));
            // Nothing is left behind but the copy still held above.
            std::size_t files = 0;
            for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir / "undo")) ++files;
            EXPECT_EQ(files, 1u);
        }
    }
}

// At start the spool files of processes that ended without tidying up go; those
// of this process and of any process still running stay, as do names that no
// process gave.
TEST(UndoSpool, LeftoversOfEndedProcessesAreRemoved) {
    TempDir dir;
    UndoSpool spool(dir / "undo");
    const auto mine = spool.Store("this process's data");
    ASSERT_TRUE(mine.has_value());
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const std::string ended = std::to_string(child);
    dir.Write("undo/" + ended + "-1", "left by a crash");
    dir.Write("undo/" + ended + "-2", "");
    dir.Write("undo/1-7", "init never ends");
    dir.Write("undo/notes", "no process's");

    EXPECT_EQ(spool.RemoveLeftovers(), 2u);
    EXPECT_FALSE(std::filesystem::exists(dir / ("undo/" + ended + "-1")));
    EXPECT_FALSE(std::filesystem::exists(dir / ("undo/" + ended + "-2")));
    EXPECT_TRUE(std::filesystem::exists(mine->Path()));
    EXPECT_TRUE(std::filesystem::exists(dir / "undo/1-7"));
    EXPECT_TRUE(std::filesystem::exists(dir / "undo/notes"));
    EXPECT_EQ(UndoSpool(dir / "absent").RemoveLeftovers(), 0u);
}

// A file system that cannot link (another device, FAT).
class NoLinks : public PosixApi {
public:
    int Link(const char*, const char*) override {
        errno = EXDEV;
        return -1;
    }
};

TEST(UndoSpool, KeepsAFileAboutToBeReplacedByLinkOrElseByCopy) {
    NoLinks noLinks;
    for (PosixApi* os : {&SystemPosix(), static_cast<PosixApi*>(&noLinks)}) {
        const bool links = os == &SystemPosix();
        for (const bool synced : {false, true}) {
            TempDir dir;
            dir.Write("doc.txt", "old content");
            dir.Write("new.txt", "new content");
            UndoSpool spool(dir / "undo", *os);
            auto kept = spool.StoreLinkOf(dir / "doc.txt", synced);
            ASSERT_TRUE(kept.has_value()) << kept.error().message;
            struct stat info {};
            ASSERT_EQ(::stat((dir / "doc.txt").c_str(), &info), 0);
            EXPECT_EQ(info.st_nlink, links ? 2u : 1u) << links;
            ASSERT_EQ(::rename((dir / "new.txt").c_str(), (dir / "doc.txt").c_str()), 0);
            EXPECT_EQ(kept->Size(), 11);
            EXPECT_EQ(kept->ReadAll().value(), "old content") << links << synced;
            const std::string spooled = kept->Path();
            kept = std::unexpected(Error{});
            EXPECT_FALSE(std::filesystem::exists(spooled)) << links << synced;
        }
    }
}

TEST(PathIdentity, MatchesWhileThePathIsStillWhatTheRunMade) {
    TempDir dir;
    dir.Write("copy.txt", "abc");
    std::filesystem::create_directories(dir / "made");
    const auto file = ReadPathIdentity(dir / "copy.txt");
    const auto folder = ReadPathIdentity(dir / "made");
    ASSERT_TRUE(file && folder);
    EXPECT_TRUE(folder->isFolder);

    dir.Write("made/later.txt", "x");  // a folder gaining an entry is still that folder
    EXPECT_TRUE(MatchesIdentity(*folder, ReadPathIdentity(dir / "made").value()));
    EXPECT_TRUE(MatchesIdentity(*file, ReadPathIdentity(dir / "copy.txt").value()));

    dir.Write("copy.txt", "changed since");
    EXPECT_FALSE(MatchesIdentity(*file, ReadPathIdentity(dir / "copy.txt").value()));
    EXPECT_FALSE(MatchesIdentity(*folder, *file));
    EXPECT_FALSE(ReadPathIdentity(dir / "missing").has_value());

    std::vector<CreatedPath> created;
    AppendCreatedPaths(created, {dir / "made", dir / "missing"});
    ASSERT_EQ(created.size(), 2u);
    EXPECT_TRUE(MatchesIdentity(created[0].identity, ReadPathIdentity(dir / "made").value()));
    EXPECT_FALSE(created[1].identity.known);
    dir.Write("missing", "");  // what appears later under the name is not the run's
    EXPECT_FALSE(MatchesIdentity(created[1].identity, ReadPathIdentity(dir / "missing").value()));
}

// What the user can do to a file after the run, and whether undo still takes it for
// the run's unchanged copy (Matches) or at least for the same file (SameObject).
TEST(PathIdentity, ChangeTimeAndBirthTellWhatCameSince) {
    struct Case {
        const char* what;
        std::function<void(TempDir&)> act;
        bool matches;
        bool sameObject;
    };
    const Case cases[] = {
        {"nothing", [](TempDir&) {}, true, true},
        {"mode changed", [](TempDir& dir) { ::chmod((dir / "f").c_str(), 0600); }, false, true},
        {"edited in place, size and time kept",
         [](TempDir& dir) {
             struct stat before {};
             ::stat((dir / "f").c_str(), &before);
             std::ofstream(dir / "f", std::ios::in | std::ios::out) << "XYZ";
             const struct timespec times[2] = {before.st_atim, before.st_mtim};
             ::utimensat(AT_FDCWD, (dir / "f").c_str(), times, 0);
         },
         false, true},
        {"replaced by another file", [](TempDir& dir) {
             dir.Write("g", "abc");
             std::filesystem::rename(dir / "g", dir / "f");
         },
         false, false},
        {"deleted and written anew", [](TempDir& dir) {
             std::filesystem::remove(dir / "f");
             dir.Write("f", "abc");
         },
         false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        dir.Write("f", "abc");
        const auto recorded = ReadPathIdentity(dir / "f");
        ASSERT_TRUE(recorded.has_value());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // past a coarse clock tick
        c.act(dir);
        const auto now = ReadPathIdentity(dir / "f");
        ASSERT_TRUE(now.has_value());
        if (!recorded->born && now->inode == recorded->inode && !c.sameObject) {
            continue;  // an inode number used again, on a file system that keeps no birth time
        }
        EXPECT_EQ(MatchesIdentity(*recorded, *now), c.matches);
        EXPECT_EQ(IsSameObject(*recorded, *now), c.sameObject);
    }

    // Without statx, everything but the birth time is still read.
    TempDir dir;
    dir.Write("f", "abc");
    testing::FaultyPosix noStatx;
    noStatx.Fail(testing::FaultyPosix::Call::Statx, ENOSYS);
    const auto withLstat = ReadPathIdentity(dir / "f", noStatx);
    ASSERT_TRUE(withLstat.has_value());
    EXPECT_FALSE(withLstat->born.has_value());
    EXPECT_TRUE(MatchesIdentity(*withLstat, ReadPathIdentity(dir / "f").value()));
    EXPECT_FALSE(ReadPathIdentity(dir / "missing", noStatx).has_value());
}

TEST(PathIdentity, ReadThroughAnOpenFolderAsByPath) {
    TempDir dir;
    dir.Write("file.txt", "abc");
    std::filesystem::create_directories(dir / "sub");
    std::filesystem::create_symlink(dir / "file.txt", dir / "link");
    OpenFolder folder;
    const int fd = folder.Get(dir / "");
    ASSERT_GE(fd, 0);
    EXPECT_EQ(folder.Get(dir / ""), fd);  // the same folder stays open
    for (const char* name : {"file.txt", "sub", "link", "missing"}) {
        SCOPED_TRACE(name);
        const auto byPath = ReadPathIdentity(dir / name);
        const auto inFolder = ReadPathIdentityAt(fd, name);
        ASSERT_EQ(byPath.has_value(), inFolder.has_value());
        if (!byPath) {
            EXPECT_EQ(inFolder.error().code, ENOENT);
            continue;
        }
        EXPECT_TRUE(IsSameObject(*byPath, *inFolder));
        EXPECT_EQ(byPath->inode, inFolder->inode);
        EXPECT_EQ(byPath->isFolder, inFolder->isFolder);
        EXPECT_EQ(byPath->size, inFolder->size);
    }
    // Another folder, then one that cannot be opened: -1, and the caller uses the path.
    EXPECT_GE(folder.Get(dir / "sub/"), 0);
    EXPECT_EQ(folder.Get(dir / "missing/"), -1);
    EXPECT_EQ(folder.Get(dir / "file.txt/"), -1);
}

}  // namespace
}  // namespace varnel
