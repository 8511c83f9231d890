// The two tags of one MP3 file, as the tag tasks read, change and write them, and
// as an undo entry keeps them.
#pragma once

#include "id3/id3v1_tag.h"
#include "id3/id3v2_tag.h"

namespace varnel {

struct Id3TagPair {
    Id3v1Tag v1;
    Id3v2Tag v2;
    // Where the ID3v2 tag lay in the file it was read from.
    Id3v2Room v2Room;

    bool operator==(const Id3TagPair&) const = default;
};

}  // namespace varnel
