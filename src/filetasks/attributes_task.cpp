#include "filetasks/attributes_task.h"

#include <cerrno>
#include <optional>
#include <string>
#include <utility>

#include <sys/stat.h>

#include "platform/dos_attributes.h"
#include "runs/rename_step.h"
#include "utilities/attribute_names.h"

namespace varnel {

void ChangeAttributesOfFile(RunContext& run, RunRows& rows, const PropertyRow& row, std::uint32_t attributes,
                            PosixApi& os) {
    if (!run.IsExecute()) {
        const std::string names = FormatAttributeNames(attributes);
        rows.SetCell(row.index, ListColumn::Preview, row.transfer ? row.transferText + kNewAttributesText + names : names);
        return;
    }
    struct stat info {};
    if (os.Stat(row.path.c_str(), &info) != 0) {
        return FailPropertyRow(run, rows, row, FailureReason(MakeSystemError(errno, row.path, "无法读取文件属性")));
    }
    const auto old = GetAttributesOfFile(row.path, os);
    if (!old) return FailPropertyRow(run, rows, row, FailureReason(old.error()));
    std::optional<std::string> oldStored = GetStoredAttributeValue(row.path, os);
    if (auto set = SetAttributesOfFile(row.path, attributes, os); !set) {
        return FailPropertyRow(run, rows, row, FailureReason(set.error()));
    }
    if (row.transfer) {
        RefreshTransferIdentity(run.Record(), row.path, os);
    } else {
        run.Record().attributeChanges.push_back(AttributeEntry{row.path, *old, info.st_mode,
                                                               ReadObjectIdentity(row.path, os).value_or(PathIdentity{}),
                                                               true, std::move(oldStored)});
    }
    if (const auto now = GetAttributesOfFile(row.path, os)) {
        rows.SetCell(row.index, ListColumn::Attributes, FormatAttributeNames(*now));
    }
    rows.SetCell(row.index, ListColumn::Preview, kStatusDone);
}

void RunAttributesTask(RunContext& run, RunRows& rows, const AttributesParams& params, PosixApi& os) {
    ForEachPropertyRow(
        run, rows, [&](const PropertyRow& row) { ChangeAttributesOfFile(run, rows, row, params.attributes, os); }, os);
}

}  // namespace varnel
