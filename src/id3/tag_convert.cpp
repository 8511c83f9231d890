#include "id3/tag_convert.h"

#include "id3/id3_text.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

bool WorksOnBytes(const ConvertOptions& options) {
    return options.codec != CodecConversion::None ||
           (options.tradSimp != ScriptConversion::None && options.tradSimp != ScriptConversion::TraditionalToSimplified &&
            options.tradSimp != ScriptConversion::SimplifiedToTraditional);
}

Error LostText(std::string_view text) { return Error{EILSEQ, "转换结果无法存入标签", std::string(text)}; }

}  // namespace

std::expected<std::string, Error> ConvertTagText(std::string_view text, const ConvertOptions& options) {
    if (text.empty()) return std::string();
    ConvertOptions whole = options;
    whole.scope = ConvertScope::WholeText;
    if (!WorksOnBytes(whole)) {
        auto converted = ConvertText(text, whole);
        if (!converted) return converted;
        if (converted->find('\0') != std::string::npos || !IsValidUtf8(*converted)) return std::unexpected(LostText(text));
        return converted;
    }
    const std::optional<std::string> bytes = SingleByteForm(text);
    if (!bytes) return std::unexpected(LostText(text));
    auto converted = ConvertText(*bytes, whole);
    if (!converted) return converted;
    if (converted->find('\0') != std::string::npos) return std::unexpected(LostText(text));
    std::string result = DecodeSingleByteText(*converted);
    if (SingleByteForm(result) != *converted) return std::unexpected(LostText(text));
    return result;
}

std::expected<std::string, Error> ConvertTagsOfFile(Id3TagPair& tags, const TagConvertParams& params) {
    const auto convert = [&](std::string& field) -> bool {
        auto converted = ConvertTagText(field, params.options);
        if (!converted) return false;
        field = std::move(*converted);
        return true;
    };
    std::string* failed = nullptr;
    const auto each = [&](std::initializer_list<std::string*> fields) {
        for (std::string* field : fields) {
            if (failed == nullptr && !convert(*field)) failed = field;
        }
    };
    Id3v1Tag& v1 = tags.v1;
    Id3v2Tag& v2 = tags.v2;
    if (params.convertV1) each({&v1.title, &v1.artist, &v1.album, &v1.year, &v1.track, &v1.genre, &v1.comment});
    if (params.convertV2) {
        each({&v2.title, &v2.artist, &v2.album, &v2.year, &v2.track, &v2.genre, &v2.comment, &v2.originalArtist,
              &v2.composer, &v2.lyrics, &v2.link, &v2.copyright, &v2.encodedBy});
    }
    if (failed != nullptr) return std::unexpected(LostText(*failed));
    return std::string();
}

void RunTagConvertTask(RunContext& run, RunRows& rows, const TagConvertParams& params, PosixApi& os) {
    if (!params.convertV1 && !params.convertV2) return;
    TagTaskParams task;
    task.which = params.convertV1 && params.convertV2 ? TagVersions::Both
                 : params.convertV1                  ? TagVersions::Version1
                                                     : TagVersions::Version2;
    task.change = [&params](Id3TagPair& tags, const TagRowContext&) { return ConvertTagsOfFile(tags, params); };
    RunTagTask(run, rows, task, os);
}

}  // namespace varnel
