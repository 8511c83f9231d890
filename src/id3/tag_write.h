// The tag write task (批量Id3写入): chosen fields written into the ID3v1 tag, the
// ID3v2 tag or both of every listed file. A field's text may hold meta-variables,
// expanded for each file; "*" in the track stands for the row number. Runs on the
// run's own thread.
#pragma once

#include <expected>
#include <optional>
#include <string>

#include "id3/tag_run.h"
#include "naming/meta_expansion.h"
#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"
#include "utilities/error.h"

namespace varnel {

inline constexpr const char* kNoVersionChosenText = "v1和v2至少选择修改一项";

// The fields to write: a field with no value is left as each file has it; an empty
// value clears it. genre is the text of a genre entry ("17.Rock"), "" for none.
struct TagEditParams {
    std::optional<std::string> title;
    std::optional<std::string> artist;
    std::optional<std::string> album;
    std::optional<std::string> year;
    std::optional<std::string> track;
    std::optional<std::string> genre;
    std::optional<std::string> comment;
    std::optional<std::string> originalArtist;
    std::optional<std::string> composer;
    std::optional<std::string> lyrics;
    std::optional<std::string> link;
    std::optional<std::string> copyright;
    std::optional<std::string> encodedBy;
    bool writeV1 = true;
    bool writeV2 = false;

    bool operator==(const TagEditParams&) const = default;
};

// The genre number a genre text gives a tag: its leading number, clamped to the
// table's last genre; "" (no genre) for a text without a number or with 0.
std::string TagGenreNumberText(std::string_view genreText);

// The change of one file's pair: each field with a value, expanded for that file,
// into the versions written (ID3v1 takes only the seven fields it has). Fails
// when an expansion fails.
std::expected<std::string, Error> WriteTagsOfFile(Id3TagPair& tags, const TagRowContext& at,
                                                  const TagEditParams& params, const MetaEnvironment& meta);

// The runner: with neither version chosen it touches no row.
void RunTagWriteTask(RunContext& run, RunRows& rows, const TagEditParams& params, PosixApi& os = SystemPosix());

// The meta-variable environment of a tag run, over the run's snapshot of the
// parameters; `symbols` holds the 启用元符 switch and lives as long as the result.
MetaEnvironment TagMetaEnvironment(const RunContext& run, const std::atomic<bool>& symbols, PosixApi& os);

}  // namespace varnel
