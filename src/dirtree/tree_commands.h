// The commands of the tree's context menu "Varnel目录树" and its keys: which apply
// to a node (decided by its kind and its parent's kind alone) and what each does.
// Questions go to the user through TreeDialogs and the desktop is reached through
// TreeShell; the UI supplies both and tests replace them. A command whose flag is
// false for its node does nothing and says nothing. UI thread.
#pragma once

#include <expected>
#include <optional>
#include <string>

#include "dirtree/directory_tree.h"
#include "utilities/error.h"

namespace varnel {

struct CommandFlags {
    bool open = false;                  // 打开
    bool openParent = false;            // 打开上级
    bool newFolder = false;             // 新建目录
    bool rename = false;                // 重命名
    bool remove = false;                // 删除
    bool removeToTrash = false;         // 删除(回收站可见)
    bool copyPath = false;              // 复制路径
    bool addToVirtual = false;          // 加入到虚拟夹
    bool removeVirtual = false;         // 移除虚拟子夹
    bool redirectVirtual = false;       // 重定向虚拟路径...
    bool redirectSystem = false;        // 重定向系统路径...
    bool newVirtualCaption = false;     // 新建目录 reads 新建虚拟子夹
    bool renameVirtualCaption = false;  // 重命名 reads 重命名虚拟子夹
    bool deleteVirtualCaption = false;  // the deletes read 移除虚拟子夹并删除目录...
    bool aboutVirtual = false;          // 关于虚拟夹
    bool aboutSystem = false;           // 关于系统夹
    bool aboutTree = false;             // 关于目录树
};

// The flags for a node of `kind` under a parent of `parentKind` (nothing: a root).
CommandFlags ApplicableCommands(NodeKind kind, std::optional<NodeKind> parentKind);
// No node: every flag false.
CommandFlags GetApplicableCommands(const TreeNode* node);

class TreeDialogs {
public:
    virtual ~TreeDialogs() = default;
    // An OK/Cancel question; true for OK.
    virtual bool Confirm(const std::string& text) = 0;
    virtual void Tell(const std::string& text) = 0;
    // A line of text; nothing when cancelled.
    virtual std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                               const std::string& initial) = 0;
};

class TreeShell {
public:
    virtual ~TreeShell() = default;
    virtual std::expected<void, Error> OpenFolder(const std::string& path) = 0;
    virtual std::expected<void, Error> ShowInFileManager(const std::string& path) = 0;
    virtual std::expected<void, Error> MoveToTrash(const std::string& path) = 0;
    virtual std::expected<void, Error> SetVolumeLabel(const std::string& device,
                                                      const std::string& label) = 0;
};
// The desktop's file manager, trash and UDisks2.
TreeShell& SystemTreeShell();

// Names tried by 新建目录 before it gives up: Varnel文件夹, Varnel文件夹(1), ...
inline constexpr int kMaxNewFolderAttempts = 1000;

class TreeCommands {
public:
    TreeCommands(DirectoryTree& tree, TreeDialogs& dialogs, TreeShell& shell);

    bool OpenSelectedNode(TreeNode* node);
    bool OpenParentOfSelected(TreeNode* node);
    // 新建目录: the new folder, or on 虚拟夹 the new virtual folder, whose name the
    // user is to edit next; null when nothing was made.
    TreeNode* CreateNodeFolder(TreeNode* node);
    bool DeleteSelectedNode(TreeNode* node, bool toTrash);
    // 重命名 of a drive: asks for its volume label.
    bool RelabelDrive(TreeNode* node);
    // The end of an in-place label edit of a folder or a virtual folder; true when
    // the new text was kept.
    bool FinishLabelEdit(TreeNode* node, const std::string& text);
    // 复制名称 / 复制路径: the text for the clipboard; nothing when there is none.
    std::optional<std::string> CopyNodeNameOrPath(TreeNode* node, bool nameOnly);
    // The new virtual folder, whose name the user is to edit next.
    TreeNode* AddSelectedToVirtualFolders(TreeNode* node);
    bool RemoveVirtualFolder(TreeNode* node);
    bool RedirectVirtualFolder(TreeNode* node);
    bool RedirectSelectedSystemFolder(TreeNode* node);
    void ShowVirtualFoldersHelp(TreeNode* node);
    void ShowSystemFoldersHelp(TreeNode* node);
    void ShowTreeHelp(TreeNode* node);
    // 跳转到...: the path typed; nothing when cancelled.
    std::optional<std::string> AskJumpPath();

private:
    // Opens the node's folder, or shows it in the file manager inside its parent.
    bool OpenNode(TreeNode* node, bool inFileManager);
    // A typed folder path, checked: absolute, existing, storable when `forVirtual`.
    std::optional<std::string> CheckedFolderAnswer(const std::string& answer, bool forVirtual);
    void TellFailure(const char* what, const Error& error);
    void TellIfSaveFailed(const std::expected<void, Error>& saved);

    DirectoryTree& m_tree;
    TreeDialogs& m_dialogs;
    TreeShell& m_shell;
};

}  // namespace varnel
