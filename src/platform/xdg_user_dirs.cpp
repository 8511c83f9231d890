#include "platform/xdg_user_dirs.h"

#include <cerrno>
#include <vector>

#include "platform/file_io.h"
#include "platform/xdg_paths.h"

namespace varnel {

namespace {

constexpr std::string_view kHomeVariable = "$HOME";
constexpr const char* kNewFileHeader =
    "# This file is written by xdg-user-dirs-update\n"
    "# If you want to change or add directories, just edit the line you're\n"
    "# interested in. All local changes will be retained on the next run.\n"
    "# Format is XDG_xxx_DIR=\"$HOME/yyy\", where yyy is a shell-escaped\n"
    "# homedir-relative path, or XDG_xxx_DIR=\"/yyy\", where /yyy is an\n"
    "# absolute path. No other format is supported.\n"
    "# \n";

std::string UserDirsFile() { return ConfigHome() + "/user-dirs.dirs"; }

std::string KeyOf(std::string_view name) { return "XDG_" + std::string(name) + "_DIR"; }

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

// The quoted value of the line when it sets `key`; nothing otherwise.
std::optional<std::string_view> QuotedValueOf(std::string_view line, std::string_view key) {
    line = TrimLeft(line);
    if (!line.starts_with(key)) return std::nullopt;
    line = TrimLeft(line.substr(key.size()));
    if (!line.starts_with('=')) return std::nullopt;
    line = TrimLeft(line.substr(1));
    if (!line.starts_with('"')) return std::nullopt;
    line.remove_prefix(1);
    // The closing quote is the first one not escaped by a backslash.
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\') {
            ++i;
        } else if (line[i] == '"') {
            return line.substr(0, i);
        }
    }
    return std::nullopt;
}

std::optional<std::string> FolderOfValue(std::string_view value, const std::string& home) {
    std::string folder;
    if (value.starts_with(kHomeVariable) &&
        (value.size() == kHomeVariable.size() || value[kHomeVariable.size()] == '/')) {
        folder = home;
        value.remove_prefix(kHomeVariable.size());
    } else if (!value.starts_with('/')) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) ++i;
        folder += value[i];
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder.empty()) folder.push_back('/');
    return folder;
}

// The shell's double-quote escapes: the file is read by sourcing it.
std::string Escape(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        if (c == '"' || c == '\\' || c == '$' || c == '`') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

std::string LineFor(std::string_view name, const std::string& folder, const std::string& home) {
    std::string value;
    if (folder == home) {
        value = std::string(kHomeVariable) + "/";
    } else if (home != "/" && folder.starts_with(home + "/")) {
        value = std::string(kHomeVariable) + "/" + Escape(folder.substr(home.size() + 1));
    } else {
        value = Escape(folder);
    }
    return KeyOf(name) + "=\"" + value + "\"";
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace

std::optional<std::string> FindUserDirInText(std::string_view text, std::string_view name,
                                             const std::string& home) {
    const std::string key = KeyOf(name);
    std::optional<std::string> found;
    for (std::string_view line : SplitLines(text)) {
        if (TrimLeft(line).starts_with('#')) continue;
        if (auto value = QuotedValueOf(line, key)) {
            if (auto folder = FolderOfValue(*value, home)) found = std::move(folder);
        }
    }
    return found;
}

std::string SetUserDirInText(std::string_view text, std::string_view name,
                             const std::string& folder, const std::string& home) {
    const std::string key = KeyOf(name);
    const std::string newLine = LineFor(name, folder, home);
    std::string result;
    bool replaced = false;
    for (std::string_view line : SplitLines(text)) {
        if (!TrimLeft(line).starts_with('#') && QuotedValueOf(line, key)) {
            result += newLine;
            replaced = true;
        } else {
            result += line;
        }
        result += '\n';
    }
    if (!replaced) result += newLine + "\n";
    return result;
}

std::optional<std::string> ReadUserDir(std::string_view name, PosixApi& os) {
    const std::string home = HomeFolder();
    std::optional<std::string> folder;
    if (auto text = ReadWholeFile(UserDirsFile(), os)) folder = FindUserDirInText(*text, name, home);
    if (!folder && name == "DESKTOP") folder = home + "/Desktop";
    return folder;
}

std::expected<void, Error> WriteUserDir(std::string_view name, const std::string& folder,
                                        PosixApi& os) {
    const std::string file = UserDirsFile();
    std::string text;
    if (auto existing = ReadWholeFile(file, os)) {
        text = std::move(*existing);
    } else if (existing.error().code == ENOENT) {
        text = kNewFileHeader;
        if (auto made = EnsureDirectory(ConfigHome(), 0700, os); !made) return made;
    } else {
        return std::unexpected(std::move(existing.error()));
    }
    return WriteFileAtomically(file, SetUserDirInText(text, name, folder, HomeFolder()), os);
}

}  // namespace varnel
