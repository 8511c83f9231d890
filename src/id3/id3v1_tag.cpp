#include "id3/id3v1_tag.h"

#include <algorithm>
#include <array>

#include "id3/genre_names.h"
#include "id3/id3_text.h"
#include "id3/tag_file.h"

namespace varnel {

namespace {

struct Field {
    std::string Id3v1Tag::*text;
    std::size_t offset;
    std::size_t width;
    const char* label;
};

constexpr Field kTitle{&Id3v1Tag::title, 3, 30, "歌名"};
constexpr Field kArtist{&Id3v1Tag::artist, 33, 30, "歌手"};
constexpr Field kAlbum{&Id3v1Tag::album, 63, 30, "专辑"};
constexpr Field kYear{&Id3v1Tag::year, 93, 4, "年代"};
constexpr std::array<Field, 4> kPlainFields = {kTitle, kArtist, kAlbum, kYear};

// The comment takes 28 bytes when the block holds a track (a zero byte, then the
// track byte: version 1.1), else 30.
constexpr std::size_t kCommentOffset = 97;
constexpr std::size_t kShortComment = 28;
constexpr std::size_t kLongComment = 30;
constexpr std::size_t kMarkerByte = 125;
constexpr std::size_t kTrackByte = 126;
constexpr std::size_t kGenreByte = 127;

constexpr unsigned char kNoGenre = 255;

// A text field's bytes up to its first zero byte.
std::string_view FieldBytes(std::string_view block, std::size_t offset, std::size_t width) {
    const std::string_view bytes = block.substr(offset, width);
    return bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
}

bool HasText(const Id3v1Tag& tag) {
    return std::ranges::any_of(kPlainFields, [&](const Field& field) { return !(tag.*field.text).empty(); }) ||
           !tag.comment.empty();
}

Error DoesNotFit(const char* label, std::size_t width) {
    return Error{Error::kInvalidInput, std::string(label) + "超出 Id3v1 的 " + std::to_string(width) + " 字节", {}};
}

// The bytes a text is stored as: its GBK bytes (ISO-8859-1 for a text GBK cannot
// hold), which must read back as the text and fit `width`.
std::expected<std::string, Error> StoredText(std::string_view text, const char* label, std::size_t width) {
    auto bytes = SingleByteForm(text);
    if (!bytes || DecodeSingleByteText(*bytes) != text) {
        return std::unexpected(Error{Error::kInvalidInput, std::string(label) + "含有 Id3v1 无法保存的字符", {}});
    }
    if (bytes->size() > width) return std::unexpected(DoesNotFit(label, width));
    return std::move(*bytes);
}

std::expected<std::string, Error> BuildBlock(const Id3v1Tag& tag, std::string_view stored) {
    Id3v1Tag old;
    if (!ParseId3v1Block(stored, old)) stored = {};
    std::string block(kId3v1Length, '\0');
    block.replace(0, 3, "TAG");
    // A field the tag leaves as the file has it keeps its bytes there: a text
    // of another single-byte coding, the bytes after a text's end, a genre byte
    // beyond the table.
    for (const Field& field : kPlainFields) {
        if (!stored.empty() && tag.*field.text == old.*field.text) {
            block.replace(field.offset, field.width, stored.substr(field.offset, field.width));
            continue;
        }
        auto bytes = StoredText(tag.*field.text, field.label, field.width);
        if (!bytes) return std::unexpected(bytes.error());
        block.replace(field.offset, bytes->size(), *bytes);
    }
    if (!stored.empty() && tag.comment == old.comment && tag.track == old.track && tag.zeroMarker == old.zeroMarker) {
        block.replace(kCommentOffset, kGenreByte - kCommentOffset, stored.substr(kCommentOffset, kGenreByte - kCommentOffset));
    } else {
        const long track = LeadingWholeNumber(tag.track);
        const auto trackByte = static_cast<char>(track <= 255 ? track : 0);
        // A long comment takes the bytes of the marker and the track: only a
        // tag without them has room for it.
        const bool roomForLong = trackByte == 0 && tag.zeroMarker.empty();
        auto comment = StoredText(tag.comment, "注释", roomForLong ? kLongComment : kShortComment);
        if (!comment) return std::unexpected(comment.error());
        block.replace(kCommentOffset, comment->size(), *comment);
        if (comment->size() <= kShortComment) {
            // The marker is put back as the byte it was read from.
            block[kMarkerByte] = tag.zeroMarker.empty() ? '\0' : tag.zeroMarker[0];
            block[kTrackByte] = trackByte;
        }
    }
    if (!stored.empty() && tag.genre == old.genre) {
        block[kGenreByte] = stored[kGenreByte];
    } else {
        block[kGenreByte] = static_cast<char>(GenreNumberOf(tag.genre).value_or(kNoGenre));
    }
    return block;
}

// The file's ID3v1 block, or nothing when it has none.
std::expected<std::string, Error> StoredBlock(const TagFileReader& file, const TagLayout& layout) {
    if (!layout.hasV1) return std::string();
    return file.ReadAt(layout.fileSize - kId3v1Length, kId3v1Length);
}

bool WriteBlock(const std::string& path, const Id3v1Tag& tag, PosixApi& os) {
    TagFileReader file(path, os);
    auto layout = file.Examine();
    if (!layout) return false;
    auto stored = StoredBlock(file, *layout);
    if (!stored) return false;
    auto block = BuildBlock(tag, *stored);
    if (!block) return false;
    // The block is the file's tail: written over the old one, or appended.
    const std::uint64_t at = layout->fileSize - (layout->hasV1 ? kId3v1Length : 0);
    return WriteTagInPlace(path, *layout, at, *block, true, os).has_value();
}

}  // namespace

bool ParseId3v1Block(std::string_view block, Id3v1Tag& tag) {
    if (block.size() != kId3v1Length || block.substr(0, 3) != "TAG") return false;
    tag.marker = "TAG";
    for (const Field& field : kPlainFields) {
        tag.*field.text = DecodeSingleByteText(FieldBytes(block, field.offset, field.width));
    }
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(block[i]); };
    // A zero byte then a track byte that is not zero: version 1.1, a 28-byte
    // comment and a track. Otherwise the comment may take all 30 bytes.
    const bool withTrack = byte(kMarkerByte) == 0 && byte(kTrackByte) != 0;
    const std::string_view comment = FieldBytes(block, kCommentOffset, withTrack ? kShortComment : kLongComment);
    tag.comment = DecodeSingleByteText(comment);
    const bool endsEarly = comment.size() < kShortComment;
    tag.zeroMarker = endsEarly && byte(kMarkerByte) != 0 ? std::string(1, block[kMarkerByte]) : std::string();
    tag.track = byte(kMarkerByte) == 0 ? std::to_string(byte(kTrackByte)) : std::string();
    tag.genre = byte(kGenreByte) <= kLastGenreNumber ? std::to_string(byte(kGenreByte)) : std::string();
    return true;
}

