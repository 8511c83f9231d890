// The freedesktop user folders (desktop, documents, music, ...) as kept in
// $XDG_CONFIG_HOME/user-dirs.dirs. Read afresh at every call, so a change by
// another program shows at once; written in the form `xdg-user-dirs-update --set`
// writes, keeping every other line of the file. Names are the upper-case words of
// that file: DESKTOP, DOCUMENTS, MUSIC, PICTURES, VIDEOS, TEMPLATES, ...
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

// The folder the text gives for the name, without a trailing "/"; nothing when the
// text has no valid line for it. When several lines name it the last one counts.
std::optional<std::string> FindUserDirInText(std::string_view text, std::string_view name,
                                             const std::string& home);
// The text with the name's line(s) set to the folder (added at the end when absent).
std::string SetUserDirInText(std::string_view text, std::string_view name,
                             const std::string& folder, const std::string& home);

// From the user's file; the desktop is ~/Desktop when the file does not name it.
std::optional<std::string> ReadUserDir(std::string_view name, PosixApi& os = SystemPosix());
std::expected<void, Error> WriteUserDir(std::string_view name, const std::string& folder,
                                        PosixApi& os = SystemPosix());

}  // namespace varnel
