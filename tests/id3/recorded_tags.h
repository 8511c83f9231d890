// The tag entries of an undo record as the tag runs recorded them, for the tests
// that look at what a run kept.
#pragma once

#include <vector>

#include "id3/tag_undo_entry.h"
#include "runs/undo_record.h"

namespace varnel::testing {

inline std::vector<TagEntry> RecordedTags(const UndoRecord& record) {
    std::vector<TagEntry> entries;
    for (const FamilyUndoEntry& entry : record.familyChanges) {
        if (const TagEntry* tag = entry.As<TagEntry>()) entries.push_back(*tag);
    }
    return entries;
}

}  // namespace varnel::testing
