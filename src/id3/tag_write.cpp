#include "id3/tag_write.h"

#include <atomic>

#include "id3/genre_names.h"
#include "id3/id3_text.h"

namespace varnel {

namespace {

// Every "*" of a track text as the row number.
std::string NumberedTrack(std::string_view track, std::int64_t row) {
    std::string out;
    for (const char c : track) {
        if (c == '*') {
            out += std::to_string(row);
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string TagGenreNumberText(std::string_view genreText) {
    const long number = LeadingWholeNumber(genreText);
    if (number <= 0) return {};
    return std::to_string(std::min<long>(number, kLastGenreNumber));
}

MetaEnvironment TagMetaEnvironment(const RunContext& run, const std::atomic<bool>& symbols, PosixApi& os) {
    MetaEnvironment meta;
    meta.settings = run.Settings().meta;
    meta.symbolsEnabled = &symbols;
    meta.os = &os;
    return meta;
}

std::expected<std::string, Error> WriteTagsOfFile(Id3TagPair& tags, const TagRowContext& at,
                                                  const TagEditParams& params, const MetaEnvironment& meta) {
    const auto expand = [&](const std::string& text) -> std::expected<std::string, Error> {
        if (text.find('#') == std::string::npos) return text;
        MetaExpansionRequest request;
        request.path = at.path;
        request.text = text;
        request.row = at.row;
        return ExpandMetaVariables(meta, request);
    };
    struct Field {
        const std::optional<std::string>& value;
        std::string Id3v1Tag::*v1;
        std::string Id3v2Tag::*v2;
        bool expanded;  // the year, copyright and encoder are written as typed
    };
    const Field fields[] = {
        {params.title, &Id3v1Tag::title, &Id3v2Tag::title, true},
        {params.artist, &Id3v1Tag::artist, &Id3v2Tag::artist, true},
        {params.album, &Id3v1Tag::album, &Id3v2Tag::album, true},
        {params.year, &Id3v1Tag::year, &Id3v2Tag::year, false},
        {params.comment, &Id3v1Tag::comment, &Id3v2Tag::comment, true},
        {params.originalArtist, nullptr, &Id3v2Tag::originalArtist, true},
        {params.composer, nullptr, &Id3v2Tag::composer, true},
        {params.lyrics, nullptr, &Id3v2Tag::lyrics, true},
        {params.link, nullptr, &Id3v2Tag::link, true},
        {params.copyright, nullptr, &Id3v2Tag::copyright, false},
        {params.encodedBy, nullptr, &Id3v2Tag::encodedBy, false},
    };
    const auto put = [&](std::string value, std::string Id3v1Tag::*v1, std::string Id3v2Tag::*v2) {
        if (params.writeV1 && v1 != nullptr) tags.v1.*v1 = value;
        if (params.writeV2) tags.v2.*v2 = std::move(value);
    };
    for (const Field& field : fields) {
        if (!field.value) continue;
        auto value = field.expanded ? expand(*field.value) : std::expected<std::string, Error>(*field.value);
        if (!value) return std::unexpected(value.error());
        put(std::move(*value), field.v1, field.v2);
    }
    if (params.track) {
        auto value = expand(NumberedTrack(*params.track, at.row));
        if (!value) return std::unexpected(value.error());
        put(std::move(*value), &Id3v1Tag::track, &Id3v2Tag::track);
    }
    if (params.genre) put(TagGenreNumberText(*params.genre), &Id3v1Tag::genre, &Id3v2Tag::genre);
    return std::string();
}

void RunTagWriteTask(RunContext& run, RunRows& rows, const TagEditParams& params, PosixApi& os) {
    if (!params.writeV1 && !params.writeV2) return;
    const std::atomic<bool> symbols(run.Settings().metaSymbols);
    const MetaEnvironment meta = TagMetaEnvironment(run, symbols, os);
    TagTaskParams task;
    task.which = params.writeV1 && params.writeV2 ? TagVersions::Both
                 : params.writeV1                ? TagVersions::Version1
                                                 : TagVersions::Version2;
    task.change = [&](Id3TagPair& tags, const TagRowContext& at) { return WriteTagsOfFile(tags, at, params, meta); };
    RunTagTask(run, rows, task, os);
}

}  // namespace varnel
