// The rows of the file list: one per loaded file or folder, with its name, its
// folder (interned), the facts read at load (size, attributes, times), a preview
// cell and a stable identity. Text cells are formatted when asked for, so a
// million rows cost their names and a fixed record each. Every method may be
// called from a worker while the UI thread reads: a shared lock guards the store.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "utilities/chunked_array.h"
#include "utilities/time_format.h"

namespace varnel {

enum class ListColumn : int {
    Name = 0,        // 文件名称
    Preview = 1,     // 预览专区
    Size = 2,        // 文件大小
    Type = 3,        // 文件类型
    Attributes = 4,  // 文件属性
    Created = 5,     // 创建时间
    Modified = 6,    // 修改时间
    Accessed = 7,    // 访问时间
    Folder = 8,      // 所属目录
};
inline constexpr int kListColumnCount = 9;
constexpr int ColumnIndex(ListColumn column) { return static_cast<int>(column); }
// The columns formatted from a row's facts: 文件大小 to 访问时间, in this order.
inline constexpr int kFirstFactColumn = ColumnIndex(ListColumn::Size);
inline constexpr int kLastFactColumn = ColumnIndex(ListColumn::Accessed);

// Which of the optional columns a row was filled for: bit (1 << column).
using ColumnMask = std::uint16_t;
constexpr ColumnMask ColumnBit(ListColumn column) { return ColumnMask(1u << static_cast<int>(column)); }

inline constexpr double kNoTime = std::numeric_limits<double>::quiet_NaN();

// What a load read about one path; only what the shown columns need is read.
struct RowFacts {
    std::int64_t size = 0;
    std::uint32_t attributes = 0;
    double created = kNoTime;   // OLE day counts in local time; NaN: no data
    double modified = kNoTime;
    double accessed = kNoTime;
    bool isFolder = false;
    // Which facts were read from the file system: size and times (one status
    // call), attributes. Unread facts keep their defaults.
    bool statRead = false;
    bool attributesRead = false;
};

// The optional columns whose cells come from a status call, and from the attributes.
inline constexpr ColumnMask kStatColumns = ColumnMask(ColumnBit(ListColumn::Size) | ColumnBit(ListColumn::Created) |
                                                      ColumnBit(ListColumn::Modified) |
                                                      ColumnBit(ListColumn::Accessed));
inline constexpr ColumnMask kAttributeColumns = ColumnBit(ListColumn::Attributes);
inline constexpr ColumnMask kOptionalColumns =
    ColumnMask(kStatColumns | kAttributeColumns | ColumnBit(ListColumn::Type));

// How the typed cells become text; set by the owner of the list.
struct CellFormatters {
    std::function<std::string(std::int64_t)> size;
    std::function<std::string(std::string_view extension)> typeDescription;
    std::function<std::string(std::uint32_t)> attributes;
    std::function<std::string(double)> time;
};

class RowStore {
public:
    using RowId = std::uint32_t;

    RowStore();
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;

    void SetFormatters(CellFormatters formatters);
    // Told of every cell change (row and column) on the thread that made it, while
    // the store's write lock is still held, so a mark it records can never refer to
    // a row that a later delete or reordering moved. It must be quick and must not
    // call back into the store (the list model only marks the row changed).
    // A call with row kEveryRow says that column may have changed in any row.
    void SetChangeListener(std::function<void(std::size_t row, int column)> listener);
    static constexpr std::size_t kEveryRow = SIZE_MAX;

    std::size_t RowCount() const;
    // Appends a row; folder is the containing folder (made a folder path).
    // filled names the optional columns to show for this row. Returns the row index.
    std::size_t AppendRow(std::string_view folder, std::string_view name, const RowFacts& facts,
                          ColumnMask filled, std::uint16_t icon = 0);
    void DeleteRow(std::size_t row);
    // Deletes several rows in one pass; indexes in any order, duplicates ignored.
    void DeleteRows(std::vector<std::size_t> rows);
    void Clear();

