// Small pure routines over paths and numbers: the parts of a path, the trailing
// separator of a folder path, counting a text in another, a number as letters and
// a duration as readable text. "/" is the only separator; a "\" is an ordinary
// character of a name. None touches the file system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

// The text after the last "/"; the whole path when it holds none; "" for an empty
// path and for one that ends in "/".
std::string GetFileNameOfPath(std::string_view path);
// Where a file name's extension separator is: its last ".", unless that dot only
// belongs to the leading dots that mark a hidden file (".bashrc" has no extension,
// ".config.json" has "json"). npos for a name without an extension.
std::size_t ExtensionDotOf(std::string_view fileName);
// The text after the extension separator of the file name ("" without one).
std::string GetExtensionOfPath(std::string_view path);
// The file name without its extension separator and extension.
std::string GetMainNameOfPath(std::string_view path);
// The folder that holds the path, without a trailing "/": "/a/b" and "/a/b/" give
// "/a"; "/a" and "/" give "" (the empty drive part of a path).
std::string GetParentOfPath(std::string_view path);
// Folder paths. Wherever the program holds or hands on a folder (the list's
// folder column, a walk's folder, a task's target or save folder), it is a
// "folder path": it ends in "/" (the root is "/"), so that folder + name is the
// path of that name in it. A header that says a value is a folder path means
// this form and nothing more. WithTrailingSlash makes a folder path of a path to
// a folder; WithoutTrailingSlash gives the folder itself as a system call names
// it (mkdir, rmdir, a folder's own rename), "" for the root, as GetParentOfPath
// gives it.
std::string WithTrailingSlash(std::string_view path);
// The path without its trailing "/"; only one is removed.
std::string WithoutTrailingSlash(std::string_view path);
// One of the two above: without the trailing "/" when `remove`, else with it.
std::string AdjustTrailingBackslash(std::string_view path, bool remove = false);

// A dropped path's folder (keeping its trailing "/") and name: "/" gives "/" and "".
std::string GetFolderOfDroppedPath(std::string_view path);
std::string GetNameOfDroppedPath(std::string_view path);

// A name split at the extension separator of the text after the last "/".
struct NameParts {
    std::string main;
    std::string extension;
};
// Nothing for an empty name or one that ends in "/".
std::optional<NameParts> SplitMainAndExtension(std::string_view name);

// Non-overlapping occurrences of `sought` in `text`; 0 for an empty `sought`.
// Without caseSensitive, ASCII letters match either case.
std::int64_t CountOccurrences(std::string_view sought, std::string_view text,
                              bool caseSensitive = false);
// The 1-based byte positions of the same occurrences, each search starting right
// after the previous occurrence; none for an empty `sought`.
std::vector<std::size_t> FindAllOccurrences(std::string_view sought, std::string_view text,
                                            bool caseSensitive = false);
// The text with the first `count` of the same occurrences replaced by `with` (every
// one when count is below 1); an empty `sought` changes nothing.
std::string ReplaceOccurrences(std::string_view text, std::string_view sought, std::string_view with,
                               std::int64_t count = 0, bool caseSensitive = false);
// The pieces of text between the occurrences of `separator`: one more than there
// are occurrences (an empty text gives one empty piece; an empty separator, the
// whole text).
std::vector<std::string_view> SplitAtSeparator(std::string_view text, std::string_view separator);

inline constexpr std::uint32_t kAttributeDirectory = 0x10;
bool IsDirectoryAttribute(std::uint32_t attributes);

// Bijective base 26: 1 = A, 26 = Z, 27 = AA, 702 = ZZ, 703 = AAA; "" for n <= 0.
std::string NumberToLetters(std::int64_t n, bool lowerCase = false);

// A duration in the first unit it is below the limit of: " 毫秒" under 1000 ms, then
// seconds, minutes, hours, days, weeks, 30-day months, 90-day quarters, 360-day years,
// rounded to 2 decimals from seconds on.
std::string FormatDuration(double milliseconds);
// A time per row or per item: FormatDuration of the time rounded to 3 significant
// digits ("0.00354 毫秒", "1.23 秒").
std::string FormatPerRowDuration(double milliseconds);

// One word for a POSIX shell (and for GLib's command-line parser): single quotes,
// each single quote written as '\''.
std::string QuoteShellWord(std::string_view word);

}  // namespace varnel
