#include "filetasks/shortcut_file.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstring>
#include <optional>
#include <vector>

#include <sys/stat.h>

#include "filetasks/content_text.h"
#include "platform/file_io.h"
#include "settings/ini_document.h"
#include "utilities/char_forms.h"
#include "utilities/codec.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr std::array<unsigned char, 16> kLinkClsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                      0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// A file larger than this is not taken for a shortcut (they are a few KiB).
constexpr off_t kMaxLinkFileSize = 1 << 20;

constexpr std::uint32_t kHasIdList = 0x1;
constexpr std::uint32_t kHasLinkInfo = 0x2;
constexpr std::uint32_t kHasName = 0x4;  // the five string flags follow in StringData order
constexpr std::uint32_t kIsUnicode = 0x80;
constexpr std::uint32_t kForceNoLinkInfo = 0x100;
constexpr std::uint32_t kHasExpString = 0x200;
constexpr std::uint32_t kHasDarwinId = 0x1000;
constexpr std::uint32_t kHasExpIcon = 0x4000;
constexpr std::uint32_t kKeepLocalIdListForUncTarget = 0x4000000;

constexpr std::uint32_t kEnvironmentBlock = 0xA0000001;
constexpr std::uint32_t kTrackerBlock = 0xA0000003;
constexpr std::uint32_t kSpecialFolderBlock = 0xA0000005;
constexpr std::uint32_t kDarwinBlock = 0xA0000006;
constexpr std::uint32_t kIconEnvironmentBlock = 0xA0000007;
constexpr std::uint32_t kKnownFolderBlock = 0xA000000B;
constexpr std::uint32_t kVistaIdListBlock = 0xA000000C;

// Header offsets.
constexpr std::size_t kFlagsAt = 20;
constexpr std::size_t kAttributesAt = 24;
constexpr std::size_t kFileSizeAt = 52;
constexpr std::size_t kIconIndexAt = 56;
constexpr std::size_t kShowCommandAt = 60;
constexpr std::size_t kHotkeyAt = 64;

enum StringSlot { kDescription, kRelativePath, kWorkingDir, kArguments, kIconPath, kStringCount };

std::uint32_t U32(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint16_t U16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}

void PutU32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void AppendU32(std::string& b, std::uint32_t v) {
    b.append(4, '\0');
    PutU32(b, b.size() - 4, v);
}

void AppendU16(std::string& b, std::uint16_t v) {
    b.push_back(static_cast<char>(v & 0xFF));
    b.push_back(static_cast<char>(v >> 8));
}

std::string DecodeUtf16(std::string_view bytes) {
    auto text = DecodeFromCodec(bytes, "UTF-16LE", CodecMode::Lenient);
    return text ? *text : std::string();
}

// Strings stored in the system code page: files made here hold UTF-8, files made
// on Windows hold GBK.
std::string DecodeAnsi(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    auto text = DecodeFromCodec(bytes, kCodecGbk, CodecMode::Lenient);
    return text ? *text : std::string();
}

// A NUL-terminated string inside `area` from `at`; nothing when it runs past the end.
std::optional<std::string> AnsiZ(std::string_view area, std::size_t at) {
    if (at >= area.size()) return std::nullopt;
    const std::size_t end = area.find('\0', at);
    if (end == std::string_view::npos) return std::nullopt;
    return DecodeAnsi(area.substr(at, end - at));
}

std::optional<std::string> Utf16Z(std::string_view area, std::size_t at) {
    for (std::size_t i = at; i + 1 < area.size(); i += 2) {
        if (area[i] == '\0' && area[i + 1] == '\0') return DecodeUtf16(area.substr(at, i - at));
    }
    return std::nullopt;
}

// One .lnk file taken apart into the pieces a property change treats differently.
struct LinkFile {
    std::string header;    // the 76 header bytes
    std::string idList;    // LinkTargetIDList with its size field; "" when absent
    std::string linkInfo;  // LinkInfo as stored; "" when absent
    std::array<std::optional<std::string>, kStringCount> strings;
    std::vector<std::string> blocks;  // extra data blocks, each whole
    std::string tail;                 // whatever follows the terminal block

