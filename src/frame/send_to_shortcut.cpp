#include "frame/send_to_shortcut.h"

#include <cerrno>

#include "platform/file_io.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

constexpr const char* kOwnerMark = "X-Varnel-SendTo=true";

// Exec arguments are quoted in double quotes with ", `, $ and \ escaped by a
// backslash; the entry's string escaping then doubles every backslash again.
std::string QuoteExecArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$') {
            quoted += "\\\\";
        } else if (c == '\\') {
            quoted += "\\\\\\";
        }
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

std::string SendToDesktopEntry(const std::string& programPath) {
    std::string text = "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += "Name=Varnel更名\n";
    text += "Comment=Windows下批量任务处理的高级平台\n";
    text += "Exec=" + QuoteExecArgument(programPath) + " %F\n";
    text += "Path=" + GetParentOfPath(programPath) + "\n";
    text += "Terminal=false\n";
    text += "MimeType=inode/directory;application/octet-stream;\n";
    text += std::string(kOwnerMark) + "\n";
    return text;
}

std::expected<void, Error> SetSendToShortcut(bool enable, const std::string& programPath,
                                             const std::string& applicationsFolder,
                                             PosixApi& os) {
    const std::string path = AdjustTrailingBackslash(applicationsFolder) + kSendToEntryName;
    auto existing = ReadWholeFile(path, os);
    if (!enable) {
        if (!existing) return {};
        if (existing->find(kOwnerMark) == std::string::npos) return {};
        if (os.Unlink(path.c_str()) != 0 && errno != ENOENT) {
            return std::unexpected(MakeSystemError(errno, path, "无法删除"));
        }
        return {};
    }
    if (programPath.empty()) return std::unexpected(Error{Error::kInvalidInput, "程序路径未知", path});
    const std::string text = SendToDesktopEntry(programPath);
    if (existing && *existing == text) return {};
    if (auto folder = EnsureDirectory(applicationsFolder, 0755, os); !folder) return folder;
    return WriteFileAtomically(path, text, os);
}

}  // namespace varnel
