// Reading the subfolders of one folder for the tree: their names in the user's
// collation order (locale-aware, through ICU), whether each is a symbolic link, and
// whether each has a subfolder of its own (for its expand button). Folders on a
// network file system are not probed for subfolders: they are assumed to have some,
// so that a slow or dead server never holds the listing up. Links to folders are
// listed as folders. Safe on any thread; touches no tree.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dirtree/mount_table.h"
#include "platform/posix_api.h"

namespace varnel {

struct SubfolderEntry {
    std::string name;
    bool isLink = false;
    bool hasSubfolders = false;
};

// An unreadable folder lists nothing.
std::vector<SubfolderEntry> ListSubfolders(const std::string& folder,
                                           const std::vector<MountEntry>& mounts,
                                           PosixApi& os = SystemPosix());

// True as soon as one subfolder (or link to a folder) is seen.
bool HasSubfolder(const std::string& folder, PosixApi& os = SystemPosix());

// Whether the path lies on a network file system of the mount table.
bool IsOnRemoteMount(const std::vector<MountEntry>& mounts, std::string_view path);

// Sorts names in the collation order of a locale (nullptr: the user's); names that
// collate equal by their bytes.
void SortNamesForDisplay(std::vector<SubfolderEntry>& entries, const char* locale = nullptr);

}  // namespace varnel