    std::uint32_t Flags() const { return U32(header, kFlagsAt); }
    void SetFlags(std::uint32_t flags) { PutU32(header, kFlagsAt, flags); }
};

std::optional<LinkFile> ParseLink(std::string_view b) {
    if (b.size() < kHeaderSize || U32(b, 0) != kHeaderSize ||
        std::memcmp(b.data() + 4, kLinkClsid.data(), kLinkClsid.size()) != 0) {
        return std::nullopt;
    }
    LinkFile link;
    link.header = std::string(b.substr(0, kHeaderSize));
    const std::uint32_t flags = link.Flags();
    std::size_t pos = kHeaderSize;
    if (flags & kHasIdList) {
        if (pos + 2 > b.size()) return std::nullopt;
        const std::size_t size = 2 + static_cast<std::size_t>(U16(b, pos));
        if (pos + size > b.size()) return std::nullopt;
        link.idList = std::string(b.substr(pos, size));
        pos += size;
    }
    if (flags & kHasLinkInfo) {
        if (pos + 4 > b.size()) return std::nullopt;
        const std::size_t size = U32(b, pos);
        if (size < 0x1C || pos + size > b.size()) return std::nullopt;
        link.linkInfo = std::string(b.substr(pos, size));
        pos += size;
    }
    const bool unicode = (flags & kIsUnicode) != 0;
    for (int i = 0; i < kStringCount; ++i) {
        if (!(flags & (kHasName << i))) continue;
        if (pos + 2 > b.size()) return std::nullopt;
        const std::size_t count = U16(b, pos);
        pos += 2;
        const std::size_t bytes = unicode ? 2 * count : count;
        if (pos + bytes > b.size()) return std::nullopt;
        link.strings[i] = unicode ? DecodeUtf16(b.substr(pos, bytes)) : DecodeAnsi(b.substr(pos, bytes));
        pos += bytes;
    }
    while (pos + 4 <= b.size()) {
        const std::size_t size = U32(b, pos);
        if (size < 4) {
            link.tail = std::string(b.substr(pos + 4));
            return link;
        }
        if (size < 8 || pos + size > b.size()) return std::nullopt;
        link.blocks.emplace_back(b.substr(pos, size));
        pos += size;
    }
    // Some writers end the file without a terminal block.
    return link;
}

const std::string* FindBlock(const LinkFile& link, std::uint32_t signature) {
    for (const std::string& block : link.blocks) {
        if (U32(block, 4) == signature) return &block;
    }
    return nullptr;
}

std::string TargetFromLinkInfo(std::string_view info) {
    const std::uint32_t headerSize = U32(info, 4);
    const std::uint32_t infoFlags = U32(info, 8);
    const bool hasUnicode = headerSize >= 0x24 && info.size() >= 0x24;
    std::optional<std::string> suffix = hasUnicode && U32(info, 32) != 0 ? Utf16Z(info, U32(info, 32))
                                                                          : AnsiZ(info, U32(info, 24));
    const std::string tail = suffix.value_or("");
    if (infoFlags & 0x1) {
        std::optional<std::string> base = hasUnicode && U32(info, 28) != 0 ? Utf16Z(info, U32(info, 28))
                                                                            : AnsiZ(info, U32(info, 16));
        if (base && !base->empty()) return *base + tail;
    }
    if (infoFlags & 0x2) {
        const std::size_t at = U32(info, 20);
        if (at + 0x14 > info.size()) return {};
        const std::string_view network = info.substr(at);
        const std::uint32_t netNameOffset = U32(network, 8);
        std::optional<std::string> name = netNameOffset > 0x14 && network.size() >= 0x1C
                                              ? Utf16Z(network, U32(network, 20))
                                              : AnsiZ(network, netNameOffset);
        if (name && !name->empty()) return tail.empty() ? *name : *name + "\\" + tail;
    }
    return {};
}

