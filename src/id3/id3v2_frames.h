// The frames of an ID3v2 tag: the frame list of versions 2.2, 2.3 and 2.4 walked
// and brought to the form of version 2.3 (four-letter identifiers, plain sizes,
// unsynchronisation undone, UTF-8 and UTF-16BE texts as UTF-16 with a byte-order
// mark; every walk linear in the tag's length), the contents of text, comment and link frames read
// in any of the four text encodings, and frames written back as version 2.3. Every
// read is bounded by the bytes given. Safe on any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "id3/tag_file.h"

namespace varnel {

struct Id3Frame {
    std::string id;  // four letters
    // The flags as version 2.3 writes them.
    std::uint16_t flags = 0;
    // The frame's bytes after its header, as version 2.3 stores them.
    std::string content;

    // Compressed or encrypted: kept as it is, never read as text.
    bool IsOpaque() const { return (flags & 0x00C0) != 0; }
};

// The frames of a tag: `tag` holds the whole tag from its header on (the header's
// TotalLength bytes, fewer when the file ends first). Frames that version 2.3
// cannot hold (a version 2.2 frame with no counterpart, a compressed or encrypted
// version 2.4 frame) are left out. With `wanted`, only the frames whose (version
// 2.3) identifier it accepts are kept, and the others' bytes are not copied: a
// reader of texts passes over a large picture.
using Id3FrameFilter = bool (*)(std::string_view id);
std::vector<Id3Frame> ParseId3v2Frames(const Id3v2Header& header, std::string_view tag,
                                       Id3FrameFilter wanted = nullptr);

// A frame in the layout of version 2.3.
std::string SerializeId3Frame(const Id3Frame& frame);

// A text frame's first value (T*** frames; the encoding byte first).
std::string DecodeTextFrame(std::string_view content);
// A comment or lyrics frame: language, description and text.
struct DescribedText {
    std::string language;
    std::string description;
    std::string text;
};
std::optional<DescribedText> DecodeCommentFrame(std::string_view content);
// A user link frame (WXXX): description and link.
std::optional<DescribedText> DecodeLinkFrame(std::string_view content);

// Frame contents as this program writes them, so that every reader takes the same
// text: ASCII as it is (encoding 0), any other text as UTF-16 with a byte-order
// mark (encoding 1). A link is ISO-8859-1 in every version: its non-ASCII bytes
// are percent-encoded.
std::string EncodeTextFrame(std::string_view text);
std::string EncodeCommentFrame(std::string_view language, std::string_view text);
std::string EncodeLinkFrame(std::string_view link);

}  // namespace varnel
