#include "dirtree/mount_table.h"

#include <cerrno>
#include <string>

#include <gtest/gtest.h>

namespace varnel {
namespace {

// Keeps the tests away from the machine's own /dev and /sys.
class NoDevicesPosix final : public PosixApi {
public:
    int Open(const char* path, int flags, mode_t mode) override {
        const std::string_view p = path;
        if (p.starts_with("/dev/") || p.starts_with("/sys/")) {
            errno = ENOENT;
            return -1;
        }
        return PosixApi::Open(path, flags, mode);
    }
};

constexpr const char* kMountInfo =
    "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw,errors=remount-ro\n"
    "23 22 0:21 / /proc rw,nosuid shared:12 - proc proc rw\n"
    "24 22 0:22 / /sys rw,nosuid shared:2 - sysfs sysfs rw\n"
    "25 22 0:5 / /dev rw,nosuid shared:3 - devtmpfs udev rw,size=8000k\n"
    "26 22 0:25 / /run/user/1000 rw,nosuid shared:4 - tmpfs tmpfs rw,mode=700\n"
    "27 22 8:17 / /media/ann/My\\040Disk rw,nosuid,nodev shared:5 - vfat /dev/sdb1 rw,fmask=0022\n"
    "28 22 0:40 / /home/ann/remote rw,nosuid shared:6 - fuse.sshfs ann@host:/srv rw,user_id=1000\n"
    "29 22 8:33 / /run/media/ann/CAM rw shared:7 - exfat /dev/sdc1 rw\n"
    "30 22 8:49 / /run/media/bob/STICK rw shared:8 - exfat /dev/sdd1 rw\n"
    "31 22 8:65 / /home/ann/.hidden/inner rw shared:9 - ext4 /dev/sde1 rw\n"
    "32 22 8:81 / /mnt/data rw shared:10 - ext4 /dev/sdf1 rw\n"
    "33 22 0:50 / /media/ann/cgroup rw - cgroup2 cgroup2 rw\n"
    "34 22 8:97 / /media/ann/My\\040Disk rw shared:11 - ext4 /dev/sdg1 rw\n"
    "garbage line without the layout\n"
    "35 22 11:0 / /media/ann/DVD ro shared:12 - iso9660 /dev/sr0 ro\n";

TEST(MountTableTest, ParsesMountInfoAndUndoesEscapes) {
    const auto mounts = ParseMountInfo(kMountInfo);
    ASSERT_EQ(mounts.size(), 14u);
    EXPECT_EQ(mounts[0].mountPoint, "/");
    EXPECT_EQ(mounts[0].fsType, "ext4");
    EXPECT_EQ(mounts[0].source, "/dev/sda1");
    EXPECT_EQ(mounts[0].major, 8u);
    EXPECT_EQ(mounts[0].minor, 1u);
    EXPECT_EQ(mounts[5].mountPoint, "/media/ann/My Disk");
    EXPECT_EQ(mounts[5].fsType, "vfat");
    EXPECT_EQ(mounts[6].fsType, "fuse.sshfs");
    EXPECT_EQ(mounts[6].source, "ann@host:/srv");
    EXPECT_EQ(ParseMountInfo("1 0 8:1 / /a\\011b\\134c\\012 rw - ext4 /dev/x rw\n")[0].mountPoint,
              "/a\tb\\c\n");
}

TEST(MountTableTest, DrivesAreRootThenTheUsersOwnMounts) {
    NoDevicesPosix os;
    const MountViewer ann{"/home/ann", "ann", false};
    const auto drives = SelectDrives(ParseMountInfo(kMountInfo), ann, os);
    std::vector<std::string> points;
    for (const Drive& drive : drives) points.push_back(drive.mountPoint);
    // Pseudo file systems, system places, /mnt, another user's media and a mount in
    // a hidden folder are left out; a mount point mounted over appears once.
    EXPECT_EQ(points, (std::vector<std::string>{"/", "/home/ann/remote", "/run/media/ann/CAM",
                                                "/media/ann/My Disk", "/media/ann/DVD"}));
    EXPECT_EQ(drives[3].device, "/dev/sdg1");
    EXPECT_TRUE(drives[1].remote);
    EXPECT_EQ(drives[1].type, DriveType::Remote);
    EXPECT_EQ(drives[4].type, DriveType::Optical);
    EXPECT_EQ(drives[0].type, DriveType::Fixed);

    const MountViewer root{"/root", "root", true};
    const auto rootDrives = SelectDrives(ParseMountInfo(kMountInfo), root, os);
    EXPECT_EQ(rootDrives.size(), 5u);  // both users' media under /run/media, no home mounts
}

TEST(MountTableTest, RootDriveIsThereEvenWithoutItsMount) {
    NoDevicesPosix os;
    const auto drives = SelectDrives({}, MountViewer{"/home/ann", "ann", false}, os);
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_EQ(drives[0].mountPoint, "/");
}

TEST(MountTableTest, DriveTextIsTheLabelElseTheTypeWord) {
    EXPECT_EQ(DriveDisplayText(Drive{"/", "", DriveType::Fixed, "/dev/sda1", false}), "固定盘 (/)");
    EXPECT_EQ(DriveDisplayText(Drive{"/media/a/X", "照片", DriveType::Removable, "", false}),
              "照片 (/media/a/X)");
    struct Case {
        const char* fsType;
        const char* source;
        bool removable;
        DriveType type;
    };
    for (const Case& c : {Case{"nfs4", "host:/x", false, DriveType::Remote},
                          Case{"udf", "/dev/sr0", false, DriveType::Optical},
                          Case{"tmpfs", "tmpfs", false, DriveType::RamDisk},
                          Case{"vfat", "/dev/sdb1", true, DriveType::Removable},
                          Case{"ext4", "/dev/sda2", false, DriveType::Fixed},
                          Case{"fuse.gocryptfs", "gocryptfs", false, DriveType::Unknown}}) {
        EXPECT_EQ(GuessDriveType(MountEntry{"/m", c.fsType, c.source, "", 0, 0}, c.removable), c.type)
            << c.fsType;
    }
    EXPECT_EQ(DriveTypeWord(DriveType::Removable), "移动盘");
    EXPECT_EQ(DriveTypeWord(DriveType::Remote), "远程盘");
}

TEST(MountTableTest, PathPrefixesStopAtSeparators) {
    EXPECT_TRUE(IsPathPrefix("/home/u/Desktop", "/home/u/Desktop"));
    EXPECT_TRUE(IsPathPrefix("/home/u/Desktop", "/home/u/Desktop/a"));
    EXPECT_FALSE(IsPathPrefix("/home/u/Desktop", "/home/u/Desktop2"));
    EXPECT_TRUE(IsPathPrefix("/", "/anything"));
    EXPECT_FALSE(IsPathPrefix("", "/a"));

    const auto mounts = ParseMountInfo(
        "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "2 1 8:2 / /media/d rw - ext4 /dev/sda2 rw\n"
        "3 2 8:3 / /media/d/inner rw - nfs host:/x rw\n");
    EXPECT_EQ(FindMountOf(mounts, "/media/d/inner/x")->mountPoint, "/media/d/inner");
    EXPECT_EQ(FindMountOf(mounts, "/media/d/innerx")->mountPoint, "/media/d");
    EXPECT_EQ(FindMountOf(mounts, "/etc")->mountPoint, "/");
}

}  // namespace
}  // namespace varnel
