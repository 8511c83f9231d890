#include "dirtree/mount_table.h"

#include <algorithm>
#include <array>
#include <charconv>

#include <fcntl.h>
#include <pwd.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "platform/file_io.h"
#include "platform/owned_fd.h"
#include "platform/xdg_paths.h"

namespace varnel {

namespace {

constexpr std::array<std::string_view, 31> kPseudoFileSystems = {
    "auto",      "autofs",    "binfmt_misc", "bpf",       "cgroup",     "cgroup2",  "configfs",
    "debugfs",   "devfs",     "devpts",      "devtmpfs",  "ecryptfs",   "efivarfs", "fdescfs",
    "fusectl",   "hugetlbfs", "mqueue",      "nfsd",      "nsfs",       "proc",     "procfs",
    "pstore",    "rootfs",    "rpc_pipefs",  "securityfs", "selinuxfs", "sysfs",    "tmpfs",
    "tracefs",   "usbfs",     "ramfs",
};

constexpr std::array<std::string_view, 20> kSystemPlaces = {
    "/",     "/bin",  "/boot", "/dev",  "/efi", "/etc",  "/home", "/lib",  "/lib64", "/media",
    "/mnt",  "/opt",  "/proc", "/root", "/run", "/sbin", "/srv",  "/sys",  "/tmp",   "/usr",
};
constexpr std::array<std::string_view, 3> kSystemPrefixes = {"/dev/", "/proc/", "/sys/"};

constexpr std::array<std::string_view, 20> kRemoteFileSystems = {
    "9p",          "afs",         "ceph",          "cifs",          "coda",
    "davfs",       "fuse.davfs2", "fuse.glusterfs", "fuse.gvfsd-fuse", "fuse.rclone",
    "fuse.s3fs",   "fuse.sshfs",  "fuse.curlftpfs", "glusterfs",     "lustre",
    "ncpfs",       "nfs",         "nfs4",          "smb3",          "smbfs",
};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& list, std::string_view item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

std::string Unescape(std::string_view field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            int value = 0;
            bool octal = true;
            for (std::size_t k = 1; k <= 3; ++k) {
                const char c = field[i + k];
                if (c < '0' || c > '7') {
                    octal = false;
                    break;
                }
                value = value * 8 + (c - '0');
            }
            if (octal && value < 256) {
                text += static_cast<char>(value);
                i += 3;
                continue;
            }
        }
        text += field[i];
    }
    return text;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && line[pos] == ' ') ++pos;
        if (pos >= line.size()) break;
        const std::size_t end = std::min(line.find(' ', pos), line.size());
        fields.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    return fields;
}

bool ParseDevice(std::string_view field, unsigned& major, unsigned& minor) {
    const std::size_t colon = field.find(':');
    if (colon == std::string_view::npos) return false;
    const char* first = field.data();
    const auto a = std::from_chars(first, first + colon, major);
    const auto b = std::from_chars(first + colon + 1, first + field.size(), minor);
    return a.ec == std::errc() && b.ec == std::errc();
}

// udev writes unsafe characters of a label as "\xHH".
std::string DecodeUdevName(std::string_view name) {
    std::string text;
    for (std::size_t i = 0; i < name.size(); ++i) {
        unsigned value = 0;
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
            std::from_chars(name.data() + i + 2, name.data() + i + 4, value, 16).ptr ==
                name.data() + i + 4) {
            text += static_cast<char>(value);
            i += 3;
        } else {
            text += name[i];
        }
    }
    return text;
}

std::string LabelOfDevice(unsigned major, unsigned minor, PosixApi& os) {
    const char* folder = "/dev/disk/by-label";
    OwnedFd fd(os.Open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0), os);
    if (!fd.IsOpen()) return {};
    DIR* dir = os.Fdopendir(fd.Get());
    if (dir == nullptr) return {};
    fd.Release();  // the listing owns it now
    std::string label;
    while (const dirent* entry = os.Readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat info {};
        if (os.Fstatat(::dirfd(dir), entry->d_name, &info, 0) == 0 && S_ISBLK(info.st_mode) &&
            ::major(info.st_rdev) == major && ::minor(info.st_rdev) == minor) {
            label = DecodeUdevName(name);
            break;
        }
    }
    os.Closedir(dir);
    return label;
}

bool IsRemovableDevice(unsigned major, unsigned minor, PosixApi& os) {
    const std::string base =
        "/sys/dev/block/" + std::to_string(major) + ":" + std::to_string(minor);
    // A partition has no flag of its own; its disk, one level up, has it.
    for (const std::string& file : {base + "/removable", base + "/../removable"}) {
        if (auto text = ReadWholeFile(file, os)) return text->starts_with('1');
    }
    return false;
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    std::vector<MountEntry> mounts;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        const std::vector<std::string_view> fields = SplitFields(line);
        const auto dash = std::find(fields.begin(), fields.end(), "-");
        if (fields.size() < 10 || dash - fields.begin() < 6 || fields.end() - dash < 4) continue;
        MountEntry mount;
        if (!ParseDevice(fields[2], mount.major, mount.minor)) continue;
        mount.mountPoint = Unescape(fields[4]);
        if (mount.mountPoint.empty() || mount.mountPoint[0] != '/') continue;
        while (mount.mountPoint.size() > 1 && mount.mountPoint.back() == '/') {
            mount.mountPoint.pop_back();
        }
        mount.fsType = Unescape(dash[1]);
        mount.source = Unescape(dash[2]);
        mount.options = Unescape(fields[5]) + "," + Unescape(dash[3]);
        mounts.push_back(std::move(mount));
    }
    return mounts;
}

