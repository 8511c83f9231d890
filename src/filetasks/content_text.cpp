#include "filetasks/content_text.h"

#include "utilities/utf8_text.h"

#include <cerrno>

#include "utilities/codec.h"

namespace varnel {

namespace {

constexpr std::string_view kBomUtf8 = "\xEF\xBB\xBF";
constexpr std::string_view kBomUtf16Le = "\xFF\xFE";
constexpr std::string_view kBomUtf16Be = "\xFE\xFF";

std::size_t Utf8LengthAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return std::min(length, text.size() - at);
}

}  // namespace

std::optional<TextEncoding> DetectUtf16WithoutBom(std::string_view bytes) {
    if (bytes.empty() || bytes.size() % 2 != 0) return std::nullopt;
    std::size_t nulFirst = 0;   // NUL as the first byte of a pair: big-endian ASCII
    std::size_t nulSecond = 0;  // NUL as the second byte: little-endian ASCII
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        const bool first = bytes[at] == '\0';
        const bool second = bytes[at + 1] == '\0';
        if (first && second) return std::nullopt;  // U+0000 is in no text
        nulFirst += first ? 1 : 0;
        nulSecond += second ? 1 : 0;
    }
    if (nulFirst == nulSecond) return std::nullopt;
    const bool little = nulSecond > nulFirst;
    // Whole characters: every high surrogate followed by a low one, no low one alone.
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        const auto high = static_cast<unsigned char>(bytes[little ? at + 1 : at]);
        if (high >= 0xD8 && high <= 0xDB) {
            if (at + 2 >= bytes.size()) return std::nullopt;
            const auto next = static_cast<unsigned char>(bytes[little ? at + 3 : at + 2]);
            if (next < 0xDC || next > 0xDF) return std::nullopt;
            at += 2;
        } else if (high >= 0xDC && high <= 0xDF) {
            return std::nullopt;
        }
    }
    return little ? TextEncoding::Utf16LeNoBom : TextEncoding::Utf16BeNoBom;
}

std::expected<DecodedText, Error> DecodeFileText(std::string_view bytes) {
    const auto decode = [](std::string_view body, const char* codec,
                           TextEncoding encoding) -> std::expected<DecodedText, Error> {
        auto text = DecodeFromCodec(body, codec);
        if (!text) return std::unexpected(Error{EILSEQ, "无法识别文件的文本编码", {}});
        return DecodedText{encoding, std::move(*text)};
    };
    // UTF-8 needs no conversion, only the check; a large file is then held once
    // more, not twice more through UTF-16.
    if (bytes.starts_with(kBomUtf8) && IsValidUtf8(bytes.substr(3))) {
        return DecodedText{TextEncoding::Utf8Bom, std::string(bytes.substr(3))};
    }
    if (bytes.starts_with(kBomUtf8)) return decode(bytes.substr(3), "UTF-8", TextEncoding::Utf8Bom);
    if (bytes.starts_with(kBomUtf16Le)) return decode(bytes.substr(2), "UTF-16LE", TextEncoding::Utf16Le);
    if (bytes.starts_with(kBomUtf16Be)) return decode(bytes.substr(2), "UTF-16BE", TextEncoding::Utf16Be);
    if (bytes.find('\0') != std::string_view::npos) {
        // Written as UTF-8 or GBK, such a file would lose half its bytes' meaning.
        const std::optional<TextEncoding> wide = DetectUtf16WithoutBom(bytes);
        if (wide == TextEncoding::Utf16LeNoBom) return decode(bytes, "UTF-16LE", *wide);
        if (wide == TextEncoding::Utf16BeNoBom) return decode(bytes, "UTF-16BE", *wide);
        return std::unexpected(Error{EILSEQ, "文件含有空字节，不是文本文件", {}});
    }
    if (IsValidUtf8(bytes)) return DecodedText{TextEncoding::Utf8, std::string(bytes)};
    return decode(bytes, kCodecGbk, TextEncoding::Gbk);
}

