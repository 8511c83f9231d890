#include "runs/undo_record.h"

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>

namespace varnel {

std::expected<PathIdentity, Error> ReadPathIdentity(const std::string& path, PosixApi& os) {
    struct stat info {};
    if (os.Lstat(path.c_str(), &info) != 0) return std::unexpected(MakeSystemError(errno, path));
    PathIdentity identity;
    identity.known = true;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = static_cast<std::int64_t>(info.st_size);
    identity.modified = info.st_mtim;
    identity.isFolder = S_ISDIR(info.st_mode);
    return identity;
}

bool MatchesIdentity(const PathIdentity& recorded, const PathIdentity& now) {
    if (!recorded.known || !now.known) return false;
    if (recorded.device != now.device || recorded.inode != now.inode || recorded.isFolder != now.isFolder) {
        return false;
    }
    if (recorded.isFolder) return true;
    return recorded.size == now.size && recorded.modified.tv_sec == now.modified.tv_sec &&
           recorded.modified.tv_nsec == now.modified.tv_nsec;
}

void AppendCreatedPaths(std::vector<CreatedPath>& list, const std::vector<std::string>& paths, PosixApi& os) {
    for (const std::string& path : paths) {
        list.push_back({path, ReadPathIdentity(path, os).value_or(PathIdentity{})});
    }
}

bool HasEntries(const UndoRecord& record, UndoKind kind) {
    switch (kind) {
        case UndoKind::Transfers: return !record.transfers.empty() || !record.createdFolders.empty();
        case UndoKind::Renames: return !record.renames.empty();
        case UndoKind::AttributeChanges: return !record.attributeChanges.empty();
        case UndoKind::TimeChanges: return !record.timeChanges.empty();
        case UndoKind::TagChanges: return !record.tagChanges.empty();
        case UndoKind::ContentChanges: return !record.contentChanges.empty();
        case UndoKind::Splits: return !record.splits.empty();
        case UndoKind::TitleChanges: return !record.titleChanges.empty();
        case UndoKind::ShortcutChanges: return !record.shortcutChanges.empty();
    }
    return false;
}

bool HoldsChange(const UndoRecord& record) {
    return std::ranges::any_of(kUndoReplayOrder, [&](UndoKind kind) { return HasEntries(record, kind); });
}

std::optional<UndoKind> FirstUndoKind(const UndoRecord& record, const UndoKindOrder& order) {
    for (UndoKind kind : order) {
        if (HasEntries(record, kind)) return kind;
    }
    return std::nullopt;
}

std::string_view UndoKindName(UndoKind kind) {
    switch (kind) {
        case UndoKind::Transfers: return "变更路径";
        case UndoKind::Renames: return "文件改名";
        case UndoKind::AttributeChanges: return "文件属性";
        case UndoKind::TimeChanges: return "文件时间";
        case UndoKind::TagChanges: return "MP3标签";
        case UndoKind::ContentChanges: return "修改内容";
        case UndoKind::Splits: return "文件分割";
        case UndoKind::TitleChanges: return "网页标题";
        case UndoKind::ShortcutChanges: return "快捷方式";
    }
    return {};
}

}  // namespace varnel
