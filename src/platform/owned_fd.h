// An open file descriptor with one owner, closed through the PosixApi that opened
// it (so a test's injected close failure is seen). Close() says whether the close
// succeeded: after a write, a failed close can mean the bytes never reached the
// disk, so a descriptor written to is closed that way and its failure reported.
// The destructor closes silently (errno stays as it was): for descriptors only
// read from, and for paths that already return an error. Move-only; belongs to
// one thread at a time.
#pragma once

#include <expected>
#include <string>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

class OwnedFd {
public:
    OwnedFd() = default;
    // Takes `fd` as returned by an open call of `os`; -1 holds nothing.
    OwnedFd(int fd, PosixApi& os) : m_os(&os), m_fd(fd) {}
    OwnedFd(OwnedFd&& other) noexcept;
    // Closes what this held (silently) and takes what `other` held.
    OwnedFd& operator=(OwnedFd&& other) noexcept;
    OwnedFd(const OwnedFd&) = delete;
    OwnedFd& operator=(const OwnedFd&) = delete;
    ~OwnedFd();

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }

    // Closes now (once: the descriptor is gone whatever close returns, so it is
    // never closed again). On failure, the error "what: reason" on `path` with
    // close's errno; closing nothing succeeds.
    std::expected<void, Error> Close(const std::string& path, std::string what = "写入失败");
    // Gives the descriptor up to a new owner (fdopendir, a caller): this holds nothing.
    int Release();

private:
    PosixApi* m_os = nullptr;
    int m_fd = -1;
};

}  // namespace varnel