std::string LinkTarget(const LinkFile& link) {
    if (!link.linkInfo.empty() && !(link.Flags() & kForceNoLinkInfo)) {
        std::string target = TargetFromLinkInfo(link.linkInfo);
        if (!target.empty()) return target;
    }
    // Without a usable LinkInfo the environment block may name the target.
    if (const std::string* block = FindBlock(link, kEnvironmentBlock); block && block->size() >= 8 + 260 + 520) {
        const std::string_view data(*block);
        if (auto wide = Utf16Z(data.substr(8 + 260, 520), 0); wide && !wide->empty()) return *wide;
        if (auto narrow = AnsiZ(data.substr(8, 260), 0); narrow) return *narrow;
    }
    return {};
}

// Key names of the hot key's low byte, as the shell spells them.
std::string HotkeyKeyName(unsigned key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
    if (key >= 0x70 && key <= 0x87) return "F" + std::to_string(key - 0x70 + 1);
    if (key == 0x90) return "NumLock";
    if (key == 0x91) return "ScrollLock";
    return {};
}

std::string FormatHotkey(std::uint16_t value) {
    const std::string key = HotkeyKeyName(value & 0xFF);
    if (key.empty()) return {};
    const unsigned modifiers = value >> 8;
    std::string text;
    if (modifiers & 4) text += "Alt+";
    if (modifiers & 2) text += "Ctrl+";
    if (modifiers & 1) text += "Shift+";
    return text + key;
}

std::optional<std::uint16_t> ParseHotkey(std::string_view text) {
    if (text.empty()) return 0;
    unsigned modifiers = 0;
    std::string_view rest = text;
    for (std::size_t plus; (plus = rest.find('+')) != std::string_view::npos; rest.remove_prefix(plus + 1)) {
        const std::string word = ToLowerAscii(rest.substr(0, plus));
        if (word == "alt") modifiers |= 4;
        else if (word == "ctrl" || word == "control") modifiers |= 2;
        else if (word == "shift") modifiers |= 1;
        else return std::nullopt;
    }
    const std::string key = ToUpperAscii(rest);
    for (unsigned code = 1; code < 0x100; ++code) {
        if (ToUpperAscii(HotkeyKeyName(code)) == key && !key.empty()) {
            return static_cast<std::uint16_t>(modifiers << 8 | code);
        }
    }
    return std::nullopt;
}

// "path,index": the text after the last comma is the index when it is a number.
std::pair<std::string, std::int32_t> SplitIconLocation(std::string_view location) {
    const std::size_t comma = location.rfind(',');
    if (comma != std::string_view::npos) {
        std::string_view number = location.substr(comma + 1);
        while (!number.empty() && number.front() == ' ') number.remove_prefix(1);
        std::int32_t index = 0;
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), index);
        if (ec == std::errc() && end == number.data() + number.size() && !number.empty()) {
            return {std::string(location.substr(0, comma)), index};
        }
    }
    return {std::string(location), 0};
}

std::expected<std::string, Error> EncodeUtf16(std::string_view text) { return EncodeToCodec(text, "UTF-16LE"); }

// LinkInfo for a local path: a fixed-disk volume without label, the base path in
// the system code page where GBK holds it (else empty) and always in UTF-16.
std::expected<std::string, Error> BuildLinkInfo(std::string_view target) {
    auto wide = EncodeUtf16(target);
    if (!wide) return std::unexpected(wide.error());
    auto gbk = EncodeToCodec(target, kCodecGbk);
    const std::string ansi = gbk ? *gbk : std::string();
    constexpr std::uint32_t headerSize = 0x24;
    const std::string volume = [] {
        std::string v;
        AppendU32(v, 0x11);  // size
        AppendU32(v, 3);     // fixed disk
        AppendU32(v, 0);     // serial number
        AppendU32(v, 0x10);  // label offset
        v.push_back('\0');   // empty label
        return v;
    }();
    const std::uint32_t volumeAt = headerSize;
    const std::uint32_t baseAt = volumeAt + static_cast<std::uint32_t>(volume.size());
    const std::uint32_t suffixAt = baseAt + static_cast<std::uint32_t>(ansi.size()) + 1;
    const std::uint32_t wideBaseAt = suffixAt + 1;
    const std::uint32_t wideSuffixAt = wideBaseAt + static_cast<std::uint32_t>(wide->size()) + 2;
    const std::uint32_t total = wideSuffixAt + 2;
    std::string info;
    for (std::uint32_t v : {total, headerSize, 1u, volumeAt, baseAt, 0u, suffixAt, wideBaseAt, wideSuffixAt}) {
        AppendU32(info, v);
    }
    info += volume;
    info += ansi;
    info.push_back('\0');
    info.push_back('\0');  // empty common path suffix
    info += *wide;
    info.append(2, '\0');
    info.append(2, '\0');
    return info;
}

