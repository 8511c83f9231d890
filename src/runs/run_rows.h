// The rows a batch run works on: the identities of the list's rows taken when the
// run starts, read and written through the row store by identity, so that a row
// deleted or moved during the run is never confused with another. Used by the
// run's own thread only.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "filelist/row_store.h"

namespace varnel {

class RunRows {
public:
    RunRows(RowStore& store, std::vector<RowStore::RowId> ids);

    std::size_t Count() const { return m_ids.size(); }

    // The cells of run row `index` (0-based): "" once the row has left the list.
    std::string Cell(std::size_t index, ListColumn column) const;
    std::string Name(std::size_t index) const { return Cell(index, ListColumn::Name); }
    std::string Folder(std::size_t index) const { return Cell(index, ListColumn::Folder); }  // a folder path
    std::string FullPath(std::size_t index) const { return Folder(index) + Name(index); }
    // Whether the row is still in the list.
    bool Exists(std::size_t index) const;
    // Whether the row is a folder, as the list knows it (false once it has left).
    bool IsFolder(std::size_t index) const;

    // Writes a cell of the row; false when the row has left the list. The list
    // view learns of the change on the UI thread.
    bool SetCell(std::size_t index, ListColumn column, std::string_view text);
    // The run moved or renamed a folder: the rows in and below it follow.
    void FollowFolderMove(std::string_view oldPath, std::string_view newPath) {
        m_store.FollowFolderMove(oldPath, newPath);
    }

private:
    std::size_t Hint(std::size_t index) const;
    void Found(std::size_t index, std::size_t at) const;

    RowStore& m_store;
    std::vector<RowStore::RowId> m_ids;
    // How far the rows have moved since the start (rows deleted above them), so that
    // the next lookup is direct again.
    mutable std::ptrdiff_t m_shift = 0;
};

}  // namespace varnel
