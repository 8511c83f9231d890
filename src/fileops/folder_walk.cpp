#include "fileops/folder_walk.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include <cerrno>
#include <fcntl.h>

#include "platform/owned_fd.h"
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

// One folder read: opened (below its parent's descriptor), its identity read, its
// entries listed and sorted. Each step that fails keeps its errno; the walk tells
// them when it reaches the folder, in walk order, whoever read it.
struct FolderRead {
    OwnedFd fd;
    int openError = 0;  // the open failed: nothing else was done
    int statError = 0;  // the identity could not be read: nothing was listed
    int listError = 0;  // the folder could not be listed: no entries
    struct stat self {};
    FolderListing listing;
};

// False (errno set) when the folder cannot be listed.
bool ListFolder(PosixApi& os, int fd, FolderListing& listing) {
    // fdopendir takes ownership of its descriptor, so it gets a duplicate.
    OwnedFd listFd(os.Openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0), os);
    if (!listFd.IsOpen()) return false;
    DIR* dir = os.Fdopendir(listFd.Get());
    if (dir == nullptr) return false;
    listFd.Release();  // the listing owns it now
    while (const dirent* e = os.Readdir(dir)) {
        const char* raw = e->d_name;
        if (raw[0] == '.' && (raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0'))) continue;
        const std::string_view name = raw;
        bool isFolder = e->d_type == DT_DIR;
        bool isLink = e->d_type == DT_LNK;
        if (e->d_type == DT_UNKNOWN || isLink) {
            struct stat info {};
            if (os.Fstatat(fd, e->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
                isLink = S_ISLNK(info.st_mode);
                isFolder = S_ISDIR(info.st_mode);
            }
            // A link to a folder is shown as a folder, but never entered.
            if (isLink && os.Fstatat(fd, e->d_name, &info, 0) == 0) isFolder = S_ISDIR(info.st_mode);
        }
        listing.Add(name, isFolder, isLink);
    }
    os.Closedir(dir);
    return true;
}

// Reads the folder open as `fd` (taken over), or, with parentFd, the one named
// `name` below it. A symbolic link put in the folder's place is not followed.
void ReadFolder(PosixApi& os, int parentFd, const char* name, FolderRead& read) {
    if (parentFd >= 0) {
        read.fd = OwnedFd(os.Openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0), os);
        if (!read.fd.IsOpen()) {
            read.openError = errno;
            return;
        }
    }
    if (os.Fstat(read.fd.Get(), &read.self) != 0) {
        read.statError = errno;
        return;
    }
    if (!ListFolder(os, read.fd.Get(), read.listing)) read.listError = errno;
    read.listing.Sort();
}

// Folders read ahead of the walk by a few threads. The walk asks for the
// subfolders of the folder it is in, a few at a time, in the order it will enter
// them, and takes each read when it gets there; a read nobody has started yet is
// done by the walk's own thread instead of waiting. The entries still reach the
// caller on the walk's thread, in walk order: only the reading runs ahead.
class ReadAhead {
public:
    // Reads asked for and not yet taken, over the whole walk: each holds an open
    // folder, so the number of descriptors a walk holds stays small.
    static constexpr std::size_t kMaxOutstanding = 64;
    // Reads a folder asks for ahead of the one the walk enters.
    static constexpr std::size_t kWindow = 8;

    struct Job {
        int parentFd = -1;
        std::string name;  // NUL-terminated by std::string
        FolderRead read;
        std::atomic<int> state{kQueued};
    };
    static constexpr int kQueued = 0;
    static constexpr int kTaken = 1;
    static constexpr int kDone = 2;

    explicit ReadAhead(PosixApi& os) : m_os(os) {}
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;
    ~ReadAhead() {
        {
            std::lock_guard lock(m_mutex);
            m_ending = true;
        }
        m_wake.notify_all();
        m_threads.clear();  // joins
    }

    bool HasRoom() const { return m_outstanding < kMaxOutstanding; }

    // Asks for the folder `name` below parentFd to be read; the walk's thread only.
    std::shared_ptr<Job> Ask(int parentFd, std::string_view name) {
        StartThreads();
        auto job = std::make_shared<Job>();
        job->parentFd = parentFd;
        job->name = name;
        ++m_outstanding;
        {
            std::lock_guard lock(m_mutex);
            m_queue.push_back(job);
        }
        m_wake.notify_one();
        return job;
    }

    // The read of `job`, done here when no thread has started it; waits for one
    // that has. The walk's thread only.
    FolderRead Take(Job& job) {
        int expected = kQueued;
        if (job.state.compare_exchange_strong(expected, kTaken)) {
            ReadFolder(m_os, job.parentFd, job.name.c_str(), job.read);
            job.state.store(kDone);
        } else {
            job.state.wait(kTaken);
        }
        --m_outstanding;
        return std::move(job.read);
    }

    // A read asked for and no longer wanted (the walk stopped): its folder is closed.
    void Drop(Job& job) {
        int expected = kQueued;
        if (!job.state.compare_exchange_strong(expected, kDone)) job.state.wait(kTaken);
        job.read.fd = OwnedFd();
        --m_outstanding;
    }

private:
    void StartThreads() {
        if (!m_threads.empty()) return;
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const unsigned count = std::clamp(cores - 1, 1u, 3u);
        for (unsigned i = 0; i < count; ++i) m_threads.emplace_back([this] { Serve(); });
    }

    void Serve() {
        for (;;) {
            std::shared_ptr<Job> job;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_ending || !m_queue.empty(); });
                if (m_ending) return;
                job = std::move(m_queue.front());
                m_queue.pop_front();
            }
            int expected = kQueued;
            if (!job->state.compare_exchange_strong(expected, kTaken)) continue;  // taken or dropped
            ReadFolder(m_os, job->parentFd, job->name.c_str(), job->read);
            job->state.store(kDone);
            job->state.notify_all();
        }
    }

    PosixApi& m_os;
    std::size_t m_outstanding = 0;  // the walk's thread only
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::shared_ptr<Job>> m_queue;
    bool m_ending = false;
    std::vector<std::jthread> m_threads;
};