LinkFile NewLink() {
    LinkFile link;
    link.header.assign(kHeaderSize, '\0');
    PutU32(link.header, 0, kHeaderSize);
    std::memcpy(link.header.data() + 4, kLinkClsid.data(), kLinkClsid.size());
    PutU32(link.header, kShowCommandAt, 1);
    return link;
}

bool IsTargetBlock(std::uint32_t signature) {
    return signature == kEnvironmentBlock || signature == kTrackerBlock || signature == kSpecialFolderBlock ||
           signature == kDarwinBlock || signature == kKnownFolderBlock || signature == kVistaIdListBlock;
}

std::expected<void, Error> SetTarget(LinkFile& link, const std::string& target) {
    std::uint32_t flags = link.Flags() & ~(kHasIdList | kHasExpString | kHasDarwinId | kForceNoLinkInfo |
                                           kKeepLocalIdListForUncTarget);
    link.idList.clear();
    link.linkInfo.clear();
    std::erase_if(link.blocks, [](const std::string& block) { return IsTargetBlock(U32(block, 4)); });
    if (!target.empty()) {
        auto info = BuildLinkInfo(target);
        if (!info) return std::unexpected(info.error());
        link.linkInfo = std::move(*info);
    }
    flags = link.linkInfo.empty() ? flags & ~kHasLinkInfo : flags | kHasLinkInfo;
    link.SetFlags(flags);
    // Attributes and size describe the old target.
    PutU32(link.header, kAttributesAt, 0);
    PutU32(link.header, kFileSizeAt, 0);
    return {};
}

// The file with every string in UTF-16; strings absent or empty are left out.
std::expected<std::string, Error> SerializeLink(LinkFile link) {
    std::uint32_t flags = link.Flags() | kIsUnicode;
    flags = link.idList.empty() ? flags & ~kHasIdList : flags | kHasIdList;
    std::string strings;
    for (int i = 0; i < kStringCount; ++i) {
        const std::uint32_t bit = kHasName << i;
        if (!link.strings[i] || link.strings[i]->empty()) {
            flags &= ~bit;
            continue;
        }
        auto wide = EncodeUtf16(*link.strings[i]);
        if (!wide) return std::unexpected(wide.error());
        if (wide->size() / 2 > 0xFFFF) return std::unexpected(Error{Error::kInvalidInput, "文本过长", {}});
        flags |= bit;
        AppendU16(strings, static_cast<std::uint16_t>(wide->size() / 2));
        strings += *wide;
    }
    link.SetFlags(flags);
    std::string out = link.header + link.idList + link.linkInfo + strings;
    for (const std::string& block : link.blocks) out += block;
    AppendU32(out, 0);
    out += link.tail;
    return out;
}

std::optional<LinkFile> ReadLink(const std::string& path, PosixApi& os) {
    auto bytes = ReadShortcutFileBytes(path, os);
    if (!bytes) return std::nullopt;
    return ParseLink(*bytes);
}

bool IsUrlPath(std::string_view path) {
    return path.size() >= 4 && ToLowerAscii(path.substr(path.size() - 4)) == ".url";
}

std::string TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return std::string(text);
}

