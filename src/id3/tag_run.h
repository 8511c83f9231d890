// The run structure the tag tasks share: the row loop, the worker that reads,
// changes and (in an execute run) writes the tags of one file and records them
// for undo, and the undo of those records, which the tag family enters for its
// undo kind. A task supplies only its change of a tag pair. Runs on the run's own
// thread; the undo on the undo's thread.
#pragma once

#include <cstdint>
#include <expected>
#include <functional>
#include <string>

#include "id3/id3_tag_pair.h"
#include "id3/tag_undo_entry.h"
#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"
#include "runs/undo_families.h"
#include "runs/undo_record.h"
#include "utilities/error.h"

namespace varnel {

// The file a change is made for: its path and its 1-based list row.
struct TagRowContext {
    const std::string& path;
    std::int64_t row = 0;
};

// A task's change to the pair read from one file: a note for the preview ("" for
// none), or why the file cannot be changed (the row fails and nothing is written).
using TagChange = std::function<std::expected<std::string, Error>(Id3TagPair& tags, const TagRowContext& at)>;

// What a tag task changes.
struct TagTaskParams {
    // The tag versions the task writes.
    TagVersions which = TagVersions::Both;
    // Read both versions even when only one is written (a copy between them).
    bool readBoth = false;
    TagChange change;
};

inline constexpr const char* kTagPreviewSeparator = " ◆ ";

bool WritesVersion1(TagVersions which);
bool WritesVersion2(TagVersions which);

// "【[v1]...】【[v2]...】" for the versions written.
std::string TagPreviewText(const Id3TagPair& tags, TagVersions which);

// Every run row through the worker, with the checkpoint after each row. In
// transfer mode the row's file is copied first and the copy's tags change.
void RunTagTask(RunContext& run, RunRows& rows, const TagTaskParams& params, PosixApi& os = SystemPosix());

// The worker for one row whose file is `path`.
void ApplyTagTaskToFile(RunContext& run, RunRows& rows, std::size_t row, const std::string& path,
                        const TagTaskParams& params, PosixApi& os = SystemPosix());

// Puts back the tags an entry recorded, while the file is still the one the run
// left: a tag the file did not have before the run is removed.
std::expected<void, Error> RestoreTagEntry(const TagEntry& entry, PosixApi& os = SystemPosix());

// Enters the tag kind: its entries are undone by RestoreTagEntry, and the undo
// manager shows a file's old tags of the versions the run wrote.
void RegisterTagUndoKind(UndoFamilyRegistry& families);

}  // namespace varnel
