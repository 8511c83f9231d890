// What the running instance does with the frames of later starts: a probe needs
// nothing, to-front raises the main window, quit ends the program without saving
// (a run stops at its next row first), paths load into the list without the
// filters and the window comes to the front. Paths that arrive while a task runs
// wait until it ends. UI thread only.
#pragma once

#include <QObject>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "frame/frame_globals.h"
#include "frame/instance_frames.h"

namespace varnel {

class InstanceReceiver;
class MainWindow;

// Un-minimises, shows and raises the window and asks for the focus.
void BringMainWindowToFront(QWidget& window);

class InstanceMessages final : public QObject {
    Q_OBJECT
public:
    // Hears app.gInstanceChannel when it is open.
    InstanceMessages(FrameGlobals& app, MainWindow& window, QObject* parent = nullptr);
    ~InstanceMessages() override;

    void HandleInstanceMessage(const InstanceFrame& frame);

    // Paths received but not loaded yet because a task runs.
    const std::vector<std::string>& WaitingPaths() const { return m_waitingPaths; }

private:
    void LoadWaitingPaths();

    FrameGlobals& m_app;
    MainWindow& m_window;
    std::unique_ptr<InstanceReceiver> m_receiver;
    std::vector<std::string> m_waitingPaths;
    QTimer m_idleWatch;
};

}  // namespace varnel
