// The row loop of the tasks that change a property of each listed file (times,
// attributes, shortcut fields): in transfer mode each row's file is first copied
// to the transfer folder (a failed copy fails the row) and an execute run changes
// the copy; rows that have left the list are skipped. Also how such a row fails.
// Runs on the run's own thread.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"

namespace varnel {

// One row as the task's worker gets it: the path to change (the copy, after a
// transfer in an execute run) and, in transfer mode, the text the transfer wrote
// into the status column (a preview starts from it).
struct PropertyRow {
    std::size_t index = 0;
    std::string path;
    bool transfer = false;
    std::string transferText;
};

void ForEachPropertyRow(RunContext& run, RunRows& rows, const std::function<void(const PropertyRow& row)>& work,
                        PosixApi& os = SystemPosix());

// The row shows "×" and why; an execute run logs it as failed.
void FailPropertyRow(RunContext& run, RunRows& rows, const PropertyRow& row, std::string_view reason);

}  // namespace varnel