TagReadResult ReadId3v1Tag(const std::string& path, Id3v1Tag& tag, PosixApi& os) {
    return ReadId3v1Tag(TagFileReader(path, os), tag);
}

TagReadResult ReadId3v1Tag(const TagFileReader& file, Id3v1Tag& tag) {
    if (!file.IsOpen()) return TagReadResult::Unreadable;
    if (file.Size() < kId3v1Length) return TagReadResult::Absent;
    auto block = file.ReadAt(file.Size() - kId3v1Length, kId3v1Length);
    if (!block) return TagReadResult::Unreadable;
    return ParseId3v1Block(*block, tag) ? TagReadResult::Found : TagReadResult::Absent;
}

std::expected<std::string, Error> BuildId3v1Block(const Id3v1Tag& tag, std::string_view stored) {
    return BuildBlock(tag, stored);
}

std::expected<void, Error> CheckId3v1Write(const TagFileReader& file, const Id3v1Tag& tag) {
    if (!HasText(tag)) return std::unexpected(Error{Error::kInvalidInput, "Id3v1 标签的文字项目都为空", file.Path()});
    auto layout = file.Examine();
    if (!layout) return std::unexpected(layout.error());
    auto stored = StoredBlock(file, *layout);
    if (!stored) return std::unexpected(stored.error());
    if (auto block = BuildBlock(tag, *stored); !block) {
        Error error = block.error();
        error.path = file.Path();
        return std::unexpected(std::move(error));
    }
    return {};
}

bool WriteId3v1Tag(const std::string& path, const Id3v1Tag& tag, PosixApi& os) {
    return HasText(tag) && WriteBlock(path, tag, os);
}

bool StoreId3v1Tag(const std::string& path, const Id3v1Tag& tag, PosixApi& os) { return WriteBlock(path, tag, os); }

bool RemoveId3v1Tag(const std::string& path, PosixApi& os) {
    TagFileReader file(path, os);
    auto layout = file.Examine();
    if (!layout) return false;
    if (!layout->hasV1) return true;
    return WriteTagInPlace(path, *layout, layout->fileSize - kId3v1Length, {}, true, os).has_value();
}

std::string FormatId3v1Text(const Id3v1Tag& tag, std::string_view separator) {
    const std::string genre = GenreName(tag.genre);
    return FormatTagEntries({{"歌名", tag.title},
                             {"歌手", tag.artist},
                             {"专辑", tag.album},
                             {"年代", tag.year},
                             {"注释", tag.comment},
                             {"音轨", tag.track},
                             {"流派", genre}},
                            separator);
}

}  // namespace varnel
