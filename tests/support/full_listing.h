// A listing of a folder tree that holds everything a move or copy must keep:
// type, mode, owner, modification time (and access time for all but folders,
// which every listing reads), link count, extended attributes, link targets and
// a digest of the bytes. Files are read with O_NOATIME, so taking a listing
// changes nothing it compares. Unlike FullTreeListing (tree_state.h), which tells
// whether a tree holds the very same objects, this one leaves out inode numbers:
// it compares a tree with its copy on another file system.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace varnel::testing {

struct ListedEntry {
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
    nlink_t links = 0;
    std::int64_t modified = 0;  // nanoseconds
    std::int64_t accessed = 0;  // nanoseconds; 0 for folders
    std::map<std::string, std::string> xattrs;
    std::string content;  // link target, or a digest of a file's bytes
    bool operator==(const ListedEntry&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const ListedEntry& e) {
    out << "mode " << std::oct << e.mode << std::dec << " owner " << e.owner << ":" << e.group << " links "
        << e.links << " mtime " << e.modified << " atime " << e.accessed << " content " << e.content << " xattrs";
    for (const auto& [name, value] : e.xattrs) out << " " << name << "=" << value;
    return out;
}

// FNV-1a over the bytes: enough to tell contents apart in a test.
inline std::string ListedDigest(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOATIME | O_CLOEXEC);
    if (fd < 0) return "unreadable";
    std::uint64_t hash = 1469598103934665603ULL;
    char buffer[65536];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) {
        for (ssize_t i = 0; i < got; ++i) hash = (hash ^ static_cast<unsigned char>(buffer[i])) * 1099511628211ULL;
    }
    ::close(fd);
    return std::to_string(hash);
}

inline std::map<std::string, std::string> ListedXattrs(const std::string& path) {
    std::map<std::string, std::string> result;
    std::vector<char> names(65536);
    const ssize_t length = ::llistxattr(path.c_str(), names.data(), names.size());
    for (ssize_t at = 0; at > -1 && at < length;) {
        const std::string name(names.data() + at);
        at += static_cast<ssize_t>(name.size()) + 1;
        std::vector<char> value(65536);
        const ssize_t size = ::lgetxattr(path.c_str(), name.c_str(), value.data(), value.size());
        if (size >= 0) result[name] = std::string(value.data(), static_cast<std::size_t>(size));
    }
    return result;
}

inline ListedEntry ListOne(const std::string& path) {
    ListedEntry e;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return e;
    e.mode = info.st_mode;
    e.owner = info.st_uid;
    e.group = info.st_gid;
    e.links = info.st_nlink;
    e.modified = info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
    if (!S_ISDIR(info.st_mode)) e.accessed = info.st_atim.tv_sec * 1000000000LL + info.st_atim.tv_nsec;
    e.xattrs = ListedXattrs(path);
    if (S_ISLNK(info.st_mode)) {
        e.content = std::filesystem::read_symlink(path).string();
    } else if (S_ISREG(info.st_mode)) {
        e.content = ListedDigest(path);
    }
    return e;
}

// The tree's root ("." in the listing) and everything below it.
inline std::map<std::string, ListedEntry> FullListing(const std::string& folder) {
    std::map<std::string, ListedEntry> listing;
    listing["."] = ListOne(folder);
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) paths.push_back(entry.path());
    for (const std::string& path : paths) {
        listing[std::filesystem::relative(path, folder).string()] = ListOne(path);
    }
    return listing;
}

}  // namespace varnel::testing
