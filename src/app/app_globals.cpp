#include "app/app_globals.h"

#include "platform/xdg_paths.h"

namespace varnel {

AppGlobals::AppGlobals()
    : gInstanceChannel(std::make_unique<MessageChannel>(InstanceChannelFolder())),
      gDirectoryTree(std::make_unique<DirectoryTree>(DefaultDirectoryTreeSetup())),
      gMarkerText(std::make_unique<MarkedTextEditor>()),
      gSettings(std::make_unique<SettingsStore>()),
      gMetaRegex(std::make_unique<CachedRegex>()),
      gRenameRegex(std::make_unique<CachedRegex>()),
      gExtractRegex(std::make_unique<CachedRegex>()),
      gContentRegex(std::make_unique<CachedRegex>()) {}

AppGlobals::~AppGlobals() { ExitRoutine(); }

void AppGlobals::ExitRoutine() {
    gInstanceChannel.reset();
    gDirectoryTree.reset();
    gMarkerText.reset();
    gSettings.reset();
    gMetaRegex.reset();
    gRenameRegex.reset();
    gExtractRegex.reset();
    gContentRegex.reset();
    // The history ends with the process; its spooled data goes with it.
    gUndoHistory.clear();
    gCurrentUndoRecord = {};
}

}  // namespace varnel
