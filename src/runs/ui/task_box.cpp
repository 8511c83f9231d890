#include "runs/ui/task_box.h"

#include <QHeaderView>

#include <vector>

#include "runs/task_table.h"

namespace varnel {

TaskBox::TaskBox(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QString::fromUtf8("任务框"));
    setColumnCount(1);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    std::vector<QTreeWidgetItem*> parents;
    for (const TaskBoxEntry& entry : TaskBoxEntries()) {
        const auto depth = static_cast<std::size_t>(entry.depth);
        parents.resize(depth);
        auto* item = depth == 0 ? new QTreeWidgetItem(this) : new QTreeWidgetItem(parents.back());
        item->setText(0, QString::fromUtf8(entry.caption.data(), static_cast<qsizetype>(entry.caption.size())));
        item->setData(0, Qt::UserRole, entry.number);
        parents.push_back(item);
    }
    expandAll();
}

int TaskBox::TaskOf(const QTreeWidgetItem* item) {
    return item == nullptr ? kNoTask : item->data(0, Qt::UserRole).toInt();
}

QTreeWidgetItem* TaskBox::FindItem(const QStringList& captions) const {
    QTreeWidgetItem* found = nullptr;
    for (const QString& caption : captions) {
        const int count = found == nullptr ? topLevelItemCount() : found->childCount();
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < count && next == nullptr; ++i) {
            QTreeWidgetItem* item = found == nullptr ? topLevelItem(i) : found->child(i);
            if (item->text(0) == caption) next = item;
        }
        if (next == nullptr) return nullptr;
        found = next;
    }
    return found;
}

namespace {

// Sets the item's state and tells whether it, or an item below it, can run.
bool ShowAvailability(QTreeWidgetItem* item, const TaskRegistry& registry) {
    bool below = false;
    for (int i = 0; i < item->childCount(); ++i) below = ShowAvailability(item->child(i), registry) || below;
    const bool own = registry.HasRunner(TaskBox::TaskOf(item));
    // Qt disables the children of a disabled item: the group's state comes last.
    item->setDisabled(!own && !below);
    item->setToolTip(0, own ? QString() : QString::fromUtf8(kTaskNotAvailableText));
    return own || below;
}

}  // namespace

void TaskBox::ShowAvailableTasks(const TaskRegistry& registry) {
    for (int i = 0; i < topLevelItemCount(); ++i) ShowAvailability(topLevelItem(i), registry);
}

}  // namespace varnel
