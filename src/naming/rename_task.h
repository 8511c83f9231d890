// The row loop every rename task's runner shares: the maker's new name for each row
// handed to the rename step. Name makers are pure functions of their input and
// parameters (naming/name_parts.h). Runners run on the run's own thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "naming/name_parts.h"
#include "platform/posix_api.h"
#include "runs/rename_step.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"

namespace varnel {

// The run's name scope as the part a maker works on.
NamePart NamePartOf(NameScope scope);

// The runner loop: for each run row, the maker's new name from (row, name), handed
// to the rename step; the checkpoint after each row. A row that has left the list
// is skipped. A maker that can fail returns std::optional: nothing fails the row.
template <typename MakeName>
void RunRenameTask(RunContext& run, RunRows& rows, MakeName&& makeName, PosixApi& os = SystemPosix()) {
    RenameStep step(run, rows, os);
    ForEachRunRow(run, rows, [&](std::size_t row) {
        const std::string name = rows.Name(row);
        if (name.empty()) return;
        if constexpr (std::is_same_v<std::decay_t<decltype(makeName(row, name))>, std::optional<std::string>>) {
            std::optional<std::string> newName = makeName(row, name);
            if (!newName) {
                step.FailRow(row, rows.Folder(row) + name);
                return;
            }
            step.ApplyNewNameToRow(row, name, *newName);
        } else {
            std::string newName = makeName(row, name);
            step.ApplyNewNameToRow(row, name, newName);
        }
    });
}

}  // namespace varnel
