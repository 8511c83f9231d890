// The file actions the list's 文件 menu runs on its selected rows outside batch
// runs: open, show in the file manager, move or copy to a folder, delete, move to
// the trash, make shortcuts, take rows off the list. Moves and copies never
// replace anything; deletes never follow a symbolic link and refuse the home
// folder, mount points and system folders. Each row's outcome is a value.
// Safe on any thread, except Open and OpenContainingFolder (UI thread: they talk
// to the desktop).
#pragma once

#include <cstdint>
#include <expected>
#include <string>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

enum class RowAction : int {
    Open = 0,
    OpenContainingFolder = 1,
    Move = 2,
    Copy = 3,
    Delete = 4,
    Recycle = 5,
    CreateShortcut = 6,
    RemoveFromList = 7,
    ExtractLyrics = 8,
};

// Whether the action first asks for a target folder, and with what prompt
// (count = number of selected rows); "" when it asks none.
std::string RowActionFolderPrompt(RowAction action, std::size_t count);
// The confirmation asked before the action ("" when it asks none).
std::string RowActionQuestion(RowAction action);

// The description a new shortcut of a row carries.
std::string ShortcutDescriptionFor(std::string_view name);

// Carries out one row's action on path (folder + name); targetFolder is a folder path
// for the actions that need one. True when the row is to leave the list.
std::expected<bool, Error> RunRowAction(RowAction action, const std::string& path, const std::string& targetFolder,
                                        PosixApi& os = SystemPosix());

// Why path must not be deleted: the root, the home folder, a mount point or a
// folder of the system. A symbolic link is judged as a link (it is only unlinked).
std::expected<void, Error> CheckPathMayBeDeleted(const std::string& path, const std::string& homeFolder,
                                                 PosixApi& os = SystemPosix());

// How many files (links included) a folder holds at any depth, never entering a
// linked folder; 0 for anything that is not a real folder.
std::int64_t CountFilesInFolder(const std::string& path, PosixApi& os = SystemPosix());

// base itself when nothing exists there, else base + " (n)" for the first n = 1, 2,
// ... that names nothing.
std::string UniqueFolderName(const std::string& base, PosixApi& os = SystemPosix());

}  // namespace varnel
