#include "id3/id3v2_frames.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "id3/id3_text.h"
#include "utilities/codec.h"
#include "utilities/text_converter.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

std::uint32_t BigEndian(std::string_view bytes, bool syncsafe) {
    std::uint32_t value = 0;
    for (char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        value = syncsafe ? (value << 7) | (b & 0x7F) : (value << 8) | b;
    }
    return value;
}

// Undoes unsynchronisation: every FF 00 becomes FF.
std::string Resynchronise(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (static_cast<std::uint8_t>(bytes[i]) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == '\0') ++i;
    }
    return out;
}

// Version 2.2 identifiers and their version 2.3 counterparts.
constexpr std::pair<std::string_view, std::string_view> kV22Ids[] = {
    {"TT1", "TIT1"}, {"TT2", "TIT2"}, {"TT3", "TIT3"}, {"TP1", "TPE1"}, {"TP2", "TPE2"}, {"TP3", "TPE3"},
    {"TP4", "TPE4"}, {"TCM", "TCOM"}, {"TXT", "TEXT"}, {"TLA", "TLAN"}, {"TCO", "TCON"}, {"TAL", "TALB"},
    {"TPA", "TPOS"}, {"TRK", "TRCK"}, {"TRC", "TSRC"}, {"TYE", "TYER"}, {"TDA", "TDAT"}, {"TIM", "TIME"},
    {"TRD", "TRDA"}, {"TMT", "TMED"}, {"TBP", "TBPM"}, {"TCR", "TCOP"}, {"TPB", "TPUB"}, {"TEN", "TENC"},
    {"TSS", "TSSE"}, {"TOF", "TOFN"}, {"TLE", "TLEN"}, {"TSI", "TSIZ"}, {"TDY", "TDLY"}, {"TKE", "TKEY"},
    {"TOT", "TOAL"}, {"TOA", "TOPE"}, {"TOL", "TOLY"}, {"TOR", "TORY"}, {"TXX", "TXXX"}, {"WXX", "WXXX"},
    {"COM", "COMM"}, {"ULT", "USLT"}, {"UFI", "UFID"}, {"CNT", "PCNT"}, {"TFT", "TFLT"}, {"IPL", "IPLS"},
    {"WAF", "WOAF"}, {"WAR", "WOAR"}, {"WAS", "WOAS"}, {"WCM", "WCOM"}, {"WCP", "WCOP"}, {"WPB", "WPUB"},
    {"GEO", "GEOB"}, {"POP", "POPM"}, {"BUF", "RBUF"}, {"CRA", "AENC"}, {"ETC", "ETCO"}, {"EQU", "EQUA"},
    {"MCI", "MCDI"}, {"MLL", "MLLT"}, {"REV", "RVRB"}, {"RVA", "RVAD"}, {"SLT", "SYLT"}, {"STC", "SYTC"},
    {"TCP", "TCMP"}, {"TST", "TSOT"}, {"TSP", "TSOP"}, {"TSA", "TSOA"}, {"TS2", "TSO2"}, {"TSC", "TSOC"},
};

// A version 2.2 picture: its three-letter image format becomes a MIME type.
std::string ConvertV22Picture(std::string_view content) {
    if (content.size() < 4) return std::string(content);
    std::string format = std::string(content.substr(1, 3));
    for (char& c : format) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string mime = format == "PNG" ? "image/png" : format == "JPG" ? "image/jpeg" : "image/" + format;
    return std::string(1, content[0]) + mime + '\0' + std::string(content.substr(4));
}

bool IsWide(int encoding) { return encoding == 1 || encoding == 2; }

// Splits the bytes of the first text of `rest` in `encoding` off it; `rest` keeps
// what follows its terminator, `terminated` says whether there was one.
std::string_view TakeValueBytes(int encoding, std::string_view& rest, bool* terminated = nullptr) {
    const bool wide = IsWide(encoding);
    std::size_t end = 0;
    if (wide) {
        while (end + 1 < rest.size() && !(rest[end] == '\0' && rest[end + 1] == '\0')) end += 2;
        if (end + 1 >= rest.size()) end = rest.size();
    } else {
        end = std::min(rest.find('\0'), rest.size());
    }
    if (terminated != nullptr) *terminated = end < rest.size();
    const std::string_view bytes = rest.substr(0, end);
    rest.remove_prefix(std::min(rest.size(), end + (wide ? 2 : 1)));
    return bytes;
}

