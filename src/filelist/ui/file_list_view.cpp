#include "filelist/ui/file_list_view.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QMouseEvent>

namespace varnel {

FileListView::FileListView(FileListModel& model, QWidget* parent) : QTableView(parent), m_model(model) {
    setObjectName(QString::fromUtf8("列表框"));
    setModel(&m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setShowGrid(false);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Fixed row heights let the view place a million rows without measuring them.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    m_hiddenWidths.fill(120);
    SetIconSize(true);
}

void FileListView::SetIconSize(bool large) {
    const int size = FileListIcons::IconSize(large);
    setIconSize(QSize(size, size));
    verticalHeader()->setDefaultSectionSize(std::max(size + 4, fontMetrics().height() + 6));
}

void FileListView::ToggleListColumn(int column, bool shown) {
    if (column <= ColumnIndex(ListColumn::Name) || column >= kListColumnCount) return;  // the name stays
    if (shown) {
        if (isColumnHidden(column)) {
            setColumnHidden(column, false);
            setColumnWidth(column, m_hiddenWidths[static_cast<std::size_t>(column)]);
        }
    } else if (!isColumnHidden(column)) {
        m_hiddenWidths[static_cast<std::size_t>(column)] = columnWidth(column);
        setColumnHidden(column, true);
    }
}

QModelIndex FileListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (action != MoveHome && action != MoveEnd) return QTableView::moveCursor(action, modifiers);
    const int rows = m_model.rowCount();
    if (rows == 0) return {};
    const QModelIndex current = currentIndex();
    const int column = current.isValid() ? current.column() : ColumnIndex(ListColumn::Name);
    return m_model.index(action == MoveHome ? 0 : rows - 1, column);
}

void FileListView::keyPressEvent(QKeyEvent* event) {
    // A name being edited takes its own Enter (it ends the edit); the view's Enter
    // opens the chosen rows, whatever the modifiers.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && state() != EditingState) {
        event->accept();
        emit enterPressed();
        return;
    }
    QTableView::keyPressEvent(event);
}

void FileListView::mousePressEvent(QMouseEvent* event) {
    // The current row changes inside the base handler; the flag covers just that.
    m_rightButtonDown = event->button() == Qt::RightButton;
    QTableView::mousePressEvent(event);
    m_rightButtonDown = false;
}

bool FileListView::IsColumnShown(int column) const { return !isColumnHidden(column); }

void FileListView::AutoSizeFileListColumns() {
    for (int column = 0; column < kListColumnCount; ++column) {
        if (isColumnHidden(column)) continue;
        const int title = horizontalHeader()->sectionSizeHint(column);
        const int content = sizeHintForColumn(column);
        setColumnWidth(column, std::max(title, content));
    }
}

void FileListView::SetListSelection(SelectionMode mode, const std::function<bool(std::size_t)>& passes) {
    const int rows = m_model.rowCount();
    if (rows == 0) return;
    const QItemSelection everything(m_model.index(0, 0), m_model.index(rows - 1, kListColumnCount - 1));
    QItemSelectionModel* selection = selectionModel();
    switch (mode) {
        case SelectionMode::All:
            selection->select(everything, QItemSelectionModel::Select);
            break;
        case SelectionMode::None:
            selection->clearSelection();
            break;
        case SelectionMode::Invert:
            selection->select(everything, QItemSelectionModel::Toggle);
            break;
        case SelectionMode::ByFilters: {
            // Runs of passing rows become one range each.
            QItemSelection chosen;
            int runStart = -1;
            for (int row = 0; row <= rows; ++row) {
                const bool in = row < rows && passes && passes(static_cast<std::size_t>(row));
                if (in && runStart < 0) runStart = row;
                if (!in && runStart >= 0) {
                    chosen.select(m_model.index(runStart, 0), m_model.index(row - 1, kListColumnCount - 1));
                    runStart = -1;
                }
            }
            selection->select(chosen, QItemSelectionModel::ClearAndSelect);
            break;
        }
    }
}

}  // namespace varnel
