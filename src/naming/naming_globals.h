// The program-wide state the meta-variable windows read, on top of the file list's
// (ListGlobals). Part of the application object (AppGlobals).
#pragma once

#include <atomic>

#include "filelist/list_globals.h"
#include "naming/meta_settings.h"

namespace varnel {

struct NamingGlobals : ListGlobals {
    // The meta-variables' parameters, edited in place on the UI thread; a run expands
    // with a copy taken at its start.
    MetaSettings gMetaSettings;
    // The 启用元符 switch of the batch task area, read by every expansion.
    std::atomic<bool> gMetaSymbolsEnabled{true};
};

}  // namespace varnel