    RowId IdOf(std::size_t row) const;
    // The identities of up to `count` rows from `first`, in list order, in one pass.
    std::vector<RowId> RowIds(std::size_t first = 0, std::size_t count = SIZE_MAX) const;
    // The row's current index, looking first at `hint` (where it was).
    std::optional<std::size_t> FindRow(RowId id, std::size_t hint = 0) const;

    // A cell of the row with identity `id`, found and read (or written) in one step,
    // so that a row deleted meanwhile is never mistaken for its successor. Nothing
    // (false) when the row is gone. `hint` is where the row was looked for; it is
    // set to where it was found.
    std::optional<std::string> GetCellTextOf(RowId id, std::size_t& hint, int column) const;
    bool SetCellTextOf(RowId id, std::size_t& hint, int column, std::string_view text);
    std::optional<RowFacts> FactsOf(RowId id, std::size_t& hint) const;

    // "" outside the list. The folder column holds a folder path.
    std::string GetCellText(std::size_t row, int column) const;
    std::string GetCellText(std::size_t row, ListColumn column) const { return GetCellText(row, ColumnIndex(column)); }
    // The name column renames the row, the folder column moves it to another folder;
    // the fact columns keep the text given in place of the formatted value. Outside
    // the list: nothing.
    void SetCellText(std::size_t row, int column, std::string_view text);
    void SetCellText(std::size_t row, ListColumn column, std::string_view text) {
        SetCellText(row, ColumnIndex(column), text);
    }

    // The folder at `oldPath` (no trailing "/") now lives at `newPath`: every row
    // in it or below it names its folder by the new path, so the rows a run has
    // not reached yet still name their files. Costs the folders moved, not the rows.
    void FollowFolderMove(std::string_view oldPath, std::string_view newPath);

    // The texts of every column of the row joined without a separator, appended to
    // `out` (one lock for the whole row; a search reuses one buffer).
    void JoinRowCells(std::size_t row, std::string& out) const;

    // The joined texts of `count` rows from `first`, each followed by a '\0', appended
    // to `out`, and where each one's '\0' lies in `out` appended to `ends` (a row
    // outside the list gives ""): one lock for a block of rows, for a search that
    // goes through many.
    void JoinRowCellsOfBlock(std::size_t first, std::size_t count, std::string& out,
                             std::vector<std::size_t>& ends) const;

    // Hands `visit(i, text)` the cell of `column` in row rows[i], for each i in
    // order: for reading one column of many rows, as a sort does. The rows are read
    // a block at a time under one lock (a writer waits for one block at most), the
    // stored texts without a copy, the next rows fetched into the cache ahead of
    // them. The text lives only during the call; a row outside the list gives "".
    void VisitCellTexts(std::span<const std::uint32_t> rows, int column,
                        const std::function<void(std::size_t, std::string_view)>& visit) const;

    // Puts the rows in a new order: row i becomes the row that was at order[i].
    // `order` must hold each index below RowCount() once; it is used up. The rows
    // keep their identities, cells, previews and icons.
    void ApplyOrder(std::vector<std::uint32_t> order);

    std::string Name(std::size_t row) const;
    std::string Folder(std::size_t row) const;  // a folder path
    std::string FullPath(std::size_t row) const;
    std::optional<RowFacts> Facts(std::size_t row) const;
    std::uint16_t Icon(std::size_t row) const;
    ColumnMask Filled(std::size_t row) const;

    // A column shown after its rows were loaded: every row whose read facts give
    // the columns' cells now shows them. Returns the identities of the rows that
    // lack the facts, in list order, for a reader to fill (FillFactsOf). One pass.
    std::vector<RowId> ShowColumnsForLoadedRows(ColumnMask columns);
    // Stores facts read for a row listed earlier and shows `columns` for it; the
    // row's cells are reported to the change listener. False when the row is gone.
    bool FillFactsOf(RowId id, std::size_t& hint, const RowFacts& facts, ColumnMask columns);

