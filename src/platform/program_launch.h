// Starting another program the user chose, detached from this one: the arguments
// reach it as the very bytes given (a path that is not UTF-8 stays the same path),
// no shell reads them, and the program is reaped without this one waiting.
#pragma once

#include <expected>
#include <string>
#include <vector>

#include "utilities/error.h"

namespace varnel {

// Fails, with the system's reason, when the program cannot be started (missing,
// not executable, not a program).
std::expected<void, Error> StartProgramDetached(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace varnel
