#include "platform/marked_text_editor.h"

#include "platform/file_io.h"
#include "utilities/char_forms.h"
#include "utilities/codec.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr TextMarkers kTitleMarkers{"<title>", "</title>", false};

enum class Encoding { Utf8, Gbk };

// Length of the character at `pos`. In GBK a lead byte with a valid trail byte is
// one character of two bytes; any other byte stands alone.
std::size_t CharLength(std::string_view text, std::size_t pos, Encoding encoding) {
    if (encoding == Encoding::Utf8) return DecodeUtf8At(text, pos).length;
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead >= 0x81 && lead <= 0xFE && pos + 1 < text.size()) {
        const auto trail = static_cast<unsigned char>(text[pos + 1]);
        if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) return 2;
    }
    return 1;
}


// Whether `needle` stands at `pos`, a character boundary of `text`. Without case,
// a letter matches only a one-byte character: a GBK trail byte that happens to be
// a letter belongs to its double-byte character.
bool MatchesAt(std::string_view text, std::size_t pos, std::string_view needle, bool ignoreCase,
               Encoding encoding) {
    if (text.size() - pos < needle.size()) return false;
    if (!ignoreCase) return text.substr(pos, needle.size()) == needle;
    for (std::size_t k = 0; k < needle.size();) {
        const std::size_t length = CharLength(needle, k, encoding);
        if (length == 1 ? LowerAsciiChar(text[pos + k]) != LowerAsciiChar(needle[k])
                        : text.substr(pos + k, length) != needle.substr(k, length)) {
            return false;
        }
        k += length;
    }
    return true;
}

// The first character boundary at or after `from` (itself a boundary) where
// `needle` stands, or npos.
std::size_t FindOnBoundary(std::string_view text, std::size_t from, std::string_view needle,
                           bool ignoreCase, Encoding encoding) {
    for (std::size_t pos = from; pos < text.size(); pos += CharLength(text, pos, encoding)) {
        if (MatchesAt(text, pos, needle, ignoreCase, encoding)) return pos;
    }
    return std::string_view::npos;
}

struct Stretch {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// `start` and `end` are already in the text's encoding.
std::optional<Stretch> LocateStretch(std::string_view text, std::size_t from, std::string_view start,
                                     std::string_view end, bool ignoreCase, Encoding encoding) {
    if (start.empty() || end.empty()) return std::nullopt;
    const std::size_t p1 = FindOnBoundary(text, from, start, ignoreCase, encoding);
    if (p1 == std::string_view::npos) return std::nullopt;
    const std::size_t begin = p1 + start.size();
    const std::size_t p2 = FindOnBoundary(text, begin, end, ignoreCase, encoding);
    if (p2 == std::string_view::npos) return std::nullopt;
    return Stretch{begin, p2};
}

// A file's bytes with the encoding they are read in: UTF-8 when valid (after an
// optional BOM), GBK otherwise.
struct FileText {
    std::string bytes;
    std::size_t bodyStart = 0;
    Encoding encoding = Encoding::Utf8;

    std::string_view Body() const { return std::string_view(bytes).substr(bodyStart); }

    std::string ToUtf8(std::string_view part) const {
        if (encoding == Encoding::Utf8) return std::string(part);
        auto decoded = DecodeFromCodec(part, kCodecGbk, CodecMode::Lenient);
        return decoded ? *decoded : ToDisplayText(part);
    }

    // UTF-8 text in the file's encoding; none where the encoding cannot hold it.
    std::optional<std::string> FromUtf8(std::string_view text) const {
        if (encoding == Encoding::Gbk) {
            auto encoded = EncodeToCodec(text, kCodecGbk);
            return encoded ? std::optional(std::move(*encoded)) : std::nullopt;
        }
        return IsValidUtf8(text) ? std::optional<std::string>(text) : std::nullopt;
    }

    std::optional<Stretch> Locate(const TextMarkers& markers) const {
        auto start = FromUtf8(markers.start);
        auto end = FromUtf8(markers.end.value_or(markers.start));
        if (!start || !end) return std::nullopt;  // a marker the file cannot hold is not in it
        return LocateStretch(bytes, bodyStart, *start, *end, markers.ignoreCase, encoding);
    }
};

// The title sits in a page's head, near its top: this much of a page is read for
// it, however large the page (a title further down is not found).
constexpr std::size_t kPageTitleHeadBytes = 256 * 1024;

// A head cut at a byte limit may end inside a UTF-8 character: it ends before it.
std::string_view WithoutCutCharacter(std::string_view bytes) {
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? bytes.substr(0, bytes.size() - back) : bytes;
    }
    return bytes;
}

