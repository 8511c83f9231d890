#include "runs/ui/undo_manager_window.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <sys/stat.h>

#include <algorithm>

#include "runs/ui/batch_task_area.h"
#include "utilities/user_notifier.h"

namespace varnel {

// The entries of one record, cells made as the view asks for them (a record of a
// hundred thousand renames costs nothing until it is scrolled to).
class UndoDetailModel final : public QAbstractTableModel {
public:
    UndoDetailModel(RunGlobals& app, QObject* parent) : QAbstractTableModel(parent), m_app(app) {}

    // Shows record `index` of the history (-1: nothing).
    void ShowRecord(int index) {
        beginResetModel();
        m_index = index;
        m_layout = index >= 0 ? UndoDetailLayoutOf(Record(), m_app.gUndoFamilies) : UndoDetailLayout{};
        m_cachedRow = -1;
        endResetModel();
    }
    int ShownRecord() const { return m_index; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !m_layout.kind ? 0 : static_cast<int>(m_layout.rows);
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        if (parent.isValid()) return 0;
        return 1 + static_cast<int>(m_index >= 0 ? m_layout.titles.size() : 1);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        if (section == 0) return QString::fromUtf8("序号");
        if (m_index < 0) return QString::fromUtf8("要显示左边某项的子列表请选择该项");
        const auto column = static_cast<std::size_t>(section - 1);
        return column < m_layout.titles.size() ? QString::fromStdString(m_layout.titles[column]) : QVariant();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || !m_layout.kind) return {};
        if (role == Qt::DisplayRole) {
            if (index.column() == 0) return index.row() + 1;
            const std::vector<std::string>& cells = CellsOf(index.row());
            const auto column = static_cast<std::size_t>(index.column() - 1);
            return column < cells.size() ? QString::fromStdString(cells[column]) : QVariant();
        }
        if (role == Qt::DecorationRole && index.column() == 0) {
            const std::string path = UndoDetailImagePath(Record(), *m_layout.kind, static_cast<std::size_t>(index.row()));
            if (path.empty()) return {};
            struct stat st {};
            const bool folder = ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
            return QApplication::style()->standardIcon(folder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
        }
        return {};
    }

private:
    const UndoRecord& Record() const { return m_app.gUndoHistory.at(static_cast<std::size_t>(m_index)); }
    // The columns of a row are asked one after another: make the row's cells once.
    const std::vector<std::string>& CellsOf(int row) const {
        if (row != m_cachedRow) {
            m_cachedCells =
                UndoDetailCells(Record(), *m_layout.kind, static_cast<std::size_t>(row), m_app.gUndoFamilies);
            m_cachedRow = row;
        }
        return m_cachedCells;
    }

    RunGlobals& m_app;
    int m_index = -1;
    UndoDetailLayout m_layout;
    mutable int m_cachedRow = -1;
    mutable std::vector<std::string> m_cachedCells;
};

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromUtf8(name));
    return widget;
}

bool Confirmed(const char* question) {
    return ShowMessageBox(question, kBoxOkCancel | kBoxIconQuestion) == kAnswerOk;
}

}  // namespace

UndoManagerWindow::UndoManagerWindow(RunGlobals& app, BatchTaskArea& area, QWidget* parent)
    : QDialog(parent), m_app(app), m_area(area) {
    setObjectName(QStringLiteral("UndoManagerWindow"));
    setWindowTitle(QString::fromUtf8(kUndoManagerTitle));
    setModal(true);
    resize(820, 460);
    auto* buttons = new QHBoxLayout;
    const auto button = [this, buttons](const char* caption, auto handler) {
        auto* b = Named(new QPushButton(QString::fromUtf8(caption), this), caption);
        connect(b, &QPushButton::clicked, this, handler);
        buttons->addWidget(b);
        return b;
    };
    m_recordButtons = {
        button("还原", [this] { RestoreSelectedUndoRecord(); }),
        button("删除", [this] { DeleteSelectedUndoRecord(); }),
        button("清空", [this] { ClearUndoHistory(); }),
        button("上移", [this] { MoveUndoRecord(true); }),
        button("下移", [this] { MoveUndoRecord(false); }),
    };
    m_autoShow = Named(new QCheckBox(QString::fromUtf8("自动显示子列表"), this), "自动显示");
    m_autoShow->setChecked(true);
    buttons->addWidget(m_autoShow);
    buttons->addStretch(1);

    m_records = Named(new QTreeWidget(this), "撤销框");
    m_records->setRootIsDecorated(false);
    m_records->setUniformRowHeights(true);
    m_records->setHeaderLabels({QString::fromUtf8("撤销序号"), QString::fromUtf8("撤销类型"), QString::fromUtf8("撤销数目")});
    m_records->installEventFilter(this);

    m_detailModel = new UndoDetailModel(m_app, this);
    m_details = Named(new QTableView(this), "撤销子框");
    m_details->setModel(m_detailModel);
    m_details->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_details->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_details->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_details->setShowGrid(false);
    m_details->setWordWrap(false);
    m_details->verticalHeader()->hide();
    m_details->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_details->horizontalHeader()->setStretchLastSection(true);

    m_deleteEntries = Named(new QPushButton(QString::fromUtf8("删除选中列表"), this), "删选");
    connect(m_deleteEntries, &QPushButton::clicked, this, [this] { DeleteSelectedUndoEntries(); });

    auto* right = new QVBoxLayout;
    right->addWidget(m_details, 1);
    right->addWidget(m_deleteEntries);
    auto* lists = new QHBoxLayout;
    lists->addWidget(m_records, 2);
    lists->addLayout(right, 5);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(lists, 1);

    FillUndoRecordList();
    connect(m_records, &QTreeWidget::currentItemChanged, this, [this] { ShowUndoRecordDetails(); });
    connect(m_autoShow, &QCheckBox::toggled, this, [this] {
        m_detailModel->ShowRecord(-1);  // refilled below for the chosen record when shown
        ShowUndoRecordDetails();
    });
    KeepUndoSelection();
}

