#include "platform/text_file_stream.h"

#include "platform/file_io.h"
#include "utilities/codec.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The length of the part of `bytes` made of whole UTF-8 sequences: a sequence cut
// off by the end of the chunk waits for the next one.
std::size_t WholeUtf8Length(std::string_view bytes) {
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const std::size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return needed > back ? bytes.size() - back : bytes.size();
    }
    return bytes.size();
}

// The same for GBK, where only a walk from the start tells a lead byte from a trail
// byte: a lead byte at the very end waits for its trail byte.
std::size_t WholeGbkLength(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[pos]);
        if (lead < 0x81 || lead > 0xFE) {
            ++pos;
        } else if (pos + 1 == bytes.size()) {
            return pos;
        } else {
            const auto trail = static_cast<unsigned char>(bytes[pos + 1]);
            pos += (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) ? 2 : 1;
        }
    }
    return bytes.size();
}

// Decodes the chunks of one file in order, keeping a character cut at a chunk's end
// for the next.
class TextDecoder {
public:
    explicit TextDecoder(const std::function<bool(std::string_view)>& consume) : m_consume(consume) {}

    // False once the reader wants no more.
    bool Take(std::string_view chunk, bool last) {
        m_pending.append(chunk);
        if (!m_judged) {
            // Enough bytes to see a byte-order mark, unless the file is shorter.
            if (!last && m_pending.size() < kUtf8Bom.size()) return true;
            if (m_pending.starts_with(kUtf8Bom)) {
                m_pending.erase(0, kUtf8Bom.size());
            } else {
                m_utf8 = IsValidUtf8(std::string_view(m_pending).substr(0, WholeUtf8Length(m_pending)));
            }
            m_judged = true;
        }
        const std::string_view pending = m_pending;
        const std::size_t whole = last ? pending.size() : m_utf8 ? WholeUtf8Length(pending) : WholeGbkLength(pending);
        const std::string piece = Decode(pending.substr(0, whole));
        m_pending.erase(0, whole);
        return piece.empty() || m_consume(piece);
    }

private:
    std::string Decode(std::string_view bytes) const {
        if (m_utf8) return IsValidUtf8(bytes) ? std::string(bytes) : ToDisplayText(bytes);
        auto decoded = DecodeFromCodec(bytes, kCodecGbk, CodecMode::Lenient);
        return decoded ? std::move(*decoded) : ToDisplayText(bytes);
    }

    const std::function<bool(std::string_view)>& m_consume;
    std::string m_pending;
    bool m_judged = false;
    bool m_utf8 = true;
};

}  // namespace

std::expected<std::optional<std::string>, Error> ReadFileIfAtMost(const std::string& path, std::size_t maxBytes,
                                                                  PosixApi& os) {
    std::string bytes;
    auto read = ReadFileInChunksWhile(
        path,
        [&](std::string_view chunk) {
            bytes.append(chunk.substr(0, maxBytes + 1 - bytes.size()));
            return bytes.size() <= maxBytes;
        },
        os);
    if (!read) return std::unexpected(std::move(read.error()));
    if (bytes.size() > maxBytes) return std::nullopt;
    return bytes;
}

std::expected<void, Error> ReadTextFileWhile(const std::string& path,
                                             const std::function<bool(std::string_view)>& consume, PosixApi& os) {
    TextDecoder decoder(consume);
    bool wanting = true;
    auto read = ReadFileInChunksWhile(
        path, [&](std::string_view chunk) { return wanting = decoder.Take(chunk, false); }, os);
    if (!read) return std::unexpected(std::move(read.error()));
    if (wanting) decoder.Take({}, true);
    return {};
}

}  // namespace varnel