// UTF-16 bytes as UTF-8: a byte-order mark chooses the order, else `bigEndian`.
std::optional<std::string> DecodeUtf16(std::string_view bytes, bool bigEndian, CodecMode mode) {
    const char* codec = bigEndian ? "UTF-16BE" : "UTF-16LE";
    if (bytes.size() >= 2) {
        const auto b0 = static_cast<std::uint8_t>(bytes[0]);
        const auto b1 = static_cast<std::uint8_t>(bytes[1]);
        if (b0 == 0xFF && b1 == 0xFE) {
            codec = "UTF-16LE";
            bytes.remove_prefix(2);
        } else if (b0 == 0xFE && b1 == 0xFF) {
            codec = "UTF-16BE";
            bytes.remove_prefix(2);
        }
    }
    if (bytes.size() % 2 != 0) {
        if (mode == CodecMode::Strict) return std::nullopt;
        bytes.remove_suffix(1);
    }
    auto text = DecodeFromCodec(bytes, codec, mode);
    if (!text) return std::nullopt;
    return std::move(*text);
}

// Splits off the first value of a text in `encoding`; `rest` keeps what follows
// its terminator.
std::string TakeValue(int encoding, std::string_view& rest) {
    const std::string_view bytes = TakeValueBytes(encoding, rest);
    switch (encoding) {
        case 0: return DecodeSingleByteText(bytes);
        case 3: return DecodeFromCodec(bytes, "UTF-8", CodecMode::Lenient).value_or(std::string());
        default: return DecodeUtf16(bytes, encoding == 2, CodecMode::Lenient).value_or(std::string());
    }
}

std::string EncodedUtf16(std::string_view text) {
    std::string bytes = "\xFF\xFE";
    bytes += EncodeToCodec(text, "UTF-16LE").value_or(std::string());
    return bytes;
}

// How a frame's bytes after its encoding byte are laid out, for re-encoding its texts.
enum class FramePart {
    Latin1,  // a text in ISO-8859-1 with its terminator, whatever the encoding
    Byte,
    Language,
    Text,    // one encoded text and its terminator
    Texts,   // encoded texts up to the frame's end
    Rest,    // bytes kept as they are up to the frame's end
};

std::optional<std::vector<FramePart>> EncodedLayout(std::string_view id) {
    using enum FramePart;
    if (id == "TXXX") return std::vector{Text, Texts};
    if (id.starts_with('T')) return std::vector{Texts};
    if (id == "COMM" || id == "USLT") return std::vector{Language, Text, Texts};
    if (id == "USER") return std::vector{Language, Texts};
    if (id == "WXXX") return std::vector{Text, Rest};
    if (id == "APIC") return std::vector{Latin1, Byte, Text, Rest};
    if (id == "GEOB") return std::vector{Latin1, Text, Text, Rest};
    return std::nullopt;
}

// A version 2.4 frame's UTF-8 (3) or UTF-16 big-endian (2) texts re-encoded as
// UTF-16 with a byte-order mark (1), the one Unicode encoding version 2.3 readers
// know; every other byte stays. The frame is kept as it was when its texts are
// in another encoding, its layout is not known, or a text is not valid in its
// encoding. Linear in the frame's length.
std::string WithVersion23Encoding(std::string_view id, std::string content) {
    if (content.empty()) return content;
    const int encoding = static_cast<std::uint8_t>(content[0]);
    if (encoding != 2 && encoding != 3) return content;
    const auto layout = EncodedLayout(id);
    if (!layout) return content;
    std::string out;
    out.reserve(content.size() * 2);
    out += '\x01';
    out.reserve(content.size() * 2);
    std::string_view rest = std::string_view(content).substr(1);
    const auto takeText = [&]() -> bool {
        bool terminated = false;
        const std::string_view bytes = TakeValueBytes(encoding, rest, &terminated);
        std::optional<std::string> text;
        if (encoding == 3) {
            if (IsValidUtf8(bytes)) text = std::string(bytes);
        } else {
            text = DecodeUtf16(bytes, true, CodecMode::Strict);
        }
        if (!text) return false;
        out += EncodedUtf16(*text);
        if (terminated) out.append(2, '\0');
        return true;
    };
    for (const FramePart part : *layout) {
        switch (part) {
            case FramePart::Latin1: {
                const std::size_t end = rest.find('\0');
                if (end == std::string_view::npos) return content;
                out += rest.substr(0, end + 1);
                rest.remove_prefix(end + 1);
                break;
            }
            case FramePart::Byte:
            case FramePart::Language: {
                const std::size_t length = part == FramePart::Byte ? 1 : 3;
                if (rest.size() < length) return content;
                out += rest.substr(0, length);
                rest.remove_prefix(length);
                break;
            }
            case FramePart::Text:
                if (!takeText()) return content;
                break;
            case FramePart::Texts:
                while (!rest.empty()) {
                    if (!takeText()) return content;
                }
                break;
            case FramePart::Rest:
                out += rest;
                rest = {};
                break;
        }
    }
    return out;
}

