#include "platform/file_io.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/extended_attributes.h"
#include "platform/retry_on_eintr.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

void SyncFolder(PosixApi& os, const std::string& folder) {
    // Makes the rename itself durable; a folder that cannot be synced loses nothing.
    const OwnedFd fd(os.Open(folder.empty() ? "/" : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0), os);
    if (fd.IsOpen()) os.Fsync(fd.Get());
}

}  // namespace

std::string TemporaryPathBeside(const std::string& path) {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = ".varnel-xxxxxxxxxxxx.part";
    for (std::size_t i = 8; i < 20; ++i) name[i] = kLetters[generator() % (sizeof(kLetters) - 1)];
    return WithTrailingSlash(GetParentOfPath(path)) + name;
}

std::expected<std::string, int> MakeAtTemporaryPath(const std::string& path,
                                                    const std::function<int(const std::string&)>& make) {
    // 36^12 names: a clash is rare, a hundred in a row means something else is wrong.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temporary = TemporaryPathBeside(path);
        if (make(temporary) == 0) return temporary;
        if (errno != EEXIST) return std::unexpected(errno);
    }
    return std::unexpected(EEXIST);
}

std::expected<void, Error> WriteToDescriptor(int fd, std::string_view bytes, const std::string& path,
                                             PosixApi& os) {
    while (!bytes.empty()) {
        const ssize_t written = RetryOnEintr([&] { return os.Write(fd, bytes.data(), bytes.size()); });
        if (written < 0) return std::unexpected(MakeSystemError(errno, path, "写入失败"));
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

std::expected<void, Error> WriteToDescriptorAt(int fd, std::uint64_t offset, std::string_view bytes,
                                               const std::string& path, PosixApi& os) {
    while (!bytes.empty()) {
        const ssize_t written =
            RetryOnEintr([&] { return os.Pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)); });
        if (written < 0) return std::unexpected(MakeSystemError(errno, path, "写入失败"));
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += static_cast<std::uint64_t>(written);
    }
    return {};
}

Error NotARegularFileError(mode_t mode, const std::string& path) {
    if (S_ISDIR(mode)) return MakeSystemError(EISDIR, path, "无法读取");
    const char* kind = S_ISFIFO(mode)   ? "是命名管道"
                       : S_ISSOCK(mode) ? "是套接字"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "是设备"
                                                         : "是特殊文件";
    return Error{Error::kInvalidInput, std::string(kind) + "，不是普通文件", path};
}

std::expected<OwnedFd, Error> OpenUserFileForReading(const std::string& path, PosixApi& os, struct stat* info) {
    // A look first, so that a device or socket is not even opened (opening some
    // devices has effects of its own); the check after the open covers a path
    // swapped in between.
    struct stat before {};
    if (os.Stat(path.c_str(), &before) != 0) return std::unexpected(MakeSystemError(errno, path, "无法打开文件"));
    if (!S_ISREG(before.st_mode)) return std::unexpected(NotARegularFileError(before.st_mode, path));
    OwnedFd fd(RetryOnEintr([&] { return os.Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0); }),
               os);
    if (!fd.IsOpen()) return std::unexpected(MakeSystemError(errno, path, "无法打开文件"));
    struct stat opened {};
    if (os.Fstat(fd.Get(), &opened) != 0) return std::unexpected(MakeSystemError(errno, path, "无法读取文件信息"));
    if (!S_ISREG(opened.st_mode)) return std::unexpected(NotARegularFileError(opened.st_mode, path));
    // Regular files ignore O_NONBLOCK today; cleared all the same, so that the
    // reads keep their usual meaning on any file system.
    const int flags = os.Fcntl(fd.Get(), F_GETFL, 0);
    if (flags >= 0 && (flags & O_NONBLOCK) != 0) os.Fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK);
    if (info) *info = opened;
    return fd;
}

std::expected<std::string, Error> ReadWholeFile(const std::string& path, PosixApi& os) {
    std::string content;
    auto read = ReadFileInChunks(
        path, [&content](std::string_view chunk) { content.append(chunk); }, os);
    if (!read) return std::unexpected(std::move(read.error()));
    return content;
}

