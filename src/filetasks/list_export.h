// The list's text leaving the program: the texts of the copy kinds (columns,
// shortcut targets, web links, page titles), the export line with its "#N" column
// references, the starter script line, and whole exports with their atomic,
// checked write. Pure over the row store except where a kind reads the file.
// Safe on any thread.
#pragma once

#include <cstddef>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include "filelist/row_store.h"
#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

// Copy kinds: 0 full path, -1 every column joined by ",", 10 the .lnk target,
// 11 the .url link, 12 the web page title; any other k is column k - 1.
inline constexpr int kCopyFullPath = 0;
inline constexpr int kCopyAllColumns = -1;
inline constexpr int kCopyShortcutTarget = 10;
inline constexpr int kCopyInternetLink = 11;
inline constexpr int kCopyPageTitle = 12;

std::string CopyKindText(const RowStore& rows, std::size_t row, int kind, PosixApi& os = SystemPosix());
// The texts of the rows joined by "\n"; a separator only follows a text that is
// not empty so far (empty leading texts leave no blank lines).
std::string BuildCopyText(const RowStore& rows, const std::vector<std::size_t>& rowIndexes, int kind,
                          PosixApi& os = SystemPosix());

// One line of a starter script: opens path with its default application. A
// relative path is written from "./", so no name is ever taken for an option.
std::string FormatStarterLine(std::string_view path);
// The first line of a starter script.
inline constexpr std::string_view kStarterScriptHeader = "#!/bin/sh\n";
// What a script of mount-relative paths runs first: it goes to the root of the
// file system it is run from, so it works from any folder there.
inline constexpr std::string_view kStarterScriptToMountRoot = "cd -- \"$(stat -c %m -- .)\" || exit 1\n";
// The lines a starter script opens with.
std::string StarterScriptHeader(bool relativePaths);

struct ExportOptions {
    bool onlySelected = false;   // 被选定项目
    bool freeColumns = false;    // 自由重组列
    std::string expression = "#9#1";  // 重组表达式
    bool starterScript = false;  // 导出为Bat
    bool relativePath = false;   // Bat相对路径
    bool openAfter = false;      // 导出后打开
};

// The expression with each "#N" replaced by cell N - 1 of the row, in one pass from
// left to right: at each "#" the longest number naming a column wins (so "#10" is
// column 10 where there is one, else "#1" and "0"); text put in is never read again.
std::string ExpandColumnReferences(std::string_view expression, const RowStore& rows, std::size_t row,
                                   int columnCount = kListColumnCount);

// One exported row: the expression or the full path; as a starter line when asked
// (then always the path, relative to its mount point with relativePath). A full
// path holding a line break is written as its file URI (FileUriOfPath), which an
// import reads back to the same bytes.
std::string BuildExportLine(const RowStore& rows, std::size_t row, const ExportOptions& options,
                            PosixApi& os = SystemPosix());

// What an export writes: the lines of the rows, each ending in "\n"; rows whose
// free-column line would hold a line break cannot be written one per line and
// are counted.
struct ExportText {
    std::string text;
    std::size_t skipped = 0;
};
ExportText BuildExportText(const RowStore& rows, const std::vector<std::size_t>& rowIndexes,
                           const ExportOptions& options, PosixApi& os = SystemPosix());

// Writes the text atomically (a starter script gets mode 0755); nothing is left
// under path when it fails.
std::expected<void, Error> WriteExportFile(const std::string& path, std::string_view text, bool starterScript,
                                           PosixApi& os = SystemPosix());

// The path relative to the mount point that holds it ("" parts dropped).
std::string PathRelativeToMountPoint(const std::string& path, PosixApi& os = SystemPosix());

// The lines of an imported path list, bytes as they are: line ends "\n" or "\r\n",
// a UTF-8 byte-order mark at the start dropped, nothing trimmed, empty lines dropped.
std::vector<std::string> SplitPathListLines(std::string_view text);

}  // namespace varnel