UndoManagerWindow::~UndoManagerWindow() = default;

bool UndoManagerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_records && event->type() == QEvent::FocusIn) KeepUndoSelection();
    return QDialog::eventFilter(watched, event);
}

void UndoManagerWindow::FillUndoRecordList() {
    m_records->clear();
    QList<QTreeWidgetItem*> items;
    for (std::size_t i = 0; i < m_app.gUndoHistory.size(); ++i) {
        const UndoRecordLine line = DescribeUndoRecord(m_app.gUndoHistory[i]);
        items << new QTreeWidgetItem(QStringList{QString::number(i + 1), QString::fromStdString(line.kindName),
                                                 QString::number(line.count)});
    }
    m_records->addTopLevelItems(items);
    for (int column = 0; column < 3; ++column) m_records->resizeColumnToContents(column);
    m_app.gSelectedUndoIndex = ClampUndoSelection(m_app.gSelectedUndoIndex, m_app.gUndoHistory.size());
    RefreshUndoManager();
}

void UndoManagerWindow::SetCurrentRecord(int row) {
    m_records->setCurrentItem(row >= 0 ? m_records->topLevelItem(row) : nullptr);
}

void UndoManagerWindow::ShowUndoRecordDetails() {
    QTreeWidgetItem* current = m_records->currentItem();
    const int row = current != nullptr ? m_records->indexOfTopLevelItem(current) : -1;
    m_app.gSelectedUndoIndex = ClampUndoSelection(row, m_app.gUndoHistory.size());
    // The details always follow the record: after a restore or a delete the same row
    // number names another record.
    m_detailModel->ShowRecord(m_autoShow->isChecked() ? m_app.gSelectedUndoIndex : -1);
    m_details->resizeColumnsToContents();
    RefreshUndoManager();
}

void UndoManagerWindow::KeepUndoSelection() {
    const int wanted = ClampUndoSelection(m_app.gSelectedUndoIndex < 0 ? 0 : m_app.gSelectedUndoIndex,
                                          m_app.gUndoHistory.size());
    QTreeWidgetItem* current = m_records->currentItem();
    const int row = current != nullptr ? m_records->indexOfTopLevelItem(current) : -1;
    if (row != wanted) SetCurrentRecord(wanted);
    else if (m_detailModel->ShownRecord() != (m_autoShow->isChecked() ? wanted : -1)) ShowUndoRecordDetails();
}

void UndoManagerWindow::RefreshUndoManager() {
    if (m_app.gUndoHistory.empty()) m_area.UpdateUndoButton();
    RenumberListRows();
    ApplyUndoDetailEnabling();
}

void UndoManagerWindow::ApplyUndoDetailEnabling() {
    for (QPushButton* b : m_recordButtons) b->setEnabled(!m_app.gUndoHistory.empty());
    const bool enabled = m_autoShow->isChecked() && m_app.gSelectedUndoIndex != -1;
    m_deleteEntries->setEnabled(enabled);
    m_details->setEnabled(enabled);
    if (!enabled && m_detailModel->ShownRecord() != -1) m_detailModel->ShowRecord(-1);
}

