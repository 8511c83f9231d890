// Reading a file only as far as a task needs it: the whole of a small file (a
// larger one is refused after reading one byte past the limit), and the text of a
// file as UTF-8 pieces in order, ending when the reader has what it wants. Safe on
// any thread.
#pragma once

#include <cstddef>
#include <expected>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

// The file's bytes when it holds at most maxBytes; nothing when it holds more.
std::expected<std::optional<std::string>, Error> ReadFileIfAtMost(const std::string& path, std::size_t maxBytes,
                                                                  PosixApi& os = SystemPosix());

// Hands the file's text to `consume` as UTF-8 pieces, each ending on a character
// boundary, until consume returns false or the file ends. The encoding is judged on
// the first chunk read: a UTF-8 byte-order mark (dropped) or valid UTF-8 means
// UTF-8, anything else GBK. A byte a UTF-8 file later holds that is not UTF-8 comes
// as U+FFFD, so every piece is valid UTF-8.
std::expected<void, Error> ReadTextFileWhile(const std::string& path,
                                             const std::function<bool(std::string_view)>& consume,
                                             PosixApi& os = SystemPosix());

}  // namespace varnel
