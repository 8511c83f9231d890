// The two tags of one MP3 file, as the tag tasks read, change and write them, and
// as an undo entry keeps them; both read through one open of the file.
#pragma once

#include <string>

#include "id3/id3v1_tag.h"
#include "id3/id3v2_tag.h"
#include "platform/posix_api.h"

namespace varnel {

struct Id3TagPair {
    Id3v1Tag v1;
    Id3v2Tag v2;
    // Where the ID3v2 tag lay in the file it was read from.
    Id3v2Room v2Room;

    bool operator==(const Id3TagPair&) const = default;
};

// How the reading of each tag went (Absent for a tag not asked for).
struct Id3TagReads {
    TagReadResult v1 = TagReadResult::Absent;
    TagReadResult v2 = TagReadResult::Absent;
};

// Reads the asked tags of the file, and the room of its ID3v2 tag, opening it once.
Id3TagReads ReadId3TagPair(const std::string& path, Id3TagPair& tags, bool v1, bool v2, PosixApi& os = SystemPosix());
// The same from a file already open.
Id3TagReads ReadId3TagPair(const TagFileReader& file, Id3TagPair& tags, bool v1, bool v2);

}  // namespace varnel
