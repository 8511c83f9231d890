// The ID3v1 tag: the fixed 128-byte block that closes an MP3 file, read, written
// and shown as one line. Texts are held as UTF-8 and stored as GBK bytes, so a
// Chinese character takes two of a field's bytes; a write changes only the
// fields whose values it changes. Safe on any thread.
#pragma once

#include <expected>
#include <string>
#include <string_view>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

class TagFileReader;

struct Id3v1Tag {
    std::string marker;   // "TAG" when a tag was read
    std::string title;    // up to 30 bytes
    std::string artist;   // up to 30 bytes
    std::string album;    // up to 30 bytes
    std::string year;     // up to 4 bytes
    std::string comment;  // up to 28 bytes beside a track, else up to 30
    // A byte left after a short comment's end where a track's zero byte would be,
    // as a one-byte text; empty when that byte is 0 or belongs to the comment.
    std::string zeroMarker;
    // Decimal: the track byte when the byte before it is 0 ("0": no track), empty
    // when the comment takes those bytes.
    std::string track;
    std::string genre;  // decimal genre number; empty: none

    bool operator==(const Id3v1Tag&) const = default;
};

// How a tag's reading went: found, no tag, or the file could not be read.
enum class TagReadResult { Found, Absent, Unreadable };

TagReadResult ReadId3v1Tag(const std::string& path, Id3v1Tag& tag, PosixApi& os = SystemPosix());
// The same from an open file.
TagReadResult ReadId3v1Tag(const TagFileReader& file, Id3v1Tag& tag);
// Parses a 128-byte block; false when it is not an ID3v1 block.
bool ParseId3v1Block(std::string_view block, Id3v1Tag& tag);

// The 128 bytes of a tag. Texts are stored as GBK (ISO-8859-1 when GBK cannot
// hold one); an empty genre, "0" or a number beyond the table as 255 (no genre);
// a track above 255 as 0 (no track); a comment of 29 or 30 bytes only without a
// track. With `stored`, the block the file holds: a field the tag leaves as read
// from it keeps its bytes (a genre byte beyond the table, a text of another
// coding). Fails, naming the field, when a text does not fit its field or has no
// single-byte form that reads back as it: nothing is ever cut.
std::expected<std::string, Error> BuildId3v1Block(const Id3v1Tag& tag, std::string_view stored = {});

// Why writing the tag into the open file would fail before a byte is written: every
// text empty, or a text that BuildId3v1Block refuses.
std::expected<void, Error> CheckId3v1Write(const TagFileReader& file, const Id3v1Tag& tag);

// Writes the tag as the file's ID3v1 block, over the old one or appended. False,
// with the file untouched, when every text field is empty, a text does not fit
// (BuildId3v1Block), or the write fails.
bool WriteId3v1Tag(const std::string& path, const Id3v1Tag& tag, PosixApi& os = SystemPosix());
// The same without refusing a tag of empty texts (undo puts back what was there).
bool StoreId3v1Tag(const std::string& path, const Id3v1Tag& tag, PosixApi& os = SystemPosix());
// Removes the file's ID3v1 block; true also when it had none.
bool RemoveId3v1Tag(const std::string& path, PosixApi& os = SystemPosix());

// "歌名:Song 年代:2009 流派:17.Rock": one entry per non-empty field.
std::string FormatId3v1Text(const Id3v1Tag& tag, std::string_view separator = ":");

}  // namespace varnel
