// Moves and copies across file systems keep what `mv` and `cp -a` keep.
#include "fileops/kept_metadata.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "fileops/copy_move.h"
#include "support/faulty_posix.h"
#include "support/full_listing.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
using testing::FullListing;
using testing::TempDir;

constexpr uid_t kOtherUser = 65534;

bool IsRoot() { return ::geteuid() == 0; }

void SetTimes(const std::string& path, long seconds) {
    const struct timespec times[2] = {{seconds + 7, 250000000}, {seconds, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

void SetXattr(const std::string& path, const std::string& name, const std::string& value) {
    ASSERT_EQ(::setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0), 0) << path;
}

void WriteFile(const std::string& path, const std::string& bytes, mode_t mode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
}

// A tree with everything a careless copy loses: extended attributes (one binary),
// two names of one file in different folders, a private 0700 folder, a 0555
// folder holding a 0444 file, a link with its own times and, as root, a set-user
// program and a link owned by someone else. Times are set last, innermost first.
void MakeTree(const std::string& root) {
    ASSERT_EQ(::mkdir(root.c_str(), 0750), 0);
    for (const char* folder : {"/sub", "/private", "/readonly"}) ASSERT_EQ(::mkdir((root + folder).c_str(), 0755), 0);
    WriteFile(root + "/a.txt", "first file\n", 0640);
    SetXattr(root + "/a.txt", "user.note", std::string("bin\0ary\xff", 8));
    ASSERT_EQ(::link((root + "/a.txt").c_str(), (root + "/sub/a-again.txt").c_str()), 0);
    WriteFile(root + "/private/p.txt", "private\n", 0600);
    WriteFile(root + "/readonly/r.txt", "read only\n", 0444);
    WriteFile(root + "/s.bin", "#!/bin/sh\n", 04755);
    ASSERT_EQ(::symlink("a.txt", (root + "/l").c_str()), 0);
    SetXattr(root + "/sub", "user.folder", "tagged");
    if (IsRoot()) {
        ASSERT_EQ(::chown((root + "/s.bin").c_str(), kOtherUser, kOtherUser), 0);
        ASSERT_EQ(::chmod((root + "/s.bin").c_str(), 06755), 0);
        ASSERT_EQ(::lchown((root + "/l").c_str(), kOtherUser, kOtherUser), 0);
        ASSERT_EQ(::chown((root + "/private").c_str(), kOtherUser, kOtherUser), 0);
    }
    ASSERT_EQ(::chmod((root + "/private").c_str(), 0700), 0);
    ASSERT_EQ(::chmod((root + "/readonly").c_str(), 0555), 0);
    long when = 1500000000;
    for (const char* path : {"/a.txt", "/private/p.txt", "/readonly/r.txt", "/s.bin", "/l", "/sub", "/private",
                             "/readonly", ""}) {
        SetTimes(root + path, when += 1000);
    }
}

void ExpectSameListing(const std::map<std::string, testing::ListedEntry>& before, const std::string& folder,
                       const char* step) {
    const auto now = FullListing(folder);
    EXPECT_EQ(now.size(), before.size()) << step;
    for (const auto& [name, entry] : before) {
        const auto found = now.find(name);
        if (found == now.end()) {
            ADD_FAILURE() << step << ": " << name << " is missing";
            continue;
        }
        EXPECT_EQ(found->second, entry) << step << ": " << name;
    }
    struct stat one {};
    struct stat two {};
    ASSERT_EQ(::stat((folder + "/a.txt").c_str(), &one), 0) << step;
    ASSERT_EQ(::stat((folder + "/sub/a-again.txt").c_str(), &two), 0) << step;
    EXPECT_EQ(one.st_ino, two.st_ino) << step << ": the two names are no longer one file";
}

// Renames and links between the two halves of one temporary folder fail as they
// would between two file systems.
struct TwoFileSystems : PosixApi {
    explicit TwoFileSystems(const TempDir& dir) : first(dir / "disk1/"), second(dir / "disk2/") {
        fs::create_directories(first);
        fs::create_directories(second);
    }
    std::string first;
    std::string second;
    bool Crosses(const char* from, const char* to) const {
        const std::string a(from);
        const std::string b(to);
        return a.starts_with(first) != b.starts_with(first) || a.starts_with(second) != b.starts_with(second);
    }
    int Renameat2(const char* from, const char* to, unsigned flags) override {
        if (Crosses(from, to)) {
            errno = EXDEV;
            return -1;
        }
        return PosixApi::Renameat2(from, to, flags);
    }
    int Rename(const char* from, const char* to) override {
        if (Crosses(from, to)) {
            errno = EXDEV;
            return -1;
        }
        return PosixApi::Rename(from, to);
    }
    int Link(const char* from, const char* to) override {
        if (Crosses(from, to)) {
            errno = EXDEV;
            return -1;
        }
        return PosixApi::Link(from, to);
    }
};

// Moves the tree from `home` to `away` and back, as a move and its undo do, and
// checks the full listing after each step.
void MoveThereAndBack(const std::string& home, const std::string& away, PosixApi& os) {
    MakeTree(home);
    const auto before = FullListing(home);
    std::vector<std::string> created;
    std::vector<std::string> failed;
    ASSERT_TRUE(CopyOrMovePath(home, away, false, created, failed, os));
    EXPECT_TRUE(failed.empty());
    EXPECT_FALSE(fs::exists(home));
    ExpectSameListing(before, away, "moved there");
    ASSERT_TRUE(CopyOrMovePath(away, home, false, created, failed, os));
    EXPECT_TRUE(failed.empty());
    EXPECT_FALSE(fs::exists(away));
    ExpectSameListing(before, home, "moved back");
}

TEST(KeptMetadata, TreeMovedAcrossFileSystemsAndBackKeepsEverything) {
    TempDir dir;
    TwoFileSystems os(dir);
    MoveThereAndBack(os.first + "tree", os.second + "deeper/tree", os);
}

// The same on a real second file system: a tmpfs mounted for the test.
TEST(KeptMetadata, TreeMovedFromATmpfsToDiskAndBackKeepsEverything) {
    TempDir dir;
    fs::create_directories(dir / "mnt");
    fs::create_directories(dir / "disk");
    if (!IsRoot() ||
        std::system(("mount -t tmpfs -o mode=0755 varnel-test '" + (dir / "mnt") + "' 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root and the mount privilege)";
    }
    struct Unmount {
        std::string path;
        ~Unmount() { std::system(("umount -l '" + path + "'").c_str()); }
    } unmount{dir / "mnt"};
    MoveThereAndBack(dir / "mnt/tree", dir / "disk/tree", SystemPosix());
}

TEST(KeptMetadata, TreeCopyKeepsEverythingAndLinksItsTwoNames) {
    TempDir dir;
    TwoFileSystems os(dir);
    MakeTree(os.first + "tree");
    const auto before = FullListing(os.first + "tree");
    std::vector<std::string> created;
    std::vector<std::string> failed;
    std::vector<std::string> written;
    ASSERT_TRUE(CopyOrMovePath(os.first + "tree", os.second + "tree", true, created, failed, os, &written));
    ExpectSameListing(before, os.second + "tree", "copied");
    // Both names are written files of the copy, so that undo removes both.
    EXPECT_NE(std::ranges::find(written, os.second + "tree/sub/a-again.txt"), written.end());
    EXPECT_NE(std::ranges::find(written, os.second + "tree/a.txt"), written.end());
}

// A normal user's copy cannot give a file away: as `cp -a`, the copy is the
// user's own, and a set-user or set-group bit does not come with it.
TEST(KeptMetadata, ANormalUsersCopyKeepsTheUserAsOwnerWithoutSpecialBits) {
    if (!IsRoot()) GTEST_SKIP() << "needs root to make another user's file";
    TempDir dir;
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);
    WriteFile(dir / "tool", "#!/bin/sh\n", 06755);
    SetXattr(dir / "tool", "user.kept", "yes");
    SetTimes(dir / "tool", 1400000000);
    fs::create_directories(dir / "out");
    ASSERT_EQ(::chown((dir / "out").c_str(), kOtherUser, kOtherUser), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kOtherUser, kOtherUser, kOtherUser) != 0 ||
            ::setresuid(kOtherUser, kOtherUser, kOtherUser) != 0) {
            ::_exit(2);
        }
        ::_exit(CopyFileNoReplace(dir / "tool", dir / "out/tool").has_value() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    struct stat copied {};
    ASSERT_EQ(::stat((dir / "out/tool").c_str(), &copied), 0);
    EXPECT_EQ(copied.st_uid, kOtherUser);
    EXPECT_EQ(copied.st_gid, kOtherUser);
    EXPECT_EQ(copied.st_mode & 07777, 0755u);
    EXPECT_EQ(copied.st_mtim.tv_sec, 1400000000);
    EXPECT_EQ(testing::ListedXattrs(dir / "out/tool").at("user.kept"), "yes");
}

// An attribute the target cannot take because its file system has none is no
// failure; any other refusal fails the copy, and a move then keeps its source.
TEST(KeptMetadata, AnAttributeThatCannotBeWrittenFailsOnlyForARealFault) {
    struct Case {
        int error;
        bool copied;
    };
    for (const Case c : {Case{ENOTSUP, true}, Case{EIO, false}, Case{ENOSPC, false}}) {
        TempDir dir;
        WriteFile(dir / "f.txt", "content", 0644);
        SetXattr(dir / "f.txt", "user.tag", "t");
        testing::FaultyPosix os;
        os.Fail(testing::FaultyPosix::Call::Setxattr, c.error);
        std::vector<std::string> created;
        std::vector<std::string> failed;
        fs::create_directories(dir / "out");
        EXPECT_EQ(CopyOrMovePath(dir / "f.txt", dir / "out/f.txt", true, created, failed, os), c.copied) << c.error;
        EXPECT_EQ(fs::exists(dir / "out/f.txt"), c.copied) << c.error;
        // Nothing half-made is left beside the target.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), fs::directory_iterator()), c.copied ? 1 : 0);
        EXPECT_EQ(testing::ListedXattrs(dir / "f.txt").at("user.tag"), "t");
    }
}

}  // namespace
}  // namespace varnel
