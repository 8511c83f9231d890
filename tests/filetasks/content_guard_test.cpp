// A content rewrite keeps what another program did meanwhile, never writes a file
// the user may not or should not write, and keeps owner, mode and identity.
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "content_run.h"
#include "filetasks/content_rewrite.h"
#include "platform/mapped_file.h"
#include "runs/undo_replay.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

void Append(const std::string& path, const std::string& line) {
    std::ofstream(path, std::ios::app | std::ios::binary) << line;
}

TEST(ContentGuard, AnotherProgramsAppendDuringARewriteFailsTheRowAndIsKept) {
    const struct {
        const char* what;
        std::size_t size;
        bool twoNames;
        bool mapped;
    } cases[] = {
        {"one name, read", 4000, false, false},
        {"one name, mapped", 300000, false, true},
        {"two names, written in place", 4000, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempDir dir;
        testing::TempDir cache;
        const std::string path = dir / "log.txt";
        const std::string before(c.size, 'a');
        dir.Write("log.txt", before);
        if (c.twoNames) fs::create_hard_link(path, dir / "other.txt");
        auto source = MappedFile::Open(path, SystemPosix(), c.mapped ? 0 : MappedFile::kMapFrom);
        ASSERT_TRUE(source);
        UndoSpool spool(cache / "undo");
        WriteJournal journal(cache / "journal");
        // Half way through the new content, another program appends a line.
        const auto rewritten = RewriteFileStreamed(
            path, source->Bytes(), &*source,
            [&](ContentSink& out) -> std::expected<bool, Error> {
                if (auto w = out.Write(std::string(c.size / 2, 'b')); !w) return std::unexpected(w.error());
                Append(path, "appended line\n");
                if (auto w = out.Write(std::string(c.size / 2, 'b')); !w) return std::unexpected(w.error());
                return true;
            },
            &spool, SystemPosix(), journal);
        ASSERT_FALSE(rewritten);
        EXPECT_EQ(rewritten.error().code, Error::kChangedMeanwhile);
        EXPECT_EQ(FailureReason(rewritten.error()), "文件在编辑时被其他程序改变");
        EXPECT_TRUE(dir.Read("log.txt") == before + "appended line\n");
        std::vector<std::string> names{"log.txt"};
        if (c.twoNames) names.push_back("other.txt");
        EXPECT_EQ(Names(dir.Path()), names);
        EXPECT_TRUE(!fs::exists(cache / "journal") || Names(cache / "journal").empty());
    }
}

TEST(ContentGuard, TheRowOfAFileChangedMeanwhileOrReadOnlyFailsWithItsReason) {
    testing::TempDir dir;
    dir.Write("changing.txt", "abc");
    dir.Write("locked.txt", "abc");
    ::chmod((dir / "locked.txt").c_str(), 0444);
    testing::ContentRun run(dir);
    run.AddRow(dir.Path(), "changing.txt");
    run.AddRow(dir.Path(), "locked.txt");
    RunRows rows = run.Rows();
    RunContentRows(*run.run, rows, [&](const ContentRow& row, std::string_view bytes, ContentSink& out) -> std::expected<bool, Error> {
        if (row.path.ends_with("changing.txt")) Append(row.path, "more");
        if (!out.Write(bytes) || !out.Write("d")) return std::unexpected(Error{EIO, "write", row.path});
        return true;
    });
    EXPECT_EQ(run.Status(0), "× 文件在编辑时被其他程序改变");
    EXPECT_EQ(run.Status(1), "× 文件只读");
    EXPECT_EQ(dir.Read("changing.txt"), "abcmore");
    EXPECT_EQ(dir.Read("locked.txt"), "abc");
    EXPECT_TRUE(run.run->Record().contentChanges.empty());
    EXPECT_EQ(run.run->FailedPaths(), (std::vector<std::string>{dir / "changing.txt", dir / "locked.txt"}));
}

// What a permission case looks at: who owns the file, its mode and identity.
struct FileState {
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0;
    ino_t inode = 0;
    std::string content;
    bool operator==(const FileState&) const = default;
};

FileState StateOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    std::ifstream in(path, std::ios::binary);
    return {info.st_uid, info.st_gid, info.st_mode & 07777, info.st_ino, std::string(std::istreambuf_iterator<char>(in), {})};
}

// What the child saw: the rewrite's error code (0: done) and the file afterwards,
// then whether undo brought it back.
struct ChildReport {
    int code = 0;
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0;
    ino_t inode = 0;
    bool contentNew = false;
    bool undone = false;
};

constexpr uid_t kNobody = 65534;

