// The program-wide state of the main window, on top of the batch runs' (RunGlobals):
// the instance channel, the directory tree, the folder history and the command line.
// Part of the application object (AppGlobals). UI thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dirtree/directory_tree.h"
#include "frame/message_channel.h"
#include "runs/run_globals.h"
#include "settings/find_options.h"

namespace varnel {

struct FrameGlobals : RunGlobals {
    // Made and freed by AppGlobals, in its order.
    // This process's end of the instance channel; CheckSingleInstance opens it.
    std::unique_ptr<MessageChannel> gInstanceChannel;
    // The directory tree: reads the virtual folders when made, writes them when freed.
    std::unique_ptr<DirectoryTree> gDirectoryTree;
    // The main window's folder history: the tree folders of past loads, oldest
    // first, and the 1-based place of the one shown.
    std::vector<std::string> gHistoryPaths;
    int gHistoryIndex = 0;
    std::vector<std::string> gCommandLineArgs;
    FindOptions gFindOptions;
};

}  // namespace varnel
