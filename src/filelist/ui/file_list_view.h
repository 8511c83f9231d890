// The file list's view: one table over the list model with uniform row heights,
// the column commands (show or hide a column, fit the widths) and the selection
// commands (all, none, invert, by filters). UI thread only.
#pragma once

#include <QTableView>

#include <array>
#include <functional>

#include "filelist/ui/file_list_model.h"

namespace varnel {

class FileListView final : public QTableView {
    Q_OBJECT
public:
    explicit FileListView(FileListModel& model, QWidget* parent = nullptr);

    // Shows or hides column 1..8, keeping a hidden column's width for when it comes back.
    void ToggleListColumn(int column, bool shown);
    bool IsColumnShown(int column) const;
    // Fits each shown column to its texts, or to its title when every text is
    // shorter (only the rows on screen are measured, so a million rows cost nothing).
    void AutoSizeFileListColumns();
    void SetIconSize(bool large);

    enum class SelectionMode { All = 0, None = 1, Invert = 2, ByFilters = 3 };
    // ByFilters selects the rows for which `passes`(row) is true.
    void SetListSelection(SelectionMode mode, const std::function<bool(std::size_t row)>& passes = {});

    // Whether the row change now under way comes from a right click (which shows
    // the list's menu and does not open the row's preview).
    bool RightButtonDown() const { return m_rightButtonDown; }

signals:
    // Enter was pressed on the list itself (not while a name is being edited).
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Home and End (with or without Ctrl) go to the first and the last row, as in a
    // list of rows; the view scrolls there.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    FileListModel& m_model;
    std::array<int, kListColumnCount> m_hiddenWidths{};
    bool m_rightButtonDown = false;
};

}  // namespace varnel
