// The private folder where undo keeps large data (old file contents, split
// sources) instead of memory. Each stored piece is one file, shared by every copy
// of the record that holds it and removed when the last copy goes. The folder is
// made on the first store, mode 0700. The history lives as long as the process,
// so a store is synced to disk only when asked: where the file's own copy is
// about to be overwritten in place or removed. Store may be called from a run's worker;
// the handles may be copied and dropped on any thread.
#pragma once

#include <cstdint>
#include <expected>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/owned_fd.h"
#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

class SpooledBytes {
public:
    SpooledBytes() = default;

    bool Empty() const { return m_file == nullptr || m_file->size == 0; }
    std::int64_t Size() const { return m_file ? m_file->size : 0; }
    // The spool file, for restoring a large content without reading it whole.
    const std::string& Path() const;
    std::expected<std::string, Error> ReadAll() const;
    // At most the first `limit` bytes (fewer when the content is shorter).
    std::expected<std::string, Error> ReadPrefix(std::size_t limit) const;

private:
    friend class UndoSpool;
    struct File {
        std::string path;
        std::int64_t size = 0;
        PosixApi* os = nullptr;
        ~File();
    };
    std::shared_ptr<const File> m_file;
};

class UndoSpool {
public:
    // `os` must outlive every SpooledBytes this spool hands out.
    explicit UndoSpool(std::string folder, PosixApi& os = SystemPosix());

    // $XDG_CACHE_HOME/Varnel/undo.
    static std::string DefaultFolder();
    const std::string& Folder() const { return m_folder; }

    std::expected<SpooledBytes, Error> Store(std::string_view bytes, bool synced = true);
    // Copies the file's current content into the spool, chunk by chunk.
    std::expected<SpooledBytes, Error> StoreCopyOf(const std::string& path, bool synced = true);
    // Keeps the content of the regular file at `path` (no link) by giving its inode
    // a second name in the spool where the file system allows, copying no byte;
    // otherwise as StoreCopyOf. Only for a file about to be renamed over or
    // removed: a file written in place afterwards would change the kept bytes too.
    // A symbolic link at `path` is kept itself (a second name of the link, never
    // its target's bytes); where that cannot be, it fails.
    std::expected<SpooledBytes, Error> StoreLinkOf(const std::string& path, bool synced);

    // Removes what processes that no longer run left in the folder (a crash, a
    // kill): every spool file is named after the process that stored it, and one
    // whose process is alive (this one, another instance) stays. The number removed.
    std::size_t RemoveLeftovers();

private:
    std::expected<OwnedFd, Error> CreateFile(std::string& path);
    std::expected<SpooledBytes, Error> Finish(OwnedFd fd, std::string path, std::int64_t size, bool synced);
    SpooledBytes Handle(std::string path, std::int64_t size);

    std::string m_folder;
    PosixApi& m_os;
    std::mutex m_mutex;
    bool m_folderReady = false;
    std::uint64_t m_counter = 0;
};

}  // namespace varnel
