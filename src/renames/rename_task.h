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
#include "runs/user_text.h"
#include "utilities/error.h"

namespace varnel {

// The part of a name the run's name scope chooses.
NamePart NamePartOf(NameScope scope);

// The runner loop: for each run row, the maker's new name from (row, name), handed
// to the rename step; the checkpoint after each row. A row that has left the list
// is skipped. A maker that can fail returns std::expected: an error fails the row.
// The name is not expanded: a maker expands the texts the user typed itself
// (UserTextExpander), so the old name is never read as a template.
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
            step.ApplyMadeNameToRow(row, name, *newName);
        } else {
            std::string newName = makeName(row, name);
            step.ApplyMadeNameToRow(row, name, newName);
        }
    });
}

// The runner loop for a maker of (row, name, params) whose text members the user
// typed: those members are expanded for each row before the maker sees them.
template <typename Params, typename Make, typename... Members>
void RunRenameTaskWithTexts(RunContext& run, RunRows& rows, const Params& params, Make&& make, PosixApi& os,
                            Members... members) {
    const UserTextExpander user(run, os);
    Params expanded;
    RunRenameTask(run, rows, [&](std::size_t row, const std::string& name) -> std::expected<std::string, Error> {
        auto forRow = user.ForRow(params, expanded, [&] { return rows.Folder(row) + name; }, row, members...);
        if (!forRow) return std::unexpected(forRow.error());
        return make(row, name, **forRow);
    }, os);
}

// The runner of the common rename task.
void RunCommonRenameTask(RunContext& run, RunRows& rows, const CommonRenameParams& params);

}  // namespace varnel
