#include "frame/app_globals.h"

namespace varnel {

AppGlobals::AppGlobals() : gSettings(std::make_unique<SettingsStore>()) {}

AppGlobals::~AppGlobals() { ExitRoutine(); }

void AppGlobals::ExitRoutine() {
    gSettings.reset();
}

}  // namespace varnel
