// The shortcut properties task (批量快捷方式): in every listed shortcut (.lnk or
// .url) changes the ticked fields only: the target by plain or expression
// replacement, the description, the icon location, the arguments, the window
// style; new values may hold meta-variables, expanded per shortcut. Every other
// byte of the file is kept (shortcut_file.h). A listed file that is not a
// shortcut, or cannot be read as one, fails its row and nothing is written. The
// task enters its undo kind (RegisterShortcutUndoKind). Runs on the run's own
// thread; RestoreShortcutEntry on the undo's.
#pragma once

#include <cstdint>
#include <expected>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "filetasks/property_rows.h"
#include "filetasks/shortcut_file.h"
#include "filetasks/shortcut_undo_entry.h"
#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"
#include "runs/undo_families.h"
#include "runs/undo_record.h"
#include "utilities/error.h"

namespace varnel {

struct TargetReplaceParams {
    bool changeTarget = false;
    std::string findText;
    std::string replaceText;  // may hold meta-variables
    bool useRegex = false;
    bool globalMatch = false;
    bool ignoreCase = false;
    int count = -1;  // occurrences of a plain find; -1: all
};

// A field without a value is left as it is.
struct ShortcutTaskParams {
    TargetReplaceParams target;
    std::optional<std::string> description;   // may hold meta-variables
    std::optional<std::string> iconLocation;  // "path,index"; may hold meta-variables
    std::optional<std::string> arguments;     // may hold meta-variables
    int windowStyle = -1;                     // 1, 3 or 7; -1: left as it is
};

inline constexpr const char* kNotShortcutText = "不是快捷方式";
inline constexpr const char* kUnreadableShortcutText = "无法读取快捷方式";
// Between a transfer's text and the changes in a preview.
inline constexpr const char* kShortcutPreviewMark = "※";

// Appends "[label：value]" when show is on and the value is not empty.
void AppendShortcutField(std::string& text, std::string_view value, std::string_view label, bool show);
// The changed fields as a preview shows them.
std::string DescribeShortcutChanges(const ShortcutProperties& updated, const ShortcutTaskParams& params);

// Expands the meta-variables of a text for the shortcut being changed.
using ShortcutTextExpander = std::function<std::expected<std::string, Error>(std::string_view text)>;
// The properties with the ticked fields changed.
std::expected<ShortcutProperties, Error> ChangedShortcutProperties(const ShortcutProperties& old,
                                                                   const ShortcutTaskParams& params,
                                                                   const ShortcutTextExpander& expand);

// One row: a preview shows the changes; an execute writes them and records the
// old properties.
void ChangeShortcutOfFile(RunContext& run, RunRows& rows, const PropertyRow& row, const ShortcutTaskParams& params,
                          const ShortcutTextExpander& expand, PosixApi& os = SystemPosix());

// The runner.
void RunShortcutPropertiesTask(RunContext& run, RunRows& rows, const ShortcutTaskParams& params,
                               PosixApi& os = SystemPosix());

// Undo of one entry: the old properties written back into the shortcut, which must
// still be there (undo never makes a new file).
std::expected<void, Error> RestoreShortcutEntry(const ShortcutEntry& entry, PosixApi& os = SystemPosix());

// Enters the shortcut kind: its entries are undone by RestoreShortcutEntry, and the
// undo manager shows a shortcut's old target, icon, description and arguments.
void RegisterShortcutUndoKind(UndoFamilyRegistry& families);

}  // namespace varnel