std::expected<void, Error> ReadFileInChunks(const std::string& path,
                                            const std::function<void(std::string_view)>& consume,
                                            PosixApi& os) {
    return ReadFileInChunksWhile(
        path,
        [&consume](std::string_view chunk) {
            consume(chunk);
            return true;
        },
        os);
}

std::expected<void, Error> ReadFileInChunksWhile(const std::string& path,
                                                 const std::function<bool(std::string_view)>& consume,
                                                 PosixApi& os) {
    const auto fd = OpenUserFileForReading(path, os);
    if (!fd) return std::unexpected(fd.error());
    return ReadOpenFileInChunksWhile(fd->Get(), path, consume, os);
}

std::expected<void, Error> ReadOpenFileInChunksWhile(int fd, const std::string& path,
                                                     const std::function<bool(std::string_view)>& consume,
                                                     PosixApi& os) {
    std::vector<char> buffer(65536);
    for (;;) {
        const ssize_t got = RetryOnEintr([&] { return os.Read(fd, buffer.data(), buffer.size()); });
        if (got < 0) return std::unexpected(MakeSystemError(errno, path, "读取失败"));
        if (got == 0) break;
        if (!consume(std::string_view(buffer.data(), static_cast<std::size_t>(got)))) break;
    }
    return {};
}

std::expected<std::string, Error> ReadFileHead(const std::string& path, std::size_t limit, PosixApi& os) {
    struct stat info {};
    const auto fd = OpenUserFileForReading(path, os, &info);
    if (!fd) return std::unexpected(fd.error());
    // Never more than the file holds: a large limit on a small file costs nothing
    // (a size of 0 may be a file that only says so, as under /proc: read to the limit).
    if (info.st_size > 0 && static_cast<std::uint64_t>(info.st_size) < limit) {
        limit = static_cast<std::size_t>(info.st_size) + 1;  // +1 sees a file grown since
    }
    std::string bytes(limit, '\0');
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t n = RetryOnEintr([&] { return os.Read(fd->Get(), bytes.data() + got, limit - got); });
        if (n < 0) return std::unexpected(MakeSystemError(errno, path, "读取失败"));
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

std::expected<FileReplacement, Error> FileReplacement::Begin(const std::string& requestedPath, PosixApi& os,
                                                             bool mayReplace, WriteJournal* journal) {
    FileReplacement replacement(os);
    replacement.m_mayReplace = mayReplace;
    std::string& path = replacement.m_target;
    path = requestedPath;
    struct stat& old = replacement.m_original;
    replacement.m_replacing = mayReplace && os.Stat(path.c_str(), &old) == 0;
    if (replacement.m_replacing) {
        struct stat link {};
        if (os.Lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            const std::string resolved = os.Realpath(path.c_str());
            if (resolved.empty()) return std::unexpected(MakeSystemError(errno, path, "无法解析链接"));
            path = resolved;
        }
        if (!S_ISREG(old.st_mode)) {
            return std::unexpected(Error{EISDIR, "不是普通文件", path});
        }
    }
    std::optional<Error> unjournalled;
    const auto made = MakeAtTemporaryPath(path, [&](const std::string& candidate) {
        if (journal != nullptr) {
            auto noted = journal->NoteTemporary(candidate);
            if (!noted) {
                unjournalled = noted.error();
                errno = EIO;
                return -1;
            }
            replacement.m_note = std::move(*noted);
        }
        replacement.m_fd = OwnedFd(os.Open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666), os);
        return replacement.m_fd.IsOpen() ? 0 : -1;
    });
    if (unjournalled) return std::unexpected(std::move(*unjournalled));
    if (!made) return std::unexpected(MakeSystemError(made.error(), path, "无法创建临时文件"));
    replacement.m_temporary = *made;
    return replacement;
}

