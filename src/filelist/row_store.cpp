#include "filelist/row_store.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include "utilities/path_routines.h"

namespace varnel {

namespace {

std::uint64_t OverrideKey(RowStore::RowId id, int column) {
    return (static_cast<std::uint64_t>(id) << 8) | static_cast<std::uint64_t>(column);
}

bool IsFormattedColumn(int column) { return column >= kFirstFactColumn && column <= kLastFactColumn; }

}  // namespace

RowStore::RowStore() = default;

void RowStore::SetFormatters(CellFormatters formatters) {
    std::unique_lock lock(m_mutex);
    m_formatters = std::move(formatters);
}

void RowStore::SetChangeListener(std::function<void(std::size_t, int)> listener) {
    std::unique_lock lock(m_mutex);
    m_changeListener = std::move(listener);
}

std::size_t RowStore::RowCount() const {
    std::shared_lock lock(m_mutex);
    return m_rows.size();
}

std::uint64_t RowStore::StoreName(std::string_view name) {
    if (m_nameChunks.empty() || m_chunkUsed + name.size() > m_nameChunks[m_nameChunk].capacity) {
        if (!m_nameChunks.empty()) ++m_nameChunk;
        // The chunks after the current one are spare (kept from an earlier load):
        // the next one is used when the name fits, otherwise a new one goes before it.
        if (m_nameChunk >= m_nameChunks.size() || m_nameChunks[m_nameChunk].capacity < name.size()) {
            const std::size_t capacity = std::max(kChunkSize, name.size());
            m_nameChunks.insert(m_nameChunks.begin() + static_cast<std::ptrdiff_t>(m_nameChunk),
                                NameChunk{std::make_unique_for_overwrite<char[]>(capacity), capacity});
        }
        m_chunkUsed = 0;
    }
    const std::uint64_t offset =
        (static_cast<std::uint64_t>(m_nameChunk) << 32) | static_cast<std::uint64_t>(m_chunkUsed);
    if (!name.empty()) std::memcpy(m_nameChunks[m_nameChunk].bytes.get() + m_chunkUsed, name.data(), name.size());
    m_chunkUsed += name.size();
    return offset;
}

std::string_view RowStore::NameOf(const Row& row) const {
    const char* chunk = m_nameChunks[row.nameOffset >> 32].bytes.get();
    return {chunk + (row.nameOffset & 0xFFFFFFFFu), row.nameLength};
}

std::uint32_t RowStore::InternFolder(std::string_view folder) {
    // Loads add the rows of one folder in a row: the last folder answers most calls.
    const bool hasSlash = !folder.empty() && folder.back() == '/';
    if (m_lastFolderId < m_folders.size() && hasSlash && m_folders[m_lastFolderId] == folder) return m_lastFolderId;
    if (hasSlash) {
        if (const auto found = m_folderIds.find(folder); found != m_folderIds.end()) {
            m_lastFolderId = found->second;
            return found->second;
        }
    }
    std::string withSlash = WithTrailingSlash(folder);
    if (const auto found = m_folderIds.find(withSlash); found != m_folderIds.end()) {
        m_lastFolderId = found->second;
        return found->second;
    }
    const auto id = static_cast<std::uint32_t>(m_folders.size());
    m_folders.push_back(std::move(withSlash));
    m_folderIds.emplace(m_folders.back(), id);
    m_lastFolderId = id;
    return id;
}

std::size_t RowStore::AppendRow(std::string_view folder, std::string_view name,
                                const RowFacts& facts, ColumnMask filled, std::uint16_t icon) {
    std::unique_lock lock(m_mutex);
    Row row{};
    row.nameOffset = StoreName(name);
    row.nameLength = static_cast<std::uint32_t>(name.size());
    row.folderId = InternFolder(folder);
    StoreFacts(row, facts);
    row.id = m_nextId++;
    row.icon = icon;
    row.filled = static_cast<ColumnMask>((filled & ~kFlags) | FactFlags(facts));
    m_rows.push_back(row);
    return m_rows.size() - 1;
}

void RowStore::DeleteRow(std::size_t row) { DeleteRows({row}); }

void RowStore::DeleteRows(std::vector<std::size_t> rows) {
    std::unique_lock lock(m_mutex);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::size_t next = 0;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (next < rows.size() && rows[next] == i) {
            for (int column = kFirstFactColumn; column <= kLastFactColumn; ++column) {
                m_cellOverrides.erase(OverrideKey(m_rows[i].id, column));
            }
            ++next;
            continue;
        }
        m_rows[kept++] = m_rows[i];
    }
    m_rows.truncate(kept);
}

