// Byte builders for the tag tests: MPEG-like audio, ID3v2 frames and headers of
// each version, and ID3v1 blocks, so each fixture shows its shape in the test.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varnel::testing {

// Audio bytes that begin with an MPEG frame sync, then a pattern with no "ID3" or "TAG".
inline std::string MpegAudio(std::size_t length) {
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(0x10 + (i * 7) % 200);
    if (length >= 2) {
        bytes[0] = '\xFF';
        bytes[1] = '\xFB';
    }
    return bytes;
}

inline std::string BigEndian32(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}
inline std::string Syncsafe32(std::uint32_t value) {
    return {static_cast<char>((value >> 21) & 0x7F), static_cast<char>((value >> 14) & 0x7F),
            static_cast<char>((value >> 7) & 0x7F), static_cast<char>(value & 0x7F)};
}

inline std::string FrameV23(std::string_view id, std::string_view content, std::uint16_t flags = 0) {
    return std::string(id) + BigEndian32(static_cast<std::uint32_t>(content.size())) +
           static_cast<char>(flags >> 8) + static_cast<char>(flags & 0xFF) + std::string(content);
}
inline std::string FrameV24(std::string_view id, std::string_view content, std::uint16_t flags = 0) {
    return std::string(id) + Syncsafe32(static_cast<std::uint32_t>(content.size())) +
           static_cast<char>(flags >> 8) + static_cast<char>(flags & 0xFF) + std::string(content);
}
inline std::string FrameV22(std::string_view id, std::string_view content) {
    const auto n = static_cast<std::uint32_t>(content.size());
    return std::string(id) + static_cast<char>(n >> 16) + static_cast<char>(n >> 8) + static_cast<char>(n) +
           std::string(content);
}

// A tag header and body; `size` defaults to the body's length.
inline std::string TagV2(int version, std::uint8_t flags, std::string_view body, std::int64_t size = -1) {
    const auto declared = static_cast<std::uint32_t>(size < 0 ? static_cast<std::int64_t>(body.size()) : size);
    return std::string("ID3") + static_cast<char>(version) + '\0' + static_cast<char>(flags) + Syncsafe32(declared) +
           std::string(body);
}

// Inserts a zero byte after every FF that is followed by a byte of E0 or more, or by 00, or ends the data.
inline std::string Unsynchronise(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (static_cast<unsigned char>(bytes[i]) == 0xFF &&
            (i + 1 == bytes.size() || static_cast<unsigned char>(bytes[i + 1]) >= 0xE0 || bytes[i + 1] == '\0')) {
            out += '\0';
        }
    }
    return out;
}

inline std::string Id3v1Block(std::string_view title, unsigned char track, unsigned char genre) {
    std::string block(128, '\0');
    block.replace(0, 3, "TAG");
    block.replace(3, title.size(), title);
    block[126] = static_cast<char>(track);
    block[127] = static_cast<char>(genre);
    return block;
}

}  // namespace varnel::testing
