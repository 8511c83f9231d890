#include "utilities/path_routines.h"

#include <array>
#include <cmath>
#include <charconv>

#include "utilities/char_forms.h"
#include "utilities/number_text.h"

namespace varnel {

namespace {

// The name part of a path: after the last "/", or all of it.
std::string_view NameOf(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool MatchesAt(std::string_view text, std::size_t pos, std::string_view sought,
               bool caseSensitive) {
    for (std::size_t i = 0; i < sought.size(); ++i) {
        const char a = text[pos + i];
        const char b = sought[i];
        if (caseSensitive ? a != b : LowerAsciiChar(a) != LowerAsciiChar(b)) return false;
    }
    return true;
}

// Calls `found` with the 0-based position of each non-overlapping occurrence.
template <class Found>
void ForEachOccurrence(std::string_view sought, std::string_view text, bool caseSensitive,
                       Found found) {
    if (sought.empty()) return;
    for (std::size_t pos = 0; pos + sought.size() <= text.size();) {
        if (MatchesAt(text, pos, sought, caseSensitive)) {
            found(pos);
            pos += sought.size();
        } else {
            ++pos;
        }
    }
}

}  // namespace

std::string GetFileNameOfPath(std::string_view path) { return std::string(NameOf(path)); }

std::size_t ExtensionDotOf(std::string_view fileName) {
    const std::size_t first = fileName.find_first_not_of('.');
    const std::size_t dot = fileName.rfind('.');
    if (first == std::string_view::npos || dot == std::string_view::npos || dot < first) return std::string_view::npos;
    return dot;
}

std::string GetExtensionOfPath(std::string_view path) {
    const std::string_view name = NameOf(path);
    const auto dot = ExtensionDotOf(name);
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

std::string GetMainNameOfPath(std::string_view path) {
    const std::string_view name = NameOf(path);
    const auto dot = ExtensionDotOf(name);
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string GetParentOfPath(std::string_view path) {
    if (path.empty()) return {};
    // A trailing "/" is skipped, so a folder path and its form with "/" share a parent.
    std::string_view searched = path;
    if (searched.back() == '/') searched.remove_suffix(1);
    const auto slash = searched.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string WithTrailingSlash(std::string_view path) {
    return !path.empty() && path.back() == '/' ? std::string(path) : std::string(path) + '/';
}

std::string WithoutTrailingSlash(std::string_view path) {
    return std::string(!path.empty() && path.back() == '/' ? path.substr(0, path.size() - 1) : path);
}

std::string AdjustTrailingBackslash(std::string_view path, bool remove) {
    return remove ? WithoutTrailingSlash(path) : WithTrailingSlash(path);
}

std::string GetFolderOfDroppedPath(std::string_view path) {
    return std::string(path.substr(0, path.size() - NameOf(path).size()));
}

std::string GetNameOfDroppedPath(std::string_view path) { return std::string(NameOf(path)); }

std::optional<NameParts> SplitMainAndExtension(std::string_view name) {
    if (name.empty() || name.back() == '/') return std::nullopt;
    const std::string_view tail = NameOf(name);
    const auto dot = ExtensionDotOf(tail);
    if (dot == std::string_view::npos) return NameParts{std::string(tail), {}};
    return NameParts{std::string(tail.substr(0, dot)), std::string(tail.substr(dot + 1))};
}

std::int64_t CountOccurrences(std::string_view sought, std::string_view text, bool caseSensitive) {
    std::int64_t count = 0;
    ForEachOccurrence(sought, text, caseSensitive, [&count](std::size_t) { ++count; });
    return count;
}

std::vector<std::size_t> FindAllOccurrences(std::string_view sought, std::string_view text,
                                            bool caseSensitive) {
    std::vector<std::size_t> positions;
    ForEachOccurrence(sought, text, caseSensitive,
                      [&positions](std::size_t pos) { positions.push_back(pos + 1); });
    return positions;
}

std::string ReplaceOccurrences(std::string_view text, std::string_view sought, std::string_view with,
                               std::int64_t count, bool caseSensitive) {
    std::string out;
    std::size_t copied = 0;
    std::int64_t replaced = 0;
    ForEachOccurrence(sought, text, caseSensitive, [&](std::size_t pos) {
        if (count >= 1 && replaced == count) return;
        out.append(text.substr(copied, pos - copied));
        out.append(with);
        copied = pos + sought.size();
        ++replaced;
    });
    if (replaced == 0) return std::string(text);
    out.append(text.substr(copied));
    return out;
}

std::vector<std::string_view> SplitAtSeparator(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    if (separator.empty()) return {text};
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + separator.size());
    }
}

bool IsDirectoryAttribute(std::uint32_t attributes) {
    return (attributes & kAttributeDirectory) != 0;
}

std::string NumberToLetters(std::int64_t n, bool lowerCase) {
    std::string letters;
    const char base = lowerCase ? 0x60 : 0x40;
    while (n > 0) {
        std::int64_t r = n % 26;
        if (r == 0) {
            r = 26;
            n -= 1;
        }
        letters.insert(letters.begin(), static_cast<char>(base + r));
        n /= 26;
    }
    return letters;
}

std::string FormatDuration(double milliseconds) {
    constexpr double kTolerance = -0.0000001;
    if (milliseconds - 1000 < kTolerance) return NumberToText(milliseconds) + " 毫秒";

    struct Unit {
        double divisor;
        double limit;  // 0: the last unit, no limit
        const char* text;
    };
    static constexpr std::array<Unit, 8> kUnits{{
        {1000, 60, " 秒"},
        {60, 60, " 分"},
        {60, 24, " 时"},
        {24, 7, " 天"},
        {7, 4.285714285714286, " 周"},
        {4.285714285714286, 3, " 月"},
        {3, 4, " 季"},
        {4, 0, " 年"},
    }};
    double value = milliseconds;
    for (const Unit& unit : kUnits) {
        value /= unit.divisor;
        if (unit.limit == 0 || value - unit.limit < kTolerance) {
            return NumberToText(RoundToDigits(value, 2)) + unit.text;
        }
    }
    return {};
}

std::string FormatPerRowDuration(double milliseconds) {
    if (!std::isfinite(milliseconds) || milliseconds == 0.0) return FormatDuration(milliseconds);
    // Three significant digits: the decimal written with them is read back.
    std::array<char, 64> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), milliseconds,
                                       std::chars_format::scientific, 2);
    double rounded = milliseconds;
    (void)std::from_chars(buffer.data(), written.ptr, rounded);
    return FormatDuration(rounded);
}

std::string QuoteShellWord(std::string_view word) {
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

}  // namespace varnel
