// The delete and insert rename tasks' name makers. Delete removes the characters on
// one side of a position or of a marker text in the chosen name part (the marker
// too, if asked) and puts a replacement text in their place; insert puts a text at
// a position counted from either end, in characters or in widths, and can then cut
// the part to a fixed length. Pure; safe on any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "naming/name_parts.h"

namespace varnel {

// The delete task's parameters (批量删除).
struct DeleteParams {
    NamePart scope = NamePart::WholeName;
    bool byPosition = true;   // 指定位置 rather than a marker text
    std::string keyOrPosition;
    bool deleteLeft = true;   // 的左边删除 rather than the right
    bool forward = true;      // position counted, marker searched, from the left
    bool dropMarker = false;  // the marker goes too
    bool ignoreCase = false;
    std::int64_t count = 0;   // characters to delete; below 1: all on that side
    std::string replacement;
};

// The insert task's parameters (批量插入).
struct InsertParams {
    NamePart scope = NamePart::WholeName;
    std::int64_t position = 1;
    bool byBytes = true;      // positions count widths (ASCII 1, others 2), not characters
    std::string text;
    bool fromLeft = true;
    bool skipOutside = false;  // a position outside the part leaves the name alone
    bool forceLength = false;
    bool forceByBytes = true;
    std::int64_t forcedLength = 0;  // below 1: no cut
    bool cutLeft = false;           // cut away the left end, not the right
};

// The new name of a file name. In position mode the marker is the one character
// at the position; a marker that does not occur, or a position outside the part,
// leaves the name unchanged.
std::string MakeDeletedName(std::string_view name, const DeleteParams& params);
// The new name of a file name; an empty text leaves the name unchanged. Width
// positions inside a character move to its start.
std::string MakeInsertedName(std::string_view name, const InsertParams& params);

}  // namespace varnel
