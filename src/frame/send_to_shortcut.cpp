#include "frame/send_to_shortcut.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/file_io.h"
#include "platform/xdg_paths.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

constexpr const char* kMenuName = "Varnel更名";
constexpr const char* kComment = "批量任务处理的高级平台";

// Desktop-entry Exec arguments are quoted in double quotes with ", `, $ and a
// backslash escaped by a backslash; the entry's string escaping then doubles every
// backslash again. A "%" would start a field code, so it is written "%%".
std::string QuoteExecArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$') {
            quoted += "\\\\";
        } else if (c == '\\') {
            quoted += "\\\\\\";
        } else if (c == '%') {
            quoted += '%';
        }
        quoted += c;
    }
    return quoted + "\"";
}

// The start of an Exec line that runs the program. GLib looks for the program by
// its Exec text before "%%" is read back as "%", and so refuses an entry whose
// program path holds "%": such a program is started through sh, where the path is
// an argument.
std::string ExecProgram(const std::string& programPath) {
    if (programPath.find('%') == std::string::npos) return QuoteExecArgument(programPath);
    return "sh -c " + QuoteExecArgument("exec \"$0\" \"$@\"") + " " + QuoteExecArgument(programPath);
}

std::string LauncherEntry(const std::string& programPath) {
    std::string text = "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += std::string("Name=") + kMenuName + "\n";
    text += std::string("Comment=") + kComment + "\n";
    text += "Exec=" + ExecProgram(programPath) + " %F\n";
    text += "Path=" + GetParentOfPath(programPath) + "\n";
    text += "Terminal=false\n";
    text += std::string(kSendToOwnerMark) + "\n";
    return text;
}

// Dolphin's service menu: an action for every file and folder, under 发送到.
std::string ServiceMenu(const std::string& programPath) {
    std::string text = "[Desktop Entry]\n";
    text += "Type=Service\n";
    text += "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n";
    text += "MimeType=all/all;\n";
    text += "Actions=sendToVarnel;\n";
    text += "X-KDE-Submenu=发送到\n";
    text += std::string(kSendToOwnerMark) + "\n";
    text += "\n[Desktop Action sendToVarnel]\n";
    text += std::string("Name=") + kMenuName + "\n";
    text += "Exec=" + ExecProgram(programPath) + " %F\n";
    return text;
}

// The Nautilus and Caja script. Both run it with the chosen names as arguments and
// the shown folder as the working folder; a relative name is made absolute, since
// a running instance may be handed the paths.
std::string ManagerScript(const std::string& programPath) {
    std::string text = "#!/bin/sh\n";
    text += std::string("# ") + kSendToOwnerMark + "\n";
    text += std::string("# ") + kMenuName + "：把选中的文件和文件夹发送到本程序。\n";
    text += "for path do\n";
    text += "    case $path in\n";
    text += "        /*) ;;\n";
    text += "        *) path=$PWD/$path ;;\n";
    text += "    esac\n";
    text += "    set -- \"$@\" \"$path\"\n";
    text += "    shift\n";
    text += "done\n";
    text += "exec " + QuoteShellWord(programPath) + " \"$@\"\n";
    return text;
}

std::string NemoAction(const std::string& programPath) {
    std::string text = "[Nemo Action]\n";
    text += std::string("Name=") + kMenuName + "\n";
    text += std::string("Comment=") + kComment + "\n";
    // Nemo reads "%" as the start of a token and "%%" as the sign itself.
    std::string program;
    for (const char c : QuoteShellWord(programPath)) program += c == '%' ? std::string("%%") : std::string(1, c);
    text += "Exec=" + program + " %F\n";
    text += "Selection=Any\n";
    text += "Extensions=Any;\n";
    text += std::string(kSendToOwnerMark) + "\n";
    return text;
}

bool IsOurs(const std::string& text) { return text.find(kSendToOwnerMark) != std::string::npos; }

std::expected<void, Error> RemoveIfOurs(const std::string& path, PosixApi& os) {
    auto existing = ReadWholeFile(path, os);
    if (!existing || !IsOurs(*existing)) return {};
    if (os.Unlink(path.c_str()) != 0 && errno != ENOENT) {
        return std::unexpected(MakeSystemError(errno, path, "无法删除"));
    }
    return {};
}

