#include "tools/list_names.h"

#include <algorithm>

namespace varnel {

std::string JoinListNames(const RowStore& rows, std::size_t most) {
    const std::size_t count = std::min(rows.RowCount(), most);
    std::string text;
    for (std::size_t row = 0; row < count; ++row) {
        if (row > 0) text += '\n';
        text += rows.Name(row);
    }
    return text;
}

}  // namespace varnel
