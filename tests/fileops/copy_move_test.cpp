#include "fileops/copy_move.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <strings.h>
#include <sys/stat.h>

#include "platform/file_io.h"
#include "support/faulty_posix.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// Fails renames and copies whose source path contains a marker, as a locked file would.
struct LockedFile : PosixApi {
    std::string marker;
    int Renameat2(const char* from, const char* to, unsigned flags) override {
        if (std::string(from).find(marker) != std::string::npos) {
            errno = EACCES;
            return -1;
        }
        return PosixApi::Renameat2(from, to, flags);
    }
    int Open(const char* path, int flags, mode_t mode) override {
        if (std::string(path).find(marker) != std::string::npos) {
            errno = EACCES;
            return -1;
        }
        return PosixApi::Open(path, flags, mode);
    }
};

TEST(CopyMove, FolderChainRecordsCreatedFoldersOutermostFirst) {
    TempDir dir;
    std::vector<std::string> created;
    ASSERT_TRUE(EnsureFolderChain(dir / "x/y/f.txt", created));
    EXPECT_EQ(created, (std::vector<std::string>{dir / "x", dir / "x/y"}));
    created.clear();
    ASSERT_TRUE(EnsureFolderChain(dir / "x/y/z/", created));
    EXPECT_EQ(created, (std::vector<std::string>{dir / "x/y/z"}));
    EXPECT_FALSE(EnsureFolderChain("relative/path", created));
    dir.Write("file", "x");
    EXPECT_FALSE(EnsureFolderChain(dir / "file/below/f", created));
}

TEST(CopyMove, CopyKeepsContentModeAndTimeAndNeverReplaces) {
    TempDir dir;
    dir.Write("a.txt", "hello");
    ::chmod((dir / "a.txt").c_str(), 0640);
    const auto mtime = fs::last_write_time(dir / "a.txt") - std::chrono::hours(5);
    fs::last_write_time(dir / "a.txt", mtime);
    std::vector<std::string> created;
    std::vector<std::string> failed;
    ASSERT_TRUE(CopyOrMovePath(dir / "a.txt", dir / "out/deep/a.txt", true, created, failed));
    EXPECT_EQ(dir.Read("out/deep/a.txt"), "hello");
    EXPECT_EQ(fs::status(dir / "out/deep/a.txt").permissions(), fs::status(dir / "a.txt").permissions());
    EXPECT_EQ(fs::last_write_time(dir / "out/deep/a.txt"), mtime);
    EXPECT_EQ(created.size(), 2u);

    dir.Write("b.txt", "other");
    EXPECT_FALSE(CopyOrMovePath(dir / "b.txt", dir / "out/deep/a.txt", true, created, failed));
    EXPECT_FALSE(CopyOrMovePath(dir / "b.txt", dir / "out/deep/a.txt", false, created, failed));
    EXPECT_EQ(dir.Read("out/deep/a.txt"), "hello");
    EXPECT_EQ(dir.Read("b.txt"), "other");
    EXPECT_EQ(failed, (std::vector<std::string>{dir / "b.txt", dir / "b.txt"}));
    EXPECT_FALSE(CopyOrMovePath(dir / "a.txt", dir / "a.txt", true, created, failed));  // not onto itself
    EXPECT_EQ(dir.Read("a.txt"), "hello");
}

TEST(CopyMove, AFailedCopyLeavesNoTrace) {
    using Call = testing::FaultyPosix::Call;
    // A close after the write is a write too: its failure may mean lost bytes.
    const testing::FaultyPosix::Fault faults[] = {{Call::Write, ENOSPC}, {Call::Fsync, EIO}, {Call::Close, EIO}};
    for (const auto& fault : faults) {
        SCOPED_TRACE(static_cast<int>(fault.call));
        TempDir dir;
        dir.Write("a.txt", std::string(100000, 'x'));
        fs::create_directory(dir / "out");
        testing::FaultyPosix os;
        os.Fail(fault);
        const auto copied = CopyFileNoReplace(dir / "a.txt", dir / "out/a.txt", os);
        ASSERT_FALSE(copied.has_value());
        EXPECT_EQ(copied.error().code, fault.error);
        EXPECT_EQ(FailureReason(copied.error()), SystemErrorReason(fault.error));
        EXPECT_TRUE(fs::is_empty(dir / "out"));
        EXPECT_EQ(dir.Read("a.txt"), std::string(100000, 'x'));
    }
}

