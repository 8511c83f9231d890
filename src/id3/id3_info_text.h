// The one-line summary of an MP3 file's tags shown when its row is chosen: the
// fields of the ID3v2 tag, completed from the ID3v1 tag where they are empty.
// Pure; safe on any thread.
#pragma once

#include <string>
#include <string_view>

#include "id3/id3v1_tag.h"
#include "id3/id3v2_tag.h"

namespace varnel {

// Either tag may be missing (nullptr); "" when both are. Empty `lyrics` take the
// ID3v2 tag's lyrics.
std::string FormatId3InfoText(const Id3v1Tag* tag1, const Id3v2Tag* tag2, std::string_view separator,
                              std::string& lyrics);

}  // namespace varnel