std::expected<std::string, Error> EncodeFileText(std::string_view utf8, TextEncoding encoding) {
    const auto encode = [&](std::string_view bom, const char* codec) -> std::expected<std::string, Error> {
        if (std::string_view(codec) == "UTF-8" && IsValidUtf8(utf8)) {
            std::string out;
            out.reserve(bom.size() + utf8.size());
            return out.append(bom).append(utf8);
        }
        auto body = EncodeToCodec(utf8, codec);
        if (!body) return std::unexpected(Error{EILSEQ, "文本含有文件编码无法表示的字符", {}});
        return std::string(bom) + *body;
    };
    switch (encoding) {
        case TextEncoding::Utf8: return encode({}, "UTF-8");
        case TextEncoding::Utf8Bom: return encode(kBomUtf8, "UTF-8");
        case TextEncoding::Gbk: return encode({}, kCodecGbk);
        case TextEncoding::Utf16Le: return encode(kBomUtf16Le, "UTF-16LE");
        case TextEncoding::Utf16Be: return encode(kBomUtf16Be, "UTF-16BE");
        case TextEncoding::Utf16LeNoBom: return encode({}, "UTF-16LE");
        case TextEncoding::Utf16BeNoBom: return encode({}, "UTF-16BE");
    }
    return std::unexpected(Error{EINVAL, "未知的文本编码", {}});
}

std::size_t EncodedCharLength(std::size_t utf8Length, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8:
        case TextEncoding::Utf8Bom: return utf8Length;
        case TextEncoding::Gbk: return utf8Length == 1 ? 1 : utf8Length == 4 ? 4 : 2;
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
        case TextEncoding::Utf16LeNoBom:
        case TextEncoding::Utf16BeNoBom: return utf8Length == 4 ? 4 : 2;
    }
    return utf8Length;
}

std::size_t Utf8OffsetOfBytePosition(std::string_view utf8, TextEncoding encoding, std::int64_t bytePosition) {
    std::size_t at = 0;
    std::int64_t bytes = 0;
    while (at < utf8.size()) {
        const std::size_t length = Utf8LengthAt(utf8, at);
        bytes += static_cast<std::int64_t>(EncodedCharLength(length, encoding));
        if (bytes > bytePosition) break;
        at += length;
    }
    return at;
}

std::size_t Utf8OffsetOfCharacter(std::string_view utf8, std::int64_t count) {
    std::size_t at = 0;
    for (std::int64_t i = 1; i < count && at < utf8.size(); ++i) at += Utf8LengthAt(utf8, at);
    return at;
}

std::size_t OffsetOfLine(std::string_view text, std::int64_t line, bool atLineStart) {
    if (line < 1) return 0;
    std::size_t start = 0;
    for (std::int64_t current = 1;; ++current) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (current == line) return atLineStart ? start : (end == std::string_view::npos ? text.size() : end);
        if (end == std::string_view::npos) return text.size();
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
        if (start >= text.size()) return text.size();
    }
}

namespace {

// A UTF-8 piece of at most `limit` bytes from the start of `text`, cut before a
// character (a lead byte), or all of a shorter text.
std::size_t Utf8Cut(std::string_view text, std::size_t limit) {
    if (limit >= text.size()) return text.size();
    std::size_t cut = limit;
    while (cut > 0 && limit - cut < 4 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return cut == 0 ? limit : cut;
}

// A large UTF-8 file is checked a piece at a time, so that the sink can let go of
// what is behind. A NUL byte, valid UTF-8 as it is, says UTF-16 or no text at all:
// DecodeFileText tells which.
bool IsValidUtf8Piecewise(std::string_view text, ContentSink& sink) {
    constexpr std::size_t kPiece = std::size_t{16} << 20;
    while (!text.empty()) {
        const std::size_t cut = Utf8Cut(text, kPiece);
        const std::string_view piece = text.substr(0, cut);
        if (piece.find('\0') != std::string_view::npos || !IsValidUtf8(piece)) return false;
        text.remove_prefix(cut);
        sink.Consumed(text.data());
    }
    return true;
}

const char* CodecOf(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Gbk: return kCodecGbk;
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16LeNoBom: return "UTF-16LE";
        case TextEncoding::Utf16Be:
        case TextEncoding::Utf16BeNoBom: return "UTF-16BE";
        default: return "UTF-8";
    }
}

std::string_view BomOf(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8Bom: return kBomUtf8;
        case TextEncoding::Utf16Le: return kBomUtf16Le;
        case TextEncoding::Utf16Be: return kBomUtf16Be;
        default: return {};
    }
}

