#include "frame/message_channel.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/un.h>

#include "platform/retry_on_eintr.h"

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

std::expected<OwnedFd, Error> MessageChannel::OpenLockFile(const char* name) {
    if (auto ready = PrepareFolder(); !ready) return std::unexpected(ready.error());
    const std::string path = m_folder + "/" + name;
    OwnedFd fd(m_os.Open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600), m_os);
    if (!fd.IsOpen()) return std::unexpected(MakeSystemError(errno, path));
    return fd;
}

std::expected<void, Error> MessageChannel::LockStarts() {
    if (m_startLockFd.IsOpen()) return {};
    auto fd = OpenLockFile("starting.lock");
    if (!fd) return std::unexpected(fd.error());
    if (RetryOnEintr([&] { return m_os.Flock(fd->Get(), LOCK_EX); }) != 0) {
        return std::unexpected(MakeSystemError(errno, m_folder + "/starting.lock"));
    }
    m_startLockFd = std::move(*fd);
    return {};
}

void MessageChannel::UnlockStarts() { m_startLockFd = OwnedFd(); }

std::expected<void, Error> MessageChannel::OpenChannel() {
    if (IsOpen()) return std::unexpected(Error{Error::kInvalidInput, "通道已打开", m_socketPath});
    sockaddr_un address;
    if (!MakeAddress(m_socketPath, address)) {
        return std::unexpected(Error{ENAMETOOLONG, "套接字路径过长", m_socketPath});
    }
    auto lock = OpenLockFile("owner.lock");
    if (!lock) return std::unexpected(lock.error());
    if (m_os.Flock(lock->Get(), LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) return std::unexpected(Error{EWOULDBLOCK, "另一个实例正在运行", m_socketPath});
        return std::unexpected(MakeSystemError(error, m_folder + "/owner.lock"));
    }
    m_ownerLockFd = std::move(*lock);
    const auto fail = [this](int error) {
        m_listenFd = OwnedFd();
        m_ownerLockFd = OwnedFd();
        return std::unexpected(MakeSystemError(error, m_socketPath));
    };
    // Whoever bound this socket no longer holds the owner lock: it is stale.
    if (m_os.Unlink(m_socketPath.c_str()) != 0 && errno != ENOENT) return fail(errno);
    m_listenFd = OwnedFd(m_os.Socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0), m_os);
    if (!m_listenFd.IsOpen()) return fail(errno);
    if (m_os.Bind(m_listenFd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return fail(errno);
    }
    if (m_os.Listen(m_listenFd.Get(), kBacklog) != 0) {
        const int error = errno;
        m_os.Unlink(m_socketPath.c_str());
        return fail(error);
    }
    return {};
}

void MessageChannel::CloseChannel() {
    if (m_listenFd.IsOpen()) {
        // Still ours: nobody else binds here without the owner lock we hold.
        m_os.Unlink(m_socketPath.c_str());
        m_listenFd = OwnedFd();
    }
    m_ownerLockFd = OwnedFd();
    m_kept.clear();
    m_peerFd = OwnedFd();
}

bool MessageChannel::PeerIsSameUser(int fd) {
    struct ucred credentials {};
    socklen_t length = sizeof credentials;
    if (m_os.Getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) return false;
    return length == sizeof credentials && credentials.uid == m_os.Getuid();
}

int MessageChannel::AcceptConnection() {
    while (m_listenFd.IsOpen()) {
        OwnedFd fd(RetryOnEintr([&] {
                       return m_os.Accept4(m_listenFd.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
                   }),
                   m_os);
        if (!fd.IsOpen()) {
            if (errno == ECONNABORTED) continue;
            return -1;
        }
        if (PeerIsSameUser(fd.Get())) return fd.Release();
    }
    return -1;
}

void MessageChannel::KeepUntilClosed(int fd) {
    if (fd >= 0) m_kept.emplace_back(fd, m_os);
}

bool MessageChannel::WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    pollfd entry{fd, events, 0};
    return RetryOnEintr([&] { return m_os.Poll(&entry, 1, RemainingMs(deadline)); }) > 0;
}

bool MessageChannel::SendFrame(FrameType type, std::string_view body) {
    m_peerFd = OwnedFd();
    sockaddr_un address;
    if (m_socketPath.empty() || body.size() > kMaxFrameBody || !MakeAddress(m_socketPath, address)) return false;
    OwnedFd connection(m_os.Socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0), m_os);
    if (!connection.IsOpen()) return false;
    const int fd = connection.Get();
    // No socket, or one nobody listens on (its owner was killed): no instance runs.
    if (m_os.Connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return false;
    if (!PeerIsSameUser(fd)) return false;

    const auto deadline = std::chrono::steady_clock::now() + sendTimeout;
    const std::string frame = EncodeFrame(type, body);
    std::size_t sent = 0;
    while (sent < frame.size()) {
        const ssize_t n =
            RetryOnEintr([&] { return m_os.Send(fd, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL); });
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            if (!WaitFor(fd, POLLOUT, deadline)) return false;
        } else {
            return false;
        }
    }
    char answer = 0;
    for (;;) {
        if (!WaitFor(fd, POLLIN, deadline)) return false;
        const ssize_t n = RetryOnEintr([&] { return m_os.Read(fd, &answer, 1); });
        if (n == 1) break;
        if (n < 0 && errno == EAGAIN) continue;
        return false;
    }
    if (answer != kFrameAccepted) return false;
    m_peerFd = std::move(connection);
    return true;
}

bool MessageChannel::WaitForOwnerToEnd() {
    if (!m_peerFd.IsOpen()) return false;
    const int fd = m_peerFd.Get();
    const auto deadline = std::chrono::steady_clock::now() + quitTimeout;
    bool ended = false;
    while (!ended) {
        if (!WaitFor(fd, POLLIN, deadline)) break;
        char buffer[256];
        const ssize_t n = RetryOnEintr([&] { return m_os.Read(fd, buffer, sizeof buffer); });
        if (n < 0 && errno == EAGAIN) continue;
        ended = n <= 0;  // a hang-up or a reset: its end of the connection is gone
    }
    m_peerFd = OwnedFd();
    return ended;
}

ChannelConnection::ChannelConnection(int fd, PosixApi& os) : m_os(os), m_fd(fd, os) {}

FrameReader::Status ChannelConnection::ReadAvailable() {
    char buffer[65536];
    while (m_reader.CurrentStatus() == FrameReader::Status::NeedMore) {
        const ssize_t n = RetryOnEintr([&] { return m_os.Read(m_fd.Get(), buffer, sizeof buffer); });
        if (n > 0) {
            m_reader.Feed(std::string_view(buffer, static_cast<std::size_t>(n)));
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
    (void)m_os.Send(m_fd.Get(), &accepted, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
}

int ChannelConnection::Release() { return m_fd.Release(); }

}  // namespace varnel
