#include "naming/picture_size.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/retry_on_eintr.h"

namespace varnel {

namespace {

using Probe = std::expected<std::optional<PictureSize>, Error>;

std::uint32_t Le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
std::uint32_t Be16(const unsigned char* p) { return (p[0] << 8) | p[1]; }
std::uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint32_t Be32(const unsigned char* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

bool IsStartOfFrame(unsigned char marker) {
    // C4 (Huffman tables), C8 (reserved) and CC (arithmetic conditioning) are not frames.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool HasNoLength(unsigned char marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
}

// The JPEG scan walks from marker to marker through a window of the file, so that
// fill bytes and short segments cost no read each.
constexpr std::size_t kJpegWindow = 64 * 1024;
// Where the scan gives up. The frame header of a real JPEG follows the APP segments
// (EXIF, ICC profile, XMP), which lie in the first few hundred kilobytes; 16 MiB
// leaves room for pictures that carry large extended XMP data (depth maps) before
// the frame, and bounds what a damaged or hostile file costs: 256 window reads.
constexpr std::uint64_t kJpegScanLimit = 16u << 20;

class WindowedReader {
public:
    explicit WindowedReader(const PictureReader& read) : m_read(read), m_buffer(kJpegWindow) {}

    // Exactly `size` bytes (at most the window) at `offset`, or false when the data
    // ends before.
    std::expected<bool, Error> Get(std::uint64_t offset, unsigned char* out, std::size_t size) {
        if (!m_loaded || offset < m_start || offset + size > m_start + m_size) {
            auto got = m_read(offset, reinterpret_cast<char*>(m_buffer.data()), m_buffer.size());
            if (!got) return std::unexpected(got.error());
            m_start = offset;
            m_size = *got;
            m_loaded = true;
        }
        if (offset + size > m_start + m_size) return false;
        std::memcpy(out, m_buffer.data() + (offset - m_start), size);
        return true;
    }

    // The offset of the first byte other than FF at or after `offset` and before
    // `limit`; nothing when the data or the limit comes first.
    std::expected<std::optional<std::uint64_t>, Error> SkipFill(std::uint64_t offset, std::uint64_t limit) {
        while (offset < limit) {
            unsigned char first = 0;
            auto ok = Get(offset, &first, 1);  // loads the window that holds offset
            if (!ok) return std::unexpected(ok.error());
            if (!*ok) return std::nullopt;
            const unsigned char* begin = m_buffer.data() + (offset - m_start);
            const unsigned char* end = m_buffer.data() + m_size;
            const unsigned char* other = std::find_if(begin, end, [](unsigned char b) { return b != 0xFF; });
            offset += static_cast<std::uint64_t>(other - begin);
            if (other != end) return offset < limit ? std::optional(offset) : std::nullopt;
        }
        return std::nullopt;
    }

private:
    const PictureReader& m_read;
    std::vector<unsigned char> m_buffer;
    std::uint64_t m_start = 0;
    std::size_t m_size = 0;
    bool m_loaded = false;
};

Probe ProbeJpeg(const PictureReader& read) {
    WindowedReader window(read);
    std::uint64_t pos = 2;  // after FF D8
    while (pos < kJpegScanLimit) {
        unsigned char byte[1] = {0};
        auto ok = window.Get(pos, byte, 1);
        if (!ok) return std::unexpected(ok.error());
        if (!*ok || byte[0] != 0xFF) return std::nullopt;
        // Any number of FF fill bytes may stand before the marker code.
        auto found = window.SkipFill(pos + 1, kJpegScanLimit);
        if (!found) return std::unexpected(found.error());
        if (!*found) return std::nullopt;
        pos = **found;
        unsigned char marker = 0;
        ok = window.Get(pos, &marker, 1);
        if (!ok) return std::unexpected(ok.error());
        ++pos;
        if (HasNoLength(marker)) continue;
        // The image data follows the scan header; a frame header comes before it.
        if (marker == 0xD9 || marker == 0xDA || marker == 0x00) return std::nullopt;
        unsigned char segment[7];
        ok = window.Get(pos, segment, IsStartOfFrame(marker) ? 7 : 2);
        if (!ok) return std::unexpected(ok.error());
        if (!*ok) return std::nullopt;
        const std::uint32_t length = Be16(segment);
        if (length < 2) return std::nullopt;
        if (IsStartOfFrame(marker)) {
            if (length < 7) return std::nullopt;
            return PictureSize{Be16(segment + 5), Be16(segment + 3)};
        }
        pos += length;
    }
    return std::nullopt;
}

Probe ProbeBmp(const unsigned char* header, std::size_t got) {
    if (got < 26) return std::nullopt;
    const std::uint32_t infoSize = Le32(header + 14);
    if (infoSize == 12) return PictureSize{Le16(header + 18), Le16(header + 20)};
    if (infoSize < 16) return std::nullopt;
    const auto width = static_cast<std::int32_t>(Le32(header + 18));
    const auto height = static_cast<std::int32_t>(Le32(header + 22));
    // A negative height is a picture stored top row first.
    if (width < 0) return std::nullopt;
    return PictureSize{static_cast<std::uint32_t>(width),
                       static_cast<std::uint32_t>(std::llabs(static_cast<long long>(height)))};
}

}  // namespace

Probe ProbePictureSize(const PictureReader& read) {
    std::array<unsigned char, 26> header{};
    auto got = read(0, reinterpret_cast<char*>(header.data()), header.size());
    if (!got) return std::unexpected(got.error());
    const std::size_t size = *got;
    const unsigned char* h = header.data();
    if (size >= 10 && (std::memcmp(h, "GIF87a", 6) == 0 || std::memcmp(h, "GIF89a", 6) == 0)) {
        return PictureSize{Le16(h + 6), Le16(h + 8)};
    }
    if (size >= 24 && std::memcmp(h, "\x89PNG\r\n\x1A\n", 8) == 0 &&
        std::memcmp(h + 12, "IHDR", 4) == 0) {
        return PictureSize{Be32(h + 16), Be32(h + 20)};
    }
    if (size >= 2 && h[0] == 'B' && h[1] == 'M') return ProbeBmp(h, size);
    if (size >= 3 && h[0] == 0xFF && h[1] == 0xD8 && h[2] == 0xFF) return ProbeJpeg(read);
    return std::nullopt;
}

std::optional<PictureSize> ProbePictureSize(std::string_view bytes) {
    auto probe = ProbePictureSize(
        [bytes](std::uint64_t offset, char* buffer, std::size_t size) -> std::expected<std::size_t, Error> {
            if (offset >= bytes.size()) return 0;
            return bytes.copy(buffer, size, static_cast<std::size_t>(offset));
        });
    return probe ? *probe : std::nullopt;
}

std::expected<std::optional<PictureSize>, Error> ProbePictureSize(int fd, PosixApi& os) {
    return ProbePictureSize(
        [fd, &os](std::uint64_t offset, char* buffer, std::size_t size) -> std::expected<std::size_t, Error> {
            std::size_t total = 0;
            while (total < size) {
                const ssize_t n = RetryOnEintr(
                    [&] { return os.Pread(fd, buffer + total, size - total, static_cast<off_t>(offset + total)); });
                if (n < 0) return std::unexpected(MakeSystemError(errno, {}, "读取失败"));
                if (n == 0) break;
                total += static_cast<std::size_t>(n);
            }
            return total;
        });
}

}  // namespace varnel
