#include "runs/ui/task_panel.h"

namespace varnel {

TaskPanel::TaskPanel(QWidget* parent) : QWidget(parent) {}

void TaskPanel::SetFlags(std::string flags) {
    if (flags == m_flags) return;
    m_flags = std::move(flags);
    emit flagsChanged();
}

}  // namespace varnel