bool IsSystemInternalMount(const MountEntry& mount) {
    if (Contains(kPseudoFileSystems, mount.fsType)) return true;
    const std::string_view place = mount.mountPoint;
    if (Contains(kSystemPlaces, place)) return true;
    for (std::string_view prefix : kSystemPrefixes) {
        if (place.starts_with(prefix)) return true;
    }
    return place.ends_with("/.gvfs");
}

bool IsUserVisibleMount(const MountEntry& mount, const MountViewer& viewer) {
    if (IsSystemInternalMount(mount)) return false;
    const std::string_view place = mount.mountPoint;
    // A mount inside a hidden folder was meant to stay out of sight.
    if (place.find("/.") != std::string_view::npos) return false;
    if (place.starts_with("/media/")) return true;
    constexpr std::string_view kRunMedia = "/run/media/";
    if (place.starts_with(kRunMedia)) {
        if (viewer.isRoot) return true;
        const std::string_view rest = place.substr(kRunMedia.size());
        return !viewer.userName.empty() && rest.starts_with(viewer.userName) &&
               rest.size() > viewer.userName.size() && rest[viewer.userName.size()] == '/';
    }
    return !viewer.home.empty() && viewer.home != "/" && place.starts_with(viewer.home) &&
           place.size() > viewer.home.size() && place[viewer.home.size()] == '/';
}

bool IsRemoteFileSystem(std::string_view fsType) { return Contains(kRemoteFileSystems, fsType); }

bool IsPathPrefix(std::string_view prefix, std::string_view path) {
    if (prefix.empty() || !path.starts_with(prefix)) return false;
    return prefix == "/" || path.size() == prefix.size() || path[prefix.size()] == '/';
}

const MountEntry* FindMountOf(const std::vector<MountEntry>& mounts, std::string_view path) {
    const MountEntry* best = nullptr;
    // Later entries are mounted over earlier ones at the same place.
    for (const MountEntry& mount : mounts) {
        if (IsPathPrefix(mount.mountPoint, path) &&
            (best == nullptr || mount.mountPoint.size() >= best->mountPoint.size())) {
            best = &mount;
        }
    }
    return best;
}

std::string_view DriveTypeWord(DriveType type) {
    switch (type) {
    case DriveType::NoRoot: return "未建盘";
    case DriveType::Removable: return "移动盘";
    case DriveType::Fixed: return "固定盘";
    case DriveType::Remote: return "远程盘";
    case DriveType::Optical: return "光盘";
    case DriveType::RamDisk: return "虚拟盘";
    case DriveType::Unknown: break;
    }
    return "未知盘";
}

DriveType GuessDriveType(const MountEntry& mount, bool removableDevice) {
    if (IsRemoteFileSystem(mount.fsType)) return DriveType::Remote;
    if (mount.fsType == "iso9660" || mount.fsType == "udf") return DriveType::Optical;
    if (mount.fsType == "tmpfs" || mount.fsType == "ramfs") return DriveType::RamDisk;
    if (!mount.source.starts_with("/dev/")) return DriveType::Unknown;
    return removableDevice ? DriveType::Removable : DriveType::Fixed;
}

std::string DriveDisplayText(const Drive& drive) {
    const std::string shown =
        drive.label.empty() ? std::string(DriveTypeWord(drive.type)) : drive.label;
    return shown + " (" + drive.mountPoint + ")";
}

std::vector<Drive> SelectDrives(const std::vector<MountEntry>& mounts, const MountViewer& viewer,
                                PosixApi& os) {
    std::vector<const MountEntry*> picked;
    const MountEntry* root = nullptr;
    for (const MountEntry& mount : mounts) {
        if (mount.mountPoint == "/") {
            root = &mount;
            continue;
        }
        if (!IsUserVisibleMount(mount, viewer)) continue;
        std::erase_if(picked, [&](const MountEntry* p) { return p->mountPoint == mount.mountPoint; });
        picked.push_back(&mount);
    }
    auto makeDrive = [&os](const MountEntry& mount) {
        Drive drive;
        drive.mountPoint = mount.mountPoint;
        drive.device = mount.source;
        drive.remote = IsRemoteFileSystem(mount.fsType);
        const bool blockDevice = mount.source.starts_with("/dev/") && mount.major != 0;
        if (blockDevice) drive.label = LabelOfDevice(mount.major, mount.minor, os);
        drive.type = GuessDriveType(
            mount, blockDevice && IsRemovableDevice(mount.major, mount.minor, os));
        return drive;
    };
    std::vector<Drive> drives;
    if (root != nullptr) {
        drives.push_back(makeDrive(*root));
    } else {
        drives.push_back(Drive{"/", "", DriveType::Fixed, "", false});
    }
    for (const MountEntry* mount : picked) drives.push_back(makeDrive(*mount));
    return drives;
}

MountSnapshot ReadMountSnapshot(PosixApi& os) {
    MountSnapshot snapshot;
    if (auto text = ReadWholeFile("/proc/self/mountinfo", os)) {
        snapshot.mounts = ParseMountInfo(*text);
    }
    MountViewer viewer;
    viewer.home = HomeFolder();
    viewer.isRoot = ::getuid() == 0;
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_name) {
        viewer.userName = entry->pw_name;
    }
    snapshot.drives = SelectDrives(snapshot.mounts, viewer, os);
    return snapshot;
}

}  // namespace varnel
