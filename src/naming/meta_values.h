// The path levels and the sequence numbers of the meta-variables: pure routines,
// shared with the rename panels that number their names. Safe on any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "naming/meta_settings.h"

namespace varnel {

// The path of a folder that holds `path`, counted from the right: level 1 is the
// folder the path lies in (a path ending in "/" is itself that folder), level 2 the
// one above, and so on up to the root "/"; "" past the root. Level 0 gives them all,
// nearest first, joined by `separator` ("|" when empty). A negative level means 1.
std::string GetDirectoryPathAtLevel(std::string_view path, std::int32_t level,
                                    std::string_view separator);

// The name of such a folder: level 1 the name of the folder the path lies in, and so
// on; the root has no name, so it gives none. Level 0 gives all names from the
// outermost in, joined by `separator` ("|" when empty).
std::string GetDirectoryNameAtLevel(std::string_view path, std::int32_t level,
                                    std::string_view separator);

// n in decimal with zeroDigits zeros in front (the sign before them); with uniform
// only its last zeroDigits + 1 characters. With toChinese n in Chinese numerals
// instead, or as a money amount; capital characters when traditional. zeroDigits is
// taken between 0 and kMetaCountLimit.
std::string FormatSequenceNumber(std::int64_t n, std::int32_t zeroDigits, bool uniform,
                                 bool toChinese, bool amount, bool traditional);

// A row number as the sequence options ask: letters (A.. Z, AA..; lower case unless
// upperCase) or FormatSequenceNumber with upperCase as toChinese.
std::string FormatSequenceValue(std::int64_t row, const SequenceOptions& options);

}  // namespace varnel