void RowStore::Clear() {
    std::unique_lock lock(m_mutex);
    m_rows.clear();
    m_facts.clear();
    // The name chunks of the usual size that this list filled stay for the next load.
    const std::size_t filled = m_nameChunks.empty() ? 0 : m_nameChunk + 1;
    m_nameChunks.resize(std::min(m_nameChunks.size(), std::max<std::size_t>(filled, 1)));
    std::erase_if(m_nameChunks, [](const NameChunk& chunk) { return chunk.capacity != kChunkSize; });
    m_nameChunk = 0;
    m_chunkUsed = 0;
    m_folders.clear();
    m_folderIds.clear();
    m_lastFolderId = UINT32_MAX;
    m_previews.clear();
    m_cellOverrides.clear();
}

RowStore::RowId RowStore::IdOf(std::size_t row) const {
    std::shared_lock lock(m_mutex);
    return row < m_rows.size() ? m_rows[row].id : 0;
}

std::vector<RowStore::RowId> RowStore::RowIds(std::size_t first, std::size_t count) const {
    std::shared_lock lock(m_mutex);
    std::vector<RowId> ids;
    if (first >= m_rows.size()) return ids;
    const std::size_t last = first + std::min(count, m_rows.size() - first);
    ids.reserve(last - first);
    for (std::size_t row = first; row < last; ++row) ids.push_back(m_rows[row].id);
    return ids;
}

std::optional<std::size_t> RowStore::FindRow(RowId id, std::size_t hint) const {
    std::shared_lock lock(m_mutex);
    return FindRowLocked(id, hint);
}

std::optional<std::string> RowStore::GetCellTextOf(RowId id, std::size_t& hint, int column) const {
    std::shared_lock lock(m_mutex);
    const auto row = FindRowLocked(id, hint);
    if (!row) return std::nullopt;
    hint = *row;
    return CellText(m_rows[*row], column);
}

bool RowStore::SetCellTextOf(RowId id, std::size_t& hint, int column, std::string_view text) {
    std::unique_lock lock(m_mutex);
    const auto row = FindRowLocked(id, hint);
    if (!row) return false;
    hint = *row;
    if (column >= 0 && column < kListColumnCount) SetCellAndNotify(*row, column, text);
    return true;
}

std::optional<RowFacts> RowStore::FactsOf(RowId id, std::size_t& hint) const {
    std::shared_lock lock(m_mutex);
    const auto row = FindRowLocked(id, hint);
    if (!row) return std::nullopt;
    hint = *row;
    return FactsOfRow(m_rows[*row]);
}

std::optional<std::size_t> RowStore::FindRowLocked(RowId id, std::size_t hint) const {
    if (hint < m_rows.size() && m_rows[hint].id == id) return hint;
    // Ids grow along the list while rows are only appended and deleted, so a binary
    // search finds the row; after a reordering it may not, and a scan does.
    std::size_t low = 0;
    std::size_t high = m_rows.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (m_rows[middle].id < id) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low < m_rows.size() && m_rows[low].id == id) return low;
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        if (m_rows[row].id == id) return row;
    }
    return std::nullopt;
}

const RowStore::StoredFacts& RowStore::FactsRecord(const Row& row) const {
    static constexpr StoredFacts kDefault{0, kNoTime, kNoTime, kNoTime, 0};
    return row.factsIndex == 0 ? kDefault : m_facts[row.factsIndex - 1];
}

void RowStore::StoreFacts(Row& row, const RowFacts& facts) {
    const StoredFacts values{facts.size, facts.created, facts.modified, facts.accessed, facts.attributes};
    if (row.factsIndex == 0) {
        // A row whose facts are the defaults (nothing read) needs no record.
        const bool defaults = values.size == 0 && values.attributes == 0 && std::isnan(values.created) &&
                              std::isnan(values.modified) && std::isnan(values.accessed);
        if (defaults) return;
        m_facts.push_back(values);
        row.factsIndex = static_cast<std::uint32_t>(m_facts.size());
        return;
    }
    m_facts[row.factsIndex - 1] = values;
}

