// The directory tree of the left pane: the four fixed roots 桌面, 我的电脑, 系统夹
// and 虚拟夹, the folders below them read lazily, a check box per node, the path of
// any node and the walk to any path. A node without a path (the 我的电脑, 系统夹
// and 虚拟夹 roots, an undefined system folder) gives none, and every user of paths
// skips it. Each change is reported to one observer around the change, so that a
// view stays in step. UI thread only; a folder on a network mount can be listed on
// a worker (ListSubfolders) and handed back with ApplyBackgroundListing.
#pragma once

#include <cstdint>
#include <expected>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dirtree/folder_listing.h"
#include "dirtree/mount_table.h"
#include "dirtree/system_folders.h"
#include "dirtree/virtual_folders.h"
#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

// The kind of a node; the numbers are the node's picture in the tree.
enum class NodeKind : int {
    Folder = 0,
    Computer = 2,        // 我的电脑: the drives
    Drive = 3,
    Desktop = 4,         // 桌面
    SystemFolders = 5,   // 系统夹
    VirtualFolders = 6,  // 虚拟夹
    Entry = 7,           // a system folder (under 系统夹) or a virtual folder (under 虚拟夹)
};

class TreeNode {
public:
    NodeKind Kind() const { return m_kind; }
    // The kind of the parent; nothing for a root.
    std::optional<NodeKind> ParentKind() const;
    const std::string& Text() const { return m_text; }
    TreeNode* Parent() const { return m_parent; }
    int Row() const { return m_row; }
    int ChildCount() const { return static_cast<int>(m_children.size()); }
    TreeNode* Child(int row) const { return m_children[static_cast<std::size_t>(row)].get(); }
    bool IsChecked() const { return m_checked; }
    bool ChildrenRead() const { return m_childrenRead; }
    // Whether an unread node offers to be expanded (its folder has a subfolder).
    bool MayHaveChildren() const { return m_mayHaveChildren; }
    bool IsListing() const { return m_listingTicket != 0; }
    // An undefined system folder, or a virtual folder whose folder is absent for now.
    bool IsUnavailable() const { return m_unavailable; }
    bool IsLink() const { return m_isLink; }
    bool IsVirtualEntry() const;
    bool IsSystemEntry() const;
    int SystemIndex() const { return m_systemIndex; }  // 1..23 for a system folder entry
    std::uint64_t Id() const { return m_id; }

private:
    friend class DirectoryTree;
    NodeKind m_kind = NodeKind::Folder;
    std::string m_text;
    TreeNode* m_parent = nullptr;
    int m_row = 0;
    std::vector<std::unique_ptr<TreeNode>> m_children;
    bool m_checked = false;
    bool m_childrenRead = false;
    bool m_mayHaveChildren = false;
    bool m_unavailable = false;
    bool m_isLink = false;
    int m_systemIndex = 0;
    std::uint64_t m_recordId = 0;
    std::uint64_t m_listingTicket = 0;
    std::uint64_t m_id = 0;
    std::optional<Drive> m_drive;
};

// Told before and after every change of the tree's shape, and after a node's text,
// check, availability or expand button changed.
class TreeObserver {
public:
    virtual ~TreeObserver() = default;
    virtual void BeginReset() = 0;
    virtual void EndReset() = 0;
    virtual void BeginInsert(TreeNode& parent, int first, int last) = 0;
    virtual void EndInsert() = 0;
    virtual void BeginRemove(TreeNode& parent, int first, int last) = 0;
    virtual void EndRemove() = 0;
    virtual void Changed(TreeNode& node) = 0;
};

struct DirectoryTreeSetup {
    std::string treeFile;      // the virtual folders' file
    std::string registryFile;  // the override store of the system folders
    std::string homeFolder;
    std::function<MountSnapshot()> readMounts;
    PosixApi* os = nullptr;
};
// The user's own files and the live mount table.
DirectoryTreeSetup DefaultDirectoryTreeSetup();

// A folder listing to be done off the UI thread: ListSubfolders(folder, mounts).
struct ListingRequest {
    std::uint64_t nodeId = 0;
    std::uint64_t ticket = 0;
    std::string folder;
    std::vector<MountEntry> mounts;
};

struct GoToResult {
    bool walked = false;       // false: no such path; the tree was left alone
    TreeNode* node = nullptr;  // the node reached; null when the walk found no node
};

class DirectoryTree {
public:
    // Reads the virtual folders; the tree itself is built by RebuildTree.
    explicit DirectoryTree(DirectoryTreeSetup setup);
    // Writes the virtual folders back when a change has not reached the file yet (its
    // write failed); a failure there cannot be reported.
    ~DirectoryTree();
    DirectoryTree(const DirectoryTree&) = delete;
    DirectoryTree& operator=(const DirectoryTree&) = delete;

    void SetObserver(TreeObserver* observer) { m_observer = observer; }

    // Reads the mount table and builds the four roots: the drives, the system
    // folders and the virtual folders are filled, the desktop's folders wait.
    void RebuildTree();
    int RootCount() const { return static_cast<int>(m_roots.size()); }
    TreeNode* Root(int row) const { return m_roots[static_cast<std::size_t>(row)].get(); }
    TreeNode* RootOf(NodeKind kind) const;
    TreeNode* FindNode(std::uint64_t id) const;

