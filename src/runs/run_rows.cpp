#include "runs/run_rows.h"

namespace varnel {

RunRows::RunRows(RowStore& store, std::vector<RowStore::RowId> ids) : m_store(store), m_ids(std::move(ids)) {}

std::size_t RunRows::Hint(std::size_t index) const {
    const auto guess = static_cast<std::ptrdiff_t>(index) + m_shift;
    return guess < 0 ? 0 : static_cast<std::size_t>(guess);
}

void RunRows::Found(std::size_t index, std::size_t at) const {
    m_shift = static_cast<std::ptrdiff_t>(at) - static_cast<std::ptrdiff_t>(index);
}

std::string RunRows::Cell(std::size_t index, ListColumn column) const {
    if (index >= m_ids.size()) return {};
    std::size_t at = Hint(index);
    auto text = m_store.GetCellTextOf(m_ids[index], at, ColumnIndex(column));
    if (!text) return {};
    Found(index, at);
    return std::move(*text);
}

bool RunRows::Exists(std::size_t index) const {
    if (index >= m_ids.size()) return false;
    const auto at = m_store.FindRow(m_ids[index], Hint(index));
    if (!at) return false;
    Found(index, *at);
    return true;
}

bool RunRows::IsFolder(std::size_t index) const {
    if (index >= m_ids.size()) return false;
    std::size_t at = Hint(index);
    const auto facts = m_store.FactsOf(m_ids[index], at);
    if (!facts) return false;
    Found(index, at);
    return facts->isFolder;
}

bool RunRows::SetCell(std::size_t index, ListColumn column, std::string_view text) {
    if (index >= m_ids.size()) return false;
    std::size_t at = Hint(index);
    if (!m_store.SetCellTextOf(m_ids[index], at, ColumnIndex(column), text)) return false;
    Found(index, at);
    return true;
}

}  // namespace varnel
