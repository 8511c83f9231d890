#include "fileops/copy_move.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>

#include "fileops/folder_walk.h"
#include "fileops/kept_metadata.h"
#include "platform/file_io.h"
#include "platform/owned_fd.h"
#include "platform/retry_on_eintr.h"
#include "platform/trash.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

constexpr std::size_t kCopyBuffer = 1 << 20;

// Puts `from` at `to` unless `to` exists. File systems that do not know the
// no-replace flag get a hard link and an unlink instead (files only).
int RenameNoReplace(PosixApi& os, const char* from, const char* to) {
    if (os.Renameat2(from, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    struct stat info {};
    if (os.Lstat(from, &info) != 0) return -1;
    if (S_ISDIR(info.st_mode)) {
        // No link for folders: check, then rename (the window between is unavoidable here).
        if (os.Lstat(to, &info) == 0) {
            errno = EEXIST;
            return -1;
        }
        return os.Rename(from, to);
    }
    if (os.Link(from, to) != 0) return -1;
    return os.Unlink(from);
}

std::expected<void, Error> CopyData(PosixApi& os, int in, int out, const std::string& source) {
    std::string buffer(kCopyBuffer, '\0');
    for (;;) {
        const ssize_t got = RetryOnEintr([&] { return os.Read(in, buffer.data(), buffer.size()); });
        if (got < 0) return std::unexpected(MakeSystemError(errno, source, "读取失败"));
        if (got == 0) return {};
        std::size_t done = 0;
        while (done < static_cast<std::size_t>(got)) {
            const ssize_t written = RetryOnEintr(
                [&] { return os.Write(out, buffer.data() + done, static_cast<std::size_t>(got) - done); });
            if (written < 0) return std::unexpected(MakeSystemError(errno, source, "写入失败"));
            done += static_cast<std::size_t>(written);
        }
    }
}

std::expected<void, Error> CopySymlink(PosixApi& os, const std::string& source, const struct stat& info,
                                       const std::string& target) {
    char buffer[4096];
    const ssize_t length = os.Readlink(source.c_str(), buffer, sizeof buffer);
    if (length < 0) return std::unexpected(MakeSystemError(errno, source, "无法读取链接"));
    const std::string linked(buffer, static_cast<std::size_t>(length));
    const auto made = MakeAtTemporaryPath(
        target, [&](const std::string& candidate) { return os.Symlink(linked.c_str(), candidate.c_str()); });
    if (!made) return std::unexpected(MakeSystemError(made.error(), target, "无法创建链接"));
    const std::string& temporary = *made;
    if (auto kept = KeepMetadata(source, info, temporary, -1, os); !kept) {
        os.Unlink(temporary.c_str());
        return std::unexpected(kept.error());
    }
    if (RenameNoReplace(os, temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        os.Unlink(temporary.c_str());
        return std::unexpected(MakeSystemError(error, target, "目标已存在或无法写入"));
    }
    return {};
}

}  // namespace

std::expected<void, Error> CopyFileNoReplace(const std::string& source, const std::string& target, PosixApi& os) {
    struct stat info {};
    if (os.Lstat(source.c_str(), &info) != 0) return std::unexpected(MakeSystemError(errno, source, "无法访问"));
    if (S_ISLNK(info.st_mode)) return CopySymlink(os, source, info, target);
    if (!S_ISREG(info.st_mode)) return std::unexpected(Error{EINVAL, "只能复制普通文件", source});
    struct stat existing {};
    if (os.Lstat(target.c_str(), &existing) == 0) {
        return std::unexpected(Error{EEXIST, "目标已存在", target});
    }

    // Non-blocking so that a path swapped for a FIFO meanwhile cannot hang the copy.
    const OwnedFd in(os.Open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0), os);
    if (!in.IsOpen()) return std::unexpected(MakeSystemError(errno, source, "无法打开"));
    OwnedFd out;
    const auto made = MakeAtTemporaryPath(target, [&](const std::string& candidate) {
        out = OwnedFd(os.Open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600), os);
        return out.IsOpen() ? 0 : -1;
    });
    if (!made) return std::unexpected(MakeSystemError(made.error(), target, "无法创建文件"));
    const std::string& temporary = *made;
    auto fail = [&](Error error) -> std::expected<void, Error> {
        out = OwnedFd();
        os.Unlink(temporary.c_str());
        return std::unexpected(std::move(error));
    };
    if (auto copied = CopyData(os, in.Get(), out.Get(), source); !copied) return fail(copied.error());
    struct stat written {};
    if (os.Fstat(out.Get(), &written) != 0 || written.st_size != info.st_size) {
        return fail(Error{EIO, "复制后大小不符", target});
    }
    if (auto kept = KeepMetadata(source, info, temporary, out.Get(), os); !kept) return fail(kept.error());
    if (os.Fsync(out.Get()) != 0) return fail(MakeSystemError(errno, target, "写入失败"));
    if (auto closed = out.Close(target); !closed) return fail(closed.error());
    if (RenameNoReplace(os, temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        os.Unlink(temporary.c_str());
        return std::unexpected(MakeSystemError(error, target, "目标已存在或无法写入"));
    }
    return {};
}

namespace {

// Whether both paths name one object (a link is not followed).
bool SameObject(PosixApi& os, const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return os.Lstat(a.c_str(), &first) == 0 && os.Lstat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// A case-insensitive file system finds the new spelling taken by the file itself:
// the file steps aside under a temporary name first, and comes back if the new
// name turns out to be taken after all.
std::expected<void, Error> RenameThroughTemporary(PosixApi& os, const std::string& source,
                                                  const std::string& target) {
    const auto made = MakeAtTemporaryPath(target, [&](const std::string& candidate) {
        return RenameNoReplace(os, source.c_str(), candidate.c_str());
    });
    if (!made) return std::unexpected(MakeSystemError(made.error(), source, "无法移动"));
    const std::string& temporary = *made;
    if (RenameNoReplace(os, temporary.c_str(), target.c_str()) == 0) return {};
    const int error = errno;
    if (RenameNoReplace(os, temporary.c_str(), source.c_str()) != 0) {
        return std::unexpected(MakeSystemError(errno, temporary, "无法移动，文件暂存于此"));
    }
    return std::unexpected(MakeSystemError(error, source, "无法移动"));
}

}  // namespace

std::expected<void, Error> MovePathNoReplace(const std::string& source, const std::string& target, PosixApi& os) {
    if (RenameNoReplace(os, source.c_str(), target.c_str()) == 0) return {};
    const int error = errno;
    if (error == EEXIST && source != target && SameObject(os, source, target)) {
        return RenameThroughTemporary(os, source, target);
    }
    if (error != EXDEV) return std::unexpected(MakeSystemError(error, source, "无法移动"));
    struct stat info {};
    if (os.Lstat(source.c_str(), &info) != 0) return std::unexpected(MakeSystemError(errno, source, "无法访问"));
    if (S_ISDIR(info.st_mode)) return std::unexpected(Error{EXDEV, "文件夹不能整体跨分区移动", source});
    // Across file systems: the source goes only once its copy is complete.
    if (auto copied = CopyFileNoReplace(source, target, os); !copied) return copied;
    if (os.Unlink(source.c_str()) != 0) {
        const int error = errno;
        // Both exist now; the copy stays, nothing is lost, and the caller hears of it.
        return std::unexpected(MakeSystemError(error, source, "已复制，但无法删除源文件"));
    }
    return {};
}

std::expected<void, Error> MoveNameNoReplace(int folderFd, const std::string& folder, const std::string& oldName,
                                             const std::string& newName, PosixApi& os) {
    if (folderFd >= 0) {
        if (os.Renameat2At(folderFd, oldName.c_str(), folderFd, newName.c_str(), RENAME_NOREPLACE) == 0) return {};
        const int error = errno;
        // A taken name (perhaps the file itself under another spelling), another file
        // system or a system without renameat2: the full move knows what to do.
        if (error != EEXIST && error != EXDEV && error != EINVAL && error != ENOSYS) {
            return std::unexpected(MakeSystemError(error, folder + oldName, "无法移动"));
        }
    }
    return MovePathNoReplace(folder + oldName, folder + newName, os);
}

std::expected<std::string, Error> PlaceFileUnderFreeName(const std::string& temporary, const std::string& folder,
                                                         const std::string& name, PosixApi& os) {
    const std::optional<NameParts> parts = SplitMainAndExtension(name);
    // A name that is all extension (".profile") keeps its dot in front of the number.
    const bool hasExtension = parts && !parts->extension.empty() && !parts->main.empty();
    for (std::int64_t n = 0;; ++n) {
        std::string target = folder + name;
        if (n > 0) {
            const std::string suffix = " (" + std::to_string(n) + ")";
            target = hasExtension ? folder + parts->main + suffix + "." + parts->extension : folder + name + suffix;
        }
        if (RenameNoReplace(os, temporary.c_str(), target.c_str()) == 0) return target;
        if (errno != EEXIST) return std::unexpected(MakeSystemError(errno, target, "无法保存文件"));
    }
}

bool EnsureFolderChain(const std::string& path, std::vector<std::string>& createdFolders, PosixApi& os) {
    if (path.empty() || path.front() != '/') return false;
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (prefix.empty() || prefix.back() == '/') continue;  // "//" adds nothing
        struct stat info {};
        if (os.Stat(prefix.c_str(), &info) == 0) {
            if (!S_ISDIR(info.st_mode)) return false;
            continue;
        }
        if (os.Mkdir(prefix.c_str(), 0777) != 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        createdFolders.push_back(prefix);
    }
    return true;
}

bool IsSameOrInside(const std::string& source, const std::string& target, PosixApi& os) {
    const std::string resolvedSource = os.Realpath(source.c_str());
    if (resolvedSource.empty()) return false;
    // The target may not exist yet: resolve its nearest existing ancestor.
    std::string existing = target;
    std::string rest;
    std::string resolvedTarget;
    while (!existing.empty()) {
        resolvedTarget = os.Realpath(existing.c_str());
        if (!resolvedTarget.empty()) break;
        rest = "/" + GetFileNameOfPath(existing) + rest;
        existing = GetParentOfPath(existing);
    }
    if (resolvedTarget.empty()) resolvedTarget = "/";
    const std::string full = WithoutTrailingSlash(resolvedTarget) + rest;
    return full == resolvedSource || full.starts_with(WithTrailingSlash(resolvedSource));
}

namespace {

// One copy or move of a tree. The files with several names it has copied, by the
// source's (device, inode), so that the other names inside the tree become names
// of the one copy again, and not copies of their own.
class TreeTransfer {
public:
    TreeTransfer(bool copy, std::vector<std::string>& failedPaths, std::vector<std::string>& createdFolders,
                 PosixApi& os, std::vector<std::string>* writtenFiles)
        : m_copy(copy), m_failed(failedPaths), m_created(createdFolders), m_os(os), m_written(writtenFiles) {}

    bool Folder(const std::string& source, const std::string& target) {
        if (IsSameOrInside(source, target, m_os)) {
            m_failed.push_back(source);
            return false;
        }
        struct stat sourceInfo {};
        if (m_os.Lstat(source.c_str(), &sourceInfo) != 0 || !S_ISDIR(sourceInfo.st_mode)) {
            m_failed.push_back(source);
            return false;
        }
        const auto made = MakeTargetFolder(target);
        if (!made) {
            m_failed.push_back(source);
            return false;
        }
        // Entries of this folder, without following links into folders.
        std::vector<std::string> files;
        std::vector<std::string> folders;
        WalkCounts counts;
        WalkFolder(source, WalkOptions{.depth = 1},
                   [&](const WalkEntry& entry) {
                       ((entry.isFolder && !entry.isLink) ? folders : files).emplace_back(entry.name);
                       return true;
                   },
                   counts, m_os);
        bool result = true;
        const std::string sourceDir = WithTrailingSlash(source);
        const std::string targetDir = WithTrailingSlash(target);
        for (const std::string& name : files) {
            if (!File(sourceDir + name, targetDir + name)) result = false;
        }
        for (const std::string& name : folders) {
            bool moved = false;
            if (!m_copy) {
                // A whole folder moves by one rename when it can.
                struct stat existing {};
                moved = m_os.Lstat((targetDir + name).c_str(), &existing) != 0 &&
                        RenameNoReplace(m_os, (sourceDir + name).c_str(), (targetDir + name).c_str()) == 0;
            }
            if (!moved && !Folder(sourceDir + name, targetDir + name)) result = false;
        }
        // A folder this copy made gets its source's owner, mode and times only now
        // that its content is in: a read-only folder could not take it otherwise,
        // and every entry written would move its times again. A folder that was
        // there already keeps its own.
        if (*made && !KeepFolderMetadata(source, sourceInfo, target)) {
            m_failed.push_back(source);
            result = false;
        }
        // Only an emptied folder is removed: a file that failed to move stays with it.
        if (!m_copy) m_os.Rmdir(source.c_str());
        return result;
    }

    // One file or link; false (and the source listed as failed) when it could not go.
    bool File(const std::string& source, const std::string& target) {
        struct stat info {};
        const bool regular = m_os.Lstat(source.c_str(), &info) == 0 && S_ISREG(info.st_mode);
        const std::pair<dev_t, ino_t> key{info.st_dev, info.st_ino};
        // A move has taken the other names away by now, so the count may be down to
        // one: the same inode with the same size and time is the file copied before.
        if (const auto first = m_copies.find(key); regular && first != m_copies.end() &&
                                                   first->second.size == info.st_size &&
                                                   first->second.modified.tv_sec == info.st_mtim.tv_sec &&
                                                   first->second.modified.tv_nsec == info.st_mtim.tv_nsec) {
            return LinkToCopy(first->second.path, source, target);
        }
        const auto done = m_copy ? CopyFileNoReplace(source, target, m_os) : MovePathNoReplace(source, target, m_os);
        if (!done) {
            m_failed.push_back(source);
            return false;
        }
        if (m_written != nullptr) m_written->push_back(target);
        // Only a name that arrived as a copy needs the others linked to it; one
        // moved by a rename is still the same file as its other names.
        struct stat arrived {};
        if (regular && info.st_nlink > 1 && m_os.Lstat(target.c_str(), &arrived) == 0 &&
            (arrived.st_dev != info.st_dev || arrived.st_ino != info.st_ino)) {
            m_copies.emplace(key, Copied{target, info.st_size, info.st_mtim});
        }
        return true;
    }

private:
    // Another name of a file already copied becomes a name of that copy.
    bool LinkToCopy(const std::string& copied, const std::string& source, const std::string& target) {
        if (m_os.Link(copied.c_str(), target.c_str()) != 0) {
            m_failed.push_back(source);
            return false;
        }
        if (m_written != nullptr) m_written->push_back(target);
        if (!m_copy && m_os.Unlink(source.c_str()) != 0) {
            // Both names exist now; nothing is lost, and the caller hears of it.
            m_failed.push_back(source);
            return false;
        }
        return true;
    }

    // Makes the target folder, private until its content is in. True when this
    // made it, false when it was there already; nothing when neither.
    std::optional<bool> MakeTargetFolder(const std::string& target) {
        if (!EnsureFolderChain(target, m_created, m_os)) return std::nullopt;
        if (m_os.Mkdir(target.c_str(), 0700) == 0) {
            m_created.push_back(target);
            return true;
        }
        struct stat existing {};
        if (errno == EEXIST && m_os.Lstat(target.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) return false;
        return std::nullopt;
    }

    bool KeepFolderMetadata(const std::string& source, const struct stat& sourceInfo, const std::string& target) {
        const OwnedFd fd(m_os.Open(target.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0), m_os);
        return fd.IsOpen() && KeepMetadata(source, sourceInfo, target, fd.Get(), m_os).has_value();
    }

    bool m_copy;
    std::vector<std::string>& m_failed;
    std::vector<std::string>& m_created;
    PosixApi& m_os;
    std::vector<std::string>* m_written;
    struct Copied {
        std::string path;
        off_t size = 0;
        struct timespec modified {};
    };
    std::map<std::pair<dev_t, ino_t>, Copied> m_copies;
};

}  // namespace

bool CopyFolderTree(const std::string& source, const std::string& target, bool copy,
                    std::vector<std::string>& failedPaths, std::vector<std::string>& createdFolders, PosixApi& os,
                    std::vector<std::string>* writtenFiles) {
    return TreeTransfer(copy, failedPaths, createdFolders, os, writtenFiles).Folder(source, target);
}

bool CopyOrMovePath(const std::string& source, const std::string& target, bool copy,
                    std::vector<std::string>& createdFolders, std::vector<std::string>& failedPaths, PosixApi& os,
                    std::vector<std::string>* writtenFiles) {
    struct stat info {};
    if (os.Lstat(source.c_str(), &info) != 0) {
        failedPaths.push_back(source);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        if (IsSameOrInside(source, target, os)) {
            failedPaths.push_back(source);
            return false;
        }
        if (!copy) {
            // The fast way first: one rename of the whole tree.
            if (!EnsureFolderChain(target, createdFolders, os)) {
                failedPaths.push_back(source);
                return false;
            }
            struct stat existing {};
            if (os.Lstat(target.c_str(), &existing) != 0 &&
                RenameNoReplace(os, source.c_str(), target.c_str()) == 0) {
                return true;
            }
        }
        return CopyFolderTree(source, target, copy, failedPaths, createdFolders, os, writtenFiles);
    }
    if (!EnsureFolderChain(target, createdFolders, os)) {
        failedPaths.push_back(source);
        return false;
    }
    const auto done = copy ? CopyFileNoReplace(source, target, os) : MovePathNoReplace(source, target, os);
    if (!done) {
        failedPaths.push_back(source);
        return false;
    }
    if (writtenFiles != nullptr) writtenFiles->push_back(target);
    return true;
}

bool RecycleFiles(const std::vector<std::string>& paths, std::vector<std::string>& failedPaths) {
    bool all = !paths.empty();
    for (const std::string& path : paths) {
        if (path.empty()) continue;
        if (!MoveToTrash(path)) {
            failedPaths.push_back(path);
            all = false;
        }
    }
    return all;
}

}  // namespace varnel
