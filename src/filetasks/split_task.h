// The file split task (批量分割): every listed file cut into pieces by a number of
// pieces, a byte size, a number of characters, a number of lines or at a marker,
// each piece a new file named from a path template whose "*" is the piece number.
// Pieces never replace a file: a row whose piece paths collide, exist already or
// name the source writes nothing and fails; a row that fails on the way (a full
// disk) removes the pieces it wrote and the folders it made for them. The source is removed only when every
// piece was written, the run was not stopped in that row, and its bytes are in the
// undo spool. Execute runs only; runs on the run's own thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"

namespace varnel {

enum class SplitType : int { PieceCount = 0, ByteSize = 1, Characters = 2, Lines = 3, Marker = 4 };

// The template a custom path starts from; without a custom path the pieces of
// /d/a.txt go to /d/a/a_1.txt, /d/a/a_2.txt, ...
inline constexpr const char* kDefaultSplitTemplate = "#目录路径/#主名/#主名_*.#扩展名";

struct SplitParams {
    SplitType splitType = SplitType::PieceCount;
    std::int64_t position = 0;  // pieces, bytes, characters or lines per piece
    std::string marker;
    bool useCustomPath = false;
    std::string customPath = kDefaultSplitTemplate;
    bool deleteSource = false;
    bool loadParts = false;
};

// Why the parameters cannot run (a size or count below 1, an empty marker, a
// template without "*"), or "".
std::string SplitProblem(const SplitParams& params);

// A piece: a byte range of the source, or bytes of its own (text pieces, written
// in the source's encoding).
struct SplitPiece {
    std::int64_t offset = 0;
    std::int64_t length = 0;
    std::string bytes;
    bool ownBytes = false;
};

// The pieces of a source of `length` bytes. Byte-based types need only the length;
// the text types read `content` (the whole source) and fail on a text that is not
// in an encoding the file can be read in.
std::expected<std::vector<SplitPiece>, Error> PlanSplit(const SplitParams& params, std::int64_t length,
                                                        std::string_view content);

// Row statuses.
inline constexpr const char* kSplitDone = "分割完成！";
inline constexpr const char* kSplitFailed = "分割失败！";

// The runner. Its pieces, for the list when loadParts is on, go to `pieces`.
void RunFileSplitTask(RunContext& run, RunRows& rows, const SplitParams& params, std::vector<std::string>* pieces = nullptr,
                      PosixApi& os = SystemPosix());

}  // namespace varnel