TEST(CopyMove, MovingATreeKeepsTheFileThatFailed) {
    TempDir dir;
    fs::create_directories(dir / "src/sub");
    dir.Write("src/one.txt", "1");
    dir.Write("src/locked.txt", "2");
    dir.Write("src/sub/three.txt", "3");
    fs::create_directories(dir / "dst");  // an existing target: the tree is walked
    LockedFile os;
    os.marker = "locked";
    std::vector<std::string> created;
    std::vector<std::string> failed;
    EXPECT_FALSE(CopyOrMovePath(dir / "src", dir / "dst", false, created, failed, os));
    EXPECT_EQ(failed, (std::vector<std::string>{dir / "src/locked.txt"}));
    EXPECT_EQ(dir.Read("src/locked.txt"), "2");  // still where it was
    EXPECT_EQ(dir.Read("dst/one.txt"), "1");
    EXPECT_EQ(dir.Read("dst/sub/three.txt"), "3");
    EXPECT_FALSE(fs::exists(dir / "src/sub"));  // emptied folders go
    EXPECT_TRUE(fs::exists(dir / "src"));       // the one holding the failed file stays
}

TEST(CopyMove, FoldersNeverGoIntoThemselvesAndLinksAreNotFollowed) {
    TempDir dir;
    fs::create_directories(dir / "tree/inner");
    dir.Write("tree/inner/f.txt", "f");
    fs::create_directories(dir / "elsewhere");
    dir.Write("elsewhere/secret.txt", "s");
    fs::create_directory_symlink(dir / "elsewhere", dir / "tree/link");
    std::vector<std::string> created;
    std::vector<std::string> failed;
    EXPECT_FALSE(CopyOrMovePath(dir / "tree", dir / "tree/inner/copy", true, created, failed));
    EXPECT_FALSE(CopyOrMovePath(dir / "tree", dir / "tree", false, created, failed));
    EXPECT_FALSE(fs::exists(dir / "tree/inner/copy"));

    ASSERT_TRUE(CopyOrMovePath(dir / "tree", dir / "copy", true, created, failed));
    EXPECT_EQ(dir.Read("copy/inner/f.txt"), "f");
    EXPECT_TRUE(fs::is_symlink(dir / "copy/link"));  // copied as a link
    EXPECT_TRUE(fs::exists(dir / "tree/inner/f.txt"));
}

// A folder whose names match whatever their letter case, as on a FAT disk.
struct CaseInsensitiveFolder : PosixApi {
    // The existing entry the path names, in its stored spelling; else the path itself.
    std::string Fold(const char* path) {
        const fs::path asked(path);
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(asked.parent_path(), error)) {
            if (::strcasecmp(entry.path().filename().c_str(), asked.filename().c_str()) == 0) {
                return entry.path().string();
            }
        }
        return path;
    }
    int Lstat(const char* path, struct stat* out) override { return PosixApi::Lstat(Fold(path).c_str(), out); }
    int Renameat2(const char* from, const char* to, unsigned flags) override {
        struct stat taken {};
        if (PosixApi::Lstat(Fold(to).c_str(), &taken) == 0) {
            errno = EEXIST;
            return -1;
        }
        return PosixApi::Renameat2(Fold(from).c_str(), to, flags);
    }
};

TEST(CopyMove, CaseOnlyRenameOnACaseInsensitiveFolderGoesThroughATemporaryName) {
    TempDir dir;
    dir.Write("a.txt", "a");
    dir.Write("B.txt", "b");
    CaseInsensitiveFolder os;
    ASSERT_TRUE(MovePathNoReplace(dir / "a.txt", dir / "A.txt", os).has_value());
    EXPECT_EQ(dir.Read("A.txt"), "a");
    EXPECT_FALSE(fs::exists(dir / "a.txt"));
    // Another file under another spelling is still taken.
    const auto taken = MovePathNoReplace(dir / "A.txt", dir / "b.txt", os);
    ASSERT_FALSE(taken.has_value());
    EXPECT_EQ(taken.error().code, EEXIST);
    EXPECT_EQ(dir.Read("A.txt"), "a");
    EXPECT_EQ(dir.Read("B.txt"), "b");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
}

// Renames of one source fail as across file systems.
struct OtherFileSystem : PosixApi {
    std::string source;
    int Renameat2(const char* from, const char* to, unsigned flags) override {
        if (source == from) {
            errno = EXDEV;
            return -1;
        }
        return PosixApi::Renameat2(from, to, flags);
    }
};

TEST(CopyMove, MoveToAnotherFileSystemCopiesChecksThenRemoves) {
    TempDir dir;
    dir.Write("m.txt", "moving");
    fs::create_directory(dir / "tree");
    OtherFileSystem os;
    os.source = dir / "m.txt";
    ASSERT_TRUE(MovePathNoReplace(dir / "m.txt", dir / "moved.txt", os).has_value());
    EXPECT_EQ(dir.Read("moved.txt"), "moving");
    EXPECT_FALSE(fs::exists(dir / "m.txt"));
    // A whole folder is not copied by the single move.
    os.source = dir / "tree";
    EXPECT_FALSE(MovePathNoReplace(dir / "tree", dir / "tree2", os).has_value());
    EXPECT_TRUE(fs::exists(dir / "tree"));
}