// The whole file, or (limit given) at most its first `limit` bytes.
std::expected<FileText, Error> ReadFileText(const std::string& path, PosixApi& os,
                                            std::size_t limit = std::string::npos) {
    auto bytes = limit == std::string::npos ? ReadWholeFile(path, os) : ReadFileHead(path, limit, os);
    if (!bytes) return std::unexpected(bytes.error());
    if (bytes->size() == limit) bytes->resize(WithoutCutCharacter(*bytes).size());
    FileText file;
    file.bytes = std::move(*bytes);
    if (file.bytes.starts_with(kUtf8Bom)) file.bodyStart = kUtf8Bom.size();
    file.encoding = IsValidUtf8(file.Body()) ? Encoding::Utf8 : Encoding::Gbk;
    return file;
}

}  // namespace

std::string MarkedTextEditor::GetMarkedText(std::string_view content,
                                            const TextMarkers& markers) const {
    const auto stretch = LocateStretch(content, 0, markers.start, markers.end.value_or(markers.start),
                                       markers.ignoreCase, Encoding::Utf8);
    if (!stretch) return {};
    return std::string(content.substr(stretch->begin, stretch->end - stretch->begin));
}

std::string MarkedTextEditor::GetMarkedTextInFile(const std::string& path,
                                                  const TextMarkers& markers, std::string* content,
                                                  PosixApi& os) const {
    if (content) content->clear();
    const auto file = ReadFileText(path, os);
    if (!file) return {};
    if (content) *content = file->ToUtf8(file->Body());
    const auto stretch = file->Locate(markers);
    if (!stretch) return {};
    const std::string_view bytes = file->bytes;
    return file->ToUtf8(bytes.substr(stretch->begin, stretch->end - stretch->begin));
}

bool MarkedTextEditor::ReplaceMarkedText(std::string& content, std::string_view newText,
                                         const TextMarkers& markers) const {
    const auto stretch = LocateStretch(content, 0, markers.start, markers.end.value_or(markers.start),
                                       markers.ignoreCase, Encoding::Utf8);
    if (!stretch) return false;
    content.replace(stretch->begin, stretch->end - stretch->begin, newText);
    return true;
}

std::expected<void, Error> MarkedTextEditor::ReplaceMarkedTextInFile(const std::string& path,
                                                                     std::string_view newText,
                                                                     const TextMarkers& markers,
                                                                     std::string* content,
                                                                     PosixApi& os) const {
    auto file = ReadFileText(path, os);
    if (!file) return std::unexpected(file.error());
    const auto stretch = file->Locate(markers);
    if (!stretch) {
        return std::unexpected(Error{Error::kInvalidInput, "文件中找不到起止标记", path});
    }
    auto encoded = file->FromUtf8(newText);
    if (!encoded) {
        return std::unexpected(Error{Error::kConversion,
                                     file->encoding == Encoding::Gbk
                                         ? "新的文本含有 GBK 编码的文件无法容纳的字符"
                                         : "新的文本不是有效的 UTF-8",
                                     path});
    }
    file->bytes.replace(stretch->begin, stretch->end - stretch->begin, *encoded);
    if (auto written = WriteFileAtomically(path, file->bytes, os); !written) {
        return std::unexpected(written.error());
    }
    if (content) *content = file->ToUtf8(file->Body());
    return {};
}

std::string MarkedTextEditor::GetPageTitle(const std::string& path, PosixApi& os) const {
    const auto file = ReadFileText(path, os, kPageTitleHeadBytes);
    if (!file) return {};
    const auto stretch = file->Locate(kTitleMarkers);
    if (!stretch) return {};
    return file->ToUtf8(std::string_view(file->bytes).substr(stretch->begin, stretch->end - stretch->begin));
}

std::expected<void, Error> MarkedTextEditor::SetPageTitle(const std::string& path,
                                                          std::string_view title,
                                                          PosixApi& os) const {
    return ReplaceMarkedTextInFile(path, title, kTitleMarkers, nullptr, os);
}

}  // namespace varnel
