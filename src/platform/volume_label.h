// Changing the label of a mounted file system's device through UDisks2 on the
// system bus (the user may be asked to authenticate by the desktop's agent).
// Reports failure where UDisks2 is not available or refuses. UI thread; the call
// blocks until UDisks2 answers or a minute has passed.
#pragma once

#include <expected>
#include <string>

#include "utilities/error.h"

namespace varnel {

// `device` is the device node of the file system, such as /dev/sdb1; an empty
// label removes the label.
std::expected<void, Error> SetVolumeLabel(const std::string& device, const std::string& label);

}  // namespace varnel
