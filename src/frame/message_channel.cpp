#include "frame/message_channel.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/un.h>

namespace varnel {

namespace {

constexpr int kBacklog = 16;

bool MakeAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<long long>(left.count(), 0, 1 << 30));
}

}  // namespace

MessageChannel::MessageChannel(std::string folder, PosixApi& os)
    : m_os(os), m_folder(std::move(folder)), m_socketPath(m_folder.empty() ? "" : m_folder + "/instance.sock") {}

MessageChannel::~MessageChannel() {
    CloseChannel();
    UnlockStarts();
}

void MessageChannel::CloseFd(int& fd) {
    if (fd >= 0) m_os.Close(fd);
    fd = -1;
}

std::expected<void, Error> MessageChannel::PrepareFolder() {
    if (m_folder.empty()) return std::unexpected(Error{Error::kInvalidInput, "没有运行时目录（XDG_RUNTIME_DIR）", {}});
    if (m_os.Mkdir(m_folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return std::unexpected(MakeSystemError(errno, m_folder));
    }
    struct stat info {};
    if (m_os.Lstat(m_folder.c_str(), &info) != 0) return std::unexpected(MakeSystemError(errno, m_folder));
    // Anyone who could write here could pose as the running instance.
    if (!S_ISDIR(info.st_mode) || info.st_uid != m_os.Getuid()) {
        return std::unexpected(Error{Error::kInvalidInput, "运行时目录不属于当前用户", m_folder});
    }
    if ((info.st_mode & 077) != 0 && m_os.Chmod(m_folder.c_str(), 0700) != 0) {
        return std::unexpected(MakeSystemError(errno, m_folder));
    }
    return {};
}

std::expected<int, Error> MessageChannel::OpenLockFile(const char* name) {
    if (auto ready = PrepareFolder(); !ready) return std::unexpected(ready.error());
    const std::string path = m_folder + "/" + name;
    const int fd = m_os.Open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return std::unexpected(MakeSystemError(errno, path));
    return fd;
}

std::expected<void, Error> MessageChannel::LockStarts() {
    if (m_startLockFd >= 0) return {};
    auto fd = OpenLockFile("starting.lock");
    if (!fd) return std::unexpected(fd.error());
    int result;
    do {
        result = m_os.Flock(*fd, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        m_os.Close(*fd);
        return std::unexpected(MakeSystemError(error, m_folder + "/starting.lock"));
    }
    m_startLockFd = *fd;
    return {};
}

void MessageChannel::UnlockStarts() { CloseFd(m_startLockFd); }

std::expected<void, Error> MessageChannel::OpenChannel() {
    if (IsOpen()) return std::unexpected(Error{Error::kInvalidInput, "通道已打开", m_socketPath});
    sockaddr_un address;
    if (!MakeAddress(m_socketPath, address)) {
        return std::unexpected(Error{ENAMETOOLONG, "套接字路径过长", m_socketPath});
    }
    auto lock = OpenLockFile("owner.lock");
    if (!lock) return std::unexpected(lock.error());
    if (m_os.Flock(*lock, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        m_os.Close(*lock);
        if (error == EWOULDBLOCK) return std::unexpected(Error{EWOULDBLOCK, "另一个实例正在运行", m_socketPath});
        return std::unexpected(MakeSystemError(error, m_folder + "/owner.lock"));
    }
    m_ownerLockFd = *lock;
    const auto fail = [this](int error) {
        CloseFd(m_listenFd);
        CloseFd(m_ownerLockFd);
        return std::unexpected(MakeSystemError(error, m_socketPath));
    };
    // Whoever bound this socket no longer holds the owner lock: it is stale.
    if (m_os.Unlink(m_socketPath.c_str()) != 0 && errno != ENOENT) return fail(errno);
    m_listenFd = m_os.Socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0) return fail(errno);
    if (m_os.Bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return fail(errno);
    }
    if (m_os.Listen(m_listenFd, kBacklog) != 0) {
        const int error = errno;
        m_os.Unlink(m_socketPath.c_str());
        return fail(error);
    }
    return {};
}

void MessageChannel::CloseChannel() {
    if (m_listenFd >= 0) {
        // Still ours: nobody else binds here without the owner lock we hold.
        m_os.Unlink(m_socketPath.c_str());
        CloseFd(m_listenFd);
    }
    CloseFd(m_ownerLockFd);
    for (int& fd : m_kept) CloseFd(fd);
    m_kept.clear();
    CloseFd(m_peerFd);
}

bool MessageChannel::PeerIsSameUser(int fd) {
    struct ucred credentials {};
    socklen_t length = sizeof credentials;
    if (m_os.Getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) return false;
    return length == sizeof credentials && credentials.uid == m_os.Getuid();
}

int MessageChannel::AcceptConnection() {
    while (m_listenFd >= 0) {
        const int fd = m_os.Accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return -1;
        }
        if (PeerIsSameUser(fd)) return fd;
        m_os.Close(fd);
    }
    return -1;
}

void MessageChannel::KeepUntilClosed(int fd) {
    if (fd >= 0) m_kept.push_back(fd);
}

bool MessageChannel::WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = m_os.Poll(&entry, 1, RemainingMs(deadline));
        if (ready > 0) return true;
        if (ready == 0) return false;
        if (errno != EINTR) return false;
    }
}

