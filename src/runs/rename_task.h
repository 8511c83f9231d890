// The runners of the rename tasks: the row loop they share, which hands each row's
// new name from the task's name maker to the rename step, and each task's runner.
// Runners run on the run's own thread.
#pragma once

#include <cstddef>
#include <expected>
#include <string>
#include <type_traits>

#include "naming/common_name.h"
#include "naming/name_parts.h"
#include "platform/posix_api.h"
#include "runs/rename_step.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"
#include "utilities/error.h"

namespace varnel {

// The part of a name the run's name scope chooses.
NamePart NamePartOf(NameScope scope);

// The runner loop: for each run row, the maker's new name from (row, name), handed
// to the rename step; the checkpoint after each row. A row that has left the list
// is skipped. A maker that can fail returns std::expected: an error fails the row.
template <typename MakeName>
void RunRenameTask(RunContext& run, RunRows& rows, MakeName&& makeName, PosixApi& os = SystemPosix()) {
    RenameStep step(run, rows, os);
    ForEachRunRow(run, rows, [&](std::size_t row) {
        const std::string name = rows.Name(row);
        if (name.empty()) return;
        using Made = std::decay_t<decltype(makeName(row, name))>;
        if constexpr (std::is_same_v<Made, std::expected<std::string, Error>>) {
            Made newName = makeName(row, name);
            if (!newName) {
                step.FailRow(row, rows.Folder(row) + name, FailureReason(newName.error()));
                return;
            }
            step.ApplyNewNameToRow(row, name, *newName);
        } else {
            std::string newName = makeName(row, name);
            step.ApplyNewNameToRow(row, name, newName);
        }
    });
}

// The runner of the common rename task.
void RunCommonRenameTask(RunContext& run, RunRows& rows, const CommonRenameParams& params);

}  // namespace varnel
