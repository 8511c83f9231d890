#include "utilities/ui/power_menu.h"

#include "utilities/ui/keyboard.h"

namespace varnel {

namespace {

QAction* AddItem(QMenu& menu, const char* caption) {
    QAction* item = menu.addAction(QString::fromUtf8(caption));
    item->setObjectName(QString::fromUtf8(caption));
    return item;
}

}  // namespace

PowerMenu::PowerMenu(QMenu& menu, std::unique_ptr<PowerBackend> backend, QObject* parent)
    : QObject(parent), m_backend(std::move(backend)), m_keys(CurrentModifierKeys) {
    for (int action = 1; action <= 5; ++action) {
        QAction* item = AddItem(menu, kActionCaptions[static_cast<std::size_t>(action - 1)]);
        m_items[static_cast<std::size_t>(action - 1)] = item;
        connect(item, &QAction::triggered, this, [this, action] { ConfirmPowerAction(action); });
    }
    m_force = AddItem(menu, kForceCaption);
    m_force->setCheckable(true);
    m_monitor = AddItem(menu, kMonitorCaption);
    connect(m_monitor, &QAction::triggered, this, &PowerMenu::TurnMonitorOff);
    // Asked as the menu opens: what logind and the desktop offer can change.
    connect(&menu, &QMenu::aboutToShow, this, &PowerMenu::UpdateItems);
}

PowerMenu::~PowerMenu() = default;

void PowerMenu::SetBackend(std::unique_ptr<PowerBackend> backend) { m_backend = std::move(backend); }

void PowerMenu::UpdateItems() {
    for (int action = 1; action <= 5; ++action) {
        ActionItem(action)->setEnabled(m_backend->CanPerform(static_cast<PowerAction>(action)));
    }
    m_monitor->setEnabled(m_backend->CanTurnMonitorOff());
}

void PowerMenu::ConfirmPowerAction(int action) {
    PowerActionContext context;
    context.forceChecked = m_force->isChecked();
    context.keysNow = m_keys;
    if (m_runWarning) context.runWarning = m_runWarning();
    context.saveSettings = m_saveSettings;
    varnel::ConfirmPowerAction(action, context, *m_backend);
}

void PowerMenu::TurnMonitorOff() { varnel::TurnMonitorOff(*m_backend); }

}  // namespace varnel