FileReplacement::FileReplacement(FileReplacement&& other) noexcept
    : m_os(other.m_os),
      m_target(std::move(other.m_target)),
      m_temporary(std::move(other.m_temporary)),
      m_original(other.m_original),
      m_fd(std::move(other.m_fd)),
      m_replacing(other.m_replacing),
      m_mayReplace(other.m_mayReplace),
      m_expected(other.m_expected),
      m_expecting(other.m_expecting),
      m_note(std::move(other.m_note)) {
    other.m_temporary.clear();
}

FileReplacement::~FileReplacement() { Abandon(); }

void FileReplacement::Abandon() {
    m_fd = OwnedFd();
    if (!m_temporary.empty()) m_os->Unlink(m_temporary.c_str());
    m_temporary.clear();
    m_note.Close();
}

std::expected<void, Error> FileReplacement::Commit() {
    PosixApi& os = *m_os;
    const std::string& path = m_target;
    auto fail = [&](Error error) -> std::expected<void, Error> {
        Abandon();
        return std::unexpected(std::move(error));
    };
    if (!m_fd.IsOpen() || m_temporary.empty()) return fail(Error{EBADF, "写入失败", path});
    if (m_replacing) {
        const struct stat& old = m_original;
        // The owner first: giving a file away clears its set-user and set-group
        // bits, which the mode then sets again. Only root may give a file away; a
        // normal user writes their own files anyway.
        if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
            os.Fchown(m_fd.Get(), old.st_uid, old.st_gid) != 0 && errno != EPERM) {
            return fail(MakeSystemError(errno, path, "无法设置文件所有者"));
        }
        if (os.Fchmod(m_fd.Get(), old.st_mode & 07777) != 0) {
            return fail(MakeSystemError(errno, path, "无法设置文件权限"));
        }
        if (auto kept = CopyExtendedAttributes(path, m_temporary, os); !kept) return fail(kept.error());
    }
    if (os.Fsync(m_fd.Get()) != 0) return fail(MakeSystemError(errno, path, "写入失败"));
    if (auto closed = m_fd.Close(path); !closed) return fail(closed.error());
    if (m_expecting) {
        // Another program's write while the new content was made would be lost.
        struct stat now {};
        if (os.Stat(path.c_str(), &now) != 0 || ChangedSince(m_expected, now)) {
            return fail(ChangedMeanwhileError(path));
        }
    }
    if (!m_mayReplace) {
        // File systems without the no-replace flag get a hard link, which cannot
        // replace anything either.
        if (os.Renameat2(m_temporary.c_str(), path.c_str(), RENAME_NOREPLACE) != 0) {
            if (errno != EINVAL && errno != ENOSYS) return fail(MakeSystemError(errno, path, "无法创建文件"));
            if (os.Link(m_temporary.c_str(), path.c_str()) != 0) {
                return fail(MakeSystemError(errno, path, "无法创建文件"));
            }
            os.Unlink(m_temporary.c_str());
        }
    } else if (os.Rename(m_temporary.c_str(), path.c_str()) != 0) {
        return fail(MakeSystemError(errno, path, "无法替换文件"));
    }
    m_temporary.clear();
    SyncFolder(os, GetParentOfPath(path));
    m_note.Close();
    return {};
}

namespace {

std::expected<void, Error> WriteThroughTemporary(const std::string& requestedPath, const ContentWriter& write,
                                                 bool mayReplace, PosixApi& os) {
    auto replacement = FileReplacement::Begin(requestedPath, os, mayReplace);
    if (!replacement) return std::unexpected(std::move(replacement.error()));
    if (auto written = write(replacement->Fd(), replacement->Target()); !written) return written;
    return replacement->Commit();
}

ContentWriter BytesWriter(std::string_view bytes, PosixApi& os) {
    return [bytes, &os](int fd, const std::string& path) { return WriteToDescriptor(fd, bytes, path, os); };
}

}  // namespace

std::expected<void, Error> WriteFileAtomically(const std::string& path, std::string_view bytes, PosixApi& os) {
    return WriteThroughTemporary(path, BytesWriter(bytes, os), true, os);
}

