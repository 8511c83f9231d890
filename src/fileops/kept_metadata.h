// What a copy keeps of its source, as `mv` and `cp -a` do: the owner where the
// user may give it, extended attributes, mode and times. Shared by the file,
// link and folder copies of every move and copy across file systems.
#pragma once

#include <expected>
#include <string>

#include <sys/stat.h>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

// Gives `target` (an open file or folder `targetFd`, or with targetFd < 0 a link
// itself) what `source` had when `sourceInfo` was read: owner first, then the
// extended attributes, then the mode (after the owner, so set-user and set-group
// bits survive), then the access and modification times, last so nothing after
// them moves them again. An owner the user may not give leaves the user's own,
// without those two special bits, as `cp -a` does for a normal user. A file
// system that cannot hold a mode, time or attribute is no failure; any other
// refusal is, with its reason.
std::expected<void, Error> KeepMetadata(const std::string& source, const struct stat& sourceInfo,
                                        const std::string& target, int targetFd, PosixApi& os = SystemPosix());

}  // namespace varnel
