// The DOS attribute word of a file (read-only, hidden, system, directory, archive;
// utilities/attribute_names.h) as this system keeps it: read-only is a file without its
// owner write bit; hidden is a name with a leading dot or the stored bit; hidden,
// system and archive (and read-only of a folder) are stored in the extended attribute
// "user.DOSATTRIB" as the text "0x%x", as other Linux programs keep DOS attributes;
// directory comes from the file type. Symbolic links are followed. Safe on any thread.
#pragma once

#include <cstdint>
#include <expected>
#include <optional>
#include <string>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

// The word; kAttributeNormal when no other bit is set.
std::expected<std::uint32_t, Error> GetAttributesOfFile(const std::string& path,
                                                        PosixApi& os = SystemPosix());

// Gives the file exactly the read-only, hidden, system and archive bits of `attributes`
// (the directory and normal bits are ignored). Fails, changing nothing, when a bit
// cannot be held: the stored bits on a file system without extended attributes, or
// "not hidden" for a name with a leading dot. A stored value in a form only another
// program reads is kept while every bit asked for is one the name and mode give.
std::expected<void, Error> SetAttributesOfFile(const std::string& path, std::uint32_t attributes,
                                               PosixApi& os = SystemPosix());

// The stored extended attribute exactly as it is, in whatever form its writer
// chose; nothing when there is none (or none can be read). For an undo that must
// give back what another program stored there byte for byte.
std::optional<std::string> GetStoredAttributeValue(const std::string& path, PosixApi& os = SystemPosix());

// Puts that value back (removes the attribute for nothing); an equal value is left
// untouched.
std::expected<void, Error> SetStoredAttributeValue(const std::string& path, const std::optional<std::string>& raw,
                                                   PosixApi& os = SystemPosix());

}  // namespace varnel
