#include "fileops/folder_walk.h"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include <cerrno>
#include <fcntl.h>

#include "utilities/char_forms.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

// One entry of a folder: its name lives in the folder's name buffer, followed by
// a NUL byte, and its folded key at the same place in the key buffer.
struct Listed {
    std::uint32_t offset;
    std::uint32_t length;
    bool isFolder;
    bool isLink;
};

// A folder's entries with their names in two buffers (as read, and with ASCII
// letters folded), so listing allocates per folder, not per name, and sorting
// folds each name once instead of at every comparison.
struct FolderListing {
    std::vector<Listed> entries;
    std::string names;
    std::string keys;

    std::string_view Name(const Listed& entry) const { return {names.data() + entry.offset, entry.length}; }
    const char* CName(const Listed& entry) const { return names.data() + entry.offset; }
    std::string_view Key(const Listed& entry) const { return {keys.data() + entry.offset, entry.length}; }

    void Add(std::string_view name, bool isFolder, bool isLink) {
        const auto offset = static_cast<std::uint32_t>(names.size());
        names.append(name);
        names.push_back('\0');
        entries.push_back(Listed{offset, static_cast<std::uint32_t>(name.size()), isFolder, isLink});
    }

    // Case-insensitive name order, as NameLess gives it.
    void Sort() {
        keys.resize(names.size());
        std::transform(names.begin(), names.end(), keys.begin(), [](char c) { return LowerAsciiChar(c); });
        std::sort(entries.begin(), entries.end(), [this](const Listed& a, const Listed& b) {
            // Folded keys compare as NameLess folds; equal keys fall back to the bytes.
            const int byKey = Key(a).compare(Key(b));
            if (byKey != 0) return byKey < 0;
            return Name(a) < Name(b);
        });
    }
};

class Walker {
public:
    Walker(const WalkOptions& options, const std::function<bool(const WalkEntry&)>& onEntry,
           WalkCounts& counts, PosixApi& os)
        : m_options(options), m_onEntry(onEntry), m_counts(counts), m_os(os) {}

    // level: 0 for the start folder. Returns false when stopped.
    bool Walk(int fd, const std::string& folder, int level) {
        struct stat self {};
        if (m_os.Fstat(fd, &self) != 0) {
            Unreadable(folder);
            return Close(fd, true);
        }
        if (!m_entered.insert({self.st_dev, self.st_ino}).second) return Close(fd, true);
        FolderListing listing;
        if (!List(fd, listing)) Unreadable(folder);
        listing.Sort();
        const std::vector<Listed>& entries = listing.entries;

        const bool reportFiles = !m_options.countOnly && !m_options.ignoreFiles;
        if (!m_options.ignoreFiles || m_options.countOnly) {
            for (const Listed& entry : entries) {
                if (entry.isFolder) continue;
                ++m_counts.files;
                if (!Report(reportFiles, folder, listing, entry, fd)) return Close(fd, false);
            }
        }
        const bool reportFolders = !m_options.countOnly && !m_options.ignoreFolders;
        for (const Listed& entry : entries) {
            if (!entry.isFolder) continue;
            ++m_counts.folders;
            if (!Report(reportFolders, folder, listing, entry, fd)) return Close(fd, false);
        }

        const bool descend = m_options.depth == -1 || level + 1 < m_options.depth;
        if (descend) {
            for (const Listed& entry : entries) {
                if (!entry.isFolder || entry.isLink) continue;
                const int child = m_os.Openat(fd, listing.CName(entry),
                                              O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0);
                std::string childFolder = folder;
                childFolder += listing.Name(entry);
                childFolder += '/';
                if (child < 0) {
                    Unreadable(childFolder);
                    continue;
                }
                if (!Walk(child, childFolder, level + 1)) return Close(fd, false);
            }
        }
        return Close(fd, true);
    }

private:
    void Unreadable(const std::string& folder) { m_counts.unreadable.push_back({folder, errno}); }

    bool Close(int fd, bool result) {
        m_os.Close(fd);
        return result;
    }

    bool Report(bool report, const std::string& folder, const FolderListing& listing, const Listed& entry,
                int fd) {
        // Counting still shows each entry to the caller, so that it can stop the walk.
        if (!report && !m_options.countOnly) return true;
        return m_onEntry(WalkEntry{folder, listing.Name(entry), entry.isFolder, entry.isLink, fd});
    }

    // False (errno set) when the folder cannot be listed.
    bool List(int fd, FolderListing& listing) {
        // fdopendir takes ownership of its descriptor, so it gets a duplicate.
        const int listFd = m_os.Openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
        if (listFd < 0) return false;
        DIR* dir = m_os.Fdopendir(listFd);
        if (dir == nullptr) {
            const int error = errno;
            m_os.Close(listFd);
            errno = error;
            return false;
        }
        while (const dirent* e = m_os.Readdir(dir)) {
            const char* raw = e->d_name;
            if (raw[0] == '.' && (raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0'))) continue;
            const std::string_view name = raw;
            bool isFolder = e->d_type == DT_DIR;
            bool isLink = e->d_type == DT_LNK;
            if (e->d_type == DT_UNKNOWN || isLink) {
                struct stat info {};
                if (m_os.Fstatat(fd, e->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
                    isLink = S_ISLNK(info.st_mode);
                    isFolder = S_ISDIR(info.st_mode);
                }
                // A link to a folder is shown as a folder, but never entered.
                if (isLink && m_os.Fstatat(fd, e->d_name, &info, 0) == 0) isFolder = S_ISDIR(info.st_mode);
            }
            listing.Add(name, isFolder, isLink);
        }
        m_os.Closedir(dir);
        return true;
    }

    const WalkOptions& m_options;
    const std::function<bool(const WalkEntry&)>& m_onEntry;
    WalkCounts& m_counts;
    PosixApi& m_os;
    std::set<std::pair<dev_t, ino_t>> m_entered;
};

}  // namespace

bool NameLess(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(LowerAsciiChar(a[i]));
        const auto y = static_cast<unsigned char>(LowerAsciiChar(b[i]));
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

bool WalkFolder(const std::string& folder, const WalkOptions& options,
                const std::function<bool(const WalkEntry&)>& onEntry, WalkCounts& counts,
                PosixApi& os) {
    const std::string start = AdjustTrailingBackslash(folder);
    if (start.empty() || start.front() != '/') return true;  // only absolute folders are walked
    const int fd = os.Open(start.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) {
        counts.unreadable.push_back({start, errno});
        return true;
    }
    Walker walker(options, onEntry, counts, os);
    return walker.Walk(fd, start, 0);
}

}  // namespace varnel
