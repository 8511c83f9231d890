// The power actions on the Linux desktop: shut down, restart, suspend and
// hibernate through logind on the system bus, log off through the session manager
// of the desktop on the session bus, the monitor off through X11 DPMS. UI thread.
#pragma once

#include <QObject>

#include "utilities/power_actions.h"

namespace varnel {

class DesktopPowerBackend final : public QObject, public PowerBackend {
    Q_OBJECT
public:
    explicit DesktopPowerBackend(QObject* parent = nullptr);

    bool CanPerform(PowerAction action) override;
    // Unforced, an action that a program holds back (a logind "block" inhibitor)
    // is refused here with who holds it; forced, logind is asked to override it.
    void Perform(PowerAction action, bool force, Done done) override;
    bool CanTurnMonitorOff() override;
    std::expected<void, Error> TurnMonitorOff() override;
};

}  // namespace varnel
