#include "platform/dos_attributes.h"

#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "support/faulty_posix.h"
#include "support/temp_dir.h"
#include "utilities/attribute_names.h"

namespace varnel {
namespace {

using testing::FaultyPosix;
using testing::TempDir;

std::string StoredText(const std::string& path) {
    char buffer[64];
    const ssize_t size = ::getxattr(path.c_str(), "user.DOSATTRIB", buffer, sizeof buffer);
    return size < 0 ? std::string("(none)") : std::string(buffer, static_cast<std::size_t>(size));
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

// Skips the test where the temporary folder cannot hold user extended attributes.
bool TempHoldsExtendedAttributes(const TempDir& dir) {
    dir.Write("probe", "");
    const bool holds = ::setxattr((dir / "probe").c_str(), "user.probe", "1", 1, 0) == 0;
    std::filesystem::remove(dir / "probe");
    return holds;
}

TEST(DosAttributes, SetAndReadBack) {
    TempDir dir;
    if (!TempHoldsExtendedAttributes(dir)) GTEST_SKIP() << "no user extended attributes here";
    struct Case { std::uint32_t set; std::uint32_t read; const char* stored; bool readOnly; };
    const Case cases[] = {
        {0x01, 0x01, "(none)", true},
        {0x02, 0x02, "0x2", false},
        {0x04, 0x04, "0x4", false},
        {0x20, 0x20, "0x20", false},
        {0x27, 0x27, "0x26", true},
        {0x00, 0x80, "(none)", false},
        {0x80 | 0x10 | 0x02, 0x02, "0x2", false},  // normal and directory bits are ignored
    };
    dir.Write("a.txt", "x");
    const std::string path = dir / "a.txt";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        ::chmod(path.c_str(), 0664);
        ASSERT_TRUE(SetAttributesOfFile(path, c.set));
        EXPECT_EQ(GetAttributesOfFile(path), c.read);
        EXPECT_EQ(StoredText(path), c.stored);
        // Read-only takes every write bit away.
        EXPECT_EQ(ModeOf(path), c.readOnly ? 0444u : 0664u);
    }
    // Clearing it gives the owner's back, and only the owner's.
    ::chmod(path.c_str(), 0444);
    ASSERT_TRUE(SetAttributesOfFile(path, 0));
    EXPECT_EQ(ModeOf(path), 0644u);
}

TEST(DosAttributes, FolderKeepsItsBitAndReadOnlyInTheStoredWord) {
    TempDir dir;
    if (!TempHoldsExtendedAttributes(dir)) GTEST_SKIP() << "no user extended attributes here";
    std::filesystem::create_directory(dir / "sub");
    const std::string path = dir / "sub";
    ::chmod(path.c_str(), 0755);
    EXPECT_EQ(GetAttributesOfFile(path), kAttributeDirectory);
    ASSERT_TRUE(SetAttributesOfFile(path, kAttributeReadOnly | kAttributeHidden));
    EXPECT_EQ(GetAttributesOfFile(path), 0x13u);
    EXPECT_EQ(FormatAttributeNames(*GetAttributesOfFile(path)), "只读,隐藏,目录");
    EXPECT_EQ(ModeOf(path), 0755u);  // a folder stays writable
    EXPECT_EQ(StoredText(path), "0x3");
}

TEST(DosAttributes, LeadingDotIsHidden) {
    TempDir dir;
    if (!TempHoldsExtendedAttributes(dir)) GTEST_SKIP() << "no user extended attributes here";
    dir.Write(".profile", "x");
    const std::string path = dir / ".profile";
    EXPECT_EQ(GetAttributesOfFile(path), kAttributeHidden);
    EXPECT_TRUE(SetAttributesOfFile(path, kAttributeHidden));
    const auto refused = SetAttributesOfFile(path, kAttributeReadOnly);
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().path, path);
    EXPECT_EQ(ModeOf(path) & 0200, 0200u);  // nothing changed
}

TEST(DosAttributes, StoredWordsOfOtherWriters) {
    TempDir dir;
    if (!TempHoldsExtendedAttributes(dir)) GTEST_SKIP() << "no user extended attributes here";
    struct Case { std::string raw; std::uint32_t read; };
    const Case cases[] = {
        {"0x22", 0x22},
        {std::string("0x24\0", 5), 0x24},  // with its terminating NUL
        {"0X2", 0x02},
        {"0x11", 0x80},                     // read-only and directory never come from a file's word
        {"0x", 0x80},
        {"22", 0x80},
        {std::string("\x03\x00\x03\x00\x22", 5), 0x80},  // a binary form we do not read
        {std::string(300, 'x'), 0x80},      // longer than the first read
    };
    dir.Write("a.txt", "x");
    const std::string path = dir / "a.txt";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw);
        ASSERT_EQ(::setxattr(path.c_str(), "user.DOSATTRIB", c.raw.data(), c.raw.size(), 0), 0);
        EXPECT_EQ(GetAttributesOfFile(path), c.read);
    }
}