RowFacts RowStore::FactsOfRow(const Row& r) const {
    const StoredFacts& f = FactsRecord(r);
    return RowFacts{f.size,
                    f.attributes,
                    f.created,
                    f.modified,
                    f.accessed,
                    (r.filled & kFolderFlag) != 0,
                    (r.filled & kStatReadFlag) != 0,
                    (r.filled & kAttributesReadFlag) != 0};
}

std::optional<std::string_view> RowStore::StoredCellText(const Row& row, int column) const {
    if (column == ColumnIndex(ListColumn::Name)) return NameOf(row);
    if (column == ColumnIndex(ListColumn::Folder)) return m_folders[row.folderId];
    if (column == ColumnIndex(ListColumn::Preview)) {
        return row.previewIndex == 0 ? std::string_view() : std::string_view(m_previews[row.previewIndex - 1]);
    }
    return std::nullopt;
}

std::string RowStore::CellText(const Row& row, int column) const {
    if (const auto stored = StoredCellText(row, column)) return std::string(*stored);
    if (!IsFormattedColumn(column)) return {};
    if (!m_cellOverrides.empty()) {
        if (const auto found = m_cellOverrides.find(OverrideKey(row.id, column));
            found != m_cellOverrides.end()) {
            return found->second;
        }
    }
    if ((row.filled & ColumnBit(static_cast<ListColumn>(column))) == 0) return {};
    const StoredFacts& facts = FactsRecord(row);
    switch (static_cast<ListColumn>(column)) {
        case ListColumn::Size:
            return m_formatters.size ? m_formatters.size(facts.size) : std::string();
        case ListColumn::Type:
            if (row.filled & kFolderFlag) return "文件夹";
            return m_formatters.typeDescription ? m_formatters.typeDescription(GetExtensionOfPath(NameOf(row)))
                                                : std::string();
        case ListColumn::Attributes:
            return m_formatters.attributes ? m_formatters.attributes(facts.attributes) : std::string();
        case ListColumn::Created:
        case ListColumn::Modified:
        case ListColumn::Accessed: {
            const double value = column == ColumnIndex(ListColumn::Created)    ? facts.created
                                 : column == ColumnIndex(ListColumn::Modified) ? facts.modified
                                                                               : facts.accessed;
            if (std::isnan(value)) return "无数据";
            return m_formatters.time ? m_formatters.time(value) : std::string();
        }
        default:
            return {};
    }
}

std::string RowStore::GetCellText(std::size_t row, int column) const {
    std::shared_lock lock(m_mutex);
    if (row >= m_rows.size()) return {};
    return CellText(m_rows[row], column);
}

void RowStore::SetCellText(std::size_t row, int column, std::string_view text) {
    std::unique_lock lock(m_mutex);
    if (row >= m_rows.size() || column < 0 || column >= kListColumnCount) return;
    SetCellAndNotify(row, column, text);
}

void RowStore::SetCellAndNotify(std::size_t row, int column, std::string_view text) {
    SetCellLocked(row, column, text);
    if (m_changeListener) m_changeListener(row, column);
}

void RowStore::SetCellLocked(std::size_t row, int column, std::string_view text) {
    Row& r = m_rows[row];
    switch (static_cast<ListColumn>(column)) {
        case ListColumn::Name:
            r.nameOffset = StoreName(text);
            r.nameLength = static_cast<std::uint32_t>(text.size());
            break;
        case ListColumn::Preview:
            if (r.previewIndex != 0) {
                m_previews[r.previewIndex - 1].assign(text);
            } else if (!text.empty()) {
                m_previews.emplace_back(text);
                r.previewIndex = static_cast<std::uint32_t>(m_previews.size());
            }
            break;
        case ListColumn::Folder:
            r.folderId = InternFolder(text);
            break;
        default:
            m_cellOverrides[OverrideKey(r.id, column)] = std::string(text);
            break;
    }
}

