// The file list as Qt sees it: a table model over the core row store. It owns no
// row data. Rows appended by a load appear when the UI thread syncs the count.
// Cell changes made on any thread are only marked; the UI thread tells the view
// of them in batches, one dataChanged per contiguous range of rows: at every
// sync, and otherwise 100 ms after the first change since the last batch.
#pragma once

#include <QAbstractTableModel>

#include <QTimer>

#include <atomic>
#include <vector>

#include "filelist/changed_rows.h"
#include "filelist/row_store.h"
#include "filelist/ui/file_list_icons.h"

namespace varnel {

class FileListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FileListModel(RowStore& store, QObject* parent = nullptr);
    ~FileListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    RowStore& Store() { return m_store; }
    FileListIcons& Icons() { return m_icons; }

    // Shows the rows the store gained since the last sync, and tells the view of
    // the cells changed since then (UI thread; runners call it on their ticks and
    // at the end of a run, so the last rows show at once).
    void SyncRowCount();
    // Tells the view of the cells changed since the last batch (UI thread).
    void FlushChangedCells();
    // Empties the store and the view (UI thread; no load may be running).
    void ClearRows();
    // Deletes rows from the store and the view (UI thread).
    void DeleteRows(std::vector<std::size_t> rows);

    // Puts the rows in the order a sort computed (element i: the row to show at
    // i). The views' selection, current row and other kept indexes follow their rows.
    void ApplyRowOrder(std::vector<std::uint32_t> order);
    // The sorted column's title carries the direction mark; -1 for none.
    void SetSortMark(int column, bool ascending);

    static QString ColumnTitle(int column);

private:
    RowStore& m_store;
    mutable FileListIcons m_icons;
    int m_shownRows = 0;
    ChangedRows m_changed;
    // Brings the batch when no runner syncs: started by the first mark after a
    // batch (one queued call per batch, never one per row).
    QTimer m_flushTimer;
    std::atomic<bool> m_flushArmed{false};
    int m_sortColumn = -1;
    bool m_sortAscending = true;
};

}  // namespace varnel
