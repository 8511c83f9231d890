#include "frame/ui/exit_signals.h"

#include <csignal>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace varnel {

namespace {

// The handler may only make async-signal-safe calls: it writes one byte to a
// socket that the event loop watches.
int gSignalSockets[2] = {-1, -1};

void OnExitSignal(int) {
    const char byte = 1;
    const ssize_t ignored = ::write(gSignalSockets[0], &byte, 1);
    (void)ignored;
}

}  // namespace

ExitSignalWatcher::ExitSignalWatcher(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, gSignalSockets) != 0) {
        return;
    }
    m_notifier = std::make_unique<QSocketNotifier>(gSignalSockets[1], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        char buffer[16];
        while (::read(gSignalSockets[1], buffer, sizeof buffer) > 0) {
        }
        emit exitRequested();
    });
    struct sigaction action {};
    action.sa_handler = OnExitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

ExitSignalWatcher::~ExitSignalWatcher() {
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    m_notifier.reset();
    for (int& fd : gSignalSockets) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

}  // namespace varnel
