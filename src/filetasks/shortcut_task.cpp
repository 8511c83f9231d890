#include "filetasks/shortcut_task.h"

#include <atomic>
#include <cerrno>
#include <memory>
#include <vector>

#include <sys/stat.h>

#include "filetasks/content_replace.h"
#include "naming/meta_expansion.h"
#include "platform/file_io.h"
#include "platform/file_times.h"
#include "runs/rename_step.h"

namespace varnel {

namespace {

std::string_view WindowStyleWord(int style) {
    switch (style) {
        case 1: return "常规";
        case 3: return "最大化";
        case 7: return "最小化";
        default: return "超出范围";
    }
}

std::expected<std::string, Error> NewTarget(const std::string& old, const TargetReplaceParams& target,
                                            const ShortcutTextExpander& expand) {
    // The replacement is expanded, never the part of the old target it leaves alone.
    auto replacement = expand(target.replaceText);
    if (!replacement) return std::unexpected(replacement.error());
    ContentReplaceParams replace;
    replace.findText = target.findText;
    replace.count = target.count;
    replace.ignoreCase = target.ignoreCase;
    replace.globalMatch = target.globalMatch;
    replace.useRegex = target.useRegex;
    return ReplaceTextInFile(old, replace, *replacement);
}

}  // namespace

void AppendShortcutField(std::string& text, std::string_view value, std::string_view label, bool show) {
    if (!show || value.empty()) return;
    text.append("[").append(label).append("：").append(value).append("]");
}

std::string DescribeShortcutChanges(const ShortcutProperties& updated, const ShortcutTaskParams& params) {
    std::string text;
    AppendShortcutField(text, updated.targetPath, "目标路径", params.target.changeTarget);
    AppendShortcutField(text, updated.description, "描述信息", params.description.has_value());
    AppendShortcutField(text, updated.iconLocation, "图标位置", params.iconLocation.has_value());
    AppendShortcutField(text, updated.arguments, "附加参数", params.arguments.has_value());
    if (params.windowStyle > 0) text.append("[窗口风格：").append(WindowStyleWord(updated.windowStyle)).append("]");
    return text;
}

std::expected<ShortcutProperties, Error> ChangedShortcutProperties(const ShortcutProperties& old,
                                                                   const ShortcutTaskParams& params,
                                                                   const ShortcutTextExpander& expand) {
    ShortcutProperties updated = old;
    if (params.target.changeTarget) {
        auto target = NewTarget(old.targetPath, params.target, expand);
        if (!target) return std::unexpected(target.error());
        updated.targetPath = std::move(*target);
    }
    const std::pair<const std::optional<std::string>*, std::string*> fields[] = {
        {&params.description, &updated.description},
        {&params.iconLocation, &updated.iconLocation},
        {&params.arguments, &updated.arguments},
    };
    for (const auto& [given, field] : fields) {
        if (!given->has_value()) continue;
        auto value = expand(**given);
        if (!value) return std::unexpected(value.error());
        *field = std::move(*value);
    }
    if (params.windowStyle != -1) updated.windowStyle = params.windowStyle;
    return updated;
}

void ChangeShortcutOfFile(RunContext& run, RunRows& rows, const PropertyRow& row, const ShortcutTaskParams& params,
                          const ShortcutTextExpander& expand, PosixApi& os) {
    // Only a shortcut is changed: another file would get a new ".lnk" beside it.
    if (AdjustShortcutPathForProperties(row.path) != row.path) return FailPropertyRow(run, rows, row, kNotShortcutText);
    std::string path = row.path;
    auto old = std::make_shared<ShortcutProperties>();
    if (!ReadShortcutProperties(path, *old, os)) return FailPropertyRow(run, rows, row, kUnreadableShortcutText);
    auto updated = ChangedShortcutProperties(*old, params, expand);
    if (!updated) return FailPropertyRow(run, rows, row, FailureReason(updated.error()));

    if (!run.IsExecute()) {
        std::string text = row.transfer ? row.transferText + kShortcutPreviewMark : std::string();
        rows.SetCell(row.index, ListColumn::Preview, text + DescribeShortcutChanges(*updated, params));
        return;
    }
    struct stat before {};
    const bool timesRead = os.Stat(path.c_str(), &before) == 0;
    if (timesRead) {
        if (auto writable = CheckWritable(path, before, os); !writable) {
            return FailPropertyRow(run, rows, row, FailureReason(writable.error()));
        }
    }
    // The file as it is, for undo to give back whole.
    std::optional<std::string> original;
    if (!row.transfer) {
        original = ReadShortcutFileBytes(path, os);
        if (!original) return FailPropertyRow(run, rows, row, kUnreadableShortcutText);
    }
    if (!WriteShortcutProperties(path, *updated, os)) return FailPropertyRow(run, rows, row, "无法写入快捷方式");
    if (row.transfer) {
        RefreshTransferIdentity(run.Record(), row.path, os);
    } else {
        ShortcutEntry entry{row.path, std::move(old)};
        if (timesRead) {
            entry.oldModified = before.st_mtim;
            entry.oldAccessed = before.st_atim;
        }
        entry.originalBytes = std::make_shared<const std::string>(std::move(*original));
        // What was written, read back: undo puts the old bytes back only while the
        // file holds exactly this. Unreadable now, it can never match.
        const auto written = ReadShortcutFileBytes(path, os);
        entry.written = written ? WrittenContentOf(*written) : WrittenContent{-1, {}};
        run.Record().familyChanges.push_back(ShortcutUndoEntry(std::move(entry)));
    }
    rows.SetCell(row.index, ListColumn::Preview, kStatusDone);
}

void RunShortcutPropertiesTask(RunContext& run, RunRows& rows, const ShortcutTaskParams& params, PosixApi& os) {
    std::atomic<bool> symbols(run.Settings().metaSymbols);
    MetaEnvironment meta;
    meta.settings = run.Settings().meta;
    meta.symbolsEnabled = &symbols;
    meta.os = &os;
    ForEachPropertyRow(
        run, rows,
        [&](const PropertyRow& row) {
            const ShortcutTextExpander expand = [&](std::string_view text) -> std::expected<std::string, Error> {
                if (text.find('#') == std::string_view::npos) return std::string(text);
                MetaExpansionRequest request;
                request.path = row.path;
                request.text = text;
                request.row = static_cast<std::int64_t>(row.index) + 1;
                return ExpandMetaVariables(meta, request);
            };
            ChangeShortcutOfFile(run, rows, row, params, expand, os);
        },
        os);
}

std::expected<void, Error> RestoreShortcutEntry(const ShortcutEntry& entry, PosixApi& os) {
    if (!entry.originalBytes && !entry.oldProperties) {
        return std::unexpected(Error{EINVAL, "没有原来的快捷方式属性", entry.path});
    }
    if (!PathExists(entry.path, os)) return std::unexpected(MakeSystemError(ENOENT, entry.path, "快捷方式已不存在"));
    std::string path = entry.path;
    if (entry.originalBytes) {
        // A shortcut changed since the run keeps the user's change.
        // Its size first: a file of another size is not read at all.
        if (!HoldsWrittenContent(path, entry.written, os)) {
            return std::unexpected(Error{Error::kInvalidInput, kUndoChangedReason, entry.path});
        }
        const auto now = ReadShortcutFileBytes(path, os);
        if (!now) return std::unexpected(Error{EIO, kUnreadableShortcutText, entry.path});
        if (auto put = ReplaceFileContent(path, *entry.originalBytes, *now, os); !put) {
            return std::unexpected(put.error().error);
        }
    } else if (!WriteShortcutProperties(path, *entry.oldProperties, os)) {
        return std::unexpected(Error{EIO, "无法写回快捷方式", entry.path});
    }
    if (!entry.oldModified || !entry.oldAccessed) return {};
    const int handle = OpenFileForTimes(path, os);
    const bool timesBack = WriteFileTimestamps(handle, *entry.oldAccessed, *entry.oldModified, os);
    CloseFileHandle(handle, os);
    if (!timesBack) return std::unexpected(Error{EIO, "无法还原快捷方式的时间", entry.path});
    return {};
}

void RegisterShortcutUndoKind(UndoFamilyRegistry& families) {
    UndoFamily<ShortcutEntry> shortcuts;
    shortcuts.restore = [](const ShortcutEntry& entry, PosixApi& os) { return RestoreShortcutEntry(entry, os); };
    shortcuts.titles = [](const ShortcutEntry&) {
        return std::vector<std::string>{"快捷路径", "原目标路径", "原图标位置", "原描述信息", "原附加参数"};
    };
    shortcuts.cells = [](const ShortcutEntry& entry) {
        if (!entry.oldProperties) return std::vector<std::string>{};
        const ShortcutProperties& old = *entry.oldProperties;
        return std::vector<std::string>{old.targetPath, old.iconLocation, old.description, old.arguments};
    };
    families.Register(UndoKind::ShortcutChanges, std::move(shortcuts));
}

}  // namespace varnel
