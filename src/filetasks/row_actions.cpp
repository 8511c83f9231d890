#include "filetasks/row_actions.h"

#include <array>
#include <cerrno>
#include <vector>

#include <sys/stat.h>

#include "filetasks/shortcut_file.h"
#include "fileops/copy_move.h"
#include "fileops/folder_walk.h"
#include "platform/delete_tree.h"
#include "platform/file_manager.h"
#include "platform/trash.h"
#include "platform/xdg_paths.h"
#include "utilities/path_routines.h"
#include "platform/shell_open.h"

namespace varnel {

namespace {

// Folders whose loss would break the system; refused whatever they hold.
constexpr std::array kSystemFolders = {
    "/bin", "/boot", "/dev", "/etc", "/lib", "/lib32", "/lib64", "/libx32", "/opt", "/proc", "/root", "/run",
    "/sbin", "/srv", "/sys", "/tmp", "/usr", "/var", "/home", "/media", "/mnt",
    "/usr/bin", "/usr/lib", "/usr/local", "/usr/sbin", "/usr/share", "/var/lib",
};

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::expected<bool, Error> Transfer(const std::string& path, const std::string& target, bool copy, PosixApi& os) {
    struct stat info {};
    if (os.Lstat(target.c_str(), &info) == 0) return std::unexpected(Error{EEXIST, "目标已存在", target});
    if (IsSameOrInside(path, target, os)) {
        return std::unexpected(Error{Error::kInvalidInput, "不能移动或复制到自身之内", target});
    }
    std::vector<std::string> createdFolders;
    std::vector<std::string> failedPaths;
    if (!CopyOrMovePath(path, target, copy, createdFolders, failedPaths, os)) {
        return std::unexpected(
            Error{EIO, copy ? "复制失败" : "移动失败", failedPaths.empty() ? path : failedPaths.front()});
    }
    return !copy;
}

std::expected<bool, Error> Delete(const std::string& path, PosixApi& os) {
    if (auto allowed = CheckPathMayBeDeleted(path, {}, os); !allowed) return std::unexpected(allowed.error());
    struct stat info {};
    if (os.Lstat(path.c_str(), &info) != 0) return std::unexpected(MakeSystemError(errno, path, "删除失败"));
    if (!S_ISDIR(info.st_mode)) {
        if (os.Unlink(path.c_str()) != 0) return std::unexpected(MakeSystemError(errno, path, "删除失败"));
        return true;
    }
    if (auto gone = DeletePathTree(path, os); !gone) return std::unexpected(gone.error());
    return true;
}

}  // namespace

std::string RowActionFolderPrompt(RowAction action, std::size_t count) {
    const std::string n = std::to_string(count);
    switch (action) {
    case RowAction::CreateShortcut: return "创建被选定的 " + n + " 个文件和文件夹的快捷方式";
    case RowAction::Move: return "将被选定的 " + n + " 个文件和文件夹移动到";
    case RowAction::Copy: return "将被选定的 " + n + " 个文件和文件夹复制到";
    case RowAction::ExtractLyrics: return "提取被选定的 " + n + " 个文件和文件夹的歌词信息到";
    default: return {};
    }
}

std::string RowActionQuestion(RowAction action) {
    switch (action) {
    case RowAction::Delete: return "您确定要将文件彻底删除吗？（删除后无法从回收站恢复）";
    case RowAction::Recycle:
        return "您确定要将文件删除到回收站吗？\n\n点工具栏的删除按钮的向下箭头可以彻底删除（回收站不可见）";
    default: return {};
    }
}

std::string ShortcutDescriptionFor(std::string_view name) { return std::string(name) + "(创建：Varnel更名)"; }

std::expected<bool, Error> RunRowAction(RowAction action, const std::string& path, const std::string& targetFolder,
                                        PosixApi& os) {
    const std::string name = GetFileNameOfPath(WithoutTrailingSlash(path));
    switch (action) {
    case RowAction::Open:
        if (auto opened = OpenWithShell(path); !opened) return std::unexpected(opened.error());
        return false;
    case RowAction::OpenContainingFolder:
        if (auto shown = ShowItemInFileManager(path); !shown) return std::unexpected(shown.error());
        return false;
    case RowAction::Move: return Transfer(path, targetFolder + name, false, os);
    case RowAction::Copy: return Transfer(path, targetFolder + name, true, os);
    case RowAction::Delete: return Delete(path, os);
    case RowAction::Recycle: {
        if (auto allowed = CheckPathMayBeDeleted(path, {}, os); !allowed) return std::unexpected(allowed.error());
        if (auto trashed = MoveToTrash(path); !trashed) return std::unexpected(trashed.error());
        return true;
    }
    case RowAction::CreateShortcut: {
        const std::string description = ShortcutDescriptionFor(name);
        const std::string link = targetFolder + name + ".lnk";
        if (!CreateLnkShortcut(link, path, &description, nullptr, nullptr, os)) {
            struct stat info {};
            const bool taken = os.Lstat(link.c_str(), &info) == 0;
            return std::unexpected(Error{taken ? EEXIST : EIO, taken ? "目标已存在" : "无法创建快捷方式", link});
        }
        return false;
    }
    case RowAction::RemoveFromList: return true;
    case RowAction::ExtractLyrics: break;
    }
    return std::unexpected(Error{Error::kInvalidInput, "不支持的操作", path});
}

std::expected<void, Error> CheckPathMayBeDeleted(const std::string& requested, const std::string& homeFolder,
                                                 PosixApi& os) {
    const std::string path = WithoutTrailingSlash(requested);
    if (path.empty() || path == "/") return std::unexpected(Error{Error::kInvalidInput, "拒绝删除根目录", path});
    struct stat info {};
    if (os.Lstat(path.c_str(), &info) != 0) return {};  // the action itself reports a missing path
    if (!S_ISDIR(info.st_mode)) return {};
    const std::string real = os.Realpath(path.c_str());
    const std::string home = WithoutTrailingSlash(homeFolder.empty() ? HomeFolder() : homeFolder);
    if (!home.empty() && (real == home || real == os.Realpath(home.c_str()))) {
        return std::unexpected(Error{Error::kInvalidInput, "拒绝删除主文件夹", path});
    }
    for (const char* system : kSystemFolders) {
        if (real == system) return std::unexpected(Error{Error::kInvalidInput, "拒绝删除系统文件夹", path});
    }
    struct stat parent {};
    const std::string parentPath = GetParentOfPath(real);
    if (os.Stat(parentPath.empty() ? "/" : parentPath.c_str(), &parent) == 0 && parent.st_dev != info.st_dev) {
        return std::unexpected(Error{Error::kInvalidInput, "拒绝删除挂载点", path});
    }
    return {};
}

std::int64_t CountFilesInFolder(const std::string& path, PosixApi& os) {
    struct stat info {};
    if (os.Lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return 0;
    WalkOptions options;
    options.depth = -1;
    options.countOnly = true;
    WalkCounts counts;
    WalkFolder(WithoutTrailingSlash(path), options, [](const WalkEntry&) { return true; }, counts, os);
    return counts.files;
}

std::string UniqueFolderName(const std::string& base, PosixApi& os) {
    struct stat info {};
    if (os.Lstat(base.c_str(), &info) != 0) return base;
    for (std::int64_t n = 1;; ++n) {
        std::string candidate = base + " (" + std::to_string(n) + ")";
        if (os.Lstat(candidate.c_str(), &info) != 0) return candidate;
    }
}

}  // namespace varnel
