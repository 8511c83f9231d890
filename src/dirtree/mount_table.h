// The mounted file systems (from /proc/self/mountinfo) and the drives the tree
// shows: "/" first, then the mounts a user would call a disk of their own, picked
// the way GIO picks user-visible mounts (removable media under /media and
// /run/media/$USER, mounts in the home folder, and whatever is marked
// x-gvfs-show). Parsing is pure; reading labels and types looks at
// /dev/disk/by-label and sysfs. Safe on any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/posix_api.h"

namespace varnel {

struct MountEntry {
    std::string mountPoint;  // unescaped, without a trailing "/" (except "/")
    std::string fsType;      // with its subtype: "fuse.sshfs"
    std::string source;      // the device or share: "/dev/sdb1", "server:/export"
    std::string options;     // the per-mount and the super-block options, comma-separated
    unsigned major = 0;
    unsigned minor = 0;
};

// Lines that do not have the mountinfo layout are skipped. "\040" and the other
// octal escapes of the kernel are undone.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// Whose mounts count as the user's own: the home folder and the user name.
struct MountViewer {
    std::string home;
    std::string userName;
    bool isRoot = false;
};

// Kernel pseudo file systems and the system's own places (/proc, /sys, /boot, ...).
bool IsSystemInternalMount(const MountEntry& mount);
bool IsUserVisibleMount(const MountEntry& mount, const MountViewer& viewer);
// Network file systems: listing them may take long, so it is done off the UI thread.
bool IsRemoteFileSystem(std::string_view fsType);

// The mount whose mount point is the longest leading part of the path (at a "/"
// boundary); nullptr when none is.
const MountEntry* FindMountOf(const std::vector<MountEntry>& mounts, std::string_view path);
// Whether `prefix` leads `path` at a "/" boundary ("/a" leads "/a" and "/a/b", not "/a2").
bool IsPathPrefix(std::string_view prefix, std::string_view path);

enum class DriveType { Unknown = 0, NoRoot = 1, Removable = 2, Fixed = 3, Remote = 4, Optical = 5, RamDisk = 6 };
// "未知盘", "未建盘", "移动盘", "固定盘", "远程盘", "光盘", "虚拟盘".
std::string_view DriveTypeWord(DriveType type);
DriveType GuessDriveType(const MountEntry& mount, bool removableDevice);

struct Drive {
    std::string mountPoint;
    std::string label;  // the volume label; "" when it has none
    DriveType type = DriveType::Unknown;
    std::string device;  // the mount's source, for relabelling
    bool remote = false;
};

// The text of a drive's node: its label, else its type word, then " (" mount point ")".
std::string DriveDisplayText(const Drive& drive);

// "/" first (always present), then the user-visible mounts in mount order; a mount
// point mounted over keeps only its last mount.
std::vector<Drive> SelectDrives(const std::vector<MountEntry>& mounts, const MountViewer& viewer,
                                PosixApi& os = SystemPosix());

struct MountSnapshot {
    std::vector<MountEntry> mounts;  // every mount, for finding a path's file system
    std::vector<Drive> drives;
};

// The current mount table of this process and its drives.
MountSnapshot ReadMountSnapshot(PosixApi& os = SystemPosix());

}  // namespace varnel
