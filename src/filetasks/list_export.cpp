#include "filetasks/list_export.h"

#include <sys/stat.h>

#include "filetasks/shortcut_file.h"
#include "platform/file_io.h"
#include "platform/marked_text_editor.h"
#include "utilities/file_uri.h"
#include "utilities/path_routines.h"

namespace varnel {

std::string CopyKindText(const RowStore& rows, std::size_t row, int kind, PosixApi& os) {
    switch (kind) {
    case kCopyFullPath: return rows.FullPath(row);
    case kCopyShortcutTarget: return GetShortcutTarget(rows.FullPath(row), os);
    case kCopyInternetLink: return GetInternetShortcutUrl(rows.FullPath(row), os);
    case kCopyPageTitle: return MarkedTextEditor().GetPageTitle(rows.FullPath(row), os);
    case kCopyAllColumns: {
        std::string text;
        for (int column = 0; column < kListColumnCount; ++column) {
            if (!text.empty()) text += ',';
            text += rows.GetCellText(row, column);
        }
        return text;
    }
    default: return kind >= 1 && kind <= kListColumnCount ? rows.GetCellText(row, kind - 1) : std::string();
    }
}

std::string BuildCopyText(const RowStore& rows, const std::vector<std::size_t>& rowIndexes, int kind,
                          PosixApi& os) {
    std::string text;
    for (std::size_t row : rowIndexes) {
        if (!text.empty()) text += '\n';
        text += CopyKindText(rows, row, kind, os);
    }
    return text;
}

std::string FormatStarterLine(std::string_view path) {
    if (path.starts_with('/')) return "xdg-open " + QuoteShellWord(path);
    return "xdg-open " + QuoteShellWord(path.empty() ? std::string(".") : "./" + std::string(path));
}

std::string StarterScriptHeader(bool relativePaths) {
    std::string header(kStarterScriptHeader);
    if (relativePaths) header += kStarterScriptToMountRoot;
    return header;
}

std::string ExpandColumnReferences(std::string_view expression, const RowStore& rows, std::size_t row,
                                   int columnCount) {
    std::string out;
    std::size_t i = 0;
    while (i < expression.size()) {
        if (expression[i] != '#') {
            out += expression[i++];
            continue;
        }
        std::size_t digits = 0;
        while (i + 1 + digits < expression.size() && expression[i + 1 + digits] >= '0' &&
               expression[i + 1 + digits] <= '9' && digits < 9) {
            ++digits;
        }
        bool replaced = false;
        for (std::size_t take = digits; take > 0 && !replaced; --take) {
            int n = 0;
            for (std::size_t k = 0; k < take; ++k) n = n * 10 + (expression[i + 1 + k] - '0');
            if (n >= 1 && n <= columnCount) {
                out += rows.GetCellText(row, n - 1);
                i += 1 + take;
                replaced = true;
            }
        }
        if (!replaced) out += expression[i++];
    }
    return out;
}

std::string PathRelativeToMountPoint(const std::string& path, PosixApi& os) {
    struct stat info {};
    if (os.Lstat(path.c_str(), &info) != 0) return path;
    std::string mount = path;
    // Up the folders while they stay on the path's own file system.
    for (std::string parent = GetParentOfPath(mount); !parent.empty(); parent = GetParentOfPath(mount)) {
        struct stat up {};
        if (os.Stat(parent.c_str(), &up) != 0 || up.st_dev != info.st_dev) break;
        mount = parent;
    }
    struct stat root {};
    if (GetParentOfPath(mount).empty() && os.Stat("/", &root) == 0 && root.st_dev == info.st_dev) mount = "/";
    if (mount == "/") return path.substr(1);
    if (mount == path) return {};
    return path.substr(mount.size() + 1);
}

std::string BuildExportLine(const RowStore& rows, std::size_t row, const ExportOptions& options, PosixApi& os) {
    if (options.freeColumns && !options.starterScript) return ExpandColumnReferences(options.expression, rows, row);
    std::string path = rows.FullPath(row);
    if (!options.starterScript) {
        return path.find_first_of("\r\n") == std::string::npos ? path : FileUriOfPath(path);
    }
    if (options.relativePath) path = PathRelativeToMountPoint(path, os);
    return FormatStarterLine(path);
}

ExportText BuildExportText(const RowStore& rows, const std::vector<std::size_t>& rowIndexes,
                           const ExportOptions& options, PosixApi& os) {
    ExportText result;
    if (options.starterScript) result.text = StarterScriptHeader(options.relativePath);
    for (std::size_t row : rowIndexes) {
        std::string line = BuildExportLine(rows, row, options, os);
        // A starter line quotes its path, so a line break inside is still one command;
        // a path line has none (BuildExportLine).
        if (line.find_first_of("\r\n") != std::string::npos && !options.starterScript) {
            ++result.skipped;
            continue;
        }
        result.text += line;
        result.text += '\n';
    }
    return result;
}

std::expected<void, Error> WriteExportFile(const std::string& path, std::string_view text, bool starterScript,
                                           PosixApi& os) {
    if (auto written = WriteFileAtomically(path, text, os); !written) return written;
    if (starterScript && os.Chmod(path.c_str(), 0755) != 0) {
        return std::unexpected(MakeSystemError(errno, path, "无法设置文件权限"));
    }
    return {};
}

std::vector<std::string> SplitPathListLines(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace varnel
