// The name makers of the four rename tasks that take the new name from the file's
// own content: the text between two markers (批量提取元素区间), a stretch at a fixed
// position (批量提取位置), a line (批量提取行) and a regular-expression match
// (批量正则提取). The text found is cleaned (control characters and line breaks
// removed, cut to a file name's 255 bytes) before it takes the name part's place;
// nothing found keeps the name. Files are read only as far as needed: the marker and
// expression tasks refuse files larger than kMaxExtractFileBytes. Pure apart from
// the file read; safe on any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <expected>
#include <string>
#include <string_view>

#include "naming/name_parts.h"
#include "platform/posix_api.h"
#include "utilities/error.h"
#include "utilities/regex_object.h"

namespace varnel {

// The largest file the marker and expression tasks read; a larger file keeps its name.
inline constexpr std::size_t kMaxExtractFileBytes = 513023;
// The longest text put into a name, in bytes.
inline constexpr std::size_t kMaxExtractedBytes = 255;

// 批量提取元素区间: the text after the first start marker up to the first end
// marker after it.
struct ElementExtractParams {
    NamePart scope = NamePart::WholeName;
    std::string element1;        // start marker
    std::string element2;        // end marker
    bool caseSensitive = false;  // letters match only in their own case
    bool useTemplate = false;    // 扩展组合
    std::string pattern = "?";   // 组合式
    bool operator==(const ElementExtractParams&) const = default;
};

// 批量提取位置: from the 1-based start, up to the end position or for a count, in
// widths (ASCII 1, any other character 2) or in characters.
struct PositionExtractParams {
    NamePart scope = NamePart::WholeName;
    bool byBytes = true;
    std::int64_t start = 1;
    std::int64_t end = 1;
    bool endIsCount = false;
    bool useTemplate = false;
    std::string pattern = "?";
};

// Which part of a line the 再行截取 cut keeps.
enum class CutDirection : int { Left = 0, Middle = 1, Right = 2 };

// 批量提取行: line `line` (below 1: the first) without its leading and trailing
// blanks, optionally cut.
struct LineExtractParams {
    NamePart scope = NamePart::WholeName;
    std::int64_t line = 1;
    bool emptyToNext = false;  // a blank line gives the next one
    bool cut = false;
    bool cutByBytes = true;
    CutDirection direction = CutDirection::Left;
    std::int64_t cutStart = 1;  // where the middle cut starts
    std::int64_t cutCount = 10;
    bool useTemplate = false;
    std::string pattern = "?";
};

// 批量正则提取: match `matchIndex` (only the first unless global), or its group
// `submatchIndex`; indexes below 1 count as 1.
struct RegexExtractParams {
    NamePart scope = NamePart::WholeName;
    std::string expression;
    bool ignoreCase = false;
    bool global = false;
    bool multiline = false;
    std::int64_t matchIndex = 1;
    bool takeSubmatch = false;
    std::int64_t submatchIndex = 1;
    bool useTemplate = false;
    std::string pattern = "?";
};

// The found text as a name can hold it: control characters (line breaks included)
// removed, then cut to kMaxExtractedBytes at a character boundary.
std::string CleanExtractedText(std::string_view text);

// The new name of the file at path (a full path).
std::string MakeElementName(std::string_view path, const ElementExtractParams& params, PosixApi& os = SystemPosix());
std::string MakePositionName(std::string_view path, const PositionExtractParams& params,
                             PosixApi& os = SystemPosix());
std::string MakeLineName(std::string_view path, const LineExtractParams& params, PosixApi& os = SystemPosix());

// The flags the expression of params compiles with.
RegexFlags RegexExtractFlags(const RegexExtractParams& params);
// The same with `regex` compiled from params' expression and flags. A match that
// runs past the engine's limits is the row's error.
std::expected<std::string, Error> MakeRegexExtractName(std::string_view path, const RegexExtractParams& params,
                                                       RegexObject& regex, PosixApi& os = SystemPosix());

}  // namespace varnel
