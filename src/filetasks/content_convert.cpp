#include "filetasks/content_convert.h"

#include <cerrno>

#include "filetasks/content_rewrite.h"

namespace varnel {

namespace {

constexpr std::string_view kBomUtf8 = "\xEF\xBB\xBF";
constexpr std::string_view kBomUtf16Le = "\xFF\xFE";
constexpr std::string_view kBomUtf16Be = "\xFE\xFF";

bool ReadsUnicode(CodecConversion c) { return c == CodecConversion::UnicodeToAnsi || c == CodecConversion::UnicodeToUtf8; }
bool ReadsUtf8(CodecConversion c) { return c == CodecConversion::Utf8ToAnsi || c == CodecConversion::Utf8ToUnicode; }
bool WritesUnicode(CodecConversion c) { return c == CodecConversion::AnsiToUnicode || c == CodecConversion::Utf8ToUnicode; }
bool ReadsNarrow(CodecConversion c) {
    return c == CodecConversion::AnsiToUnicode || c == CodecConversion::AnsiToUtf8 || ReadsUtf8(c);
}

// UTF-16, with a BOM or found by its NUL bytes: read as ANSI or UTF-8 it would
// come out as NUL-laden nonsense.
bool IsUtf16(std::string_view bytes) {
    return bytes.starts_with(kBomUtf16Le) || bytes.starts_with(kBomUtf16Be) ||
           (bytes.find('\0') != std::string_view::npos && DetectUtf16WithoutBom(bytes));
}

// Conversions that read or write the file's bytes in a given encoding.
bool WorksOnBytes(const ConvertOptions& o) {
    return o.codec != CodecConversion::None || (o.tradSimp >= ScriptConversion::Big5ToGbkTraditional &&
                                                o.tradSimp <= ScriptConversion::GbkSimplifiedToBig5);
}

}  // namespace

namespace {

// Where the piece of `body` that starts at `from` ends: after the first line end
// at least kPiece bytes on (a line end is never part of a character in any of
// the encodings read), or at the end. UTF-16 line ends are two bytes at an even
// place. Small pieces keep the converter's buffers the same few blocks of memory
// from one piece to the next instead of fresh pages for every file.
std::size_t PieceEnd(std::string_view body, std::size_t from, bool wide) {
    constexpr std::size_t kPiece = std::size_t{64} << 10;
    for (std::size_t at = from + kPiece; at < body.size(); ++at) {
        at = body.find('\n', at);
        if (at == std::string_view::npos) break;
        if (!wide) return at + 1;
        if (at % 2 == 0 && at + 1 < body.size() && body[at + 1] == '\0') return at + 2;
    }
    return body.size();
}

}  // namespace

std::expected<bool, Error> ConvertFileContent(std::string_view bytes, const ConvertOptions& options, ContentSink& sink) {
    if (!WorksOnBytes(options)) {
        return EditFileText(bytes, sink, [&](std::string_view text, TextEncoding, TextWriter& out) -> std::expected<bool, Error> {
            auto converted = ConvertText(text, options);
            if (!converted) return std::unexpected(converted.error());
            if (auto put = out.Append(*converted); !put) return std::unexpected(put.error());
            return true;
        });
    }
    const bool wideSource = IsUtf16(bytes);
    if (wideSource && ReadsNarrow(options.codec)) {
        return std::unexpected(Error{EILSEQ, "文件是 Unicode (UTF-16) 编码，不能按 ANSI 或 UTF-8 转换", {}});
    }
    std::string_view body = bytes;
    if (ReadsUnicode(options.codec) && body.starts_with(kBomUtf16Le)) body.remove_prefix(kBomUtf16Le.size());
    if (ReadsUtf8(options.codec) && body.starts_with(kBomUtf8)) body.remove_prefix(kBomUtf8.size());
    if (WritesUnicode(options.codec)) {
        if (auto put = sink.Write(kBomUtf16Le); !put) return std::unexpected(put.error());
    }
    // A whole-text conversion goes a piece of lines at a time, so that a large file
    // is never held converted.
    const bool whole = options.scope == ConvertScope::WholeText || options.scope == ConvertScope::WholeName;
    std::size_t from = 0;
    do {
        const std::size_t end = whole ? PieceEnd(body, from, ReadsUnicode(options.codec)) : body.size();
        const std::string_view piece = body.substr(from, end - from);
        auto converted = ConvertText(piece, options);
        if (!converted) return std::unexpected(converted.error());
        // NULs that were there already stay (a file of bytes); new ones, or any from
        // a UTF-16 source, would make a text of nonsense.
        if (!WritesUnicode(options.codec) && converted->find('\0') != std::string::npos &&
            (wideSource || piece.find('\0') == std::string_view::npos)) {
            return std::unexpected(Error{EILSEQ, "转换结果含有空字节", {}});
        }
        if (auto put = sink.Write(*converted); !put) return std::unexpected(put.error());
        sink.Consumed(piece.data() + piece.size());
        from = end;
    } while (from < body.size());
    return true;
}

std::expected<std::string, Error> ConvertTextOfFile(std::string_view bytes, const ConvertOptions& options) {
    StringSink sink;
    if (auto converted = ConvertFileContent(bytes, options, sink); !converted) return std::unexpected(converted.error());
    return std::move(sink.Bytes());
}

void RunContentConvertTask(RunContext& run, RunRows& rows, const ConvertOptions& options, PosixApi& os) {
    RunContentRows(
        run, rows,
        [&options](const ContentRow&, std::string_view bytes, ContentSink& sink) {
            return ConvertFileContent(bytes, options, sink);
        },
        os);
}

}  // namespace varnel
