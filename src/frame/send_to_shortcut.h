// The "send to" entry of the file managers, made while its menu item is checked: a
// context-menu action of Dolphin, Nautilus, Caja and Nemo that hands the chosen
// files and folders to this program, and a plain launcher. None of them declares a
// MIME type, so the entry never changes what opens a folder or a file.
#pragma once

#include <expected>
#include <string>
#include <vector>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

// The line by which each of these files is known as this program's own.
inline constexpr const char* kSendToOwnerMark = "X-Varnel-SendTo=true";

// The user's data and configuration folders the files go into.
struct SendToFolders {
    std::string dataHome;    // $XDG_DATA_HOME
    std::string configHome;  // $XDG_CONFIG_HOME
};
SendToFolders UserSendToFolders();

struct SendToFile {
    std::string path;
    std::string text;
    bool executable = false;  // scripts, and service menus, which Dolphin runs only when executable
};

// Every file of the entry, with programPath quoted as each format requires:
// the launcher, the Dolphin service menu, the Nautilus and Caja scripts, the Nemo action.
std::vector<SendToFile> SendToFiles(const std::string& programPath, const SendToFolders& folders);

// Enabled: writes each file whose text differs; a file of the same name that is not
// ours stays as it is. When one cannot be written, the ones written are removed
// again and the error is returned. Disabled: removes each file, and only ours.
// Both take this program's launcher out of the user's type cache of applications,
// where an earlier version's launcher may still stand as a folder's application.
std::expected<void, Error> SetSendToShortcut(bool enable, const std::string& programPath,
                                             const SendToFolders& folders,
                                             PosixApi& os = SystemPosix());

}  // namespace varnel
