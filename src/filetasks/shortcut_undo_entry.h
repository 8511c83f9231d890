// What the shortcut properties task records for undo, per shortcut: its old
// properties, its whole old bytes and times, and what the run wrote. The record
// holds it as a family entry of the shortcut kind (ShortcutUndoEntry), which the
// task enters how to undo and show (shortcut_task.h).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include <time.h>

#include "filetasks/shortcut_file.h"
#include "runs/undo_record.h"

namespace varnel {

// The shortcut's properties before the change, and its times, which undo gives
// back with them (nothing: not read). originalBytes: the whole file before the
// change (a shortcut is a few KB), put back byte for byte, so that every block the
// properties do not describe and the text's encoding and line ends come back too;
// written: what the run left in it.
struct ShortcutEntry {
    std::string path;
    std::shared_ptr<const ShortcutProperties> oldProperties;
    std::optional<timespec> oldModified{};
    std::optional<timespec> oldAccessed{};
    std::shared_ptr<const std::string> originalBytes{};
    WrittenContent written{};
};

// The entry as the undo record holds it.
inline FamilyUndoEntry ShortcutUndoEntry(ShortcutEntry entry) {
    return FamilyUndoEntry::Of(UndoKind::ShortcutChanges, std::move(entry));
}

}  // namespace varnel
