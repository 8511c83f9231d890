#include "runs/undo_spool.h"

#include <cerrno>
#include <charconv>
#include <dirent.h>
#include <signal.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_io.h"
#include "platform/xdg_paths.h"
#include "utilities/path_routines.h"

namespace varnel {

SpooledBytes::File::~File() {
    // Nothing can report a failure here; a file left behind only costs space.
    if (os != nullptr && !path.empty()) os->Unlink(path.c_str());
}

const std::string& SpooledBytes::Path() const {
    static const std::string none;
    return m_file ? m_file->path : none;
}

std::expected<std::string, Error> SpooledBytes::ReadAll() const {
    if (!m_file) return std::string();
    return ReadWholeFile(m_file->path, *m_file->os);
}

std::expected<std::string, Error> SpooledBytes::ReadPrefix(std::size_t limit) const {
    if (!m_file) return std::string();
    return ReadFileHead(m_file->path, limit, *m_file->os);
}

UndoSpool::UndoSpool(std::string folder, PosixApi& os)
    : m_folder(WithoutTrailingSlash(folder)), m_os(os) {}

std::string UndoSpool::DefaultFolder() { return WithTrailingSlash(CacheHome()) + "Varnel/undo"; }

std::expected<OwnedFd, Error> UndoSpool::CreateFile(std::string& path) {
    std::lock_guard lock(m_mutex);
    if (!m_folderReady) {
        if (auto made = EnsureDirectory(m_folder, 0700, m_os); !made) return std::unexpected(made.error());
        // A folder that existed before keeps what others could read: make it private.
        if (m_os.Chmod(m_folder.c_str(), 0700) != 0) {
            return std::unexpected(MakeSystemError(errno, m_folder, "无法设置文件夹权限"));
        }
        m_folderReady = true;
    }
    const std::string prefix = m_folder + "/" + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = prefix + std::to_string(++m_counter);
        OwnedFd fd(m_os.Open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600), m_os);
        if (fd.IsOpen()) return fd;
        if (errno != EEXIST) return std::unexpected(MakeSystemError(errno, path, "无法创建撤销数据文件"));
    }
    return std::unexpected(MakeSystemError(EEXIST, path, "无法创建撤销数据文件"));
}

std::expected<SpooledBytes, Error> UndoSpool::Finish(OwnedFd fd, std::string path, std::int64_t size, bool synced) {
    // Synced when asked: the file's own copy is overwritten or removed right after
    // this, and then the spool holds the only copy of those bytes.
    std::expected<void, Error> kept;
    if (synced && m_os.Fsync(fd.Get()) != 0) kept = std::unexpected(MakeSystemError(errno, path, "写入失败"));
    if (auto closed = fd.Close(path); !closed && kept) kept = std::unexpected(closed.error());
    if (!kept) {
        m_os.Unlink(path.c_str());
        return std::unexpected(kept.error());
    }
    return Handle(std::move(path), size);
}

SpooledBytes UndoSpool::Handle(std::string path, std::int64_t size) {
    auto file = std::make_shared<SpooledBytes::File>();
    file->path = std::move(path);
    file->size = size;
    file->os = &m_os;
    SpooledBytes spooled;
    spooled.m_file = std::move(file);
    return spooled;
}

std::size_t UndoSpool::RemoveLeftovers() {
    std::lock_guard lock(m_mutex);
    OwnedFd folder(m_os.Open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0), m_os);
    if (!folder.IsOpen()) return 0;
    DIR* listing = m_os.Fdopendir(folder.Get());
    if (listing == nullptr) return 0;
    folder.Release();  // the listing owns it now
    std::size_t removed = 0;
    const pid_t self = ::getpid();
    while (const dirent* entry = m_os.Readdir(listing)) {
        const std::string_view name = entry->d_name;
        const std::size_t dash = name.find('-');
        if (dash == std::string_view::npos || dash == 0) continue;
        pid_t owner = 0;
        const auto [end, error] = std::from_chars(name.data(), name.data() + dash, owner);
        if (error != std::errc() || end != name.data() + dash || owner <= 0 || owner == self) continue;
        // A process that still runs (or may not be asked) keeps its files.
        if (::kill(owner, 0) == 0 || errno != ESRCH) continue;
        if (m_os.Unlinkat(::dirfd(listing), entry->d_name, 0) == 0) ++removed;
    }
    m_os.Closedir(listing);
    return removed;
}

std::expected<SpooledBytes, Error> UndoSpool::Store(std::string_view bytes, bool synced) {
    std::string path;
    auto fd = CreateFile(path);
    if (!fd) return std::unexpected(fd.error());
    if (auto written = WriteToDescriptor(fd->Get(), bytes, path, m_os); !written) {
        *fd = OwnedFd();
        m_os.Unlink(path.c_str());
        return std::unexpected(written.error());
    }
    return Finish(std::move(*fd), std::move(path), static_cast<std::int64_t>(bytes.size()), synced);
}

std::expected<SpooledBytes, Error> UndoSpool::StoreCopyOf(const std::string& source, bool synced) {
    std::string path;
    auto fd = CreateFile(path);
    if (!fd) return std::unexpected(fd.error());
    std::int64_t size = 0;
    std::expected<void, Error> written;
    auto read = ReadFileInChunks(
        source,
        [&](std::string_view chunk) {
            if (!written) return;  // the first failure is the one reported
            written = WriteToDescriptor(fd->Get(), chunk, path, m_os);
            size += static_cast<std::int64_t>(chunk.size());
        },
        m_os);
    if (!read || !written) {
        *fd = OwnedFd();
        m_os.Unlink(path.c_str());
        return std::unexpected(!read ? read.error() : written.error());
    }
    return Finish(std::move(*fd), std::move(path), size, synced);
}

std::expected<SpooledBytes, Error> UndoSpool::StoreLinkOf(const std::string& source, bool synced) {
    struct stat info {};
    const bool found = m_os.Lstat(source.c_str(), &info) == 0;
    const bool link = found && S_ISLNK(info.st_mode);
    if (!found || (!S_ISREG(info.st_mode) && !link)) return StoreCopyOf(source, synced);
    std::string path;
    auto fd = CreateFile(path);
    if (!fd) return std::unexpected(fd.error());
    // The spool folder is private: the name made for the empty file stays free for
    // the link. A file system without links (or another one) copies instead.
    *fd = OwnedFd();
    m_os.Unlink(path.c_str());
    if (m_os.Link(source.c_str(), path.c_str()) != 0) {
        if (link) return std::unexpected(MakeSystemError(errno, source, "无法保存撤销数据"));
        return StoreCopyOf(source, synced);
    }
    if (synced && !link) {
        // The bytes are the file's own, already written: the new name must last.
        const OwnedFd kept(m_os.Open(path.c_str(), O_RDONLY | O_CLOEXEC, 0), m_os);
        const bool ok = kept.IsOpen() && m_os.Fsync(kept.Get()) == 0;
        const OwnedFd folder(m_os.Open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0), m_os);
        const bool folderOk = folder.IsOpen() && m_os.Fsync(folder.Get()) == 0;
        if (!ok || !folderOk) {
            m_os.Unlink(path.c_str());
            return std::unexpected(MakeSystemError(errno, path, "写入失败"));
        }
    }
    return Handle(std::move(path), static_cast<std::int64_t>(info.st_size));
}

}  // namespace varnel
