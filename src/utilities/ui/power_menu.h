// The 关闭电脑 menu: the five confirmed power actions, the 以上操作强制执行 check and
// 熄灯. The items the machine does not offer are disabled each time the menu opens.
// UI thread only.
#pragma once

#include <QAction>
#include <QMenu>
#include <QObject>

#include <array>
#include <functional>
#include <memory>

#include "utilities/power_actions.h"

namespace varnel {

class PowerMenu final : public QObject {
    Q_OBJECT
public:
    static constexpr std::array<const char*, 5> kActionCaptions = {"关机...", "重启...", "注销...",
                                                                   "休眠...", "冬眠..."};
    static constexpr const char* kForceCaption = "以上操作强制执行";
    static constexpr const char* kMonitorCaption = "熄灯...";

    // Adds the items to `menu` (each named after its caption).
    PowerMenu(QMenu& menu, std::unique_ptr<PowerBackend> backend, QObject* parent = nullptr);
    ~PowerMenu() override;

    // What the window says while a run is active ("" otherwise), and how it saves
    // its settings before the session ends.
    void SetRunWarning(std::function<std::string()> warning) { m_runWarning = std::move(warning); }
    void SetSaveSettings(std::function<void()> save) { m_saveSettings = std::move(save); }
    // Where the held keys come from (the keyboard; tests give their own).
    void SetKeySource(std::function<ModifierKeys()> keys) { m_keys = std::move(keys); }
    void SetBackend(std::unique_ptr<PowerBackend> backend);

    // Enables what the backend offers.
    void UpdateItems();
    // The handler of the five items (1-5).
    void ConfirmPowerAction(int action);
    void TurnMonitorOff();

    QAction* ActionItem(int action) const { return m_items[static_cast<std::size_t>(action - 1)]; }
    QAction* ForceItem() const { return m_force; }
    QAction* MonitorItem() const { return m_monitor; }

private:
    std::unique_ptr<PowerBackend> m_backend;
    std::array<QAction*, 5> m_items{};
    QAction* m_force = nullptr;
    QAction* m_monitor = nullptr;
    std::function<std::string()> m_runWarning;
    std::function<void()> m_saveSettings;
    std::function<ModifierKeys()> m_keys;
};

}  // namespace varnel
