#include "dirtree/folder_listing.h"

#include <algorithm>
#include <memory>

#include <fcntl.h>
#include <unicode/ucol.h>

#include "platform/owned_fd.h"

namespace varnel {

namespace {

std::string ChildPath(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (path.empty() || path.back() != '/') path += '/';
    path += name;
    return path;
}

// Reads the folder's entries, calling `onFolder` with each subfolder until it
// returns false.
template <typename OnFolder>
void ForEachSubfolder(const std::string& folder, PosixApi& os, OnFolder onFolder) {
    OwnedFd fd(os.Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0), os);
    if (!fd.IsOpen()) return;
    DIR* dir = os.Fdopendir(fd.Get());
    if (dir == nullptr) return;
    fd.Release();  // the listing owns it now
    while (const dirent* entry = os.Readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        bool isFolder = entry->d_type == DT_DIR;
        bool isLink = entry->d_type == DT_LNK;
        if (entry->d_type == DT_UNKNOWN || isLink) {
            struct stat info {};
            if (entry->d_type == DT_UNKNOWN &&
                os.Fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
                isLink = S_ISLNK(info.st_mode);
                isFolder = S_ISDIR(info.st_mode);
            }
            if (isLink) isFolder = os.Fstatat(::dirfd(dir), entry->d_name, &info, 0) == 0 &&
                                   S_ISDIR(info.st_mode);
        }
        if (isFolder && !onFolder(name, isLink)) break;
    }
    os.Closedir(dir);
}

struct CollatorCloser {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};

}  // namespace

bool IsOnRemoteMount(const std::vector<MountEntry>& mounts, std::string_view path) {
    const MountEntry* mount = FindMountOf(mounts, path);
    return mount != nullptr && IsRemoteFileSystem(mount->fsType);
}

bool HasSubfolder(const std::string& folder, PosixApi& os) {
    bool found = false;
    ForEachSubfolder(folder, os, [&found](std::string_view, bool) {
        found = true;
        return false;
    });
    return found;
}

void SortNamesForDisplay(std::vector<SubfolderEntry>& entries, const char* locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCollator, CollatorCloser> collator(ucol_open(locale, &status));
    auto less = [&](const SubfolderEntry& a, const SubfolderEntry& b) {
        if (collator) {
            UErrorCode compareStatus = U_ZERO_ERROR;
            const UCollationResult order = ucol_strcollUTF8(
                collator.get(), a.name.data(), static_cast<int32_t>(a.name.size()), b.name.data(),
                static_cast<int32_t>(b.name.size()), &compareStatus);
            if (U_SUCCESS(compareStatus) && order != UCOL_EQUAL) return order == UCOL_LESS;
        }
        return a.name < b.name;
    };
    if (U_FAILURE(status)) collator.reset();
    std::sort(entries.begin(), entries.end(), less);
}

std::vector<SubfolderEntry> ListSubfolders(const std::string& folder,
                                           const std::vector<MountEntry>& mounts, PosixApi& os) {
    std::vector<SubfolderEntry> entries;
    ForEachSubfolder(folder, os, [&entries](std::string_view name, bool isLink) {
        entries.push_back(SubfolderEntry{std::string(name), isLink, false});
        return true;
    });
    for (SubfolderEntry& entry : entries) {
        const std::string path = ChildPath(folder, entry.name);
        entry.hasSubfolders = IsOnRemoteMount(mounts, path) || HasSubfolder(path, os);
    }
    SortNamesForDisplay(entries);
    return entries;
}

}  // namespace varnel
