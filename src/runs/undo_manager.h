// What the undo manager shows and changes in the undo history, without a window: a
// record's line (its kind and entry count), its entries as a table of texts (the
// columns follow the record's kind), moving a record, and deleting single entries so
// that the rest of the record still undoes as recorded. Pure; UI thread only (it
// works on the history).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "runs/undo_families.h"
#include "runs/undo_record.h"

namespace varnel {

// The undo manager window's title.
inline constexpr const char* kUndoManagerTitle = "撤销记录";

// Column 1 and 2 of a record's line: the display name of its kind ("" when the
// record holds nothing any more) and the number of entries of that kind.
struct UndoRecordLine {
    std::string kindName;
    std::size_t count = 0;
};
UndoRecordLine DescribeUndoRecord(const UndoRecord& record);

// The detail table of a record: its kind in the detail order, the titles of the
// columns after "序号", and the number of rows.
struct UndoDetailLayout {
    std::optional<UndoKind> kind;  // nothing: no entry left
    std::vector<std::string> titles;
    std::size_t rows = 0;
};
// The columns of a task family's kind, and its cells below, are what the family
// entered in `families`.
UndoDetailLayout UndoDetailLayoutOf(const UndoRecord& record, const UndoFamilyRegistry& families = {});

// The cells of entry `row` after "序号" (as many as the layout's titles).
std::vector<std::string> UndoDetailCells(const UndoRecord& record, UndoKind kind, std::size_t row,
                                         const UndoFamilyRegistry& families = {});
// The path whose folder-ness picks the row's image; "" for kinds shown without one.
std::string UndoDetailImagePath(const UndoRecord& record, UndoKind kind, std::size_t row);

// Swaps record `index` (0-based) with the one above (up) or below; the index the
// record has afterwards, or nothing when it is already first (up) or last (down).
std::optional<std::size_t> MoveUndoRecord(std::vector<UndoRecord>& history, std::size_t index, bool up);
// The notice for a move past the end: "这是第一个撤销记录，不能上移啦！" and its mirror.
std::string UndoMoveRefusedText(bool up);

// Removes the entries at `rows` (0-based, any order, duplicates ignored) of the
// record's kind in the detail order; the number removed. A removed move or copy
// takes the files and links it lists with it; folders stay in createdFolders, which
// undo removes only when they are empty, so the other entries keep their way back.
std::size_t DeleteUndoEntries(UndoRecord& record, std::vector<std::size_t> rows);

// An index that names a record of a history of `size` records, or -1.
int ClampUndoSelection(int index, std::size_t size);

}  // namespace varnel
