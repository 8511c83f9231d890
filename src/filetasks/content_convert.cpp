#include "filetasks/content_convert.h"

#include <cerrno>

#include "filetasks/content_rewrite.h"

namespace varnel {

namespace {

constexpr std::string_view kBomUtf8 = "\xEF\xBB\xBF";
constexpr std::string_view kBomUtf16Le = "\xFF\xFE";

bool ReadsUnicode(CodecConversion c) { return c == CodecConversion::UnicodeToAnsi || c == CodecConversion::UnicodeToUtf8; }
bool ReadsUtf8(CodecConversion c) { return c == CodecConversion::Utf8ToAnsi || c == CodecConversion::Utf8ToUnicode; }
bool WritesUnicode(CodecConversion c) { return c == CodecConversion::AnsiToUnicode || c == CodecConversion::Utf8ToUnicode; }

// Conversions that read or write the file's bytes in a given encoding.
bool WorksOnBytes(const ConvertOptions& o) {
    return o.codec != CodecConversion::None || (o.tradSimp >= ScriptConversion::Big5ToGbkTraditional &&
                                                o.tradSimp <= ScriptConversion::GbkSimplifiedToBig5);
}

}  // namespace

std::expected<std::string, Error> ConvertTextOfFile(std::string_view bytes, const ConvertOptions& options) {
    if (!WorksOnBytes(options)) {
        auto edited = EditAsText(bytes, [&](std::string& text, TextEncoding) -> std::expected<bool, Error> {
            auto converted = ConvertText(text, options);
            if (!converted) return std::unexpected(converted.error());
            text = std::move(*converted);
            return true;
        });
        if (!edited) return std::unexpected(edited.error());
        return std::move(edited->bytes);
    }
    std::string_view body = bytes;
    if (ReadsUnicode(options.codec) && body.starts_with(kBomUtf16Le)) body.remove_prefix(kBomUtf16Le.size());
    if (ReadsUtf8(options.codec) && body.starts_with(kBomUtf8)) body.remove_prefix(kBomUtf8.size());
    auto converted = ConvertText(body, options);
    if (!converted) return std::unexpected(converted.error());
    if (WritesUnicode(options.codec)) return std::string(kBomUtf16Le) + *converted;
    if (converted->find('\0') != std::string::npos && body.find('\0') == std::string_view::npos) {
        return std::unexpected(Error{EILSEQ, "转换结果含有空字节", {}});
    }
    return std::move(*converted);
}

void RunContentConvertTask(RunContext& run, RunRows& rows, const ConvertOptions& options, PosixApi& os) {
    RunContentRows(
        run, rows,
        [&options](const ContentRow&, std::string_view bytes) -> std::expected<ContentEdit, Error> {
            auto converted = ConvertTextOfFile(bytes, options);
            if (!converted) return std::unexpected(converted.error());
            return ContentEdit{std::move(*converted), false};
        },
        os);
}

}  // namespace varnel
