// The small panel shown while a task runs: 停止 asks the task to end at its next
// checkpoint, 暂停 (a toggle) holds it there until pressed again.
#pragma once

#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "utilities/run_control.h"

namespace varnel {

class ControlPanel final : public QWidget {
    Q_OBJECT
public:
    ControlPanel(RunControl& control, QWidget* parent = nullptr);

    // Follows the run control: shown while a task that can be stopped is active, the
    // pause button pressed while it is paused (checked every 100 ms, and at once
    // through Refresh).
    void Refresh();

private:
    RunControl& m_control;
    QPushButton* m_stop;
    QPushButton* m_pause;
    QTimer m_watch;
};

}  // namespace varnel