void UndoManagerWindow::RenumberListRows() {
    for (int row = 0; row < m_records->topLevelItemCount(); ++row) {
        m_records->topLevelItem(row)->setText(0, QString::number(row + 1));
    }
}

void UndoManagerWindow::SelectAfterRemoval(int row) {
    // The details must never name a record that has gone.
    m_detailModel->ShowRecord(-1);
    delete m_records->takeTopLevelItem(row);
    const int count = m_records->topLevelItemCount();
    const int next = row < count ? row : row - 1;
    m_app.gSelectedUndoIndex = -1;
    SetCurrentRecord(next);
    ShowUndoRecordDetails();
}

void UndoManagerWindow::RestoreSelectedUndoRecord() {
    const int i = m_app.gSelectedUndoIndex = ClampUndoSelection(m_app.gSelectedUndoIndex, m_app.gUndoHistory.size());
    if (i >= 0) {
        const std::size_t before = m_app.gUndoHistory.size();
        if (m_area.UndoBatchRun(i + 1) && m_app.gUndoHistory.size() < before) SelectAfterRemoval(i);
    }
    m_records->setFocus();
}

void UndoManagerWindow::DeleteSelectedUndoRecord() {
    const int i = m_app.gSelectedUndoIndex = ClampUndoSelection(m_app.gSelectedUndoIndex, m_app.gUndoHistory.size());
    if (i >= 0 && Confirmed("您确定要删除当前选定的撤销记录吗？")) {
        m_detailModel->ShowRecord(-1);
        m_app.gUndoHistory.erase(m_app.gUndoHistory.begin() + i);
        SelectAfterRemoval(i);
    }
    m_records->setFocus();
}

void UndoManagerWindow::ClearUndoHistory() {
    if (m_records->topLevelItemCount() > 0 &&
        Confirmed("您确定要清空全部的撤销记录吗？此举很危险，请三思而后行。")) {
        m_detailModel->ShowRecord(-1);
        m_app.gUndoHistory.clear();
        m_app.gSelectedUndoIndex = -1;
        m_records->clear();
        RefreshUndoManager();
        m_area.UpdateUndoButton();
    }
    m_records->setFocus();
}

void UndoManagerWindow::MoveUndoRecord(bool up) {
    const int i = m_app.gSelectedUndoIndex = ClampUndoSelection(m_app.gSelectedUndoIndex, m_app.gUndoHistory.size());
    if (i >= 0) {
        const std::optional<std::size_t> moved = varnel::MoveUndoRecord(m_app.gUndoHistory, static_cast<std::size_t>(i), up);
        if (!moved) {
            ShowTrayNotice(UndoMoveRefusedText(up));
        } else {
            const int j = static_cast<int>(*moved);
            QTreeWidgetItem* a = m_records->topLevelItem(i);
            QTreeWidgetItem* b = m_records->topLevelItem(j);
            for (int column : {1, 2}) {
                const QString text = a->text(column);
                a->setText(column, b->text(column));
                b->setText(column, text);
            }
            // The details go on showing the same record, now at row j.
            m_app.gSelectedUndoIndex = j;
            const QSignalBlocker quiet(m_records);
            SetCurrentRecord(j);
            m_detailModel->ShowRecord(m_autoShow->isChecked() ? j : -1);
            RenumberListRows();
        }
    }
    m_records->setFocus();
}

void UndoManagerWindow::DeleteSelectedUndoEntries() {
    const int i = ClampUndoSelection(m_app.gSelectedUndoIndex, m_app.gUndoHistory.size());
    if (i < 0) return;
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : m_details->selectionModel()->selectedRows()) {
        rows.push_back(static_cast<std::size_t>(index.row()));
    }
    if (rows.empty()) {
        ShowTrayNotice("请先选定要删除的子列表再执行本动作！");
        return;
    }
    if (Confirmed("您确定要删除选定的子列表吗？")) {
        m_detailModel->ShowRecord(-1);
        DeleteUndoEntries(m_app.gUndoHistory[static_cast<std::size_t>(i)], std::move(rows));
        const UndoRecordLine line = DescribeUndoRecord(m_app.gUndoHistory[static_cast<std::size_t>(i)]);
        QTreeWidgetItem* item = m_records->topLevelItem(i);
        item->setText(1, QString::fromStdString(line.kindName));
        item->setText(2, QString::number(line.count));
        m_detailModel->ShowRecord(m_autoShow->isChecked() ? i : -1);
    }
    m_records->setFocus();
}

void OpenUndoManager(RunGlobals& app, BatchTaskArea& area) {
    UndoManagerWindow window(app, area, area.window());
    window.exec();
}

}  // namespace varnel
