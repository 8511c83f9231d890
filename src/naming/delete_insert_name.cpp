#include "naming/delete_insert_name.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "utilities/char_text_ops.h"

namespace varnel {

namespace {

// Where the marker starts (1-based character) and how long it is; nothing when
// there is no marker in the part.
struct Marker {
    std::int64_t start;
    std::int64_t length;
};

std::optional<Marker> FindMarker(std::string_view part, std::int64_t length, const DeleteParams& p) {
    if (p.byPosition) {
        const std::int64_t v = BoxInteger(p.keyOrPosition, 0, std::numeric_limits<std::int64_t>::max());
        if (v < 1 || v > length) return std::nullopt;
        return Marker{p.forward ? v : length - v + 1, 1};
    }
    const auto found = p.forward ? FindCharPosition(part, p.keyOrPosition, p.ignoreCase)
                                 : FindLastCharPosition(part, p.keyOrPosition, p.ignoreCase);
    if (!found) return std::nullopt;
    return Marker{*found, CharCount(p.keyOrPosition)};
}

}  // namespace

std::string MakeDeletedName(std::string_view name, const DeleteParams& p) {
    const TakenNamePart taken = TakeNamePart(name, p.scope);
    const std::string_view part = taken.part;
    const std::int64_t length = CharCount(part);
    const std::optional<Marker> marker = FindMarker(part, length, p);
    if (!marker) return std::string(name);
    const std::int64_t dropped = p.dropMarker ? marker->length : 0;
    std::string left;
    std::string right;
    if (p.deleteLeft) {
        const std::int64_t before = marker->start - 1;
        if (p.count > 0 && p.count < marker->start) left = LeftChars(part, before - p.count);
        right = RightChars(part, length - before - dropped);
    } else {
        const std::int64_t after = length - (marker->start - 1 + marker->length);
        if (p.count > 0 && p.count <= after) right = RightChars(part, after - p.count);
        left = LeftChars(part, length - after - dropped);
    }
    return ReassembleName(taken, left + p.replacement + right, p.scope);
}

std::string MakeInsertedName(std::string_view name, const InsertParams& p) {
    const TakenNamePart taken = TakeNamePart(name, p.scope);
    if (p.text.empty()) return std::string(name);
    const CharTextOps ops;
    const std::string_view part = taken.part;
    const std::int64_t length = ops.CountLength(part, p.byBytes);
    if (p.skipOutside && (p.position < 1 || p.position > length)) return std::string(name);
    // Positions far outside the part act as its ends.
    const std::int64_t k = std::clamp<std::int64_t>(p.position, 0, length + 1) - 1;
    std::string result;
    if (p.fromLeft) {
        result = ops.TakeLeft(part, k, p.byBytes) + p.text + ops.TakeRight(part, length - k, p.byBytes);
    } else {
        result = ops.TakeLeft(part, length - k, p.byBytes) + p.text + ops.TakeRight(part, k, p.byBytes);
    }
    if (p.forceLength && p.forcedLength >= 1) {
        result = p.cutLeft ? ops.TakeRight(result, p.forcedLength, p.forceByBytes)
                           : ops.TakeLeft(result, p.forcedLength, p.forceByBytes);
    }
    return ReassembleName(taken, result, p.scope);
}

}  // namespace varnel