std::expected<void, Error> WriteIfOurs(const SendToFile& file, PosixApi& os) {
    const mode_t mode = file.executable ? 0755 : 0644;
    auto existing = ReadWholeFile(file.path, os);
    if (existing) {
        // Someone else's file of the same name is left alone.
        if (!IsOurs(*existing)) return {};
        struct stat info {};
        if (*existing == file.text && os.Stat(file.path.c_str(), &info) == 0 && (info.st_mode & 0777) == mode) {
            return {};
        }
    }
    if (auto folder = EnsureDirectory(GetParentOfPath(file.path), 0755, os); !folder) return folder;
    if (auto written = WriteFileAtomically(file.path, file.text, os); !written) return written;
    if (os.Chmod(file.path.c_str(), mode) != 0) {
        return std::unexpected(MakeSystemError(errno, file.path, "无法设置文件权限"));
    }
    return {};
}

// Earlier versions declared folder and file types in the launcher; a desktop that
// indexed it then keeps naming it in its applications folder's type cache, which
// GIO reads, after the entry itself has changed. Our id is taken out of that cache
// (nothing else in it changes); the desktop's next indexing writes the same.
std::expected<void, Error> ForgetOurTypes(const std::string& applicationsFolder, PosixApi& os) {
    const std::string path = applicationsFolder + "mimeinfo.cache";
    auto cache = ReadWholeFile(path, os);
    if (!cache) return {};
    const std::string id = std::string(kMenuName) + ".desktop;";
    if (cache->find(id) == std::string::npos) return {};
    std::string kept;
    std::size_t start = 0;
    while (start < cache->size()) {
        std::size_t end = cache->find('\n', start);
        if (end == std::string::npos) end = cache->size();
        std::string line = cache->substr(start, end - start);
        start = end + 1;
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && !line.starts_with('[')) {
            // "type=a.desktop;b.desktop;": our id is one of the ;-ended items.
            std::string items = line.substr(equals + 1);
            for (std::size_t at = 0; (at = items.find(id, at)) != std::string::npos;) {
                if (at == 0 || items[at - 1] == ';') {
                    items.erase(at, id.size());
                } else {
                    at += id.size();
                }
            }
            if (items.empty()) continue;
            line = line.substr(0, equals + 1) + items;
        }
        kept += line;
        kept += '\n';
    }
    if (kept == *cache) return {};
    return WriteFileAtomically(path, kept, os);
}

}  // namespace

SendToFolders UserSendToFolders() { return {DataHome(), ConfigHome()}; }

std::vector<SendToFile> SendToFiles(const std::string& programPath, const SendToFolders& folders) {
    const std::string data = WithTrailingSlash(folders.dataHome);
    const std::string config = WithTrailingSlash(folders.configHome);
    const std::string script = ManagerScript(programPath);
    return {
        {data + "applications/" + kMenuName + ".desktop", LauncherEntry(programPath), false},
        {data + "kio/servicemenus/varnel-send-to.desktop", ServiceMenu(programPath), true},
        {data + "nautilus/scripts/" + kMenuName, script, true},
        {config + "caja/scripts/" + kMenuName, script, true},
        {data + "nemo/actions/varnel-send-to.nemo_action", NemoAction(programPath), false},
    };
}

std::expected<void, Error> SetSendToShortcut(bool enable, const std::string& programPath,
                                             const SendToFolders& folders, PosixApi& os) {
    // Removal needs no program path: the names do not depend on it.
    const std::vector<SendToFile> files = SendToFiles(programPath, folders);
    if (!enable) {
        if (!folders.dataHome.starts_with('/') || !folders.configHome.starts_with('/')) return {};
        std::expected<void, Error> result = ForgetOurTypes(WithTrailingSlash(folders.dataHome) + "applications/", os);
        for (const SendToFile& file : files) {
            if (auto removed = RemoveIfOurs(file.path, os); !removed && result) result = removed;
        }
        return result;
    }
    if (programPath.empty()) return std::unexpected(Error{Error::kInvalidInput, "程序路径未知", {}});
    if (!folders.dataHome.starts_with('/') || !folders.configHome.starts_with('/')) {
        return std::unexpected(Error{Error::kInvalidInput, "找不到用户的数据或配置文件夹", {}});
    }
    if (auto forgotten = ForgetOurTypes(WithTrailingSlash(folders.dataHome) + "applications/", os); !forgotten) {
        return forgotten;
    }
    for (const SendToFile& file : files) {
        if (auto written = WriteIfOurs(file, os); !written) {
            (void)SetSendToShortcut(false, programPath, folders, os);
            return written;
        }
    }
    return {};
}

}  // namespace varnel