// Every way a file reaches a name through a temporary one works for the longest
// names too, and leaves nothing but the target behind.
TEST(CopyMove, LongNamesReachTheirPlaceThroughShortTemporaryNames) {
    const std::string longName = std::string(246, 'n') + ".txt";  // 250 bytes
    const std::string longest(255, 'm');
    struct Case {
        const char* what;
        std::string name;
        std::function<bool(TempDir&, const std::string&)> act;  // true when it reports success
        bool sourceStays;
    };
    const Case cases[] = {
        {"copy", longName,
         [](TempDir& dir, const std::string& name) {
             std::vector<std::string> created;
             std::vector<std::string> failed;
             return CopyOrMovePath(dir / ("src/" + name), dir / ("dst/" + name), true, created, failed);
         },
         true},
        {"link copy", longest,
         [](TempDir& dir, const std::string& name) {
             fs::remove(dir / ("src/" + name));
             fs::create_symlink("somewhere/else", dir / ("src/" + name));
             return CopyFileNoReplace(dir / ("src/" + name), dir / ("dst/" + name)).has_value();
         },
         true},
        {"move across file systems", longName,
         [](TempDir& dir, const std::string& name) {
             OtherFileSystem os;
             os.source = dir / ("src/" + name);
             std::vector<std::string> created;
             std::vector<std::string> failed;
             return CopyOrMovePath(dir / ("src/" + name), dir / ("dst/" + name), false, created, failed, os);
         },
         false},
        {"case-only rename", longest,
         [](TempDir& dir, const std::string& name) {
             CaseInsensitiveFolder os;
             fs::rename(dir / ("src/" + name), dir / ("dst/" + std::string(1, 'M') + name.substr(1)));
             return MovePathNoReplace(dir / ("dst/" + std::string(1, 'M') + name.substr(1)), dir / ("dst/" + name), os)
                 .has_value();
         },
         false},
        {"content rewrite", longest,
         [](TempDir& dir, const std::string& name) {
             fs::rename(dir / ("src/" + name), dir / ("dst/" + name));
             return WriteFileAtomically(dir / ("dst/" + name), "content").has_value();
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        fs::create_directories(dir / "src");
        fs::create_directories(dir / "dst");
        dir.Write("src/" + c.name, "content");
        EXPECT_TRUE(c.act(dir, c.name));
        EXPECT_EQ(fs::exists(fs::symlink_status(dir / ("src/" + c.name))), c.sourceStays);
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir / "dst")) names.push_back(entry.path().filename());
        EXPECT_EQ(names, std::vector<std::string>{c.name});
        if (!fs::is_symlink(dir / ("dst/" + c.name))) {
            EXPECT_EQ(dir.Read("dst/" + c.name), "content");
        }
    }
}

TEST(CopyMove, MoveAcrossFileSystemsCopiesThenRemoves) {
    TempDir dir;
    const std::string other = "/dev/shm";
    struct stat a {};
    struct stat b {};
    if (::stat(dir.Path().c_str(), &a) != 0 || ::stat(other.c_str(), &b) != 0 || a.st_dev == b.st_dev) {
        GTEST_SKIP() << "no second file system here";
    }
    dir.Write("m.txt", "moving");
    const std::string target = other + "/varnel-move-test-" + std::to_string(::getpid());
    ASSERT_TRUE(MovePathNoReplace(dir / "m.txt", target).has_value());
    EXPECT_FALSE(fs::exists(dir / "m.txt"));
    std::ifstream in(target);
    std::string content((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(content, "moving");
    fs::remove(target);

    // A name near the limit crosses too, into a folder made on the way.
    const std::string name = std::string(246, 'l') + ".txt";
    dir.Write(name, "long");
    const std::string folder = other + "/varnel-move-test-dir-" + std::to_string(::getpid());
    std::vector<std::string> created;
    std::vector<std::string> failed;
    EXPECT_TRUE(CopyOrMovePath(dir / name, folder + "/" + name, false, created, failed));
    EXPECT_EQ(created, std::vector<std::string>{folder});
    EXPECT_FALSE(fs::exists(dir / name));
    std::ifstream moved(folder + "/" + name);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(moved)), {}), "long");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace varnel

namespace varnel {
namespace {

TEST(Recycle, PathsGoToTheTrashAndAnEmptyListFails) {
    testing::TempDir dir;
    testing::TempDir data;
    ::setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
    dir.Write("gone.txt", "x");
    std::vector<std::string> failed;
    EXPECT_FALSE(RecycleFiles({}, failed));
    const bool trashed = RecycleFiles({dir / "gone.txt"}, failed);
    if (!trashed && std::filesystem::exists(dir / "gone.txt")) {
        ::unsetenv("XDG_DATA_HOME");
        GTEST_SKIP() << "no trash on this file system";
    }
    EXPECT_TRUE(trashed);
    EXPECT_FALSE(std::filesystem::exists(dir / "gone.txt"));
    EXPECT_FALSE(RecycleFiles({dir / "missing.txt"}, failed));
    EXPECT_EQ(failed, (std::vector<std::string>{dir / "missing.txt"}));
    ::unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace varnel
