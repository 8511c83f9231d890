// The task box (任务框): the tree of batch tasks in four groups. Every item carries
// a task number; a group carries the number of one of its children. UI thread only.
#pragma once

#include <QStringList>
#include <QTreeWidget>

namespace varnel {

class TaskBox final : public QTreeWidget {
    Q_OBJECT
public:
    explicit TaskBox(QWidget* parent = nullptr);

    // The item's task number; 0 for none.
    static int TaskOf(const QTreeWidgetItem* item);
    // The item reached by the captions from a group down; nullptr when there is none.
    QTreeWidgetItem* FindItem(const QStringList& captions) const;
};

}  // namespace varnel
