#include "runs/undo_record.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "platform/hash_calculator.h"

namespace varnel {

namespace {

std::expected<PathIdentity, Error> ReadIdentity(int folderFd, const char* path, int flags, PosixApi& os) {
    PathIdentity identity;
    struct statx info {};
    if (os.Statx(folderFd, path, flags, STATX_BASIC_STATS | STATX_BTIME, &info) == 0) {
        identity.device = makedev(info.stx_dev_major, info.stx_dev_minor);
        identity.inode = info.stx_ino;
        identity.size = static_cast<std::int64_t>(info.stx_size);
        identity.modified = {info.stx_mtime.tv_sec, info.stx_mtime.tv_nsec};
        identity.changed = {info.stx_ctime.tv_sec, info.stx_ctime.tv_nsec};
        identity.isFolder = S_ISDIR(info.stx_mode);
        if (info.stx_mask & STATX_BTIME) identity.born = timespec{info.stx_btime.tv_sec, info.stx_btime.tv_nsec};
    } else {
        if (errno == ENOENT || errno == ENOTDIR) return std::unexpected(MakeSystemError(errno, path));
        // A system without statx: everything but the birth time.
        struct stat old {};
        if (os.Fstatat(folderFd, path, &old, flags) != 0) {
            return std::unexpected(MakeSystemError(errno, path));
        }
        identity.device = old.st_dev;
        identity.inode = old.st_ino;
        identity.size = static_cast<std::int64_t>(old.st_size);
        identity.modified = old.st_mtim;
        identity.changed = old.st_ctim;
        identity.isFolder = S_ISDIR(old.st_mode);
    }
    identity.known = true;
    return identity;
}

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

}  // namespace

std::expected<PathIdentity, Error> ReadPathIdentity(const std::string& path, PosixApi& os) {
    return ReadPathIdentityAt(AT_FDCWD, path.c_str(), os);
}

std::expected<PathIdentity, Error> ReadPathIdentityAt(int folderFd, const char* path, PosixApi& os) {
    return ReadIdentity(folderFd, path, AT_SYMLINK_NOFOLLOW, os);
}

std::expected<PathIdentity, Error> ReadObjectIdentity(const std::string& path, PosixApi& os) {
    return ReadIdentity(AT_FDCWD, path.c_str(), 0, os);
}

std::expected<PathIdentity, Error> ReadOpenIdentity(int fd, PosixApi& os) {
    return ReadIdentity(fd, "", AT_EMPTY_PATH, os);
}

bool IsSameObject(const PathIdentity& recorded, const PathIdentity& now) {
    if (!recorded.known || !now.known) return false;
    if (recorded.device != now.device || recorded.inode != now.inode || recorded.isFolder != now.isFolder) {
        return false;
    }
    return !recorded.born || !now.born || SameTime(*recorded.born, *now.born);
}

bool MatchesIdentity(const PathIdentity& recorded, const PathIdentity& now) {
    if (!IsSameObject(recorded, now)) return false;
    if (recorded.isFolder) return true;
    return recorded.size == now.size && SameTime(recorded.modified, now.modified) &&
           SameTime(recorded.changed, now.changed);
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
        case UndoKind::ContentChanges: return !record.contentChanges.empty();
        case UndoKind::Splits: return !record.splits.empty();
        case UndoKind::TitleChanges: return !record.titleChanges.empty();
        case UndoKind::TagChanges:
        case UndoKind::ShortcutChanges: return FamilyEntryCount(record, kind) > 0;
    }
    return false;
}

std::size_t FamilyEntryCount(const UndoRecord& record, UndoKind kind) {
    return static_cast<std::size_t>(
        std::ranges::count_if(record.familyChanges, [kind](const FamilyUndoEntry& e) { return e.Kind() == kind; }));
}

std::string ContentDigest(std::string_view bytes) { return HashCalculator::ComputeSha1(bytes); }

std::expected<std::string, Error> FileContentDigest(const std::string& path, PosixApi& os) {
    HashCalculator hash;
    if (auto read = hash.DigestFile(path, {HashAlgorithm::Sha1}, os); !read) return std::unexpected(read.error());
    auto text = hash.ResultText(HashAlgorithm::Sha1);
    if (!text) return std::unexpected(Error{EIO, "无法计算摘要", path});
    return std::move(*text);
}

WrittenContent WrittenContentOf(std::string_view bytes) {
    return {static_cast<std::int64_t>(bytes.size()), ContentDigest(bytes)};
}

bool HoldsWrittenContent(const std::string& path, const WrittenContent& written, PosixApi& os) {
    struct stat info {};
    if (os.Stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (info.st_size != written.size) return false;
    const auto digest = FileContentDigest(path, os);
    return digest && *digest == written.digest;
}

bool StillHoldsWrittenContent(const ContentEntry& entry, PosixApi& os) {
    return HoldsWrittenContent(entry.path, {entry.writtenSize, entry.writtenDigest}, os);
}

void ReleaseSpooledData(UndoRecord& record) {
    for (ContentEntry& entry : record.contentChanges) entry.originalBytes = {};
    for (SplitEntry& entry : record.splits) entry.sourceBytes = {};
    for (FamilyUndoEntry& entry : record.familyChanges) entry.Release();
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

void RefreshTransferIdentity(UndoRecord& record, const std::string& path, PosixApi& os) {
    if (record.transfers.empty() || record.transfers.back().newPath != path) return;
    if (auto now = ReadPathIdentity(path, os)) record.transfers.back().newIdentity = *now;
}

}  // namespace varnel
