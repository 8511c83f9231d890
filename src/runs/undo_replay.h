// Undo: one record of the history put back on disk from what its run recorded. Only
// the record's first kind in the undo order is restored, its entries last to first,
// so that chains of renames come back whole. Nothing is ever replaced or deleted that
// the run did not make: renames and moves back never replace a path and move only
// the object the run left under the new name, created paths are deleted only while
// their identity still matches, created folders are removed only when empty,
// innermost first. An entry that cannot be undone stays as it is and
// is reported by its path. Runs on the undo's worker thread; holds no state.
#pragma once

#include <cstddef>
#include <expected>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix_api.h"
#include "runs/undo_families.h"
#include "runs/undo_record.h"
#include "utilities/error.h"

namespace varnel {

// What the replay needs from around it.
struct UndoHooks {
    // A restored path goes back into the list (the list's filters decide); whether
    // it is a folder, when the record knows.
    std::function<void(const std::string& path, std::optional<bool> isFolder)> readd;
    // The restorers of the task families' own kinds; an entry of a kind without
    // one cannot be undone.
    UndoFamilyRegistry families;
};

struct UndoOutcome {
    std::optional<UndoKind> kind;  // nothing: the record held no change
    std::size_t restored = 0;      // entries undone
    // The paths of entries (and created folders) that could not be undone, in the
    // order they were met.
    std::vector<std::string> failedPaths;
    // Why each of them was left as it is, from the error its restore step met
    // ("目标已存在", "文件在更改后已被改变", "权限不足", ...); one per failed path.
    std::vector<std::string> failureReasons;
    // Removed files that came back only as a copy of their bytes (a new file, not
    // the one removed: its other names and extended attributes stay lost).
    std::vector<std::string> copiedPaths;
};

// Restores the record's first kind. A split's entries lose the pieces and folders
// that are gone afterwards (the caller's copy is edited, never the history's), and
// the record lets go of its spooled data (ReleaseSpooledData).
UndoOutcome ReplayUndoRecord(UndoRecord& record, const UndoHooks& hooks, PosixApi& os = SystemPosix());

// Takes record `number` (1-based, oldest first; 0 the newest) out of the history.
// Nothing for an empty history or a number out of range.
std::optional<UndoRecord> TakeUndoRecord(std::vector<UndoRecord>& history, int number = 0);

// Status texts of an undo.
inline constexpr const char* kUndoStartedText = "撤销开始，请稍候... ...";
inline constexpr const char* kUndoDoneText = "撤销更改完成";
inline constexpr const char* kUndoFailureTitle = "撤销未全部完成";
// "撤销更改完成", or the count of what could not be undone; either says how many
// removed files came back only as a copy.
std::string UndoStatusText(const UndoOutcome& outcome);
// The failure notice: what could not be undone, one path a line, each with its
// reason where it is known.
std::string UndoFailureMessage(const std::vector<std::string>& failedPaths,
                               const std::vector<std::string>& reasons = {});

}  // namespace varnel