// A link as ISO-8859-1 bytes every reader takes the same: the bytes of other
// characters percent-encoded, as a browser sends them.
std::string LinkBytes(std::string_view link) {
    std::string out;
    for (std::size_t at = 0; at < link.size(); ++at) {
        if (static_cast<unsigned char>(link[at]) < 0x80) {
            out += link[at];
        } else {
            out += TextConverter::EncodeHexEscapes(link.substr(at, 1), true);
        }
    }
    return out;
}

bool Keeps(Id3FrameFilter wanted, std::string_view id) { return wanted == nullptr || wanted(id); }

void ParseV22(std::string_view body, Id3FrameFilter wanted, std::vector<Id3Frame>& frames) {
    std::size_t at = 0;
    while (at + 6 <= body.size() && body[at] != '\0') {
        const std::string_view id = body.substr(at, 3);
        const std::uint32_t size = BigEndian(body.substr(at + 3, 3), false);
        at += 6;
        if (size > body.size() - at) break;
        const std::string_view content = body.substr(at, size);
        at += size;
        if (id == "PIC") {
            if (Keeps(wanted, "APIC")) frames.push_back({"APIC", 0, ConvertV22Picture(content)});
            continue;
        }
        for (const auto& [from, to] : kV22Ids) {
            if (from == id) {
                if (Keeps(wanted, to)) frames.push_back({std::string(to), 0, std::string(content)});
                break;
            }
        }
    }
}

void ParseV23(std::string_view body, Id3FrameFilter wanted, std::vector<Id3Frame>& frames) {
    std::size_t at = 0;
    while (at + 10 <= body.size() && body[at] != '\0') {
        const std::string_view id = body.substr(at, 4);
        const std::uint32_t size = BigEndian(body.substr(at + 4, 4), false);
        const auto flags = static_cast<std::uint16_t>(BigEndian(body.substr(at + 8, 2), false));
        at += 10;
        if (size > body.size() - at) break;
        if (Keeps(wanted, id)) frames.push_back({std::string(id), flags, std::string(body.substr(at, size))});
        at += size;
    }
}

void ParseV24(std::string_view body, bool tagUnsynchronised, Id3FrameFilter wanted, std::vector<Id3Frame>& frames) {
    std::size_t at = 0;
    while (at + 10 <= body.size() && body[at] != '\0') {
        const std::string_view id = body.substr(at, 4);
        const std::uint32_t size = BigEndian(body.substr(at + 4, 4), true);
        const auto status = static_cast<std::uint8_t>(body[at + 8]);
        const auto format = static_cast<std::uint8_t>(body[at + 9]);
        at += 10;
        if (size > body.size() - at) break;
        std::string_view content = body.substr(at, size);
        at += size;
        // Compressed or encrypted frames keep their extra bytes in another order
        // than version 2.3 does; they are left out rather than written wrongly.
        if ((format & 0x0C) != 0 || !Keeps(wanted, id)) continue;
        // After the header: the group byte, then the data length indicator.
        std::string bytes(content);
        std::string grouping;
        if ((format & 0x40) != 0) {
            if (bytes.empty()) continue;
            grouping = bytes.substr(0, 1);
            bytes.erase(0, 1);
        }
        if ((format & 0x01) != 0) {
            if (bytes.size() < 4) continue;
            bytes.erase(0, 4);
        }
        if ((format & 0x02) != 0 || tagUnsynchronised) bytes = Resynchronise(bytes);
        auto flags = static_cast<std::uint16_t>(((status & 0x70) << 9) | ((format & 0x40) != 0 ? 0x0020 : 0));
        grouping += WithVersion23Encoding(id, std::move(bytes));
        frames.push_back({std::string(id), flags, std::move(grouping)});
    }
}

