// Shell link files built byte by byte from the published layout, as other programs
// write them: header, item list, LinkInfo, strings and extra data blocks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varnel::lnk_fixtures {

// Little-endian pieces of the published layout.
inline std::string U32(std::uint32_t v) {
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return b;
}
inline std::string U16(std::uint16_t v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
inline std::string Wide(std::string_view ascii) {
    std::string b;
    for (char c : ascii) b += std::string{c, '\0'};
    return b;
}
inline std::string WideCounted(std::string_view ascii) { return U16(static_cast<std::uint16_t>(ascii.size())) + Wide(ascii); }

inline std::string Header(std::uint32_t flags, std::uint32_t showCommand = 1, std::int32_t iconIndex = 0,
                   std::uint16_t hotkey = 0) {
    std::string h = U32(0x4C);
    h += std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
    h += U32(flags);
    h += U32(0x20);                     // attributes: archive
    h += std::string(24, '\x11');       // three file times
    h += U32(12345);                    // target size
    h += U32(static_cast<std::uint32_t>(iconIndex));
    h += U32(showCommand);
    h += U16(hotkey);
    h += std::string(10, '\0');
    return h;
}

// An item list of one root item (My Computer) and a drive item, as the shell lays it out.
inline std::string IdList() {
    std::string items = U16(0x14) + std::string("\x1F\x50\xE0\x4F\xD0\x20\xEA\x3A\x69\x10\xA2\xD8\x08\x00\x2B\x30\x30\x9D", 18);
    items += U16(0x19) + std::string("\x2F" "C:\\", 4) + std::string(19, '\0');
    items += U16(0);
    return U16(static_cast<std::uint16_t>(items.size())) + items;
}

// LinkInfo with a 0x1C header (no Unicode offsets) and a local ANSI base path.
inline std::string LocalLinkInfoAnsi(std::string_view basePath) {
    const std::string volume = U32(0x11) + U32(3) + U32(0xCAFEBABE) + U32(0x10) + std::string(1, '\0');
    const std::uint32_t volumeAt = 0x1C;
    const std::uint32_t baseAt = volumeAt + static_cast<std::uint32_t>(volume.size());
    const std::uint32_t suffixAt = baseAt + static_cast<std::uint32_t>(basePath.size()) + 1;
    const std::uint32_t total = suffixAt + 1;
    return U32(total) + U32(0x1C) + U32(1) + U32(volumeAt) + U32(baseAt) + U32(0) + U32(suffixAt) + volume +
           std::string(basePath) + std::string(1, '\0') + std::string(1, '\0');
}

// LinkInfo of a network target: a CommonNetworkRelativeLink and a path suffix.
inline std::string NetworkLinkInfo(std::string_view netName, std::string_view suffix) {
    const std::string network = U32(0x14 + static_cast<std::uint32_t>(netName.size()) + 1) + U32(2) + U32(0x14) +
                                U32(0) + U32(0x00020000) + std::string(netName) + std::string(1, '\0');
    const std::uint32_t networkAt = 0x1C;
    const std::uint32_t suffixAt = networkAt + static_cast<std::uint32_t>(network.size());
    const std::uint32_t total = suffixAt + static_cast<std::uint32_t>(suffix.size()) + 1;
    return U32(total) + U32(0x1C) + U32(2) + U32(0) + U32(0) + U32(networkAt) + U32(suffixAt) + network +
           std::string(suffix) + std::string(1, '\0');
}

inline std::string Block(std::uint32_t signature, std::string_view data) {
    return U32(static_cast<std::uint32_t>(8 + data.size())) + U32(signature) + std::string(data);
}
inline std::string TrackerBlock() { return Block(0xA0000003, U32(0x58) + U32(0) + std::string(16, 'm') + std::string(64, 'd')); }
inline std::string PropertyStoreBlock() { return Block(0xA0000009, U32(0x20) + std::string("1SPS") + std::string(20, '\x5A')); }
inline std::string UnknownBlock() { return Block(0xA00000FE, "keep these bytes \x01\x02\x03\xFF"); }
inline std::string Terminal() { return U32(0); }

inline constexpr std::uint32_t kIdList = 0x1, kLinkInfo = 0x2, kName = 0x4, kRelative = 0x8, kWorking = 0x10,
                        kArgs = 0x20, kIcon = 0x40, kUnicode = 0x80;

// A shortcut made on Windows: item list before LinkInfo, Unicode strings, three extra blocks.
inline std::string WindowsLink() {
    return Header(kIdList | kLinkInfo | kName | kRelative | kWorking | kArgs | kIcon | kUnicode, 3, 2, 0x0345) +
           IdList() + LocalLinkInfoAnsi("C:\\Windows\\notepad.exe") + WideCounted("Edit text") +
           WideCounted("..\\Windows\\notepad.exe") + WideCounted("C:\\Windows") + WideCounted("/A x.txt") +
           WideCounted("%SystemRoot%\\system32\\shell32.dll") + TrackerBlock() + PropertyStoreBlock() +
           UnknownBlock() + Terminal();
}

}  // namespace varnel::lnk_fixtures
