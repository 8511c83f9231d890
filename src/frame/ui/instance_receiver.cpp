#include "frame/ui/instance_receiver.h"

#include <algorithm>

namespace varnel {

struct InstanceReceiver::Connection : QObject {
    Connection(int fd, QObject* parent) : QObject(parent), channel(fd), notifier(fd, QSocketNotifier::Read) {}
    ChannelConnection channel;
    QSocketNotifier notifier;
};

InstanceReceiver::InstanceReceiver(MessageChannel& channel, Handler handler, QObject* parent)
    : QObject(parent), m_channel(channel), m_handler(std::move(handler)) {
    if (!m_channel.IsOpen()) return;
    m_listener = std::make_unique<QSocketNotifier>(m_channel.ListeningFd(), QSocketNotifier::Read);
    connect(m_listener.get(), &QSocketNotifier::activated, this, &InstanceReceiver::AcceptWaiting);
}

InstanceReceiver::~InstanceReceiver() = default;

void InstanceReceiver::AcceptWaiting() {
    for (int fd = m_channel.AcceptConnection(); fd >= 0; fd = m_channel.AcceptConnection()) {
        if (m_connections.size() >= kMaxConnections) {
            ChannelConnection refused(fd);
            continue;
        }
        auto* connection = new Connection(fd, this);
        connect(&connection->notifier, &QSocketNotifier::activated, this,
                [this, connection] { ReadFrom(connection); });
        m_connections.push_back(connection);
        // Bytes that came with the connection are read at once.
        ReadFrom(connection);
    }
}

void InstanceReceiver::ReadFrom(Connection* connection) {
    const FrameReader::Status status = connection->channel.ReadAvailable();
    if (status == FrameReader::Status::NeedMore) return;
    if (status == FrameReader::Status::Invalid) {
        Drop(connection);
        return;
    }
    const InstanceFrame frame = connection->channel.Frame();
    // The answer goes first: handling may take a while (a quit waits for a run to
    // stop), and the sender only needs to know the frame was taken.
    connection->channel.Acknowledge();
    // The sender of a quit learns from the hang-up that this instance has ended.
    if (frame.type == FrameType::Quit) m_channel.KeepUntilClosed(connection->channel.Release());
    Drop(connection);
    m_handler(frame);
}

void InstanceReceiver::Drop(Connection* connection) {
    const auto found = std::find(m_connections.begin(), m_connections.end(), connection);
    if (found == m_connections.end()) return;
    m_connections.erase(found);
    connection->notifier.setEnabled(false);
    // Its notifier's signal may be the one running now.
    connection->deleteLater();
}

}  // namespace varnel