bool IsWindowsFormPath(std::string_view path) {
    return (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') ||
           path.starts_with("\\\\") || path.starts_with('%');
}

// Writes a shortcut's new bytes: a new file is made without replacing anything;
// an existing one is replaced as every content change is (in place under the
// write journal where a rename would not keep it whole), never when read-only.
bool WriteShortcutBytes(const std::string& path, bool exists, std::string_view bytes, PosixApi& os) {
    if (!exists) return WriteNewFileAtomically(path, bytes, os).has_value();
    struct stat info {};
    if (os.Stat(path.c_str(), &info) != 0 || !CheckWritable(path, info, os)) return false;
    const auto old = ReadShortcutFileBytes(path, os);
    return old && ReplaceFileContent(path, bytes, *old, os).has_value();
}

// An Internet shortcut's new URL, written in the encoding the file had (GBK, UTF-8,
// ...) and with its line ends: other programs read these files in their own
// terms. A URL that encoding cannot hold, or a file that is no text, is not written.
bool WriteUrlFile(const std::string& path, const std::string& url, PosixApi& os) {
    if (url.find_first_of("\r\n") != std::string::npos) return false;
    DecodedText old;
    const bool exists = PathExists(path, os);
    if (exists) {
        auto bytes = ReadShortcutFileBytes(path, os);
        if (!bytes) return false;
        auto decoded = DecodeFileText(*bytes);
        if (!decoded) return false;
        old = std::move(*decoded);
    }
    IniDocument document = IniDocument::Parse(old.text);
    document.Set("InternetShortcut", "URL", url);
    std::string text = document.Serialize();
    const std::size_t firstEnd = old.text.find('\n');
    if (firstEnd != std::string::npos && firstEnd > 0 && old.text[firstEnd - 1] == '\r') {
        std::string crlf;
        crlf.reserve(text.size() + text.size() / 16);
        for (const char c : text) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        text = std::move(crlf);
    }
    const auto out = EncodeFileText(text, old.encoding);
    if (!out) return false;
    return WriteShortcutBytes(path, exists, *out, os);
}

}  // namespace

std::optional<std::string> ReadShortcutFileBytes(const std::string& path, PosixApi& os) {
    struct stat info {};
    if (os.Stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxLinkFileSize) {
        return std::nullopt;
    }
    // Read to the limit and no further: a file grown since the look is no shortcut.
    auto bytes = ReadFileHead(path, static_cast<std::size_t>(kMaxLinkFileSize) + 1, os);
    if (!bytes || bytes->size() > static_cast<std::size_t>(kMaxLinkFileSize)) return std::nullopt;
    return std::move(*bytes);
}

std::string AdjustShortcutPathForProperties(std::string_view path) {
    const std::string lower = path.size() >= 4 ? ToLowerAscii(path.substr(path.size() - 4)) : std::string();
    if (lower == ".lnk" || lower == ".url") return std::string(path);
    return std::string(path) + ".lnk";
}

std::string AdjustShortcutPathForLink(std::string_view path) {
    std::string adjusted = TrimBlanks(path);
    const std::size_t slash = adjusted.rfind('/');
    const std::size_t dot = adjusted.rfind('.');
    if (slash != std::string::npos && (dot == std::string::npos || slash > dot)) adjusted += ".lnk";
    return adjusted;
}

std::string GetShortcutTarget(std::string path, PosixApi& os) {
    path = AdjustShortcutPathForLink(path);
    auto link = ReadLink(path, os);
    return link ? LinkTarget(*link) : std::string();
}

std::string GetInternetShortcutUrl(const std::string& path, PosixApi& os) {
    auto bytes = ReadShortcutFileBytes(path, os);
    if (!bytes) return {};
    return IniDocument::Parse(DecodeTextFile(*bytes)).Get("InternetShortcut", "URL").value_or("");
}

bool ReadShortcutProperties(std::string& path, ShortcutProperties& properties, PosixApi& os) {
    path = AdjustShortcutPathForProperties(path);
    if (IsUrlPath(path)) {
        properties.targetPath = GetInternetShortcutUrl(path, os);
        if (properties.targetPath.empty()) return false;
        properties.fullName = path;
        return true;
    }
    auto link = ReadLink(path, os);
    if (!link) return false;
    properties.targetPath = LinkTarget(*link);
    if (properties.targetPath.empty()) return false;
    properties.workingDirectory = link->strings[kWorkingDir].value_or("");
    properties.relativePath = link->strings[kRelativePath].value_or("");
    properties.iconLocation = link->strings[kIconPath].value_or("") + "," +
                              std::to_string(static_cast<std::int32_t>(U32(link->header, kIconIndexAt)));
    properties.windowStyle = static_cast<std::int32_t>(U32(link->header, kShowCommandAt));
    properties.description = link->strings[kDescription].value_or("");
    properties.arguments = link->strings[kArguments].value_or("");
    properties.hotkey = FormatHotkey(U16(link->header, kHotkeyAt));
    properties.fullName = path;
    return true;
}