// Where the frames begin after an extended header; nothing when it does not fit.
std::optional<std::size_t> FramesStart(const Id3v2Header& header, std::string_view body) {
    if (!header.HasExtendedHeader() || header.version == 2) return 0;
    if (body.size() < 4) return std::nullopt;
    const std::uint64_t length = header.version == 3 ? 4ull + BigEndian(body.substr(0, 4), false)
                                                     : BigEndian(body.substr(0, 4), true);
    if (length > body.size()) return std::nullopt;
    return static_cast<std::size_t>(length);
}

}  // namespace

std::vector<Id3Frame> ParseId3v2Frames(const Id3v2Header& header, std::string_view tag, Id3FrameFilter wanted) {
    std::vector<Id3Frame> frames;
    if (tag.size() <= kId3v2HeaderLength) return frames;
    std::string_view body = tag.substr(kId3v2HeaderLength, header.size);
    std::string resynchronised;
    if (header.Unsynchronised() && header.version < 4) {
        resynchronised = Resynchronise(body);
        body = resynchronised;
    }
    const auto start = FramesStart(header, body);
    if (!start) return frames;
    body.remove_prefix(*start);
    switch (header.version) {
        case 2: ParseV22(body, wanted, frames); break;
        case 3: ParseV23(body, wanted, frames); break;
        default: ParseV24(body, header.Unsynchronised(), wanted, frames); break;
    }
    return frames;
}

std::string SerializeId3Frame(const Id3Frame& frame) {
    std::string bytes = frame.id.substr(0, 4);
    bytes.resize(4, ' ');
    const auto size = static_cast<std::uint32_t>(frame.content.size());
    for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>((size >> shift) & 0xFF);
    bytes += static_cast<char>(frame.flags >> 8);
    bytes += static_cast<char>(frame.flags & 0xFF);
    return bytes + frame.content;
}

std::string DecodeTextFrame(std::string_view content) {
    if (content.empty()) return {};
    const int encoding = static_cast<std::uint8_t>(content[0]);
    content.remove_prefix(1);
    return TakeValue(encoding, content);
}

std::optional<DescribedText> DecodeCommentFrame(std::string_view content) {
    if (content.size() < 4) return std::nullopt;
    const int encoding = static_cast<std::uint8_t>(content[0]);
    DescribedText out;
    out.language = DecodeSingleByteText(content.substr(1, 3));
    content.remove_prefix(4);
    out.description = TakeValue(encoding, content);
    out.text = TakeValue(encoding, content);
    return out;
}

std::optional<DescribedText> DecodeLinkFrame(std::string_view content) {
    if (content.empty()) return std::nullopt;
    const int encoding = static_cast<std::uint8_t>(content[0]);
    content.remove_prefix(1);
    DescribedText out;
    out.description = TakeValue(encoding, content);
    out.text = TakeValue(0, content);
    return out;
}

std::string EncodeTextFrame(std::string_view text) {
    if (IsAsciiText(text)) return '\0' + std::string(text);
    return '\x01' + EncodedUtf16(text);
}

std::string EncodeCommentFrame(std::string_view language, std::string_view text) {
    std::string lang(language.substr(0, 3));
    lang.resize(3, ' ');
    if (IsAsciiText(text)) return '\0' + lang + '\0' + std::string(text);
    return '\x01' + lang + EncodedUtf16({}) + std::string(2, '\0') + EncodedUtf16(text);
}

std::string EncodeLinkFrame(std::string_view link) { return std::string(2, '\0') + LinkBytes(link); }

}  // namespace varnel
