#include "id3/id3_tag_pair.h"

#include "id3/tag_file.h"

namespace varnel {

Id3TagReads ReadId3TagPair(const std::string& path, Id3TagPair& tags, bool v1, bool v2, PosixApi& os) {
    return ReadId3TagPair(TagFileReader(path, os), tags, v1, v2);
}

Id3TagReads ReadId3TagPair(const TagFileReader& file, Id3TagPair& tags, bool v1, bool v2) {
    Id3TagReads reads;
    if (v1) reads.v1 = ReadId3v1Tag(file, tags.v1);
    if (v2) reads.v2 = ReadId3v2Tag(file, tags.v2, &tags.v2Room);
    return reads;
}

}  // namespace varnel