void RowStore::FollowFolderMove(std::string_view oldPath, std::string_view newPath) {
    if (oldPath.empty() || newPath.empty() || oldPath == newPath) return;
    std::string oldPrefix(oldPath);
    if (oldPrefix.back() != '/') oldPrefix += '/';
    std::string newPrefix(newPath);
    if (newPrefix.back() != '/') newPrefix += '/';
    std::unique_lock lock(m_mutex);
    std::vector<std::uint32_t> moved;
    auto it = m_folderIds.lower_bound(std::string_view(oldPrefix));
    while (it != m_folderIds.end() && it->first.starts_with(oldPrefix)) {
        moved.push_back(it->second);
        it = m_folderIds.erase(it);
    }
    if (moved.empty()) return;
    for (const std::uint32_t id : moved) {
        std::string& text = m_folders[id];
        text.replace(0, oldPrefix.size(), newPrefix);
        m_folderIds.emplace(text, id);
    }
    if (m_changeListener) m_changeListener(kEveryRow, ColumnIndex(ListColumn::Folder));
}

void RowStore::JoinRowCells(std::size_t row, std::string& out) const {
    std::shared_lock lock(m_mutex);
    if (row < m_rows.size()) JoinCellsLocked(m_rows[row], out);
}

void RowStore::JoinRowCellsOfBlock(std::size_t first, std::size_t count, std::string& out,
                                   std::vector<std::size_t>& ends) const {
    std::shared_lock lock(m_mutex);
    for (std::size_t row = first; row < first + count; ++row) {
        if (row < m_rows.size()) JoinCellsLocked(m_rows[row], out);
        ends.push_back(out.size());
        out += '\0';
    }
}

void RowStore::JoinCellsLocked(const Row& r, std::string& out) const {
    out += NameOf(r);
    if (r.previewIndex != 0) out += m_previews[r.previewIndex - 1];
    // Most rows of a large list show no formatted column and no text was set into one.
    if ((r.filled & kOptionalColumns) != 0 || !m_cellOverrides.empty()) {
        for (int column = kFirstFactColumn; column <= kLastFactColumn; ++column) {
            if ((r.filled & ColumnBit(static_cast<ListColumn>(column))) != 0 || !m_cellOverrides.empty()) {
                out += CellText(r, column);
            }
        }
    }
    out += m_folders[r.folderId];
}

void RowStore::VisitCellTexts(std::span<const std::uint32_t> rows, int column,
                              const std::function<void(std::size_t, std::string_view)>& visit) const {
    constexpr std::size_t kBlock = 4096;
    // A row's record is fetched this many rows ahead, its name half as many: by
    // then the record is there to say where the name lies.
    constexpr std::size_t kAhead = 16;
    const bool names = column == ColumnIndex(ListColumn::Name);
    std::string formatted;
    for (std::size_t first = 0; first < rows.size(); first += kBlock) {
        const std::size_t last = std::min(rows.size(), first + kBlock);
        std::shared_lock lock(m_mutex);
        const std::size_t count = m_rows.size();
        for (std::size_t i = first; i < last; ++i) {
            if (i + kAhead < last && rows[i + kAhead] < count) __builtin_prefetch(&m_rows[rows[i + kAhead]]);
            if (names && i + kAhead / 2 < last && rows[i + kAhead / 2] < count) {
                __builtin_prefetch(NameOf(m_rows[rows[i + kAhead / 2]]).data());
            }
            if (rows[i] >= count) {
                visit(i, {});
                continue;
            }
            const Row& row = m_rows[rows[i]];
            if (const auto stored = StoredCellText(row, column)) {
                visit(i, *stored);
            } else {
                formatted = CellText(row, column);
                visit(i, formatted);
            }
        }
    }
}

void RowStore::ApplyOrder(std::vector<std::uint32_t> order) {
    std::unique_lock lock(m_mutex);
    if (order.size() != m_rows.size()) return;
    std::vector<bool> seen(order.size());
    for (const std::uint32_t from : order) {
        if (from >= order.size() || seen[from]) return;  // not a permutation: keep the rows as they are
        seen[from] = true;
    }
    // Follows each cycle of the permutation, marking placed rows in `order` itself,
    // so no second copy of the rows is needed.
    for (std::uint32_t start = 0; start < order.size(); ++start) {
        if (order[start] == start) continue;
        const Row held = m_rows[start];
        std::uint32_t at = start;
        while (order[at] != start) {
            const std::uint32_t from = order[at];
            m_rows[at] = m_rows[from];
            order[at] = at;
            at = from;
        }
        m_rows[at] = held;
        order[at] = at;
    }
}