    // Bytes held beyond the names and folder texts themselves (for the benchmarks).
    std::size_t OverheadBytes() const;

private:
    // A row's record. The facts read from the file system live apart (factsIndex),
    // so a list loaded without size, time or attribute columns costs no room for them.
    struct Row {
        std::uint64_t nameOffset;    // chunk index << 32 | offset in the chunk
        std::uint32_t nameLength;
        std::uint32_t folderId;
        std::uint32_t previewIndex;  // 0: empty; else index + 1 into m_previews
        RowId id;
        std::uint32_t factsIndex;    // 0: default facts; else index + 1 into m_facts
        std::uint16_t icon;
        ColumnMask filled;           // also the flags below
    };
    struct StoredFacts {
        std::int64_t size;
        double created;
        double modified;
        double accessed;
        std::uint32_t attributes;
    };
    static constexpr ColumnMask kFolderFlag = 0x8000;
    static constexpr ColumnMask kStatReadFlag = 0x4000;
    static constexpr ColumnMask kAttributesReadFlag = 0x2000;
    static constexpr ColumnMask kFlags = kFolderFlag | kStatReadFlag | kAttributesReadFlag;
    static ColumnMask FactFlags(const RowFacts& facts);
    // The columns a row can show from the facts it holds.
    static ColumnMask Available(ColumnMask filled);

    std::string_view NameOf(const Row& row) const;
    std::optional<std::size_t> FindRowLocked(RowId id, std::size_t hint) const;
    std::uint64_t StoreName(std::string_view name);
    std::uint32_t InternFolder(std::string_view folder);
    std::string CellText(const Row& row, int column) const;
    void JoinCellsLocked(const Row& row, std::string& out) const;
    // The cell of a column whose text is stored (name, preview, folder); nothing
    // for a formatted column.
    std::optional<std::string_view> StoredCellText(const Row& row, int column) const;
    const StoredFacts& FactsRecord(const Row& row) const;
    // Stores the values of `facts` for the row (a record of its own when needed).
    void StoreFacts(Row& row, const RowFacts& facts);
    RowFacts FactsOfRow(const Row& row) const;
    void SetCellLocked(std::size_t row, int column, std::string_view text);
    // Sets the cell and tells the listener (the lock held).
    void SetCellAndNotify(std::size_t row, int column, std::string_view text);

    mutable std::shared_mutex m_mutex;
    CellFormatters m_formatters;
    std::function<void(std::size_t, int)> m_changeListener;
    // Rows and facts in chunks: a load never copies the rows it has, and a list
    // loaded again at a similar size reuses the room the last one took.
    ChunkedArray<Row> m_rows;
    ChunkedArray<StoredFacts, 13> m_facts;
    RowId m_nextId = 1;

    // Names live in fixed chunks, so appending never moves the bytes of others. A
    // name longer than a chunk gets a chunk of its own size. Emptying the list
    // keeps the chunks of the usual size for the next load.
    static constexpr std::size_t kChunkSize = std::size_t{1} << 20;
    struct NameChunk {
        std::unique_ptr<char[]> bytes;
        std::size_t capacity = 0;
    };
    std::vector<NameChunk> m_nameChunks;
    std::size_t m_nameChunk = 0;  // the chunk names go into; the ones after it are spare
    std::size_t m_chunkUsed = 0;

    std::deque<std::string> m_folders;
    // Sorted, so the folders below a moved one are found as one range. A folder
    // moved onto a text another row already had keeps its own id: both are listed.
    std::multimap<std::string_view, std::uint32_t, std::less<>> m_folderIds;
    std::uint32_t m_lastFolderId = UINT32_MAX;

    // A deque: a preview of a million rows grows it without moving the texts.
    std::deque<std::string> m_previews;
    // Texts set into the formatted columns (2-7), by row identity and column.
    std::unordered_map<std::uint64_t, std::string> m_cellOverrides;
};

}  // namespace varnel
