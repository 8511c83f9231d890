#include "platform/file_io.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/faulty_posix.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::FaultyPosix;
using testing::TempDir;

std::size_t EntryCount(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
    return count;
}

TEST(AtomicWrite, ReplacesContentAndKeepsMode) {
    TempDir dir;
    dir.Write("a.ini", "old");
    ::chmod((dir / "a.ini").c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(dir / "a.ini", "new content"));
    EXPECT_EQ(dir.Read("a.ini"), "new content");
    struct stat info {};
    ::stat((dir / "a.ini").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(EntryCount(dir.Path()), 1u);  // no temporary file left
}

TEST(AtomicWrite, FollowsSymbolicLinkAndKeepsIt) {
    TempDir dir;
    dir.Write("real.ini", "old");
    std::filesystem::create_symlink(dir / "real.ini", dir / "link.ini");
    ASSERT_TRUE(WriteFileAtomically(dir / "link.ini", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(dir.Read("real.ini"), "new");
}

TEST(AtomicWrite, AnyFailureLeavesTheOldFileAndNoTemporary) {
    const struct { FaultyPosix::Call call; int error; } faults[] = {
        {FaultyPosix::Call::Open, EACCES},
        {FaultyPosix::Call::Write, ENOSPC},
        {FaultyPosix::Call::Fsync, EIO},
        {FaultyPosix::Call::Close, EIO},
        {FaultyPosix::Call::Rename, EXDEV},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(static_cast<int>(fault.call));
        TempDir dir;
        dir.Write("a.ini", "old");
        FaultyPosix os;
        os.Fail(fault.call, fault.error);
        const auto result = WriteFileAtomically(dir / "a.ini", "new", os);
        ASSERT_FALSE(result.has_value());
        EXPECT_EQ(result.error().code, fault.error);
        EXPECT_EQ(result.error().path, dir / "a.ini");
        EXPECT_EQ(dir.Read("a.ini"), "old");
        EXPECT_EQ(EntryCount(dir.Path()), 1u);
    }
}

TEST(AtomicWrite, RefusesToReplaceAFolder) {
    TempDir dir;
    std::filesystem::create_directory(dir / "sub");
    EXPECT_FALSE(WriteFileAtomically(dir / "sub", "x").has_value());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "sub"));
}

TEST(Folders, EnsureDirectoryMakesParents) {
    TempDir dir;
    ASSERT_TRUE(EnsureDirectory(dir / "a/b/c", 0700));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "a/b/c"));
    ASSERT_TRUE(EnsureDirectory(dir / "a/b/c", 0700));  // already there
    dir.Write("file", "x");
    EXPECT_EQ(EnsureDirectory(dir / "file/sub", 0700).error().code, ENOTDIR);
}

TEST(Files, ReadMissingFileReportsErrno) {
    TempDir dir;
    const auto read = ReadWholeFile(dir / "missing");
    ASSERT_FALSE(read.has_value());
    EXPECT_EQ(read.error().code, ENOENT);
}

}  // namespace
}  // namespace varnel
