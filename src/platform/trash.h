// Moving a file or folder to the user's trash (the freedesktop trash folders,
// through GIO). A symbolic link goes to the trash itself, never its target. A file
// system without a trash is a failure: nothing is ever deleted for good instead.
// Safe on any thread.
#pragma once

#include <expected>
#include <string>

#include "utilities/error.h"

namespace varnel {

std::expected<void, Error> MoveToTrash(const std::string& path);

}  // namespace varnel
