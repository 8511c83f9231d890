// The face name stored in a font file (.ttf, .otf, .ttc face 0, .fon), read with
// FreeType through the platform layer. Safe on any thread.
#pragma once

#include <string>

#include "platform/posix_api.h"

namespace varnel {

// The family name (name ID 1): the Chinese (PRC) entry first, then the English
// one, then FreeType's family name. "" when the file is not a font or cannot be read.
std::string GetFontFaceName(const std::string& path, PosixApi& os = SystemPosix());

}  // namespace varnel