bool WriteShortcutProperties(std::string& path, const ShortcutProperties& p, PosixApi& os) {
    path = AdjustShortcutPathForProperties(path);
    if (IsUrlPath(path)) return WriteUrlFile(path, p.targetPath, os);
    const bool exists = PathExists(path, os);
    LinkFile link = NewLink();
    std::string oldTarget;
    bool fresh = true;
    if (exists) {
        auto read = ReadLink(path, os);
        if (!read) return false;
        link = std::move(*read);
        oldTarget = LinkTarget(link);
        fresh = false;
    }
    if (fresh || p.targetPath != oldTarget) {
        if (!SetTarget(link, p.targetPath)) return false;
    }
    link.strings[kWorkingDir] = p.workingDirectory;
    link.strings[kRelativePath] = p.relativePath;
    const std::string iconLocation = p.iconLocation.empty() ? p.targetPath + ",0" : p.iconLocation;
    const std::string oldIcon = link.strings[kIconPath].value_or("") + "," +
                                std::to_string(static_cast<std::int32_t>(U32(link.header, kIconIndexAt)));
    if (iconLocation != oldIcon) {
        // The environment form of the icon would win over the new one.
        std::erase_if(link.blocks, [](const std::string& block) { return U32(block, 4) == kIconEnvironmentBlock; });
        link.SetFlags(link.Flags() & ~kHasExpIcon);
    }
    const auto [iconPath, iconIndex] = SplitIconLocation(iconLocation);
    link.strings[kIconPath] = iconPath;
    PutU32(link.header, kIconIndexAt, static_cast<std::uint32_t>(iconIndex));
    // 0 would hide the window; the shell shows such a link normally.
    PutU32(link.header, kShowCommandAt, static_cast<std::uint32_t>(p.windowStyle == 0 ? 1 : p.windowStyle));
    link.strings[kDescription] = p.description;
    link.strings[kArguments] = p.arguments;
    if (p.hotkey != FormatHotkey(U16(link.header, kHotkeyAt))) {
        const auto hotkey = ParseHotkey(p.hotkey);
        if (hotkey) {
            link.header[kHotkeyAt] = static_cast<char>(*hotkey & 0xFF);
            link.header[kHotkeyAt + 1] = static_cast<char>(*hotkey >> 8);
        }
    }
    auto bytes = SerializeLink(std::move(link));
    if (!bytes) return false;
    return WriteShortcutBytes(path, exists, *bytes, os);
}

bool CreateLnkShortcut(std::string linkPath, const std::string& target, const std::string* description,
                       const std::string* arguments, const std::string* workingFolder, PosixApi& os) {
    linkPath = AdjustShortcutPathForLink(linkPath);
    LinkFile link = NewLink();
    if (!SetTarget(link, target)) return false;
    if (description) link.strings[kDescription] = *description;
    if (arguments) link.strings[kArguments] = *arguments;
    if (workingFolder) link.strings[kWorkingDir] = *workingFolder;
    auto bytes = SerializeLink(std::move(link));
    return bytes && WriteNewFileAtomically(linkPath, *bytes, os).has_value();
}

std::optional<bool> ShortcutTargetExists(std::string_view path, PosixApi& os) {
    auto link = ReadLink(std::string(path), os);
    if (!link) return std::nullopt;
    const std::string target = LinkTarget(*link);
    if (target.empty()) return std::nullopt;
    if (IsWindowsFormPath(target) || !target.starts_with('/')) return true;
    struct stat info {};
    return os.Stat(target.c_str(), &info) == 0;
}

}  // namespace varnel