std::expected<void, Error> ReplaceFileAtomically(const std::string& path, const ContentWriter& write, PosixApi& os) {
    return WriteThroughTemporary(path, write, true, os);
}

std::expected<void, Error> WriteNewFileAtomically(const std::string& path, std::string_view bytes, PosixApi& os) {
    return WriteThroughTemporary(path, BytesWriter(bytes, os), false, os);
}

bool ChangedSince(const struct stat& start, const struct stat& now) {
    return start.st_dev != now.st_dev || start.st_ino != now.st_ino || start.st_size != now.st_size ||
           start.st_mtim.tv_sec != now.st_mtim.tv_sec || start.st_mtim.tv_nsec != now.st_mtim.tv_nsec ||
           start.st_ctim.tv_sec != now.st_ctim.tv_sec || start.st_ctim.tv_nsec != now.st_ctim.tv_nsec;
}

Error ChangedMeanwhileError(const std::string& path) {
    return Error{Error::kChangedMeanwhile, "文件在编辑时被其他程序改变", path};
}

namespace {

// `access` is the system's answer to "may this user write it" (0: yes).
std::expected<void, Error> CheckWritableBy(const std::string& path, mode_t mode, const std::function<int()>& access) {
    // Root may write anything, so the owner's own mark counts for everyone.
    if ((mode & S_IWUSR) == 0 || (access() != 0 && (errno == EACCES || errno == EPERM))) {
        return std::unexpected(Error{Error::kReadOnly, "文件只读", path});
    }
    return {};
}

}  // namespace

std::expected<void, Error> CheckWritable(const std::string& path, const struct stat& info, PosixApi& os) {
    return CheckWritableBy(path, info.st_mode, [&] { return os.Access(path.c_str(), W_OK); });
}

std::expected<void, Error> CheckWritableOpen(int fd, const std::string& path, mode_t mode, PosixApi& os) {
    return CheckWritableBy(path, mode, [&] { return os.Accessat(fd, "", W_OK, AT_EMPTY_PATH); });
}

