#include "fileops/kept_metadata.h"

#include <cerrno>

#include <fcntl.h>

#include "platform/extended_attributes.h"

namespace varnel {

namespace {

// Refusals that only mean the target's file system cannot hold the value.
bool Unsupported(int error) { return error == EPERM || error == ENOTSUP || error == ENOSYS; }

}  // namespace

std::expected<void, Error> KeepMetadata(const std::string& source, const struct stat& sourceInfo,
                                        const std::string& target, int targetFd, PosixApi& os) {
    const bool link = targetFd < 0;
    auto readTarget = [&](struct stat& out) {
        return link ? os.Lstat(target.c_str(), &out) : os.Fstat(targetFd, &out);
    };
    auto giveOwner = [&](uid_t owner, gid_t group) {
        return link ? os.Fchownat(AT_FDCWD, target.c_str(), owner, group, AT_SYMLINK_NOFOLLOW)
                    : os.Fchown(targetFd, owner, group);
    };
    struct stat now {};
    if (readTarget(now) != 0) return std::unexpected(MakeSystemError(errno, target, "无法访问"));
    if (now.st_uid != sourceInfo.st_uid || now.st_gid != sourceInfo.st_gid) {
        if (giveOwner(sourceInfo.st_uid, sourceInfo.st_gid) != 0) {
            if (!Unsupported(errno) && errno != EINVAL) {
                return std::unexpected(MakeSystemError(errno, target, "无法设置文件所有者"));
            }
            // A normal user may still give the group when they belong to it.
            giveOwner(static_cast<uid_t>(-1), sourceInfo.st_gid);
        }
        if (readTarget(now) != 0) return std::unexpected(MakeSystemError(errno, target, "无法访问"));
    }
    const bool ownerKept = now.st_uid == sourceInfo.st_uid && now.st_gid == sourceInfo.st_gid;

    if (!link) {
        if (auto kept = CopyExtendedAttributes(source, target, os); !kept) return kept;
        mode_t mode = sourceInfo.st_mode & 07777;
        // A set-user or set-group program must not run as someone it was not made for.
        if (!ownerKept) mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
        if (os.Fchmod(targetFd, mode) != 0 && !Unsupported(errno)) {
            return std::unexpected(MakeSystemError(errno, target, "无法设置文件权限"));
        }
    }

    const struct timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
    const int timed = link ? os.Utimensat(AT_FDCWD, target.c_str(), times, AT_SYMLINK_NOFOLLOW)
                           : os.Futimens(targetFd, times);
    if (timed != 0 && !Unsupported(errno)) {
        return std::unexpected(MakeSystemError(errno, target, "无法设置文件时间"));
    }
    return {};
}

}  // namespace varnel
