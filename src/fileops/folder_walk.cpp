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

struct Listed {
    std::string name;
    bool isFolder;
    bool isLink;
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
        std::vector<Listed> entries;
        if (!List(fd, entries)) Unreadable(folder);
        std::sort(entries.begin(), entries.end(),
                  [](const Listed& a, const Listed& b) { return NameLess(a.name, b.name); });

        const bool reportFiles = !m_options.countOnly && !m_options.ignoreFiles;
        if (!m_options.ignoreFiles || m_options.countOnly) {
            for (const Listed& entry : entries) {
                if (entry.isFolder) continue;
                ++m_counts.files;
                if (!Report(reportFiles, folder, entry, fd)) return Close(fd, false);
            }
        }
        const bool reportFolders = !m_options.countOnly && !m_options.ignoreFolders;
        for (const Listed& entry : entries) {
            if (!entry.isFolder) continue;
            ++m_counts.folders;
            if (!Report(reportFolders, folder, entry, fd)) return Close(fd, false);
        }

        const bool descend = m_options.depth == -1 || level + 1 < m_options.depth;
        if (descend) {
            for (const Listed& entry : entries) {
                if (!entry.isFolder || entry.isLink) continue;
                const int child = m_os.Openat(fd, entry.name.c_str(),
                                              O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0);
                if (child < 0) {
                    Unreadable(folder + entry.name + "/");
                    continue;
                }
                if (!Walk(child, folder + entry.name + "/", level + 1)) return Close(fd, false);
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

    bool Report(bool report, const std::string& folder, const Listed& entry, int fd) {
        // Counting still shows each entry to the caller, so that it can stop the walk.
        if (!report && !m_options.countOnly) return true;
        return m_onEntry(WalkEntry{folder, entry.name, entry.isFolder, entry.isLink, fd});
    }

    // False (errno set) when the folder cannot be listed.
    bool List(int fd, std::vector<Listed>& entries) {
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
            const std::string_view name = e->d_name;
            if (name == "." || name == "..") continue;
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
            entries.push_back(Listed{std::string(name), isFolder, isLink});
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