TEST(ContentGuard, PermissionsOwnerAndSpecialBitsAsANormalUserAndAsRoot) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to make the files of other users";
    enum class Who { User, Root };
    const struct {
        const char* what;
        Who who;
        uid_t owner;
        mode_t mode;
        mode_t folderMode;
        uid_t folderOwner;
        int code;          // 0: rewritten
        bool sameInode;    // written in place
    } cases[] = {
        {"a user's own 0444 file", Who::User, kNobody, 0444, 0777, 0, Error::kReadOnly, true},
        {"root's 0644 file the user may not write", Who::User, 0, 0644, 0777, 0, Error::kReadOnly, true},
        {"root's 0666 file keeps its owner", Who::User, 0, 0666, 0777, 0, 0, true},
        {"a user's file in a 0555 folder", Who::User, kNobody, 0644, 0555, 0, 0, true},
        {"a user's file in the user's folder", Who::User, kNobody, 0640, 0755, kNobody, 0, false},
        {"root's 0444 file", Who::Root, 0, 0444, 0755, 0, Error::kReadOnly, true},
        {"another user's 6755 file keeps its special bits", Who::Root, 1234, 06755, 0755, 0, 0, false},
        {"root's file in a 0555 folder", Who::Root, 0, 0644, 0555, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::TempDir top;
        ASSERT_EQ(::chmod(top.Path().c_str(), 0755), 0);
        const std::string cache = top / "cache";
        const std::string folder = top / "folder";
        fs::create_directory(cache);
        fs::create_directory(folder);
        const uid_t runner = c.who == Who::User ? kNobody : 0;
        ASSERT_EQ(::chown(cache.c_str(), runner, runner), 0);
        const std::string path = folder + "/file.txt";
        const std::string before = "old content\n";
        const std::string after = "the new content\n";
        std::ofstream(path) << before;
        ASSERT_EQ(::chown(path.c_str(), c.owner, c.owner), 0);
        ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
        ASSERT_EQ(::chown(folder.c_str(), c.folderOwner, c.folderOwner), 0);
        ASSERT_EQ(::chmod(folder.c_str(), c.folderMode), 0);
        const FileState start = StateOf(path);

        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            // A normal user's ids, as setpriv --reuid --regid --clear-groups gives.
            if (c.who == Who::User &&
                (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
                 ::setresuid(kNobody, kNobody, kNobody) != 0)) {
                ::_exit(2);
            }
            ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);  // undo's journal too
            ChildReport report;
            {
                UndoSpool spool(cache + "/undo");
                WriteJournal journal(cache + "/journal");
                auto rewritten = RewriteFileContent(path, before, after, &spool, SystemPosix(), journal);
                report.code = rewritten ? (rewritten->failure ? EIO : 0) : rewritten.error().code;
                const FileState now = StateOf(path);
                report.owner = now.owner;
                report.group = now.group;
                report.mode = now.mode;
                report.inode = now.inode;
                report.contentNew = now.content == after;
                if (rewritten && rewritten->entry) {
                    UndoRecord record;
                    record.contentChanges.push_back(*rewritten->entry);
                    report.undone = ReplayUndoRecord(record, {}).failedPaths.empty();
                }
            }
            (void)!::write(fds[1], &report, sizeof report);
            ::_exit(0);
        }
        ::close(fds[1]);
        ChildReport report;
        ASSERT_EQ(::read(fds[0], &report, sizeof report), static_cast<ssize_t>(sizeof report));
        ::close(fds[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

        EXPECT_EQ(report.code, c.code);
        // Owner and mode stay whatever was done; the content is new only when done.
        EXPECT_EQ(report.owner, start.owner);
        EXPECT_EQ(report.group, start.group);
        EXPECT_EQ(report.mode, start.mode);
        EXPECT_EQ(report.contentNew, c.code == 0);
        if (c.sameInode) {
            EXPECT_EQ(report.inode, start.inode);
        }
        if (c.code == 0) {
            EXPECT_TRUE(report.undone);
            const FileState end = StateOf(path);
            EXPECT_EQ(end.content, before);
            EXPECT_EQ(end.owner, start.owner);
            EXPECT_EQ(end.mode, start.mode);
            if (c.sameInode) {
                EXPECT_EQ(end.inode, start.inode);
            }
        } else {
            EXPECT_EQ(StateOf(path), start);
        }
        EXPECT_EQ(Names(folder), std::vector<std::string>{"file.txt"});
        ::chmod(folder.c_str(), 0755);
    }
}

}  // namespace
}  // namespace varnel
