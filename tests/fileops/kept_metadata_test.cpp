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
#include "support/metadata_tree.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
using testing::FullListing;
using testing::IsRoot;
using testing::kOtherUser;
using testing::SetTimes;
using testing::SetXattr;
using testing::TempDir;
using testing::TwoFileSystems;
using testing::WriteFile;

// Moves the tree from `home` to `away` and back, as a move and its undo do, and
// checks the full listing after each step.
void MoveThereAndBack(const std::string& home, const std::string& away, PosixApi& os) {
    testing::MakeMetadataTree(home);
    const auto before = FullListing(home);
    std::vector<std::string> created;
    std::vector<std::string> failed;
    ASSERT_TRUE(CopyOrMovePath(home, away, false, created, failed, os));
    EXPECT_TRUE(failed.empty());
    EXPECT_FALSE(fs::exists(home));
    testing::ExpectSameListing(before, away, "moved there");
    ASSERT_TRUE(CopyOrMovePath(away, home, false, created, failed, os));
    EXPECT_TRUE(failed.empty());
    EXPECT_FALSE(fs::exists(away));
    testing::ExpectSameListing(before, home, "moved back");
}

TEST(KeptMetadata, TreeMovedAcrossFileSystemsAndBackKeepsEverything) {
    TempDir dir;
    TwoFileSystems os(dir);
    MoveThereAndBack(os.first + "tree", os.second + "deeper/tree", os);
}

// The same on a real second file system: a tmpfs mounted for the test.
TEST(KeptMetadata, TreeMovedFromATmpfsToDiskAndBackKeepsEverything) {
    TempDir dir;
    fs::create_directories(dir / "disk");
    const testing::ScopedTmpfs tmpfs(dir / "mnt");
    if (!tmpfs.mounted) GTEST_SKIP() << "cannot mount a tmpfs here (needs root and the mount privilege)";
    MoveThereAndBack(dir / "mnt/tree", dir / "disk/tree", SystemPosix());
}

TEST(KeptMetadata, TreeCopyKeepsEverythingAndLinksItsTwoNames) {
    TempDir dir;
    TwoFileSystems os(dir);
    testing::MakeMetadataTree(os.first + "tree");
    const auto before = FullListing(os.first + "tree");
    std::vector<std::string> created;
    std::vector<std::string> failed;
    std::vector<std::string> written;
    ASSERT_TRUE(CopyOrMovePath(os.first + "tree", os.second + "tree", true, created, failed, os, &written));
    testing::ExpectSameListing(before, os.second + "tree", "copied");
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
