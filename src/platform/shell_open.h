// Opening a file, a folder or a web address with the user's default application
// (GIO). Nothing is ever executed as a program: only the default action of the
// target's type runs. Safe on any thread.
#pragma once

#include <expected>
#include <string>
#include <string_view>

#include "utilities/error.h"

namespace varnel {

// The address handed to the default application: an absolute local path becomes a
// file URI; file, http and https URIs pass as they are. Anything else (a relative
// path, another scheme) is refused.
std::expected<std::string, Error> ShellUriFor(std::string_view target);

std::expected<void, Error> OpenWithShell(std::string_view target);

}  // namespace varnel
