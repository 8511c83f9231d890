#include "id3/id3v2_tag.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "id3/genre_names.h"
#include "id3/id3_text.h"
#include "id3/id3v2_frames.h"
#include "id3/tag_file.h"
#include "utilities/number_text.h"

namespace varnel {

namespace {

constexpr std::size_t kWrittenPadding = 126;
// A syncsafe size holds 28 bits.
constexpr std::uint64_t kMaxTagSize = std::uint64_t{1} << 28;
constexpr const char* kCommentLanguage = "chi";

// The text fields carried by plain text frames.
struct TextField {
    const char* id;
    std::string Id3v2Tag::*field;
};
constexpr std::array<TextField, 9> kTextFields = {{
    {"TIT2", &Id3v2Tag::title},
    {"TPE1", &Id3v2Tag::artist},
    {"TOPE", &Id3v2Tag::originalArtist},
    {"TCOM", &Id3v2Tag::composer},
    {"TALB", &Id3v2Tag::album},
    {"TRCK", &Id3v2Tag::track},
    {"TCOP", &Id3v2Tag::copyright},
    {"TENC", &Id3v2Tag::encodedBy},
    {"TCON", &Id3v2Tag::genre},
}};

// The frames FillTag reads.
bool CarriesFieldId(std::string_view id) {
    if (id == "TYER" || id == "TDRC" || id == "COMM" || id == "USLT" || id == "WXXX") return true;
    return std::ranges::any_of(kTextFields, [id](const TextField& text) { return id == text.id; });
}

// The genre of a TCON text: "(17)", "(17)Rock" and "17" give "17"; a name of the
// genre table gives its number ("Rock" gives "17"); any other text is kept as it
// is. One pass over the text, however long it is.
std::string GenreOfTcon(std::string_view text) {
    std::string_view number = text;
    if (number.starts_with('(')) number.remove_prefix(1);
    if (!number.empty() && number[0] >= '0' && number[0] <= '9') return std::to_string(LeadingWholeNumber(number));
    if (const auto named = GenreNumberOfName(text)) return std::to_string(*named);
    return std::string(text);
}

const Id3Frame* FirstFrame(const std::vector<Id3Frame>& frames, std::string_view id) {
    for (const Id3Frame& frame : frames) {
        if (frame.id == id && !frame.IsOpaque()) return &frame;
    }
    return nullptr;
}

// The text of the first such frame without a description, else of the first one.
template <typename Decode>
std::optional<std::string> DescribedFrameText(const std::vector<Id3Frame>& frames, std::string_view id, Decode decode) {
    std::optional<std::string> first;
    for (const Id3Frame& frame : frames) {
        if (frame.id != id || frame.IsOpaque()) continue;
        const auto decoded = decode(frame.content);
        if (!decoded) continue;
        if (decoded->description.empty()) return decoded->text;
        if (!first) first = decoded->text;
    }
    return first;
}

void FillTag(const std::vector<Id3Frame>& frames, Id3v2Tag& tag) {
    tag.marker = "ID3";
    for (const TextField& text : kTextFields) {
        if (const Id3Frame* frame = FirstFrame(frames, text.id)) tag.*text.field = DecodeTextFrame(frame->content);
    }
    if (const Id3Frame* frame = FirstFrame(frames, "TCON")) tag.genre = GenreOfTcon(DecodeTextFrame(frame->content));
    if (const Id3Frame* frame = FirstFrame(frames, "TYER")) {
        tag.year = DecodeTextFrame(frame->content);
    } else if (const Id3Frame* date = FirstFrame(frames, "TDRC")) {
        tag.year = DecodeTextFrame(date->content);
    }
    if (auto text = DescribedFrameText(frames, "COMM", DecodeCommentFrame)) tag.comment = std::move(*text);
    if (auto text = DescribedFrameText(frames, "USLT", DecodeCommentFrame)) tag.lyrics = std::move(*text);
    if (auto text = DescribedFrameText(frames, "WXXX", DecodeLinkFrame)) tag.link = std::move(*text);
}

std::string Syncsafe(std::uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 3; i >= 0; --i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(value & 0x7F);
        value >>= 7;
    }
    return bytes;
}

bool HasField(const Id3v2Tag& tag) {
    Id3v2Tag empty;
    empty.marker = tag.marker;
    return !(tag == empty);
}

// A version 2.3 header for a tag of `size` bytes after it.
std::string HeaderOfSize(std::uint64_t size) {
    return std::string("ID3\x03\x00\x00", 6) + Syncsafe(static_cast<std::uint32_t>(size));
}

// Whether `frames` fit a tag of `length` bytes, header included.
bool FitsRoom(std::string_view frames, std::uint64_t length) {
    return length >= kId3v2HeaderLength + frames.size() && length - kId3v2HeaderLength < kMaxTagSize;
}

// A tag of exactly `length` bytes holding `frames`, the rest zero padding inside its size.
std::string TagInRoom(std::string_view frames, std::uint64_t length) {
    std::string bytes = HeaderOfSize(length - kId3v2HeaderLength);
    bytes += frames;
    bytes.resize(static_cast<std::size_t>(length), '\0');
    return bytes;
}

// The languages the comment and lyrics frames are written with.
struct FrameLanguages {
    std::string comment = kCommentLanguage;
    std::string lyrics = kCommentLanguage;
};

// The frames of a record's non-empty fields, in the order written.
std::string BuildFieldFrames(const Id3v2Tag& tag, const FrameLanguages& languages) {
    std::string frames;
    const auto add = [&frames](const char* id, const std::string& value, std::string content) {
        if (!value.empty()) frames += SerializeId3Frame({id, 0, std::move(content)});
    };
    add("TENC", tag.encodedBy, EncodeTextFrame(tag.encodedBy));
    add("WXXX", tag.link, EncodeLinkFrame(tag.link));
    add("TCOP", tag.copyright, EncodeTextFrame(tag.copyright));
    add("COMM", tag.comment, EncodeCommentFrame(languages.comment, tag.comment));
    add("USLT", tag.lyrics, EncodeCommentFrame(languages.lyrics, tag.lyrics));
    add("TDRC", tag.year, EncodeTextFrame(tag.year));
    add("TYER", tag.year, EncodeTextFrame(tag.year));
    add("TOPE", tag.originalArtist, EncodeTextFrame(tag.originalArtist));
    add("TCOM", tag.composer, EncodeTextFrame(tag.composer));
    add("TALB", tag.album, EncodeTextFrame(tag.album));
    add("TPE1", tag.artist, EncodeTextFrame(tag.artist));
    add("TCON", tag.genre, EncodeTextFrame(IsGenreNumberText(tag.genre) ? "(" + tag.genre + ")" : tag.genre));
    add("TRCK", tag.track, EncodeTextFrame(tag.track));
    add("TIT2", tag.title, EncodeTextFrame(tag.title));
    return frames;
}

// What a write does to the old frames: the fields whose values it changes, the
// old frames that held them (the frames the reader showed them from), and the
// languages of the comment and lyrics frames it replaces. A field whose value
// stays keeps its frames byte for byte, and so does every frame of no field:
// comments and lyrics of other languages or descriptions, user texts, pictures.
struct FrameChanges {
    Id3v2Tag fields;
    FrameLanguages languages;
    std::vector<bool> replaced;
};

FrameChanges ChangesOfWrite(const std::vector<Id3Frame>& frames, const Id3v2Tag& tag) {
    Id3v2Tag read;
    FillTag(frames, read);
    FrameChanges changes;
    changes.replaced.assign(frames.size(), false);
    const auto replaceEvery = [&](std::string_view id) {
        for (std::size_t i = 0; i < frames.size(); ++i) {
            if (frames[i].id == id && !frames[i].IsOpaque()) changes.replaced[i] = true;
        }
    };
    for (const TextField& text : kTextFields) {
        if (tag.*text.field == read.*text.field) continue;
        changes.fields.*text.field = tag.*text.field;
        replaceEvery(text.id);
    }
    if (tag.year != read.year) {
        changes.fields.year = tag.year;
        replaceEvery("TYER");
        replaceEvery("TDRC");
    }
    struct Described {
        const char* id;
        std::string Id3v2Tag::*field;
        std::string* language;
    };
    const Described described[] = {{"COMM", &Id3v2Tag::comment, &changes.languages.comment},
                                   {"USLT", &Id3v2Tag::lyrics, &changes.languages.lyrics},
                                   {"WXXX", &Id3v2Tag::link, nullptr}};
    for (const auto& [id, field, language] : described) {
        if (tag.*field == read.*field) continue;
        changes.fields.*field = tag.*field;
        // The first frame without a description is the field's; one with a
        // description belongs to another program and stays.
        for (std::size_t i = 0; i < frames.size(); ++i) {
            const Id3Frame& frame = frames[i];
            if (frame.id != id || frame.IsOpaque()) continue;
            const auto decoded = language == nullptr ? DecodeLinkFrame(frame.content) : DecodeCommentFrame(frame.content);
            if (!decoded || !decoded->description.empty()) continue;
            changes.replaced[i] = true;
            if (language != nullptr) *language = frame.content.substr(1, 3);
            break;
        }
    }
    return changes;
}

// The year version 2.3 readers take from a TYER frame, out of a TDRC date: its
// first four characters when they are digits.
std::optional<std::string> YearOfDate(const Id3Frame& date) {
    const std::string text = DecodeTextFrame(date.content);
    if (text.size() < 4 || !std::all_of(text.begin(), text.begin() + 4, [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return text.substr(0, 4);
}

// The frames a write leaves in the tag: the fields it changes first, then every
// other old frame in its order. A version 2.4 date with no TYER beside it gets
// one, since version 2.3 readers know no TDRC.
std::string FramesOfWrite(const std::vector<Id3Frame>& oldFrames, int oldVersion, const Id3v2Tag& tag) {
    const FrameChanges changes = ChangesOfWrite(oldFrames, tag);
    std::string frames = BuildFieldFrames(changes.fields, changes.languages);
    const bool needsYear = oldVersion == 4 && changes.fields.year.empty() &&
                           std::ranges::none_of(oldFrames, [](const Id3Frame& frame) { return frame.id == "TYER"; });
    bool yearAdded = false;
    for (std::size_t i = 0; i < oldFrames.size(); ++i) {
        if (changes.replaced[i]) continue;
        const Id3Frame& frame = oldFrames[i];
        frames += SerializeId3Frame(frame);
        if (needsYear && !yearAdded && frame.id == "TDRC" && !frame.IsOpaque()) {
            if (const auto year = YearOfDate(frame)) {
                frames += SerializeId3Frame({"TYER", 0, EncodeTextFrame(*year)});
                yearAdded = true;
            }
        }
    }
    return frames;
}

// `room`: where the tag is to lie (undo puts one back where it was); null: anywhere.
bool WriteTag(const std::string& path, const Id3v2Tag& tag, const Id3v2Room* room, PosixApi& os) {
    TagFileReader file(path, os);
    auto layout = file.Examine();
    if (!layout || layout->v2Invalid) return false;
    std::vector<Id3Frame> oldFrames;
    int oldVersion = 3;
    if (layout->v2) {
        auto old = file.ReadAt(0, static_cast<std::size_t>(layout->v2->TotalLength()));
        if (!old) return false;
        oldFrames = ParseId3v2Frames(*layout->v2, *old);
        oldVersion = layout->v2->version;
    }
    const std::string frames = FramesOfWrite(oldFrames, oldVersion, tag);
    if (frames.size() + kId3v2HeaderLength >= kMaxTagSize) return false;
    // The tag goes where the old one lies when it fits there (its padding taken up
    // or grown), so the file keeps its inode and the audio is not copied.
    if (layout->v2) {
        const std::uint64_t length = layout->v2->TotalLength();
        const bool sameRoom = room == nullptr || (room->tagLength == length && room->zerosAfter == layout->afterV2 - length);
        if (sameRoom && FitsRoom(frames, length)) {
            return WriteTagInPlace(path, *layout, 0, TagInRoom(frames, length), false, os).has_value();
        }
    }
    std::string head;
    if (room != nullptr && room->tagLength > 0 && FitsRoom(frames, room->tagLength)) {
        head = TagInRoom(frames, room->tagLength);
        head.append(static_cast<std::size_t>(room->zerosAfter), '\0');
    } else {
        head = BuildId3v2TagBytes(frames);
    }
    return RewriteTaggedFile(path, *layout, head, layout->afterV2, layout->fileSize, {}, os).has_value();
}

}  // namespace

bool ParseId3v2Tag(std::string_view bytes, Id3v2Tag& tag) {
    const auto header = ParseId3v2Header(bytes);
    if (!header) return false;
    FillTag(ParseId3v2Frames(*header, bytes.substr(0, std::min<std::uint64_t>(bytes.size(), header->TotalLength())),
                             CarriesFieldId),
            tag);
    return true;
}

TagReadResult ReadId3v2Tag(const std::string& path, Id3v2Tag& tag, PosixApi& os) {
    return ReadId3v2Tag(TagFileReader(path, os), tag);
}

TagReadResult ReadId3v2Tag(const TagFileReader& file, Id3v2Tag& tag, Id3v2Room* room) {
    if (!file.IsOpen()) return TagReadResult::Unreadable;
    auto head = file.ReadAt(0, kId3v2HeaderLength);
    if (!head) return TagReadResult::Unreadable;
    if (!head->starts_with("ID3")) {
        if (room != nullptr) *room = {};
        return TagReadResult::Absent;
    }
    const auto header = ParseId3v2Header(*head);
    if (!header || header->TotalLength() > file.Size()) return TagReadResult::Unreadable;
    const auto length = static_cast<std::size_t>(header->TotalLength());
    // With the room, the bytes after the tag that may be old padding come in the same read.
    auto bytes = file.ReadAt(0, length + (room != nullptr ? kLegacyPaddingLimit + 2 : 0));
    if (!bytes || bytes->size() < length) return TagReadResult::Unreadable;
    const std::string_view read(*bytes);
    FillTag(ParseId3v2Frames(*header, read.substr(0, length), CarriesFieldId), tag);
    if (room != nullptr) *room = {length, LegacyPaddingLength(read.substr(length), length, file.Size())};
    return TagReadResult::Found;
}

std::string BuildId3v2Frames(const Id3v2Tag& tag) { return BuildFieldFrames(tag, {}); }

std::string BuildId3v2TagBytes(std::string_view frames) {
    std::string bytes = HeaderOfSize(frames.size() + kId3v2HeaderLength);
    bytes += frames;
    bytes.append(kWrittenPadding, '\0');
    return bytes;
}

bool WriteId3v2Tag(const std::string& path, const Id3v2Tag& tag, PosixApi& os) {
    return HasField(tag) && WriteTag(path, tag, nullptr, os);
}

bool StoreId3v2Tag(const std::string& path, const Id3v2Tag& tag, PosixApi& os) {
    return WriteTag(path, tag, nullptr, os);
}

bool StoreId3v2Tag(const std::string& path, const Id3v2Tag& tag, const Id3v2Room& room, PosixApi& os) {
    return WriteTag(path, tag, &room, os);
}

bool RemoveId3v2Tag(const std::string& path, PosixApi& os) {
    TagFileReader file(path, os);
    auto layout = file.Examine();
    if (!layout || layout->v2Invalid) return false;
    if (!layout->v2) return true;
    return RewriteTaggedFile(path, *layout, {}, layout->afterV2, layout->fileSize, {}, os).has_value();
}

std::string FormatId3v2Text(const Id3v2Tag& tag, std::string_view separator) {
    const std::string genre = GenreDisplayText(tag.genre);
    return FormatTagEntries({{"歌名", tag.title},
                             {"歌手", tag.artist},
                             {"专辑", tag.album},
                             {"年代", tag.year},
                             {"注释", tag.comment},
                             {"音轨", tag.track},
                             {"流派", genre},
                             {"原创", tag.originalArtist},
                             {"作曲", tag.composer},
                             {"歌词", tag.lyrics},
                             {"链接", tag.link},
                             {"版权", tag.copyright},
                             {"编码", tag.encodedBy}},
                            separator);
}

}  // namespace varnel
