// The task box (任务框): the tree of batch tasks in four groups. Every item carries
// a task number; a group carries the number of one of its children. Tasks that
// cannot run yet are shown disabled. UI thread only.
#pragma once

#include <QStringList>
#include <QTreeWidget>

namespace varnel {

class TaskRegistry;

class TaskBox final : public QTreeWidget {
    Q_OBJECT
public:
    explicit TaskBox(QWidget* parent = nullptr);

    // The item's task number; 0 for none.
    static int TaskOf(const QTreeWidgetItem* item);
    // The item reached by the captions from a group down; nullptr when there is none.
    QTreeWidgetItem* FindItem(const QStringList& captions) const;
    // Items of tasks without a runner say so in their tooltip and are disabled; a
    // group stays enabled while a task below it has a runner, so that it can be
    // reached.
    void ShowAvailableTasks(const TaskRegistry& registry);
};

}  // namespace varnel