    std::optional<std::string> GetItemPath(const TreeNode* node);

    // Lazy filling. RefreshItem re-reads the node's children from disk (with
    // onlyIfNotFilled, only when they have not been read yet).
    bool CanFetchMore(const TreeNode& node) const;
    void RefreshItem(TreeNode& node, bool onlyIfNotFilled);
    // Whether the node's folder should be listed off the UI thread (a network mount).
    bool ListsInBackground(const TreeNode& node);
    // Marks the node as being listed; nothing when there is nothing to list.
    std::optional<ListingRequest> BeginBackgroundListing(TreeNode& node);
    // Applies a listing made from a request; ignored when the node is gone or has
    // been read or refreshed since.
    void ApplyBackgroundListing(const ListingRequest& request, std::vector<SubfolderEntry> entries);

    // Finds the path's node, reading folders on the way. A file gives its folder.
    // Unless keepChecks, the node found becomes the only checked one (no node: no
    // checks at all). A missing or relative path does nothing.
    GoToResult GoToPath(std::string_view path, bool keepChecks = false);

    void SetChecked(TreeNode& node, bool checked);
    // Unchecks every node, then checks `node` (when there is one).
    void CheckOnlyItem(TreeNode* node);
    // The checked nodes in pre-order, children read under collapsed nodes included.
    std::vector<TreeNode*> GetCheckedItems() const;
    // Their paths, skipping nodes that have none.
    std::vector<std::string> CheckedFolderPaths();

    // Node changes behind the commands.
    TreeNode* AddFolderChild(TreeNode& parent, std::string name);
    void SetNodeText(TreeNode& node, std::string text);
    void DeleteNode(TreeNode& node);
    const Drive* DriveOf(const TreeNode& node) const;
    void SetDriveLabel(TreeNode& node, std::string label);

    // Virtual folders. Each change is written to the tree file at once; a write that
    // fails is tried again with the next change and at exit.
    std::vector<VirtualFolderRecord> VirtualFolders() const;
    const VirtualFolderRecord* RecordOf(const TreeNode& node) const;
    // The new entry's node (null before the tree is built) and the save's outcome.
    std::pair<TreeNode*, std::expected<void, Error>> AddVirtualFolder(VirtualFolderRecord record);
    std::expected<void, Error> RenameVirtualFolder(TreeNode& node, std::string name);
    std::expected<void, Error> RedirectVirtualFolder(TreeNode& node, std::string path);
    std::expected<void, Error> RemoveVirtualFolder(TreeNode& node);
    std::expected<void, Error> SaveVirtualFolders();

    SystemFolders& Systems() { return m_systems; }
    // Redirects the entry and re-reads it, whatever the write gave.
    std::expected<void, Error> RedirectSystemFolder(TreeNode& node, const std::string& folder);

    // "/", the home folder, a mount point or a system folder, or a folder holding one.
    bool IsProtectedFolder(const std::string& path);
    bool IsExistingFolder(const std::string& path) const;

    PosixApi& Os() const { return *m_os; }
    const std::string& Home() const { return m_home; }
    const std::vector<MountEntry>& Mounts() const { return m_snapshot.mounts; }

private:
    struct VirtualSlot {
        std::uint64_t id = 0;
        VirtualFolderRecord record;
    };

    std::unique_ptr<TreeNode> MakeNode(NodeKind kind, std::string text, TreeNode* parent);
    void InsertChildren(TreeNode& parent, std::vector<std::unique_ptr<TreeNode>> children);
    void RemoveChildren(TreeNode& parent);
    void Fill(TreeNode& node);
    std::vector<std::unique_ptr<TreeNode>> DriveNodes(TreeNode& parent);
    std::vector<std::unique_ptr<TreeNode>> SystemFolderNodes(TreeNode& parent);
    std::vector<std::unique_ptr<TreeNode>> VirtualFolderNodes(TreeNode& parent);
    std::unique_ptr<TreeNode> VirtualFolderNode(TreeNode& parent, const VirtualSlot& slot);
    std::vector<std::unique_ptr<TreeNode>> FolderNodes(TreeNode& parent,
                                                       const std::vector<SubfolderEntry>& entries);
    // Whether a folder offers expanding: probed, except on a network mount.
    bool OffersChildren(const std::string& folder) const;
    void Changed(TreeNode& node);
    VirtualSlot* SlotOf(const TreeNode& node);
    std::pair<TreeNode*, std::string> FindAnchor(const std::string& path);
    TreeNode* FindOrReadChild(TreeNode& node, std::string_view name);
    template <typename Visit>
    void ForEachNode(Visit visit) const;

    DirectoryTreeSetup m_setup;
    PosixApi* m_os;
    std::string m_home;
    SystemFolders m_systems;
    std::vector<VirtualSlot> m_virtualFolders;
    MountSnapshot m_snapshot;
    std::vector<std::unique_ptr<TreeNode>> m_roots;
    TreeObserver* m_observer = nullptr;
    std::uint64_t m_nextId = 0;
    std::uint64_t m_nextTicket = 0;
    bool m_unsaved = false;
};

}  // namespace varnel
