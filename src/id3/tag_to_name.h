// The names-from-tags task (批量Id3读出): every listed file renamed after its own
// tag fields, by an expression such as "#歌名 - #歌手" whose codes take the values
// of the ID3v1 or the ID3v2 tag. Runs on the run's own thread.
#pragma once

#include <expected>
#include <string>
#include <string_view>

#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"
#include "utilities/error.h"

namespace varnel {

struct TagToNameParams {
    std::string expression = "#歌名 - #歌手";
    bool useV1 = true;
    // Fields the chosen version lacks are taken from the other one.
    bool complement = false;

    bool operator==(const TagToNameParams&) const = default;
};

// The expression with every short code ("#ST") turned into its long code ("#歌名").
std::string LongTagCodes(std::string_view expression);

// A tag text as a piece of a name: control characters removed, "/" as its
// full-width form "／", then blanks and dots at its end removed.
std::string TagTextForName(std::string_view text);

// The new name of one file: the expression with its codes replaced by the file's
// tag values (ID3v1 mode replaces the seven codes ID3v1 has and leaves the others
// as written), then "." and the file's extension. Fails, saying why, when a code
// the expression uses has no value, the name would be empty, or the file or its
// tag header cannot be read. Meta-variables are left to the rename step.
std::expected<std::string, Error> TagToNameOfFile(const std::string& path, const TagToNameParams& params,
                                                  PosixApi& os = SystemPosix());

// The runner; the expression must hold long codes already. A row that gets no
// name fails with its reason, in the preview as in the run.
void RunTagToNameTask(RunContext& run, RunRows& rows, const TagToNameParams& params, PosixApi& os = SystemPosix());

}  // namespace varnel
