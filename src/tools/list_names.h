// The names (name column) of the file list's first rows as one text, a name a line:
// what the list merge tool reads into a group and the tester's sample names.
// Reads the rows only; UI thread, as the list is.
#pragma once

#include <cstddef>
#include <limits>
#include <string>

#include "filelist/row_store.h"

namespace varnel {

std::string JoinListNames(const RowStore& rows, std::size_t most = std::numeric_limits<std::size_t>::max());

}  // namespace varnel
