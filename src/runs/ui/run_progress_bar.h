// The progress bar of execute runs (进度条): shown only while one runs, moved to
// the run's current row every 100 ms by its clock (时钟进度). UI thread only.
#pragma once

#include <QProgressBar>
#include <QTimer>

#include <cstddef>

#include "utilities/run_control.h"

namespace varnel {

class RunProgressBar final : public QProgressBar {
    Q_OBJECT
public:
    explicit RunProgressBar(const RunControl& control, QWidget* parent = nullptr);

    // Rows 1 to rowCount (at least 1, so an empty run still has a valid range).
    void Start(std::size_t rowCount);
    void Stop();
    // The clock's tick: the bar goes to the current row.
    void UpdateRunProgressBar();

    const QTimer& Clock() const { return m_clock; }

private:
    const RunControl& m_control;
    QTimer m_clock;
};

}  // namespace varnel
