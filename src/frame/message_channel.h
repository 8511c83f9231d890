// The instance channel: a per-user AF_UNIX socket in a folder of mode 0700, owned
// by the instance that holds the owner lock, so a socket left by a killed process
// is known stale and safely replaced. A second lock serialises the start-up checks.
// Only a peer of the same user is heard or spoken to. One frame per connection; the
// owner answers a whole, valid frame with one byte.
// Used from one thread (the UI thread); every system call goes through PosixApi.
#pragma once

#include <chrono>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include "frame/instance_check.h"
#include "frame/instance_frames.h"
#include "platform/owned_fd.h"
#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

class MessageChannel final : public InstanceEndpoint {
public:
    // `folder` is where the socket and the locks live ("" disables the channel).
    explicit MessageChannel(std::string folder, PosixApi& os = SystemPosix());
    ~MessageChannel() override;  // CloseChannel and UnlockStarts
    MessageChannel(const MessageChannel&) = delete;
    MessageChannel& operator=(const MessageChannel&) = delete;

    // Waits until no other start of this user is deciding, and keeps them waiting
    // until UnlockStarts.
    std::expected<void, Error> LockStarts();
    void UnlockStarts();

    bool SendFrame(FrameType type, std::string_view body) override;
    bool WaitForOwnerToEnd() override;
    std::expected<void, Error> OpenChannel() override;
    // Removes the socket and gives up ownership; then closes the connections kept
    // open. Safe to call twice.
    void CloseChannel();

    bool IsOpen() const { return m_listenFd.IsOpen(); }
    // Readable when a connection waits; -1 while closed.
    int ListeningFd() const { return m_listenFd.Get(); }
    // The next waiting connection of this user, non-blocking; -1 when none waits.
    // Connections of other users are closed unheard.
    int AcceptConnection();
    // Keeps a connection open until the channel closes: its peer learns from the
    // hang-up that this instance has given up the channel.
    void KeepUntilClosed(int fd);

    const std::string& SocketPath() const { return m_socketPath; }

    // How long a sender waits for the owner to take a frame, and for the owner to
    // end after a quit frame (it first lets a run stop at its next row).
    std::chrono::milliseconds sendTimeout{15000};
    std::chrono::milliseconds quitTimeout{60000};

private:
    std::expected<void, Error> PrepareFolder();
    std::expected<OwnedFd, Error> OpenLockFile(const char* name);
    bool PeerIsSameUser(int fd);
    bool WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline);

    PosixApi& m_os;
    std::string m_folder;
    std::string m_socketPath;
    OwnedFd m_startLockFd;
    OwnedFd m_ownerLockFd;
    OwnedFd m_listenFd;
    OwnedFd m_peerFd;  // the connection of the last frame sent
    std::vector<OwnedFd> m_kept;
};

// One incoming connection of the owner: reads its frame as it arrives.
class ChannelConnection {
public:
    ChannelConnection(int fd, PosixApi& os = SystemPosix());
    ChannelConnection(const ChannelConnection&) = delete;
    ChannelConnection& operator=(const ChannelConnection&) = delete;

    int Fd() const { return m_fd.Get(); }
    // Reads what has arrived without waiting. Invalid also when the peer hung up
    // before its frame was whole.
    FrameReader::Status ReadAvailable();
    const InstanceFrame& Frame() const { return m_reader.Frame(); }
    // Tells the sender its frame was taken.
    void Acknowledge();
    // Hands the descriptor over; the connection no longer closes it.
    int Release();

private:
    PosixApi& m_os;
    OwnedFd m_fd;
    FrameReader m_reader;
};

}  // namespace varnel
