// Where the main window's parts go for a client size and the visibility choices of
// the 视图 menu and 批量任务...: a pure function of sizes and flags, so that the Qt
// window only applies the rectangles. No computed width or height is below 0.
#pragma once

#include <string_view>

#include "settings/window_geometry.h"

namespace varnel {

struct MainLayoutInput {
    int clientWidth = 0;
    int clientHeight = 0;
    // The row along the top: the up, back and forward buttons, then the filter bar.
    int filterBarHeight = 0;
    int navigationWidth = 0;
    bool showTree = true;
    int treeWidth = 0;
    int treeSplitterWidth = 0;
    bool showToolbar = true;
    int toolbarHeight = 0;
    bool showStatusBar = true;
    int statusBarHeight = 0;
    bool showBatchTaskArea = true;
    int taskBoxWidth = 0;
    int taskSplitterWidth = 0;
    // The current panel's height plus the batch task area's own toolbar.
    int batchAreaHeight = 0;
    int controlPanelWidth = 0;
    int controlPanelHeight = 0;
};

struct MainLayout {
    WindowRect navigation;
    WindowRect filterBar;
    WindowRect tree;
    WindowRect treeSplitter;
    WindowRect toolbar;
    WindowRect list;
    WindowRect taskBox;
    WindowRect taskSplitter;
    WindowRect batchArea;
    WindowRect statusBar;
    // Inside the list, centred in it.
    WindowRect controlPanel;
    bool treeShown = false;
    bool toolbarShown = false;
    bool taskAreaShown = false;
    bool statusBarShown = false;
};

MainLayout LayOutMainWindow(const MainLayoutInput& in);

// Width of status parts 0 to 2 for their text: 6 pixels per GBK width unit plus 30.
int StatusPartWidth(std::string_view text);

}  // namespace varnel
