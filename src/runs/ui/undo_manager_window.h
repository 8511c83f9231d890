// The undo manager: lists the records of the undo history and the entries of the
// chosen one, and restores any record (through the same identity-checked undo as the
// toolbar's 撤销), deletes or moves records, clears the history, or deletes single
// entries of a record. Modal over the batch task area. UI thread only.
#pragma once

#include <QDialog>
#include <QList>

#include "runs/run_globals.h"
#include "runs/undo_manager.h"

class QCheckBox;
class QPushButton;
class QTableView;
class QTreeWidget;

namespace varnel {

class BatchTaskArea;
class UndoDetailModel;

class UndoManagerWindow final : public QDialog {
    Q_OBJECT
public:
    UndoManagerWindow(RunGlobals& app, BatchTaskArea& area, QWidget* parent = nullptr);
    ~UndoManagerWindow() override;

    void RestoreSelectedUndoRecord();
    void DeleteSelectedUndoRecord();
    void ClearUndoHistory();
    void MoveUndoRecord(bool up);
    void DeleteSelectedUndoEntries();

    QTreeWidget& RecordList() const { return *m_records; }
    QTableView& DetailList() const { return *m_details; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillUndoRecordList();
    void ShowUndoRecordDetails();
    void KeepUndoSelection();
    void RefreshUndoManager();
    void ApplyUndoDetailEnabling();
    void RenumberListRows();
    // After a record left the list at row `row`: the row below (or above) becomes current.
    void SelectAfterRemoval(int row);
    void SetCurrentRecord(int row);

    RunGlobals& m_app;
    BatchTaskArea& m_area;
    QTreeWidget* m_records;
    QTableView* m_details;
    UndoDetailModel* m_detailModel;
    QCheckBox* m_autoShow;
    QPushButton* m_deleteEntries;
    // 还原, 删除, 清空, 上移, 下移: they act on a record, so only while there is one.
    QList<QPushButton*> m_recordButtons;
};

// Opens the manager over the batch task area and returns when it closes.
void OpenUndoManager(RunGlobals& app, BatchTaskArea& area);

}  // namespace varnel
