// A regular file's bytes for one pass of an edit: a small file is read into
// memory, a large one mapped read-only, and a pass from the first byte to the last
// can let go of the pages behind it, so that rewriting a file of any size holds
// only a window of it. Belongs to one thread at a time. Another program that cuts
// a mapped file short does not end this one: the pages past the new end read as
// zeros, and Truncated() tells the caller to throw away what it made of them.
#pragma once

#include <cstddef>
#include <expected>
#include <string>
#include <string_view>

#include <sys/stat.h>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

class MappedFile {
public:
    // Files from this size on are mapped rather than read.
    static constexpr std::size_t kMapFrom = std::size_t{64} << 20;

    // The file at `path` (a link is followed); a FIFO, device, socket or folder is
    // refused before anything opens it.
    static std::expected<MappedFile, Error> Open(const std::string& path, PosixApi& os = SystemPosix(),
                                                 std::size_t mapFrom = kMapFrom);

    MappedFile() = default;
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    std::string_view Bytes() const { return m_view; }
    // The file as it was found before its bytes were read: a later change of it
    // shows as another size, modification or change time.
    const struct stat& Status() const { return m_status; }
    // Whether `piece` lies within Bytes().
    bool Holds(std::string_view piece) const;
    // Lets go of the memory of the mapped pages wholly before `at` (a place in
    // Bytes()); touched again, they are read again from the file. Nothing for a file
    // that was read.
    void ReleaseBefore(const char* at) const;
    // Whether the file was cut short while mapped, so that Bytes() no longer holds
    // what the file held (always false for a file that was read).
    bool Truncated() const;

private:
    std::string m_read;
    struct stat m_status {};
    void* m_map = nullptr;
    std::size_t m_mapSize = 0;
    std::string_view m_view;
    mutable std::size_t m_released = 0;
    int m_guard = -1;  // the mapping's slot in the guard against cut-short files
};

}  // namespace varnel
