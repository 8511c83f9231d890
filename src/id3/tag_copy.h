// The tag copy task (批量Id3复制): the seven fields both tag versions have, copied
// from one version to the other, exchanged, or each version's empty fields filled
// from the other. Runs on the run's own thread.
#pragma once

#include <string>

#include "id3/tag_run.h"
#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"

namespace varnel {

enum class TagCopyMode : int { V2ToV1 = 0, V1ToV2 = 1, Exchange = 2, Complement = 3 };

// Copies title, artist, album, year, comment, track and genre, in that order, as
// the mode says (a complement fills ID3v1 first, then ID3v2 from the result). A
// text too long for its ID3v1 field is copied whole: the row's write then fails.
void CopyTagFields(Id3TagPair& tags, TagCopyMode mode);

// The versions a mode writes.
TagVersions CopyModeVersions(TagCopyMode mode);

// The change of one file's pair: the copy; no note.
std::string CopyTagsOfFile(Id3TagPair& tags, TagCopyMode mode);

void RunTagCopyTask(RunContext& run, RunRows& rows, TagCopyMode mode, PosixApi& os = SystemPosix());

}  // namespace varnel
