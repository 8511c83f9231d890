#include "id3/id3v1_tag.h"

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
};

constexpr std::array<Field, 5> kFields = {{
    {&Id3v1Tag::title, 3, 30},
    {&Id3v1Tag::artist, 33, 30},
    {&Id3v1Tag::album, 63, 30},
    {&Id3v1Tag::year, 93, 4},
    {&Id3v1Tag::comment, 97, 28},
}};

constexpr unsigned char kNoGenre = 255;

bool HasText(const Id3v1Tag& tag) {
    for (const Field& field : kFields) {
        if (!(tag.*field.text).empty()) return true;
    }
    return false;
}

bool WriteBlock(const std::string& path, const Id3v1Tag& tag, PosixApi& os) {
    TagFileReader file(path, os);
    auto layout = file.Examine();
    if (!layout) return false;
    // The block is the file's tail: written over the old one, or appended.
    const std::uint64_t at = layout->fileSize - (layout->hasV1 ? kId3v1Length : 0);
    return WriteTagInPlace(path, *layout, at, BuildId3v1Block(tag), true, os).has_value();
}

}  // namespace

bool ParseId3v1Block(std::string_view block, Id3v1Tag& tag) {
    if (block.size() != kId3v1Length || block.substr(0, 3) != "TAG") return false;
    tag.marker = "TAG";
    for (const Field& field : kFields) {
        std::string_view bytes = block.substr(field.offset, field.width);
        bytes = bytes.substr(0, std::min(bytes.find('\0'), bytes.size()));
        tag.*field.text = DecodeSingleByteText(bytes);
    }
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(block[i]); };
    tag.zeroMarker = byte(125) == 0 ? std::string() : std::string(1, block[125]);
    tag.track = std::to_string(byte(126));
    tag.genre = byte(127) <= kLastGenreNumber ? std::to_string(byte(127)) : std::string();
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

std::string BuildId3v1Block(const Id3v1Tag& tag) {
    std::string block(kId3v1Length, '\0');
    block.replace(0, 3, "TAG");
    for (const Field& field : kFields) {
        const std::string bytes = EncodeGbkFitting(tag.*field.text, field.width);
        block.replace(field.offset, bytes.size(), bytes);
    }
    // The marker is put back as the byte it was read from.
    block[125] = tag.zeroMarker.empty() ? '\0' : tag.zeroMarker[0];
    const long track = LeadingWholeNumber(tag.track);
    block[126] = static_cast<char>(track <= 255 ? track : 0);
    block[127] = static_cast<char>(GenreNumberOf(tag.genre).value_or(kNoGenre));
    return block;
}

bool FitId3v1Fields(Id3v1Tag& tag) {
    bool cut = false;
    for (const Field& field : kFields) {
        std::string& text = tag.*field.text;
        if (text.empty()) continue;
        std::string fitted = DecodeSingleByteText(EncodeGbkFitting(text, field.width));
        if (fitted == text) continue;
        text = std::move(fitted);
        cut = true;
    }
    return cut;
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
