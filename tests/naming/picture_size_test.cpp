#include "naming/picture_size.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include <gtest/gtest.h>

#include "support/faulty_posix.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

std::string Le16(unsigned v) { return {char(v & 0xFF), char(v >> 8)}; }
std::string Be16(unsigned v) { return {char(v >> 8), char(v & 0xFF)}; }
std::string Le32(std::uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }
std::string Be32(std::uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }
std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
}

std::string Gif(unsigned width, unsigned height) {
    return "GIF89a" + Le16(width) + Le16(height) + Bytes({0xF7, 0, 0}) + std::string(30, '\0');
}

std::string Png(std::uint32_t width, std::uint32_t height) {
    return "\x89PNG\r\n\x1A\n" + Be32(13) + "IHDR" + Be32(width) + Be32(height) +
           Bytes({8, 6, 0, 0, 0}) + Be32(0);
}

std::string Segment(int marker, const std::string& payload) {
    return Bytes({0xFF, marker}) + Be16(static_cast<unsigned>(payload.size() + 2)) + payload;
}

std::string Jpeg(int frameMarker, unsigned width, unsigned height, const std::string& before = {}) {
    const std::string jfif = Segment(0xE0, std::string("JFIF\0", 5) + Bytes({1, 1, 0, 0, 1, 0, 1, 0, 0}));
    const std::string tables = Segment(0xDB, std::string(65, '\x01'));
    const std::string frame =
        Segment(frameMarker, Bytes({8}) + Be16(height) + Be16(width) + Bytes({3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1}));
    return Bytes({0xFF, 0xD8}) + before + jfif + tables + frame +
           Segment(0xDA, std::string(10, '\0')) + std::string(40, '\x55') + Bytes({0xFF, 0xD9});
}

std::string Bmp(std::int32_t width, std::int32_t height) {
    return "BM" + Le32(70) + Le32(0) + Le32(54) + Le32(40) + Le32(static_cast<std::uint32_t>(width)) +
           Le32(static_cast<std::uint32_t>(height)) + Le16(1) + Le16(24) + std::string(24, '\0');
}

TEST(PictureSize, HeadersOfEachFormat) {
    // EXIF data before the frame holds bytes that look like a frame marker.
    const std::string exif = Segment(0xE1, std::string("Exif\0\0", 6) + Bytes({0xFF, 0xC0, 0, 17, 8, 0, 1, 0, 1}) +
                                               std::string(100, '\x20'));
    struct Case { const char* name; std::string bytes; PictureSize size; };
    const Case cases[] = {
        {"gif", Gif(3, 2), {3, 2}},
        {"gif87", "GIF87a" + Le16(300) + Le16(40), {300, 40}},
        {"png", Png(640, 480), {640, 480}},
        {"baseline jpeg", Jpeg(0xC0, 1024, 768), {1024, 768}},
        {"progressive jpeg", Jpeg(0xC2, 33, 44), {33, 44}},
        {"jpeg with exif", Jpeg(0xC0, 4000, 3000, exif), {4000, 3000}},
        {"jpeg with fill bytes", Bytes({0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xC1}) + Be16(8) + Bytes({8}) +
                                     Be16(5) + Be16(6), {6, 5}},
        {"bottom-up bmp", Bmp(16, 9), {16, 9}},
        {"top-down bmp", Bmp(16, -9), {16, 9}},
        {"os2 bmp", "BM" + Le32(40) + Le32(0) + Le32(26) + Le32(12) + Le16(7) + Le16(5) + Le16(1) + Le16(24),
         {7, 5}},
    };
    for (const Case& c : cases) {
        const auto size = ProbePictureSize(c.bytes);
        ASSERT_TRUE(size.has_value()) << c.name;
        EXPECT_EQ(*size, c.size) << c.name;
    }
}

