#include "runs/ui/run_progress_bar.h"

#include <algorithm>
#include <climits>

namespace varnel {

RunProgressBar::RunProgressBar(const RunControl& control, QWidget* parent)
    : QProgressBar(parent), m_control(control) {
    setObjectName(QString::fromUtf8("进度条"));
    m_clock.setObjectName(QString::fromUtf8("时钟进度"));
    m_clock.setInterval(100);
    connect(&m_clock, &QTimer::timeout, this, &RunProgressBar::UpdateRunProgressBar);
    hide();
}

void RunProgressBar::Start(std::size_t rowCount) {
    setRange(1, static_cast<int>(std::clamp<std::size_t>(rowCount, 1, INT_MAX)));
    setValue(1);
    show();
    m_clock.start();
}

void RunProgressBar::Stop() {
    m_clock.stop();
    hide();
}

void RunProgressBar::UpdateRunProgressBar() {
    setValue(static_cast<int>(std::clamp<std::int64_t>(m_control.currentRow.load(), minimum(), maximum())));
}

}  // namespace varnel
