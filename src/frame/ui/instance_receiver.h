// Hears the instance channel on the UI thread: accepts the connections of this
// user's other instances, reads each one's frame as it arrives, answers a whole
// frame and hands it on. A broken, oversized or truncated frame is dropped unheard.
#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>
#include <vector>

#include "frame/instance_frames.h"
#include "frame/message_channel.h"

namespace varnel {

class InstanceReceiver final : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const InstanceFrame&)>;

    // The channel must be open and outlive the receiver.
    InstanceReceiver(MessageChannel& channel, Handler handler, QObject* parent = nullptr);
    ~InstanceReceiver() override;

    std::size_t OpenConnections() const { return m_connections.size(); }

    // Senders that connect and then say nothing hold no more than this many slots.
    static constexpr std::size_t kMaxConnections = 16;

private:
    struct Connection;
    void AcceptWaiting();
    void ReadFrom(Connection* connection);
    void Drop(Connection* connection);

    MessageChannel& m_channel;
    Handler m_handler;
    std::unique_ptr<QSocketNotifier> m_listener;
    std::vector<Connection*> m_connections;  // children of this object
};

}  // namespace varnel
