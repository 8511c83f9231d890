// The regular-expression tester's help documents: written into a folder of the
// user's cache and opened from there with the default application. Any thread.
#pragma once

#include <expected>
#include <string>
#include <string_view>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

// $XDG_CACHE_HOME/Varnel/帮助, without a trailing "/".
std::string HelpDocumentFolder();

// Writes the document into the folder (made as needed), replacing an older copy;
// the full path of the written file.
std::expected<std::string, Error> WriteHelpDocument(const std::string& folder, std::string_view fileName,
                                                    std::string_view bytes, PosixApi& os = SystemPosix());

}  // namespace varnel
