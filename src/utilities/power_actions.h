// The machine's power actions offered in the main window's menu: shut down,
// restart, log off, suspend, hibernate (each confirmed first) and switching the
// monitor off. The system is reached through PowerBackend (the desktop's services
// in the program, a fake in tests). UI thread; a refused or failed action is told
// in a notice.
#pragma once

#include <expected>
#include <functional>
#include <string>

#include "utilities/error.h"
#include "utilities/key_state.h"

namespace varnel {

enum class PowerAction : int { PowerOff = 1, Reboot = 2, LogOff = 3, Suspend = 4, Hibernate = 5 };

class PowerBackend {
public:
    using Done = std::function<void(std::expected<void, Error>)>;
    virtual ~PowerBackend() = default;
    // Whether this machine and session offer the action at all.
    virtual bool CanPerform(PowerAction action) = 0;
    // Asks the system for the action; `done` hears the outcome, possibly later, on
    // the UI thread. Forced: what would otherwise hold the action back is ignored.
    virtual void Perform(PowerAction action, bool force, Done done) = 0;
    virtual bool CanTurnMonitorOff() = 0;
    virtual std::expected<void, Error> TurnMonitorOff() = 0;
};

// 关机, 重启, 注销, 休眠 or 冬眠; "" for a number outside 1-5.
std::string PowerActionName(int action);
// The question asked before the action.
std::string PowerActionQuestion(int action);

// An action outside 1-5 is refused at once; otherwise the backend's outcome.
void PerformPowerAction(int action, bool force, PowerBackend& backend, PowerBackend::Done done);

// What the confirmation needs from the window that offers the actions.
struct PowerActionContext {
    bool forceChecked = false;                 // 以上操作强制执行
    std::function<ModifierKeys()> keysNow;     // the keyboard as the question is answered
    std::string runWarning;                    // said first while a run is active, else ""
    std::function<void()> saveSettings;        // before the session ends
};

// Asks with OK/Cancel; on OK, forced when the check item is on or Ctrl is held,
// the settings saved before shutting down, restarting or logging off, then the
// action. A refusal or failure is shown as a notice.
void ConfirmPowerAction(int action, const PowerActionContext& context, PowerBackend& backend);

// No question; a failure is shown as a notice.
void TurnMonitorOff(PowerBackend& backend);

}  // namespace varnel
