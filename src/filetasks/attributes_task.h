// The attributes task (批量属性): gives every listed file exactly the ticked DOS
// attributes (read-only, hidden, system, archive) and removes the others, through
// the attribute layer of platform/dos_attributes.h (a folder's read-only bit lives
// in its extended attribute only). Undo gets back the attribute word and the whole
// mode. Runs on the run's own thread.
#pragma once

#include <cstdint>

#include "filetasks/property_rows.h"
#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"

namespace varnel {

struct AttributesParams {
    std::uint32_t attributes = 0;  // the sum of the ticked weights: 1, 2, 4, 32
};

// The preview's words before the attribute names, after a transfer's text.
inline constexpr const char* kNewAttributesText = " ◆ 新属性：";

// One row: a preview shows the new attribute names; an execute sets them, shows
// what the file holds afterwards and records the old word and mode.
void ChangeAttributesOfFile(RunContext& run, RunRows& rows, const PropertyRow& row, std::uint32_t attributes,
                            PosixApi& os = SystemPosix());

// The runner.
void RunAttributesTask(RunContext& run, RunRows& rows, const AttributesParams& params, PosixApi& os = SystemPosix());

}  // namespace varnel
