#include "platform/delete_tree.h"

#include <cerrno>
#include <utility>
#include <vector>

#include <fcntl.h>

#include "platform/owned_fd.h"

namespace varnel {

namespace {

constexpr const char* kDeleteFailed = "删除失败";

// Empties the open folder `fd` (on device `device`), then closes it.
std::expected<void, Error> EmptyFolder(OwnedFd fd, dev_t device, const std::string& folder,
                                       PosixApi& os) {
    DIR* dir = os.Fdopendir(fd.Get());
    if (dir == nullptr) return std::unexpected(MakeSystemError(errno, folder, kDeleteFailed));
    fd.Release();  // the listing owns it now
    // The names are read first: removing entries while reading may skip some.
    std::vector<std::string> names;
    while (const dirent* entry = os.Readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    const int dirFd = ::dirfd(dir);
    std::expected<void, Error> result;
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        struct stat info {};
        if (os.Fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            result = std::unexpected(MakeSystemError(errno, path, kDeleteFailed));
            break;
        }
        if (S_ISDIR(info.st_mode)) {
            if (info.st_dev != device) {
                result = std::unexpected(MakeSystemError(EXDEV, path, kDeleteFailed));
                break;
            }
            OwnedFd child(os.Openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0), os);
            if (!child.IsOpen()) {
                result = std::unexpected(MakeSystemError(errno, path, kDeleteFailed));
                break;
            }
            result = EmptyFolder(std::move(child), device, path, os);
            if (!result) break;
            if (os.Unlinkat(dirFd, name.c_str(), AT_REMOVEDIR) != 0) {
                result = std::unexpected(MakeSystemError(errno, path, kDeleteFailed));
                break;
            }
        } else if (os.Unlinkat(dirFd, name.c_str(), 0) != 0) {
            result = std::unexpected(MakeSystemError(errno, path, kDeleteFailed));
            break;
        }
    }
    os.Closedir(dir);
    return result;
}

}  // namespace

std::expected<void, Error> DeletePathTree(const std::string& path, PosixApi& os) {
    struct stat info {};
    if (os.Lstat(path.c_str(), &info) != 0) {
        return std::unexpected(MakeSystemError(errno, path, kDeleteFailed));
    }
    if (!S_ISDIR(info.st_mode)) {
        if (os.Unlink(path.c_str()) != 0) {
            return std::unexpected(MakeSystemError(errno, path, kDeleteFailed));
        }
        return {};
    }
    OwnedFd fd(os.Open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC, 0), os);
    if (!fd.IsOpen()) return std::unexpected(MakeSystemError(errno, path, kDeleteFailed));
    if (auto emptied = EmptyFolder(std::move(fd), info.st_dev, path, os); !emptied) return emptied;
    if (os.Unlinkat(AT_FDCWD, path.c_str(), AT_REMOVEDIR) != 0) {
        return std::unexpected(MakeSystemError(errno, path, kDeleteFailed));
    }
    return {};
}

}  // namespace varnel