std::string RowStore::Name(std::size_t row) const { return GetCellText(row, ListColumn::Name); }
std::string RowStore::Folder(std::size_t row) const { return GetCellText(row, ListColumn::Folder); }

std::string RowStore::FullPath(std::size_t row) const {
    std::shared_lock lock(m_mutex);
    if (row >= m_rows.size()) return {};
    const Row& r = m_rows[row];
    std::string path = m_folders[r.folderId];
    path += NameOf(r);
    return path;
}

std::optional<RowFacts> RowStore::Facts(std::size_t row) const {
    std::shared_lock lock(m_mutex);
    if (row >= m_rows.size()) return std::nullopt;
    return FactsOfRow(m_rows[row]);
}

std::uint16_t RowStore::Icon(std::size_t row) const {
    std::shared_lock lock(m_mutex);
    return row < m_rows.size() ? m_rows[row].icon : 0;
}

ColumnMask RowStore::Filled(std::size_t row) const {
    std::shared_lock lock(m_mutex);
    return row < m_rows.size() ? static_cast<ColumnMask>(m_rows[row].filled & ~kFlags) : 0;
}

std::size_t RowStore::OverheadBytes() const {
    std::shared_lock lock(m_mutex);
    std::size_t bytes = m_rows.heldBytes() + m_facts.heldBytes();
    bytes += m_folderIds.size() * (sizeof(std::string_view) + sizeof(std::uint32_t) + 4 * sizeof(void*));
    bytes += m_folders.size() * sizeof(std::string);
    bytes += m_previews.size() * sizeof(std::string);
    return bytes;
}

ColumnMask RowStore::FactFlags(const RowFacts& facts) {
    return static_cast<ColumnMask>((facts.isFolder ? kFolderFlag : 0) | (facts.statRead ? kStatReadFlag : 0) |
                                   (facts.attributesRead ? kAttributesReadFlag : 0));
}

ColumnMask RowStore::Available(ColumnMask filled) {
    // The type needs only the name and the kind, which every row knows.
    ColumnMask available = ColumnBit(ListColumn::Type);
    if (filled & kStatReadFlag) available |= kStatColumns;
    if (filled & kAttributesReadFlag) available |= kAttributeColumns;
    return available;
}

std::vector<RowStore::RowId> RowStore::ShowColumnsForLoadedRows(ColumnMask columns) {
    columns &= kOptionalColumns;
    std::vector<RowId> lacking;
    if (columns == 0) return lacking;
    std::unique_lock lock(m_mutex);
    for (std::size_t index = 0; index < m_rows.size(); ++index) {
        Row& row = m_rows[index];
        const ColumnMask missing = static_cast<ColumnMask>(columns & ~row.filled);
        if (missing == 0) continue;
        const ColumnMask now = static_cast<ColumnMask>(missing & Available(row.filled));
        row.filled = static_cast<ColumnMask>(row.filled | now);
        if (now != missing) lacking.push_back(row.id);
    }
    return lacking;
}

bool RowStore::FillFactsOf(RowId id, std::size_t& hint, const RowFacts& facts, ColumnMask columns) {
    std::unique_lock lock(m_mutex);
    const auto found = FindRowLocked(id, hint);
    if (!found) return false;
    hint = *found;
    Row& row = m_rows[*found];
    RowFacts kept = FactsOfRow(row);
    if (facts.statRead) {
        kept.size = facts.size;
        kept.created = facts.created;
        kept.modified = facts.modified;
        kept.accessed = facts.accessed;
    }
    if (facts.attributesRead) kept.attributes = facts.attributes;
    StoreFacts(row, kept);
    row.filled = static_cast<ColumnMask>(row.filled | (FactFlags(facts) & ~kFolderFlag));
    row.filled = static_cast<ColumnMask>(row.filled | (columns & kOptionalColumns & Available(row.filled)));
    if (m_changeListener) {
        for (int column = kFirstFactColumn; column <= kLastFactColumn; ++column) {
            if (columns & ColumnBit(static_cast<ListColumn>(column))) m_changeListener(*found, column);
        }
    }
    return true;
}

}  // namespace varnel