bool IsUtf8(TextEncoding encoding) { return encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8Bom; }

constexpr std::size_t kEncodeChunk = std::size_t{1} << 20;

}  // namespace

TextWriter::TextWriter(ContentSink& sink, TextEncoding encoding, std::string_view source)
    : m_sink(sink), m_encoding(encoding), m_source(source) {
    if (!IsUtf8(encoding)) m_encoder.emplace(CodecOf(encoding));
    if (auto written = m_sink.Write(BomOf(encoding)); !written) m_failure = written.error();
}

std::expected<void, Error> TextWriter::Append(std::string_view utf8) {
    if (m_failure) return std::unexpected(*m_failure);
    if (utf8.empty()) return {};
    if (IsUtf8(m_encoding)) {
        const bool ofSource = !m_source.empty() && utf8.data() >= m_source.data() &&
                              utf8.data() + utf8.size() <= m_source.data() + m_source.size();
        if (!ofSource && !IsValidUtf8(utf8)) {
            m_failure = Error{EILSEQ, "文本含有文件编码无法表示的字符", {}};
            return std::unexpected(*m_failure);
        }
        if (auto written = m_sink.Write(utf8); !written) {
            m_failure = written.error();
            return std::unexpected(*m_failure);
        }
        if (ofSource) m_sink.Consumed(utf8.data() + utf8.size());
        return {};
    }
    m_pending.append(utf8);
    if (m_pending.size() >= kEncodeChunk) return Encode(Utf8Cut(m_pending, m_pending.size() - 1));
    return {};
}

std::expected<void, Error> TextWriter::Encode(std::size_t upTo) {
    auto encoded = m_encoder->Encode(std::string_view(m_pending).substr(0, upTo));
    if (!encoded) {
        m_failure = Error{EILSEQ, "文本含有文件编码无法表示的字符", {}};
        return std::unexpected(*m_failure);
    }
    m_pending.erase(0, upTo);
    if (auto written = m_sink.Write(*encoded); !written) {
        m_failure = written.error();
        return std::unexpected(*m_failure);
    }
    return {};
}

std::expected<void, Error> TextWriter::Finish() {
    if (m_failure) return std::unexpected(*m_failure);
    if (m_encoder && !m_pending.empty()) return Encode(m_pending.size());
    return {};
}

std::expected<bool, Error> EditFileText(std::string_view bytes, ContentSink& sink, const TextEdit& edit) {
    std::string_view text;
    TextEncoding encoding = TextEncoding::Utf8;
    std::optional<DecodedText> decoded;
    const bool bom = bytes.starts_with(kBomUtf8);
    if (IsValidUtf8Piecewise(bom ? bytes.substr(kBomUtf8.size()) : bytes, sink)) {
        text = bom ? bytes.substr(kBomUtf8.size()) : bytes;
        encoding = bom ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
    } else {
        auto read = DecodeFileText(bytes);
        if (!read) return std::unexpected(read.error());
        decoded = std::move(*read);
        text = decoded->text;
        encoding = decoded->encoding;
    }
    TextWriter out(sink, encoding, text);
    auto changed = edit(text, encoding, out);
    if (!changed || !*changed) return changed;
    if (auto finished = out.Finish(); !finished) return std::unexpected(finished.error());
    return true;
}

}  // namespace varnel
