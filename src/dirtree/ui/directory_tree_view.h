// The tree pane "目录树" that the main window embeds: the directory tree with its
// check boxes, its context menu "Varnel目录树" (owned here), the tree's keys and
// label edits. Loading the checked folders into the file list is not done here:
// the view hands their paths to the load callback the main window sets, when a
// check box is changed (or, when asked for, on a double click) and Alt is not held.
#pragma once

#include <QTreeView>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dirtree/directory_tree.h"
#include "dirtree/tree_commands.h"

class QAction;
class QMenu;

namespace varnel {

class DirectoryTreeModel;

class DirectoryTreeView final : public QTreeView {
    Q_OBJECT
public:
    explicit DirectoryTreeView(DirectoryTree& tree, QWidget* parent = nullptr);
    ~DirectoryTreeView() override;

    DirectoryTreeModel* TreeModel() const { return m_model; }
    QMenu* ContextMenu() const { return m_menu; }

    using LoadCallback = std::function<void(const std::vector<std::string>& folders)>;
    void SetLoadCallback(LoadCallback callback) { m_load = std::move(callback); }
    // Whether a double click loads the checked folders (目录树 触发输入 > 双击).
    void SetLoadOnDoubleClick(bool enabled) { m_loadOnDoubleClick = enabled; }
    // The checked folders' paths in tree order (nodes without a path left out).
    std::vector<std::string> CheckedFolderPaths();
    // Hands the checked folders to the load callback.
    void LoadCheckedFolders();

    // 刷新全部: builds the tree afresh, 我的电脑 expanded.
    void RebuildTree();
    // Selects the path's node (see DirectoryTree::GoToPath); false when the path
    // does not exist. Unless keepFocus the tree takes the keyboard focus.
    bool GoToPath(const std::string& path, bool keepFocus = false, bool keepChecks = false);
    TreeNode* CurrentNode() const;
    std::optional<std::string> CurrentPath();
    // Unchecks every node and checks the current one.
    void CheckOnlyCurrent();

    // Sets the menu's states and captions for the current node, as opening it does.
    void PrepareContextMenu();

    // Replacements for tests: the questions, the desktop, and the Alt key.
    void SetDialogs(TreeDialogs* dialogs);
    void SetShell(TreeShell* shell);
    void SetAltQuery(std::function<bool()> isAltHeld) { m_isAltHeld = std::move(isAltHeld); }
    bool IsAltHeld() const;

    // What moved the current node.
    enum class SelectionCause { Program = 0, Mouse = 1, Keyboard = 2 };

signals:
    // The current node changed. Only a left click beside the check box counts as
    // the mouse's: a press on a check box changes the check, and a right click
    // opens the menu.
    void currentNodeChanged(int cause);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    enum class Command {
        Open, OpenParent, NewFolder, RemoveVirtual, Delete, DeleteToTrash, RedirectVirtual,
        RedirectSystem, Rename, CopyName, CopyPath, AddToVirtual, RefreshSelected, RefreshAll,
        JumpTo, AboutVirtual, AboutSystem, AboutTree,
    };
    void BuildMenu();
    QAction* ActionOf(Command command) const;
    void Run(Command command);
    TreeCommands Commands();
    void BeginLabelEdit(TreeNode* node);
    void SelectNode(TreeNode* node);
    bool IsOnCheckBox(const QPoint& position);
    void OnCheckToggled();

    DirectoryTree& m_tree;
    DirectoryTreeModel* m_model;
    QMenu* m_menu;
    std::vector<std::pair<Command, QAction*>> m_actions;
    std::unique_ptr<TreeDialogs> m_ownDialogs;
    TreeDialogs* m_dialogs;
    TreeShell* m_shell;
    LoadCallback m_load;
    bool m_loadOnDoubleClick = false;
    std::function<bool()> m_isAltHeld;
    SelectionCause m_cause = SelectionCause::Program;
};

}  // namespace varnel
