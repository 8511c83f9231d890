// A local path as a file URI and back, byte for byte: every byte outside the
// unreserved characters and "/" is percent-encoded, so a name that is not UTF-8,
// or holds a line break, travels as plain ASCII and comes back unchanged. Used by
// the clipboard's URI list and by exported path lists. Pure; safe on any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varnel {

inline constexpr std::string_view kFileUriPrefix = "file://";

// "file://" followed by the percent-encoded bytes of an absolute path.
std::string FileUriOfPath(std::string_view path);
// The path a "file://" URI of the local host names (an empty authority or
// "localhost"); nothing for another scheme or host, a bad escape, or a decoded
// path that is not absolute or holds a NUL byte.
std::optional<std::string> PathOfFileUri(std::string_view uri);

}  // namespace varnel
