// Permanent deletion of a file or a folder with everything in it. A symbolic link
// is removed itself and never followed, and the deletion never enters another
// file system (a folder mounted inside is left alone and reported), so it deletes
// exactly the tree that lies under the path. Stops at the first failure and
// reports it; what was deleted before stays deleted. Safe on any thread.
#pragma once

#include <expected>
#include <string>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

std::expected<void, Error> DeletePathTree(const std::string& path, PosixApi& os = SystemPosix());

}  // namespace varnel
