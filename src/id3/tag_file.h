// Where the tags of an MP3 file lie (an ID3v2 tag at its start, an ID3v1 block at
// its end) and the two ways a tag is changed: in place, when the new tag takes the
// room of the old one (or is the ID3v1 block at the end), else the whole file
// rewritten to a temporary file beside it, with the bytes between the tags copied
// unchanged, then renamed over it. Either is done only while the file is still the
// one examined; a missing file is never created. Safe on any thread.
#pragma once

#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>

#include <sys/stat.h>

#include "platform/owned_fd.h"
#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

inline constexpr std::size_t kId3v1Length = 128;
inline constexpr std::size_t kId3v2HeaderLength = 10;

// An ID3v2 header that a reader can trust: "ID3", version 2 to 4, every size byte
// below 0x80. `size` counts the bytes after the header (padding included, footer
// excluded).
struct Id3v2Header {
    int version = 0;
    int revision = 0;
    std::uint8_t flags = 0;
    std::uint32_t size = 0;

    bool HasFooter() const { return version == 4 && (flags & 0x10) != 0; }
    bool Unsynchronised() const { return (flags & 0x80) != 0; }
    bool HasExtendedHeader() const { return (flags & 0x40) != 0; }
    // The header, its frames and padding, and the footer.
    std::uint64_t TotalLength() const { return kId3v2HeaderLength + size + (HasFooter() ? 10u : 0u); }
};

// Nothing when the bytes do not begin a valid header.
std::optional<Id3v2Header> ParseId3v2Header(std::string_view bytes);

// Zero bytes an older writer left after its ID3v2 tag are taken for padding only
// up to this length.
inline constexpr std::size_t kLegacyPaddingLimit = 4096;
// How many of the bytes `after` (read from `offset`, up to kLegacyPaddingLimit + 2 of
// them) are such padding: the zeros that MPEG audio or the file's end follows.
std::uint64_t LegacyPaddingLength(std::string_view after, std::uint64_t offset, std::uint64_t fileSize);

struct TagLayout {
    std::uint64_t fileSize = 0;
    // The ID3v2 tag: its header, when valid; v2Invalid when the file starts with
    // "ID3" but the header cannot be trusted (then no write may touch the file).
    std::optional<Id3v2Header> v2;
    bool v2Invalid = false;
    // Where the bytes after the ID3v2 tag begin: the tag's length, and the zero bytes
    // an older writer left after its tag when MPEG audio or the end follows them.
    std::uint64_t afterV2 = 0;
    bool hasV1 = false;
    // The examined file, so that a rewrite can tell it has not changed since.
    struct stat status {};
};

// An open file for reading tags.
class TagFileReader {
public:
    TagFileReader(const std::string& path, PosixApi& os = SystemPosix());
    TagFileReader(const TagFileReader&) = delete;
    TagFileReader& operator=(const TagFileReader&) = delete;

    // Whether the file is open (a regular file); why not, when it is not.
    bool IsOpen() const { return m_fd.IsOpen(); }
    const Error& OpenError() const { return m_error; }
    const std::string& Path() const { return m_path; }
    const struct stat& Status() const { return m_status; }
    std::uint64_t Size() const { return static_cast<std::uint64_t>(m_status.st_size); }
    // `length` bytes from `offset`; fewer only when the file ends first.
    std::expected<std::string, Error> ReadAt(std::uint64_t offset, std::size_t length) const;
    // Where the tags lie.
    std::expected<TagLayout, Error> Examine() const;

private:
    std::string m_path;
    PosixApi& m_os;
    OwnedFd m_fd;
    Error m_error;
    struct stat m_status {};
};

// Rewrites the examined file as `head`, then its bytes [keepFrom, keepTo), then
// `tail`: through a temporary file renamed over it, or, where the rename would
// not keep the file whole (several names, an owner this user cannot give back, a
// folder this user may not write), in place under the write journal. Fails,
// leaving the file as it was, when the file is read-only ("文件只读"), has
// changed since it was examined, or any step fails.
std::expected<void, Error> RewriteTaggedFile(const std::string& path, const TagLayout& layout, std::string_view head,
                                             std::uint64_t keepFrom, std::uint64_t keepTo, std::string_view tail,
                                             PosixApi& os = SystemPosix());

// Writes `bytes` over the examined file from `offset` where it lies: the same
// inode, so every hard link sees the new tag, and no byte before `offset` or
// after the written ones changes. With `endsFile` the file ends after them (an
// ID3v1 block replaced, appended or, with no bytes, removed). The bytes replaced
// are read first and the write journal holds them before the first byte, so a
// crash is put right at the next start; a write, sync or close that fails puts
// them and the old length back, and the call fails. Fails, touching nothing,
// when the file is read-only ("文件只读") or has changed since it was examined.
// Either the bytes begin the file or `endsFile` holds.
std::expected<void, Error> WriteTagInPlace(const std::string& path, const TagLayout& layout, std::uint64_t offset,
                                           std::string_view bytes, bool endsFile, PosixApi& os = SystemPosix());

}  // namespace varnel
