#include "filelist/ui/file_list_model.h"

#include <QMetaObject>

#include <algorithm>
#include <array>

#include "filelist/row_rename.h"
#include "filelist/list_sorter.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

QString Display(const std::string& text) { return QString::fromStdString(ToDisplayText(text)); }

}  // namespace

FileListModel::FileListModel(RowStore& store, QObject* parent)
    : QAbstractTableModel(parent), m_store(store) {
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(100);
    connect(&m_flushTimer, &QTimer::timeout, this, &FileListModel::FlushChangedCells);
    // A reset or a reordering shows every row afresh: marks made before it are void
    // (and those of a reordering name rows by their old places). A change made
    // after it is marked at its new place, since marks are made under the store's
    // lock, which the reordering holds.
    connect(this, &QAbstractItemModel::modelReset, this, [this] { m_changed.Discard(); });
    connect(this, &QAbstractItemModel::layoutChanged, this, [this] { m_changed.Discard(); });
    m_store.SetChangeListener([this](std::size_t row, int) {
        if (row == RowStore::kEveryRow) {
            m_changed.MarkAll();
        } else {
            m_changed.Mark(row);
        }
        if (!m_flushArmed.exchange(true)) {
            QMetaObject::invokeMethod(&m_flushTimer, qOverload<>(&QTimer::start), Qt::QueuedConnection);
        }
    });
    m_shownRows = static_cast<int>(m_store.RowCount());
}

FileListModel::~FileListModel() { m_store.SetChangeListener(nullptr); }

QString FileListModel::ColumnTitle(int column) {
    static const std::array<const char*, kListColumnCount> kTitles = {
        "文件名称", "预览专区", "文件大小", "文件类型", "文件属性",
        "创建时间", "修改时间", "访问时间", "所属目录"};
    return column >= 0 && column < kListColumnCount ? QString::fromUtf8(kTitles[static_cast<std::size_t>(column)])
                                                    : QString();
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shownRows;
}

int FileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kListColumnCount;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_shownRows) return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return Display(m_store.GetCellText(static_cast<std::size_t>(index.row()), index.column()));
    }
    if (role == Qt::EditRole && index.column() == static_cast<int>(ListColumn::Name)) {
        return Display(m_store.Name(static_cast<std::size_t>(index.row())));
    }
    if (role == Qt::DecorationRole && index.column() == static_cast<int>(ListColumn::Name)) {
        const auto row = static_cast<std::size_t>(index.row());
        const auto facts = m_store.Facts(row);
        return m_icons.IconFor(m_store.Name(row), facts && facts->isFolder);
    }
    if (role == Qt::TextAlignmentRole && index.column() == static_cast<int>(ListColumn::Size)) {
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == static_cast<int>(ListColumn::Name)) flags |= Qt::ItemIsEditable;
    return flags;
}

bool FileListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != static_cast<int>(ListColumn::Name) ||
        index.row() >= m_shownRows) {
        return false;
    }
    const auto row = static_cast<std::size_t>(index.row());
    // An edit that changed nothing keeps the name as its bytes are, even where they
    // are not valid UTF-8 and were shown with replacement characters.
    if (value.toString() == Display(m_store.Name(row))) return false;
    const QByteArray name = value.toString().toUtf8();
    if (auto renamed = RenameListRow(m_store, row, std::string_view(name.constData(), name.size())); !renamed) {
        emit renameFailed(QString::fromStdString("重命名失败：" + FailureReason(renamed.error())));
        return false;
    }
    emit dataChanged(index, index);
    return true;
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        if (section == m_sortColumn) return ColumnTitle(section) + QString::fromUtf8(SortMark(m_sortAscending));
        return ColumnTitle(section);
    }
    return {};
}

void FileListModel::SyncRowCount() {
    FlushChangedCells();
    const int count = static_cast<int>(m_store.RowCount());
    if (count > m_shownRows) {
        beginInsertRows({}, m_shownRows, count - 1);
        m_shownRows = count;
        endInsertRows();
    } else if (count < m_shownRows) {
        // Rows went away behind the model's back: start over rather than guess.
        beginResetModel();
        m_shownRows = count;
        endResetModel();
    }
}

void FileListModel::ClearRows() {
    beginResetModel();
    m_store.Clear();
    m_shownRows = 0;
    endResetModel();
}

void FileListModel::DeleteRows(std::vector<std::size_t> rows) {
    if (rows.empty()) return;
    beginResetModel();
    m_store.DeleteRows(std::move(rows));
    m_shownRows = static_cast<int>(m_store.RowCount());
    endResetModel();
}

void FileListModel::SetSortMark(int column, bool ascending) {
    const int previous = m_sortColumn;
    m_sortColumn = column;
    m_sortAscending = ascending;
    if (previous >= 0) emit headerDataChanged(Qt::Horizontal, previous, previous);
    if (column >= 0) emit headerDataChanged(Qt::Horizontal, column, column);
}

void FileListModel::ApplyRowOrder(std::vector<std::uint32_t> order) {
    if (order.size() != m_store.RowCount() || order.size() != static_cast<std::size_t>(m_shownRows)) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Where each row goes, for the indexes the views keep (selection, current row).
    std::vector<std::uint32_t> newRowOf(order.size());
    for (std::uint32_t to = 0; to < order.size(); ++to) newRowOf[order[to]] = to;
    m_store.ApplyOrder(std::move(order));
    const QModelIndexList kept = persistentIndexList();
    QModelIndexList moved;
    moved.reserve(kept.size());
    for (const QModelIndex& from : kept) {
        moved.push_back(from.row() >= 0 && static_cast<std::size_t>(from.row()) < newRowOf.size()
                            ? index(static_cast<int>(newRowOf[static_cast<std::size_t>(from.row())]), from.column())
                            : from);
    }
    changePersistentIndexList(kept, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FileListModel::FlushChangedCells() {
    // Disarmed before the take: a mark made after it arms the next batch.
    m_flushArmed = false;
    m_flushTimer.stop();
    const auto shown = static_cast<std::size_t>(m_shownRows);
    for (const ChangedRows::Range& range : m_changed.Take()) {
        // Rows not shown yet are drawn fresh when the count is synced.
        if (range.first >= shown) break;
        const std::size_t last = std::min(range.second, shown - 1);
        emit dataChanged(index(static_cast<int>(range.first), 0),
                         index(static_cast<int>(last), kListColumnCount - 1));
    }
}

}  // namespace varnel