// A file system without extended attributes.
class NoExtendedAttributes : public PosixApi {
public:
    ssize_t Getxattr(const char*, const char*, void*, size_t) override { return Refuse(); }
    int Setxattr(const char*, const char*, const void*, size_t, int) override { return Refuse(); }
    int Removexattr(const char*, const char*) override { return Refuse(); }

private:
    static int Refuse() {
        errno = ENOTSUP;
        return -1;
    }
};

TEST(DosAttributes, FileSystemWithoutExtendedAttributesFailsTheStoredBits) {
    TempDir dir;
    dir.Write("a.txt", "x");
    const std::string path = dir / "a.txt";
    ::chmod(path.c_str(), 0644);
    NoExtendedAttributes os;
    EXPECT_EQ(GetAttributesOfFile(path, os), kAttributeNormal);
    for (const std::uint32_t bits : {kAttributeHidden, kAttributeSystem | kAttributeReadOnly,
                                     kAttributeArchive}) {
        SCOPED_TRACE(bits);
        const auto result = SetAttributesOfFile(path, bits, os);
        ASSERT_FALSE(result.has_value());
        EXPECT_EQ(result.error().code, ENOTSUP);
        EXPECT_EQ(ModeOf(path), 0644u);  // read-only was not set either
    }
    ASSERT_TRUE(SetAttributesOfFile(path, kAttributeReadOnly, os));
    EXPECT_EQ(GetAttributesOfFile(path, os), kAttributeReadOnly);
    ASSERT_TRUE(SetAttributesOfFile(path, 0, os));
    EXPECT_EQ(GetAttributesOfFile(path, os), kAttributeNormal);
}

TEST(DosAttributes, FailedModeChangePutsTheStoredWordBack) {
    TempDir dir;
    if (!TempHoldsExtendedAttributes(dir)) GTEST_SKIP() << "no user extended attributes here";
    dir.Write("a.txt", "x");
    const std::string path = dir / "a.txt";
    ::chmod(path.c_str(), 0644);
    ASSERT_TRUE(SetAttributesOfFile(path, kAttributeArchive));
    FaultyPosix os;
    os.Fail(FaultyPosix::Call::Chmod, EPERM);
    const auto result = SetAttributesOfFile(path, kAttributeReadOnly | kAttributeHidden, os);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().code, EPERM);
    EXPECT_EQ(StoredText(path), "0x20");
    EXPECT_EQ(ModeOf(path), 0644u);
}

TEST(DosAttributes, MissingPathIsAnError) {
    TempDir dir;
    const auto read = GetAttributesOfFile(dir / "missing");
    ASSERT_FALSE(read.has_value());
    EXPECT_EQ(read.error().code, ENOENT);
    EXPECT_EQ(SetAttributesOfFile(dir / "missing", 0).error().code, ENOENT);
}

}  // namespace
}  // namespace varnel