namespace {

bool InGroup(gid_t group) {
    if (group == ::getegid()) return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

}  // namespace

bool ReplacementKeepsFile(const std::string& path, const struct stat& info, PosixApi& os) {
    if (info.st_nlink > 1) return false;
    if (::geteuid() != 0 && (info.st_uid != ::geteuid() || !InGroup(info.st_gid))) return false;
    // The new file goes beside the file itself, wherever a link to it lies.
    const std::string target = os.Realpath(path.c_str());
    const std::string folder = GetParentOfPath(target.empty() ? path : target);
    return os.Access(folder.empty() ? "/" : folder.c_str(), W_OK | X_OK) == 0;
}

std::expected<void, ReplaceFailure> WriteInPlaceJournalled(const std::string& requestedPath, const struct stat& start,
                                                           std::uint64_t offset, std::string_view previous,
                                                           std::string_view bytes, bool endsFile,
                                                           WriteJournal& journal, PosixApi& os,
                                                           const BeforeInPlaceWrite& beforeWrite) {
    const auto failed = [](Error error, bool leftChanged = false) {
        return std::unexpected(ReplaceFailure{std::move(error), leftChanged});
    };
    if (!endsFile && previous.size() != bytes.size()) {
        return failed(Error{Error::kInvalidInput, "写入位置无效", requestedPath});
    }
    // The journal names the file itself, whatever link led to it.
    std::string path = os.Realpath(requestedPath.c_str());
    if (path.empty()) return failed(MakeSystemError(errno, requestedPath, "无法打开文件"));
    OwnedFd file(os.Open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK, 0), os);
    if (!file.IsOpen()) return failed(MakeSystemError(errno, requestedPath, "无法打开文件"));
    const int fd = file.Get();
    struct stat now {};
    if (os.Fstat(fd, &now) != 0) return failed(MakeSystemError(errno, requestedPath, "无法读取文件"));
    if (!S_ISREG(now.st_mode)) return failed(Error{EINVAL, "不是普通文件", requestedPath});
    if (ChangedSince(start, now)) return failed(ChangedMeanwhileError(requestedPath));
    const auto oldSize = static_cast<std::uint64_t>(now.st_size);
    if (offset + previous.size() > oldSize || (endsFile && offset + previous.size() != oldSize)) {
        return failed(Error{Error::kInvalidInput, "写入位置无效", requestedPath});
    }
    InPlaceWrite write;
    write.path = path;
    write.device = now.st_dev;
    write.inode = now.st_ino;
    write.offset = offset;
    write.oldSize = oldSize;
    write.newSize = endsFile ? offset + bytes.size() : oldSize;
    write.oldBytes = previous;
    write.newBytes = bytes;
    auto entry = journal.BeginInPlace(write);
    if (!entry) return failed(entry.error());
    if (beforeWrite) {
        if (auto ready = beforeWrite(*entry); !ready) return failed(ready.error());
    }
    std::expected<void, Error> written = WriteToDescriptorAt(fd, offset, bytes, requestedPath, os);
    if (written && endsFile && write.newSize < oldSize && os.Ftruncate(fd, static_cast<off_t>(write.newSize)) != 0) {
        written = std::unexpected(MakeSystemError(errno, requestedPath, "写入失败"));
    }
    if (written && os.Fsync(fd) != 0) written = std::unexpected(MakeSystemError(errno, requestedPath, "写入失败"));
    if (auto closed = file.Close(requestedPath); written && !closed) written = std::unexpected(closed.error());
    if (written) return {};
    // Half written: the old bytes and length go back, synced.
    bool restored = false;
    if (OwnedFd again(os.Open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK, 0), os); again.IsOpen()) {
        restored = WriteToDescriptorAt(again.Get(), offset, previous, requestedPath, os).has_value() &&
                   os.Ftruncate(again.Get(), static_cast<off_t>(oldSize)) == 0 && os.Fsync(again.Get()) == 0;
        restored = again.Close(requestedPath).has_value() && restored;
    }
    return failed(std::move(written.error()), !restored);
}

std::expected<void, ReplaceFailure> ReplaceFileContent(const std::string& path, std::string_view bytes,
                                                       std::string_view previous, PosixApi& os,
                                                       WriteJournal& journal) {
    struct stat info {};
    if (os.Stat(path.c_str(), &info) != 0) {
        return std::unexpected(ReplaceFailure{MakeSystemError(errno, path, "无法打开文件")});
    }
    if (!S_ISREG(info.st_mode) || ReplacementKeepsFile(path, info, os)) {
        if (auto written = WriteFileAtomically(path, bytes, os); !written) {
            return std::unexpected(ReplaceFailure{std::move(written.error())});
        }
        return {};
    }
    // A rename would split the file off its other names, or give it to this user,
    // or cannot be done in its folder: it is written where it is.
    return WriteInPlaceJournalled(path, info, 0, previous, bytes, true, journal, os);
}

std::expected<void, Error> EnsureDirectory(const std::string& path, mode_t mode, PosixApi& os) {
    if (path.empty() || path == "/") return {};
    struct stat info {};
    if (os.Stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return {};
        return std::unexpected(Error{ENOTDIR, "不是文件夹", path});
    }
    const std::string parent = GetParentOfPath(WithoutTrailingSlash(path));
    if (!parent.empty()) {
        if (auto made = EnsureDirectory(parent, mode, os); !made) return made;
    }
    if (os.Mkdir(path.c_str(), mode) != 0 && errno != EEXIST) {
        return std::unexpected(MakeSystemError(errno, path, "无法创建文件夹"));
    }
    return {};
}

bool PathExists(const std::string& path, PosixApi& os) {
    struct stat info {};
    return os.Lstat(path.c_str(), &info) == 0;
}

bool FolderExists(const std::string& path, PosixApi& os) {
    struct stat info {};
    return os.Stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace varnel
