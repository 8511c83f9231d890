// A small tree holding everything a careless move or copy loses, the checks that
// it arrived whole, and two ways to a second file system: a tmpfs mounted for the
// test where that is allowed, and renames and links between two halves of one
// folder failing with EXDEV through the platform layer.
#pragma once

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/posix_api.h"
#include "support/full_listing.h"
#include "support/temp_dir.h"

namespace varnel::testing {

constexpr uid_t kOtherUser = 65534;

inline bool IsRoot() { return ::geteuid() == 0; }

inline void SetTimes(const std::string& path, long seconds) {
    const struct timespec times[2] = {{seconds + 7, 250000000}, {seconds, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

inline void SetXattr(const std::string& path, const std::string& name, const std::string& value) {
    ASSERT_EQ(::setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0), 0) << path;
}

inline void WriteFile(const std::string& path, const std::string& bytes, mode_t mode) {
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
inline void MakeMetadataTree(const std::string& root) {
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

inline void ExpectSameListing(const std::map<std::string, ListedEntry>& before, const std::string& folder,
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
        std::filesystem::create_directories(first);
        std::filesystem::create_directories(second);
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

// A tmpfs mounted on `path` (made if missing) for the life of this object, where
// the test may mount one (root with the privilege); `mounted` says whether it is.
struct ScopedTmpfs {
    explicit ScopedTmpfs(const std::string& where) : path(where) {
        std::filesystem::create_directories(path);
        mounted = ::geteuid() == 0 &&
                  std::system(("mount -t tmpfs -o mode=0755 varnel-test '" + path + "' 2>/dev/null").c_str()) == 0;
    }
    ~ScopedTmpfs() {
        if (mounted) (void)std::system(("umount -l '" + path + "'").c_str());
    }
    ScopedTmpfs(const ScopedTmpfs&) = delete;
    ScopedTmpfs& operator=(const ScopedTmpfs&) = delete;
    std::string path;
    bool mounted = false;
};

}  // namespace varnel::testing
