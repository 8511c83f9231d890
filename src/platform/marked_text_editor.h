// Finds and replaces the text between a start marker and an end marker, in a text
// or in a file: the title of a web page ("<title>" ... "</title>") and the stretch
// that the write-between-elements task rewrites.
//
// Only the first start marker counts, and the first end marker after it; an empty
// marker finds nothing. A file keeps its own encoding (UTF-8, else GBK): markers are
// matched on its character boundaries and every byte outside the stretch stays as
// it was. A file is rewritten atomically, and a change its encoding cannot hold is
// refused with the file untouched. Holds no state: safe on any thread.
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

struct TextMarkers {
    std::string_view start;
    std::optional<std::string_view> end;  // none: the start marker closes the stretch too
    bool ignoreCase = false;              // letters A-Z match a-z
};

class MarkedTextEditor {
public:
    // The text between the markers; "" when a marker is missing.
    std::string GetMarkedText(std::string_view content, const TextMarkers& markers) const;
    // The same in the file at `path`, as UTF-8; "" also when the file cannot be read.
    // `content`, when given, receives the whole file as UTF-8 text.
    std::string GetMarkedTextInFile(const std::string& path, const TextMarkers& markers,
                                    std::string* content = nullptr,
                                    PosixApi& os = SystemPosix()) const;

    // Replaces the stretch between the markers by `newText`; false, with the content
    // unchanged, when a marker is missing.
    bool ReplaceMarkedText(std::string& content, std::string_view newText,
                           const TextMarkers& markers) const;
    // The same in the file at `path`. `content`, when given, receives the whole file
    // as UTF-8 text after the change. A missing marker is an error too.
    std::expected<void, Error> ReplaceMarkedTextInFile(const std::string& path,
                                                       std::string_view newText,
                                                       const TextMarkers& markers,
                                                       std::string* content = nullptr,
                                                       PosixApi& os = SystemPosix()) const;

    // The text between "<title>" and "</title>", matched exactly as written, in the
    // page's head (its first 256 KiB: a page of any size is never read whole).
    std::string GetPageTitle(const std::string& path, PosixApi& os = SystemPosix()) const;
    std::expected<void, Error> SetPageTitle(const std::string& path, std::string_view title,
                                            PosixApi& os = SystemPosix()) const;
};

}  // namespace varnel
