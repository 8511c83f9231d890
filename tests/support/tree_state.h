// Whether a folder tree is as it was: a copy taken before (cp -a) and the tree now
// hold the same bytes (diff -r) and the same names, types, modes and, for everything
// but folders, modification times. A folder's own time changes whenever an entry
// comes and goes, so it is not compared.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace varnel::testing {

struct EntryState {
    mode_t mode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSec = 0;
    long modifiedNsec = 0;
    bool operator==(const EntryState&) const = default;
};

inline std::map<std::string, EntryState> TreeState(const std::string& folder) {
    std::map<std::string, EntryState> state;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        struct stat info {};
        if (::lstat(entry.path().c_str(), &info) != 0) continue;
        EntryState& e = state[std::filesystem::relative(entry.path(), folder).string()];
        e.mode = info.st_mode;
        if (!S_ISDIR(info.st_mode)) {
            e.size = info.st_size;
            e.modifiedSec = info.st_mtim.tv_sec;
            e.modifiedNsec = info.st_mtim.tv_nsec;
        }
    }
    return state;
}

// Every entry of the tree with all that tells one object from another: type, inode,
// link count, mode, owner, modification time to the nanosecond, a link's target,
// extended attributes and the bytes. Two listings are equal only when the tree
// holds the very same objects, unchanged.
inline std::map<std::string, std::string> FullTreeListing(const std::string& folder) {
    std::map<std::string, std::string> listing;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string path = entry.path().string();
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) continue;
        std::string line = std::to_string(info.st_mode) + " ino " + std::to_string(info.st_ino) + " links " +
                           std::to_string(info.st_nlink) + " owner " + std::to_string(info.st_uid) + ":" +
                           std::to_string(info.st_gid);
        if (!S_ISDIR(info.st_mode)) {
            line += " mtime " + std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec);
        }
        if (S_ISLNK(info.st_mode)) {
            line += " -> " + std::filesystem::read_symlink(entry.path()).string();
        } else {
            char names[4096];
            const ssize_t length = ::llistxattr(path.c_str(), names, sizeof names);
            for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::string(names + at).size()) + 1) {
                char value[512];
                const ssize_t size = ::lgetxattr(path.c_str(), names + at, value, sizeof value);
                line += std::string(" xattr ") + (names + at) + "=" +
                        std::string(value, static_cast<std::size_t>(size > 0 ? size : 0));
            }
        }
        if (S_ISREG(info.st_mode)) {
            std::ifstream in(path, std::ios::binary);
            line += " bytes " + std::string(std::istreambuf_iterator<char>(in), {});
        }
        listing[std::filesystem::relative(entry.path(), folder).string()] = line;
    }
    return listing;
}

// Copies the tree aside, keeping modes and times, for ExpectSameTree.
inline void CopyTreeAside(const std::string& folder, const std::string& copy) {
    ASSERT_EQ(std::system(("cp -a '" + folder + "' '" + copy + "'").c_str()), 0);
}

inline void ExpectSameTree(const std::string& before, const std::string& now) {
    EXPECT_EQ(std::system(("diff -r '" + before + "' '" + now + "' >&2").c_str()), 0);
    const auto was = TreeState(before);
    const auto is = TreeState(now);
    EXPECT_EQ(was.size(), is.size());
    for (const auto& [name, state] : was) {
        const auto found = is.find(name);
        if (found == is.end()) {
            ADD_FAILURE() << name << " is gone";
            continue;
        }
        EXPECT_EQ(found->second, state) << name << " changed its mode, size or time";
    }
    for (const auto& [name, state] : is) {
        if (!was.contains(name)) ADD_FAILURE() << name << " was not there before";
    }
}

}  // namespace varnel::testing
