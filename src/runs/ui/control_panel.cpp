#include "runs/ui/control_panel.h"

#include <QHBoxLayout>

namespace varnel {

ControlPanel::ControlPanel(RunControl& control, QWidget* parent) : QWidget(parent), m_control(control) {
    setObjectName(QString::fromUtf8("控制底板"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    m_stop = new QPushButton(QString::fromUtf8("停止"), this);
    m_stop->setObjectName(QString::fromUtf8("控制按钮_停止"));
    m_pause = new QPushButton(QString::fromUtf8("暂停"), this);
    m_pause->setObjectName(QString::fromUtf8("控制按钮_暂停"));
    m_pause->setCheckable(true);
    layout->addWidget(m_stop);
    layout->addWidget(m_pause);

    connect(m_stop, &QPushButton::clicked, this, [this] {
        m_control.RequestStop();
        Refresh();
    });
    connect(m_pause, &QPushButton::toggled, this, [this](bool pressed) { m_control.SetPaused(pressed); });
    m_watch.setInterval(100);
    connect(&m_watch, &QTimer::timeout, this, &ControlPanel::Refresh);
    m_watch.start();
    Refresh();
}

void ControlPanel::Refresh() {
    const TaskKind kind = m_control.ActiveKind();
    // Previews cannot be stopped, so they show no panel.
    setVisible(kind != TaskKind::None && kind != TaskKind::Preview && kind != TaskKind::AutoPreview);
    // The button follows the state: a new task starts released, whatever the last one left.
    const bool paused = kind != TaskKind::None && m_control.State() == kTaskPaused;
    if (m_pause->isChecked() != paused) {
        const QSignalBlocker quiet(m_pause);
        m_pause->setChecked(paused);
    }
}

}  // namespace varnel
