// The program-wide state the file list's windows read, and what every higher folder
// shares with them: the settings store, the main settings, the list's rows and the
// one task at a time. The bottom of the application object (AppGlobals); windows
// take the part of it their folder may see. UI thread, except where a member says.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "filelist/extended_filters.h"
#include "filelist/list_finder.h"
#include "filelist/row_store.h"
#include "settings/main_settings.h"
#include "settings/settings_store.h"
#include "utilities/run_control.h"
#include "utilities/time_format.h"

namespace varnel {

struct ListGlobals {
    // Made and freed by AppGlobals, in its order.
    std::unique_ptr<SettingsStore> gSettings;
    // The file list's rows.
    RowStore gListRows;
    // The extended filters as the last load read them.
    ExtendedFilterState gExtendedFilter;
    // The one task at a time. The mode of a batch run belongs to that run's own
    // context (RunContext).
    RunControl gRunControl;
    MainSettings gMainSettings;
    TimeFormat gListTimeFormat;
    // Whether a shortcut's target exists (nothing when the shortcut cannot be read),
    // for the broken-shortcut filter; plugged in by the application, which knows the
    // shortcut format. Stateless, so loads call it on their worker thread.
    std::function<std::optional<bool>(std::string_view path)> gShortcutTargetExists;
    // The last folder chosen for moving, copying or making shortcuts of rows: where
    // the next folder dialog starts.
    std::string gLastTargetFolder;
    // The column of the last header click, and the direction of the last sort (each
    // sort flips it first, so the first one is ascending).
    int gSortColumn = 0;
    bool gSortAscending = false;
    // The search in the list, with its restart flag (gListFinder.gFindRestart).
    ListFinder gListFinder;
};

}  // namespace varnel
