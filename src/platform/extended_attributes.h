// Copying a path's extended attributes (desktop tags, ACLs, labels, the stored DOS
// bits) to another path, for every writer that puts a new object in an old one's
// place or carries an object to another file system.
#pragma once

#include <expected>
#include <string>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

// Gives `to` every extended attribute of `from` (links are followed: callers pass
// files and folders). A file system without them, or a name only the system may
// set, is no failure: the new object simply cannot carry that attribute either.
std::expected<void, Error> CopyExtendedAttributes(const std::string& from, const std::string& to,
                                                  PosixApi& os = SystemPosix());

}  // namespace varnel