TEST(PictureSize, TruncatedOrOtherDataHasNoSize) {
    // Each picture needs its header up to the last byte of its size, and no more.
    struct Case { std::string bytes; std::size_t needed; };
    const Case cases[] = {{Gif(3, 2), 10}, {Png(640, 480), 24}, {Bmp(4, 4), 26},
                          {Jpeg(0xC0, 10, 10), 98}};
    for (const Case& c : cases) {
        for (std::size_t cut = 0; cut < c.needed; ++cut) {
            EXPECT_FALSE(ProbePictureSize(c.bytes.substr(0, cut)).has_value()) << c.bytes.substr(0, 3) << " " << cut;
        }
        EXPECT_TRUE(ProbePictureSize(c.bytes.substr(0, c.needed)).has_value()) << c.bytes.substr(0, 3);
    }
    EXPECT_FALSE(ProbePictureSize("plain text, not a picture").has_value());
    EXPECT_FALSE(ProbePictureSize(Bytes({0xFF, 0xD8, 0xFF, 0xDA, 0, 2, 0xFF, 0xD9})).has_value());
    EXPECT_FALSE(ProbePictureSize(Bmp(-3, 4)).has_value());
    // A segment length below two would not move on.
    EXPECT_FALSE(ProbePictureSize(Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 1, 0, 0})).has_value());
}

TEST(PictureSize, JpegScanIsBufferedAndBounded) {
    // Fill bytes without end: the scan reads through a window and gives up after
    // 16 MiB instead of reading byte by byte to the end of the file.
    constexpr std::uint64_t kLimit = 16u << 20;
    int reads = 0;
    std::uint64_t furthest = 0;
    const auto endlessFill = [&](std::uint64_t offset, char* buffer, std::size_t size)
        -> std::expected<std::size_t, Error> {
        ++reads;
        if (offset >= (std::uint64_t{64} << 20)) return 0;
        furthest = std::max(furthest, offset + size);
        for (std::size_t i = 0; i < size; ++i) buffer[i] = static_cast<char>(offset + i < 2 ? "\xFF\xD8"[offset + i] : 0xFF);
        return size;
    };
    const auto probe = ProbePictureSize(PictureReader(endlessFill));
    ASSERT_TRUE(probe);
    EXPECT_FALSE(probe->has_value());
    EXPECT_LE(reads, 300);
    EXPECT_LE(furthest, kLimit + (64u << 10));

    // A frame marker just inside the bound is found, one just beyond it is not.
    const std::string frame = Bytes({0xC0}) + Be16(8) + Bytes({8}) + Be16(5) + Be16(6);
    const std::string inside = Bytes({0xFF, 0xD8}) + std::string(kLimit - 100, '\xFF') + frame;
    EXPECT_EQ(ProbePictureSize(inside), (PictureSize{6, 5}));
    const std::string beyond = Bytes({0xFF, 0xD8}) + std::string(kLimit + 10, '\xFF') + frame;
    EXPECT_FALSE(ProbePictureSize(beyond).has_value());
    // Segments that jump past a window boundary are read where they land.
    std::string segments = Bytes({0xFF, 0xD8});
    for (int i = 0; i < 40; ++i) segments += Segment(0xE2, std::string(60000, static_cast<char>(i)));
    EXPECT_EQ(ProbePictureSize(segments + Bytes({0xFF}) + frame), (PictureSize{6, 5}));
}

TEST(PictureSize, ReadsThroughADescriptorWithoutMovingIt) {
    testing::TempDir dir;
    dir.Write("p.jpg", Jpeg(0xC2, 120, 90));
    const int fd = ::open((dir / "p.jpg").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::lseek(fd, 7, SEEK_SET), 7);
    auto size = ProbePictureSize(fd);
    ASSERT_TRUE(size);
    EXPECT_EQ(**size, (PictureSize{120, 90}));
    EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), 7);

    testing::FaultyPosix faulty;
    faulty.Fail(testing::FaultyPosix::Call::Pread, EIO);
    auto failed = ProbePictureSize(fd, faulty);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().code, EIO);
    ::close(fd);
}

}  // namespace
}  // namespace varnel
