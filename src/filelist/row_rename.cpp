#include "filelist/row_rename.h"

#include <string>

#include "fileops/copy_move.h"

namespace varnel {

std::expected<void, Error> RenameListRow(RowStore& store, std::size_t row, std::string_view newName, PosixApi& os) {
    if (row >= store.RowCount()) return std::unexpected(Error{Error::kInvalidInput, "没有这一行", {}});
    if (newName.empty() || newName == "." || newName == ".." || newName.find('/') != std::string_view::npos ||
        newName.find('\0') != std::string_view::npos) {
        return std::unexpected(Error{Error::kInvalidInput, "名称无效", std::string(newName)});
    }
    const std::string folder = store.Folder(row);
    const std::string oldName = store.Name(row);
    if (newName == oldName) return {};
    if (auto moved = MovePathNoReplace(folder + oldName, folder + std::string(newName), os); !moved) {
        return std::unexpected(moved.error());
    }
    store.SetCellText(row, 0, newName);
    // The rows listed inside a renamed folder name it as it is now.
    if (const auto facts = store.Facts(row); facts && facts->isFolder) {
        store.FollowFolderMove(folder + oldName, folder + std::string(newName));
    }
    return {};
}

}  // namespace varnel
