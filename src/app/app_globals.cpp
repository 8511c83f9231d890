#include "app/app_globals.h"

#include "filetasks/shortcut_file.h"
#include "platform/xdg_paths.h"

namespace varnel {

AppGlobals::AppGlobals() {
    gInstanceChannel = std::make_unique<MessageChannel>(InstanceChannelFolder());
    gDirectoryTree = std::make_unique<DirectoryTree>(DefaultDirectoryTreeSetup());
    gSettings = std::make_unique<SettingsStore>();
    gShortcutTargetExists = [](std::string_view path) { return ShortcutTargetExists(path); };
}

AppGlobals::~AppGlobals() { ExitRoutine(); }

void AppGlobals::ExitRoutine() {
    gInstanceChannel.reset();
    gDirectoryTree.reset();
    gSettings.reset();
    // The history ends with the process; its spooled data goes with it.
    gUndoHistory.clear();
    gCurrentUndoRecord = {};
}

}  // namespace varnel