class Walker {
public:
    Walker(const WalkOptions& options, const std::function<bool(const WalkEntry&)>& onEntry,
           WalkCounts& counts, PosixApi& os)
        : m_options(options), m_onEntry(onEntry), m_counts(counts), m_os(os), m_readAhead(os) {}

    // Walks a folder read as `read` (its descriptor is closed here). level: 0 for
    // the start folder. Returns false when stopped.
    bool Walk(FolderRead read, const std::string& folder, int level) {
        const int fd = read.fd.Get();
        if (read.statError != 0) {
            Unreadable(folder, read.statError);
            return true;
        }
        if (!m_entered.insert({read.self.st_dev, read.self.st_ino}).second) return true;
        if (read.listError != 0) Unreadable(folder, read.listError);
        const FolderListing& listing = read.listing;
        const std::vector<Listed>& entries = listing.entries;

        const bool reportFiles = !m_options.countOnly && !m_options.ignoreFiles;
        if (!m_options.ignoreFiles || m_options.countOnly) {
            for (const Listed& entry : entries) {
                if (entry.isFolder) continue;
                ++m_counts.files;
                if (!Report(reportFiles, folder, listing, entry, fd)) return false;
            }
        }
        const bool reportFolders = !m_options.countOnly && !m_options.ignoreFolders;
        for (const Listed& entry : entries) {
            if (!entry.isFolder) continue;
            ++m_counts.folders;
            if (!Report(reportFolders, folder, listing, entry, fd)) return false;
        }

        const bool descend = m_options.depth == -1 || level + 1 < m_options.depth;
        if (!descend) return true;
        std::vector<const Listed*> children;
        for (const Listed& entry : entries) {
            if (entry.isFolder && !entry.isLink) children.push_back(&entry);
        }
        // The reads asked for ahead, in the order of `children`; dropped (and
        // closed) before this folder's descriptor when the walk stops early.
        Pending pending(m_readAhead, children.size());
        for (std::size_t i = 0; i < children.size(); ++i) {
            // Keeps the window of reads ahead full while the walk goes down.
            for (std::size_t next = pending.asked; next < children.size() && next <= i + ReadAhead::kWindow &&
                                                   children.size() > 1 && m_readAhead.HasRoom();
                 ++next) {
                pending.jobs[next] = m_readAhead.Ask(fd, listing.Name(*children[next]));
                pending.asked = next + 1;
            }
            FolderRead child;
            if (pending.jobs[i]) {
                child = m_readAhead.Take(*pending.jobs[i]);
                pending.jobs[i].reset();
            } else {
                ReadFolder(m_os, fd, listing.CName(*children[i]), child);
            }
            std::string childFolder = folder;
            childFolder += listing.Name(*children[i]);
            childFolder += '/';
            if (child.openError != 0) {
                Unreadable(childFolder, child.openError);
                continue;
            }
            if (!Walk(std::move(child), childFolder, level + 1)) return false;
        }
        return true;
    }

private:
    struct Pending {
        Pending(ReadAhead& readAhead, std::size_t count) : ahead(readAhead), jobs(count) {}
        Pending(const Pending&) = delete;
        Pending& operator=(const Pending&) = delete;
        ~Pending() {
            for (const auto& job : jobs) {
                if (job) ahead.Drop(*job);
            }
        }
        ReadAhead& ahead;
        std::vector<std::shared_ptr<ReadAhead::Job>> jobs;
        std::size_t asked = 0;
    };

    void Unreadable(const std::string& folder, int error) { m_counts.unreadable.push_back({folder, error}); }

    bool Report(bool report, const std::string& folder, const FolderListing& listing, const Listed& entry,
                int fd) {
        // Counting still shows each entry to the caller, so that it can stop the walk.
        if (!report && !m_options.countOnly) return true;
        return m_onEntry(WalkEntry{folder, listing.Name(entry), entry.isFolder, entry.isLink, fd});
    }

    const WalkOptions& m_options;
    const std::function<bool(const WalkEntry&)>& m_onEntry;
    WalkCounts& m_counts;
    PosixApi& m_os;
    std::set<std::pair<dev_t, ino_t>> m_entered;
    ReadAhead m_readAhead;
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
    const std::string start = WithTrailingSlash(folder);
    if (start.empty() || start.front() != '/') return true;  // only absolute folders are walked
    FolderRead read;
    read.fd = OwnedFd(os.Open(start.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0), os);
    if (!read.fd.IsOpen()) {
        counts.unreadable.push_back({start, errno});
        return true;
    }
    ReadFolder(os, -1, nullptr, read);
    Walker walker(options, onEntry, counts, os);
    return walker.Walk(std::move(read), start, 0);
}

}  // namespace varnel
