// The "send to" entry of the file manager: a desktop entry that opens the chosen
// files and folders with this program, made while its menu item is checked.
#pragma once

#include <expected>
#include <string>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

inline constexpr const char* kSendToEntryName = "Varnel更名.desktop";

// The entry's text; programPath is quoted as the desktop entry format requires.
std::string SendToDesktopEntry(const std::string& programPath);

// Enabled: writes the entry into applicationsFolder (only when its text differs).
// Disabled: removes the entry, and only one that this program wrote.
std::expected<void, Error> SetSendToShortcut(bool enable, const std::string& programPath,
                                             const std::string& applicationsFolder,
                                             PosixApi& os = SystemPosix());

}  // namespace varnel
