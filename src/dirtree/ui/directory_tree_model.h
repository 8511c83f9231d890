// The Qt item model over the core directory tree: one column, a check box per
// node, children fetched when a node is first expanded (hasChildren / fetchMore).
// Folders on a network mount are listed on a worker thread and applied here on the
// UI thread; nothing is ever listed inside a model change. Label edits are handed
// to the handler the view sets (the tree's rename rules live in the core).
#pragma once

#include <QAbstractItemModel>
#include <QIcon>

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "dirtree/directory_tree.h"
#include "utilities/ui/ui_job_runner.h"

namespace varnel {

class DirectoryTreeModel final : public QAbstractItemModel, private TreeObserver {
    Q_OBJECT
public:
    explicit DirectoryTreeModel(DirectoryTree& tree, QObject* parent = nullptr);
    ~DirectoryTreeModel() override;

    DirectoryTree& Tree() const { return m_tree; }
    TreeNode* NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOf(const TreeNode* node) const;

    // Decides the end of a label edit: true keeps the new text (UTF-8).
    using LabelEditHandler = std::function<bool(TreeNode*, const std::string&)>;
    void SetLabelEditHandler(LabelEditHandler handler) { m_labelEdit = std::move(handler); }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The user changed a node's check box (through the view, not the program).
    void checkToggledByUser(const QModelIndex& index);
    // A listing made on a worker has been applied (or dropped as stale).
    void backgroundListingDone();

private:
    void BeginReset() override;
    void EndReset() override;
    void BeginInsert(TreeNode& parent, int first, int last) override;
    void EndInsert() override;
    void BeginRemove(TreeNode& parent, int first, int last) override;
    void EndRemove() override;
    void Changed(TreeNode& node) override;

    void ListInBackground(TreeNode& node);
    void StartNextListing();
    QIcon IconOf(const TreeNode& node) const;
    QString ToolTipOf(const TreeNode& node) const;

    DirectoryTree& m_tree;
    LabelEditHandler m_labelEdit;
    std::deque<ListingRequest> m_waitingListings;
    // Last, so that it goes first: the listing under way is waited for while the
    // tree and the queue still exist, and its result is dropped.
    UiJobRunner m_listings;
};

}  // namespace varnel
