#include "platform/owned_fd.h"

#include <cerrno>
#include <utility>

namespace varnel {

namespace {

// A silent close leaves errno alone: an error path that closes on its way out
// still reports the errno of the call that failed.
void CloseKeepingErrno(PosixApi& os, int fd) {
    const int error = errno;
    os.Close(fd);
    errno = error;
}

}  // namespace

OwnedFd::OwnedFd(OwnedFd&& other) noexcept : m_os(other.m_os), m_fd(std::exchange(other.m_fd, -1)) {}

OwnedFd& OwnedFd::operator=(OwnedFd&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) CloseKeepingErrno(*m_os, m_fd);
        m_os = other.m_os;
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

OwnedFd::~OwnedFd() {
    if (m_fd >= 0) CloseKeepingErrno(*m_os, m_fd);
}

std::expected<void, Error> OwnedFd::Close(const std::string& path, std::string what) {
    if (m_fd < 0) return {};
    // Linux releases the descriptor even when close fails (EINTR included), so it
    // is never retried: a retry could close a descriptor another thread just got.
    const int result = m_os->Close(std::exchange(m_fd, -1));
    if (result != 0) return std::unexpected(MakeSystemError(errno, path, std::move(what)));
    return {};
}

int OwnedFd::Release() { return std::exchange(m_fd, -1); }

}  // namespace varnel