bool MessageChannel::SendFrame(FrameType type, std::string_view body) {
    CloseFd(m_peerFd);
    sockaddr_un address;
    if (m_socketPath.empty() || body.size() > kMaxFrameBody || !MakeAddress(m_socketPath, address)) return false;
    int fd = m_os.Socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const auto give_up = [&] {
        CloseFd(fd);
        return false;
    };
    // No socket, or one nobody listens on (its owner was killed): no instance runs.
    if (m_os.Connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return give_up();
    if (!PeerIsSameUser(fd)) return give_up();

    const auto deadline = std::chrono::steady_clock::now() + sendTimeout;
    const std::string frame = EncodeFrame(type, body);
    std::size_t sent = 0;
    while (sent < frame.size()) {
        const ssize_t n = m_os.Send(fd, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            if (!WaitFor(fd, POLLOUT, deadline)) return give_up();
        } else {
            return give_up();
        }
    }
    char answer = 0;
    for (;;) {
        if (!WaitFor(fd, POLLIN, deadline)) return give_up();
        const ssize_t n = m_os.Read(fd, &answer, 1);
        if (n == 1) break;
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        return give_up();
    }
    if (answer != kFrameAccepted) return give_up();
    m_peerFd = fd;
    return true;
}

bool MessageChannel::WaitForOwnerToEnd() {
    if (m_peerFd < 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + quitTimeout;
    bool ended = false;
    while (!ended) {
        if (!WaitFor(m_peerFd, POLLIN, deadline)) break;
        char buffer[256];
        const ssize_t n = m_os.Read(m_peerFd, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        ended = n <= 0;  // a hang-up or a reset: its end of the connection is gone
    }
    CloseFd(m_peerFd);
    return ended;
}

ChannelConnection::ChannelConnection(int fd, PosixApi& os) : m_os(os), m_fd(fd) {}

ChannelConnection::~ChannelConnection() {
    if (m_fd >= 0) m_os.Close(m_fd);
}

FrameReader::Status ChannelConnection::ReadAvailable() {
    char buffer[65536];
    while (m_reader.CurrentStatus() == FrameReader::Status::NeedMore) {
        const ssize_t n = m_os.Read(m_fd, buffer, sizeof buffer);
        if (n > 0) {
            m_reader.Feed(std::string_view(buffer, static_cast<std::size_t>(n)));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            return FrameReader::Status::NeedMore;
        } else {
            return FrameReader::Status::Invalid;  // hung up before the frame was whole
        }
    }
    return m_reader.CurrentStatus();
}

void ChannelConnection::Acknowledge() {
    const char accepted = kFrameAccepted;
    // A sender that gave up meanwhile is no reason to fail.
    (void)m_os.Send(m_fd, &accepted, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
}

int ChannelConnection::Release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

}  // namespace varnel
