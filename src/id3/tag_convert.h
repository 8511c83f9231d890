// The tag convert task (批量Id3转换): every text field of the chosen tag versions
// through the shared text converter (codec, numerals, letter case, width,
// simplified and traditional Chinese). Runs on the run's own thread.
#pragma once

#include <expected>
#include <string>
#include <string_view>

#include "id3/tag_run.h"
#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"
#include "utilities/error.h"
#include "utilities/text_converter.h"

namespace varnel {

struct TagConvertParams {
    ConvertOptions options;
    bool convertV1 = true;
    bool convertV2 = false;

    bool operator==(const TagConvertParams&) const = default;
};

// One tag text converted. The character steps work on the text itself; a codec or
// Big5 step works on the bytes a single-byte tag stores (GBK, else ISO-8859-1) and
// the result is read back the same way. Fails when the result holds a NUL byte or
// cannot be read back to the same bytes (a character would be lost).
std::expected<std::string, Error> ConvertTagText(std::string_view text, const ConvertOptions& options);

// The change of one file's pair: every text field of the chosen versions.
std::expected<std::string, Error> ConvertTagsOfFile(Id3TagPair& tags, const TagConvertParams& params);

// The runner: with neither version chosen it touches no row.
void RunTagConvertTask(RunContext& run, RunRows& rows, const TagConvertParams& params,
                       PosixApi& os = SystemPosix());

}  // namespace varnel
