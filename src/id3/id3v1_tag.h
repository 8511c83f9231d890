// The ID3v1 tag: the fixed 128-byte block that closes an MP3 file, read, written
// and shown as one line. Texts are held as UTF-8 and stored as GBK bytes, so a
// Chinese character takes two of a field's bytes. Safe on any thread.
#pragma once

#include <string>
#include <string_view>

#include "platform/posix_api.h"

namespace varnel {

class TagFileReader;

struct Id3v1Tag {
    std::string marker;   // "TAG" when a tag was read
    std::string title;    // up to 30 bytes
    std::string artist;   // up to 30 bytes
    std::string album;    // up to 30 bytes
    std::string year;     // up to 4 bytes
    std::string comment;  // up to 28 bytes
    // The byte before the track byte as a one-byte text; empty when that byte is 0
    // (the track byte then holds a track number).
    std::string zeroMarker;
    std::string track;  // decimal
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

// The 128 bytes of a tag: each text cut at a character boundary to its field; an
// empty genre, "0" or a number beyond the table is stored as 255 (no genre); a
// track above 255 as 0 (no track).
std::string BuildId3v1Block(const Id3v1Tag& tag);

// Cuts each text field to what its bytes hold, at a character boundary (a
// character GBK cannot hold becomes "?"); true when a field changed.
bool FitId3v1Fields(Id3v1Tag& tag);

// Writes the tag as the file's ID3v1 block, over the old one or appended. False,
// with the file untouched, when every text field is empty or the write fails.
bool WriteId3v1Tag(const std::string& path, const Id3v1Tag& tag, PosixApi& os = SystemPosix());
// The same without refusing a tag of empty texts (undo puts back what was there).
bool StoreId3v1Tag(const std::string& path, const Id3v1Tag& tag, PosixApi& os = SystemPosix());
// Removes the file's ID3v1 block; true also when it had none.
bool RemoveId3v1Tag(const std::string& path, PosixApi& os = SystemPosix());

// "歌名:Song 年代:2009 流派:17.Rock": one entry per non-empty field.
std::string FormatId3v1Text(const Id3v1Tag& tag, std::string_view separator = ":");

}  // namespace varnel
