#include "frame/ui/instance_messages.h"

#include "filelist/ui/file_list_panel.h"
#include "frame/ui/instance_receiver.h"
#include "frame/ui/main_window.h"

namespace varnel {

namespace {

// A task's end is looked for this often while received paths wait for it.
constexpr int kIdleWatchMs = 200;

}  // namespace

void BringMainWindowToFront(QWidget& window) {
    // Raising the window is what makes it the front one here; flipping the
    // stay-on-top flag would make the window system recreate it.
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

InstanceMessages::InstanceMessages(FrameGlobals& app, MainWindow& window, QObject* parent)
    : QObject(parent), m_app(app), m_window(window) {
    m_idleWatch.setInterval(kIdleWatchMs);
    connect(&m_idleWatch, &QTimer::timeout, this, &InstanceMessages::LoadWaitingPaths);
    if (m_app.gInstanceChannel && m_app.gInstanceChannel->IsOpen()) {
        m_receiver = std::make_unique<InstanceReceiver>(
            *m_app.gInstanceChannel, [this](const InstanceFrame& frame) { HandleInstanceMessage(frame); });
    }
}

InstanceMessages::~InstanceMessages() = default;

void InstanceMessages::HandleInstanceMessage(const InstanceFrame& frame) {
    switch (frame.type) {
        case FrameType::Probe:
            return;
        case FrameType::ToFront:
            BringMainWindowToFront(m_window);
            return;
        case FrameType::Quit:
            m_window.ExitWithoutSaving();
            return;
        case FrameType::Paths: {
            std::vector<std::string> paths = SplitPathList(frame.body);
            if (paths.empty()) return;
            m_waitingPaths.insert(m_waitingPaths.end(), std::make_move_iterator(paths.begin()),
                                  std::make_move_iterator(paths.end()));
            LoadWaitingPaths();
            return;
        }
    }
}

void InstanceMessages::LoadWaitingPaths() {
    if (m_waitingPaths.empty()) {
        m_idleWatch.stop();
        return;
    }
    // A running task refuses a list load; the paths wait for its end.
    if (m_app.gRunControl.IsActive()) {
        m_idleWatch.start();
        return;
    }
    m_idleWatch.stop();
    std::vector<std::string> paths = std::move(m_waitingPaths);
    m_waitingPaths.clear();
    m_window.FileList().LoadPathsIntoList(std::move(paths), true);
    BringMainWindowToFront(m_window);
}

}  // namespace varnel
