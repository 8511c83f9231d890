// The folder walk behind every list load: per folder its files, then its folders,
// then the contents of each subfolder in turn, down to a depth. Entries come in
// case-insensitive name order. Symbolic links are listed, never descended, and a
// folder already entered (by device and inode) is never entered again, so no walk
// can loop. Nothing is opened but folders: a FIFO or device never blocks a walk.
// Runs on any thread; the caller's callback decides what becomes of each entry and
// is always called on the walk's own thread, in walk order. Subfolders are read
// ahead of the walk by a few threads it starts, so the PosixApi given must be safe
// to call from several threads at once.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix_api.h"

namespace varnel {

struct WalkOptions {
    int depth = 1;               // levels listed below the start folder; -1 unlimited; < 1 as 1
    bool ignoreFiles = false;    // no file entries
    bool ignoreFolders = false;  // no folder entries (folders are still entered)
    bool countOnly = false;      // count every entry; each is still shown to onEntry, to add nothing
};

struct WalkEntry {
    std::string_view folder;  // the folder path of the containing folder
    std::string_view name;    // followed by a NUL byte: name.data() is a C string
    bool isFolder = false;    // a folder, or a link to one
    bool isLink = false;
    int folderFd = -1;        // the open containing folder, for *at() calls on the name
};

// A folder the walk could not open or list, with the errno of the failing call.
struct UnreadableFolder {
    std::string folder;
    int error = 0;
};

struct WalkCounts {
    std::int64_t files = 0;
    std::int64_t folders = 0;
    std::vector<UnreadableFolder> unreadable;  // in walk order
};

// onEntry returns false to stop the walk. Returns false when the walk was stopped.
// A folder that cannot be read yields no entries and is entered in counts.unreadable;
// the walk goes on.
bool WalkFolder(const std::string& folder, const WalkOptions& options,
                const std::function<bool(const WalkEntry&)>& onEntry, WalkCounts& counts,
                PosixApi& os = SystemPosix());

// Case-insensitive name order (ASCII letters folded), bytes breaking ties.
bool NameLess(std::string_view a, std::string_view b);

}  // namespace varnel
