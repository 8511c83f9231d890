// Renaming a list row's file or folder from the list itself (the label edit):
// the new name stays in the same folder, never replaces an existing path, and the
// row changes only when the rename succeeded. Safe on any thread.
#pragma once

#include <cstddef>
#include <expected>
#include <string_view>

#include "filelist/row_store.h"
#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

// Refuses an empty name, ".", "..", and a name holding "/" or NUL. The rows inside
// a renamed folder follow it.
std::expected<void, Error> RenameListRow(RowStore& store, std::size_t row, std::string_view newName,
                                         PosixApi& os = SystemPosix());

}  // namespace varnel
