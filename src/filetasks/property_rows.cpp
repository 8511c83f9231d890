#include "filetasks/property_rows.h"

#include <optional>

#include "runs/rename_step.h"

namespace varnel {

void ForEachPropertyRow(RunContext& run, RunRows& rows, const std::function<void(const PropertyRow& row)>& work,
                        PosixApi& os) {
    const bool transfer = run.Settings().transferMode;
    std::optional<RenameStep> step;
    if (transfer) step.emplace(run, rows, os);
    ForEachRunRow(run, rows, [&](std::size_t index) {
        const std::string name = rows.Name(index);
        if (name.empty()) return;  // the row has left the list
        PropertyRow row;
        row.index = index;
        row.transfer = transfer;
        if (transfer) {
            // The transfer step shows its target in a preview, and marks and logs a
            // failed copy with its reason.
            if (!step->TransferRowFile(index, name)) {
                return;
            }
            if (!run.IsExecute()) row.transferText = rows.Cell(index, ListColumn::Preview);
        }
        row.path = rows.FullPath(index);
        work(row);
    });
}

void FailPropertyRow(RunContext& run, RunRows& rows, const PropertyRow& row, std::string_view reason) {
    rows.SetCell(row.index, ListColumn::Preview, FailedStatus(reason));
    if (run.IsExecute()) run.LogFailure(row.path, std::string(reason));
}

}  // namespace varnel
