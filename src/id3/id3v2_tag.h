// The ID3v2 tag at the start of an MP3 file: fourteen text fields read from tags
// of versions 2.2, 2.3 and 2.4, and written as version 2.3. A write changes only
// the frames of the fields whose values it changes; every other frame (a field
// left as it was, comments and lyrics of other languages or descriptions, several
// values of one text, pictures, user texts, private frames) is kept byte for byte
// and in its order, and the audio after the tag is copied unchanged. Texts are
// held as UTF-8. Safe on any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "id3/id3v1_tag.h"
#include "platform/posix_api.h"

namespace varnel {

class TagFileReader;

struct Id3v2Tag {
    std::string marker;          // "ID3" when a tag was read
    std::string title;           // TIT2
    std::string artist;          // TPE1
    std::string originalArtist;  // TOPE
    std::string composer;        // TCOM
    std::string album;           // TALB
    std::string year;            // TYER, else TDRC
    std::string comment;         // COMM
    std::string lyrics;          // USLT
    std::string track;           // TRCK
    std::string genre;           // TCON, as a genre number text ("17"); a name the genre table lacks as it is
    std::string link;            // WXXX
    std::string copyright;       // TCOP
    std::string encodedBy;       // TENC

    bool operator==(const Id3v2Tag&) const = default;
};

// Where a file's ID3v2 tag lay: its length (0: no tag) and the zero bytes an older
// writer left after it. Undo puts a tag back into the room it had, so that the
// file gets back every byte.
struct Id3v2Room {
    std::uint64_t tagLength = 0;
    std::uint64_t zerosAfter = 0;

    bool operator==(const Id3v2Room&) const = default;
};

// Found, Absent (no "ID3" at the start) or Unreadable: the file cannot be read or
// its header cannot be trusted (a version outside 2 to 4, a size byte from 0x80,
// a size beyond the file). The tag is changed only when found.
TagReadResult ReadId3v2Tag(const std::string& path, Id3v2Tag& tag, PosixApi& os = SystemPosix());
// The same from an open file; with `room`, where the tag lies too.
TagReadResult ReadId3v2Tag(const TagFileReader& file, Id3v2Tag& tag, Id3v2Room* room = nullptr);
// The fields of a tag held in memory, header first; false when it is no valid tag.
bool ParseId3v2Tag(std::string_view bytes, Id3v2Tag& tag);

// The frames a new tag is written with, in the order written; empty fields write none.
std::string BuildId3v2Frames(const Id3v2Tag& tag);
// A new tag holding `frames`: header (version 2.3, its size counting the frames and
// ten bytes), the frames, then 126 zero bytes.
std::string BuildId3v2TagBytes(std::string_view frames);

// Writes the tag's fields as the file's ID3v2 tag: a field whose value differs from
// what the file's tag holds replaces the frame it was read from (for a comment or
// lyrics, the one without a description, its language kept) or adds one; in place
// of the old tag when the frames fit its length (the rest stays padding inside the tag), else by
// rewriting the whole file. False, with the file untouched, when every field is
// empty, the file is missing, its old header cannot be trusted, or the write fails.
bool WriteId3v2Tag(const std::string& path, const Id3v2Tag& tag, PosixApi& os = SystemPosix());
// The same without refusing a tag of empty fields (undo puts back what was there).
bool StoreId3v2Tag(const std::string& path, const Id3v2Tag& tag, PosixApi& os = SystemPosix());
// The same into `room`: in place only when the old tag lies in that room; else the
// file is rewritten with the tag in that room again (when the frames fit it).
bool StoreId3v2Tag(const std::string& path, const Id3v2Tag& tag, const Id3v2Room& room,
                   PosixApi& os = SystemPosix());
// Removes the file's ID3v2 tag; true also when it had none.
bool RemoveId3v2Tag(const std::string& path, PosixApi& os = SystemPosix());

// One entry per non-empty field: 歌名 歌手 专辑 年代 注释 音轨 流派 原创 作曲 歌词 链接 版权 编码.
std::string FormatId3v2Text(const Id3v2Tag& tag, std::string_view separator = ":");

}  // namespace varnel
