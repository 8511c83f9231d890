#include "dirtree/directory_tree.h"

#include <algorithm>

#include "settings/registry_store.h"
#include "platform/xdg_paths.h"
#include "utilities/char_forms.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

std::string JoinPath(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (path.back() != '/') path += '/';
    path += name;
    return path;
}


}  // namespace

std::optional<NodeKind> TreeNode::ParentKind() const {
    return m_parent != nullptr ? std::optional(m_parent->m_kind) : std::nullopt;
}

bool TreeNode::IsVirtualEntry() const {
    return m_kind == NodeKind::Entry && ParentKind() == NodeKind::VirtualFolders;
}

bool TreeNode::IsSystemEntry() const {
    return m_kind == NodeKind::Entry && ParentKind() == NodeKind::SystemFolders;
}

DirectoryTreeSetup DefaultDirectoryTreeSetup() {
    DirectoryTreeSetup setup;
    const std::string folder = WithTrailingSlash(SettingsFolder());
    setup.treeFile = folder + kTreeFileName;
    setup.registryFile = folder + kRegistryFileName;
    setup.homeFolder = HomeFolder();
    setup.readMounts = [] { return ReadMountSnapshot(); };
    setup.os = &SystemPosix();
    return setup;
}

DirectoryTree::DirectoryTree(DirectoryTreeSetup setup)
    : m_setup(std::move(setup)),
      m_os(m_setup.os != nullptr ? m_setup.os : &SystemPosix()),
      m_home(m_setup.homeFolder),
      m_systems(m_setup.registryFile, *m_os) {
    for (VirtualFolderRecord& record : LoadVirtualFolders(m_setup.treeFile, m_home, *m_os)) {
        m_virtualFolders.push_back(VirtualSlot{++m_nextId, std::move(record)});
    }
}

DirectoryTree::~DirectoryTree() {
    // Only what is not on disk yet: a write at every exit would put back records
    // that another instance has changed since.
    if (m_unsaved) (void)SaveVirtualFolders();
}

std::unique_ptr<TreeNode> DirectoryTree::MakeNode(NodeKind kind, std::string text, TreeNode* parent) {
    auto node = std::make_unique<TreeNode>();
    node->m_kind = kind;
    node->m_text = std::move(text);
    node->m_parent = parent;
    node->m_id = ++m_nextId;
    return node;
}

void DirectoryTree::Changed(TreeNode& node) {
    if (m_observer != nullptr) m_observer->Changed(node);
}

void DirectoryTree::RebuildTree() {
    if (m_observer != nullptr) m_observer->BeginReset();
    m_roots.clear();
    m_roots.push_back(MakeNode(NodeKind::Desktop, "桌面", nullptr));
    m_roots.push_back(MakeNode(NodeKind::Computer, "我的电脑", nullptr));
    m_roots.push_back(MakeNode(NodeKind::SystemFolders, "系统夹", nullptr));
    m_roots.push_back(MakeNode(NodeKind::VirtualFolders, "虚拟夹", nullptr));
    for (std::size_t row = 0; row < m_roots.size(); ++row) {
        m_roots[row]->m_row = static_cast<int>(row);
    }
    // The three roots that are not folders are filled at once (the drives first:
    // they read the mount table); nothing is announced until the reset is over.
    TreeObserver* observer = m_observer;
    m_observer = nullptr;
    for (NodeKind kind : {NodeKind::Computer, NodeKind::SystemFolders, NodeKind::VirtualFolders}) {
        Fill(*RootOf(kind));
    }
    TreeNode* desktop = RootOf(NodeKind::Desktop);
    const auto desktopPath = m_systems.Path(kDesktopFolderIndex);
    desktop->m_mayHaveChildren = desktopPath && OffersChildren(*desktopPath);
    m_observer = observer;
    if (m_observer != nullptr) m_observer->EndReset();
}

TreeNode* DirectoryTree::RootOf(NodeKind kind) const {
    for (const auto& root : m_roots) {
        if (root->m_kind == kind) return root.get();
    }
    return nullptr;
}

template <typename Visit>
void DirectoryTree::ForEachNode(Visit visit) const {
    std::vector<TreeNode*> stack;
    for (auto it = m_roots.rbegin(); it != m_roots.rend(); ++it) stack.push_back(it->get());
    while (!stack.empty()) {
        TreeNode* node = stack.back();
        stack.pop_back();
        visit(*node);
        for (auto it = node->m_children.rbegin(); it != node->m_children.rend(); ++it) {
            stack.push_back(it->get());
        }
    }
}

TreeNode* DirectoryTree::FindNode(std::uint64_t id) const {
    TreeNode* found = nullptr;
    ForEachNode([&](TreeNode& node) {
        if (node.m_id == id) found = &node;
    });
    return found;
}

std::optional<std::string> DirectoryTree::GetItemPath(const TreeNode* node) {
    if (node == nullptr) return std::nullopt;
    switch (node->m_kind) {
    case NodeKind::Computer:
    case NodeKind::SystemFolders:
    case NodeKind::VirtualFolders: return std::nullopt;
    case NodeKind::Desktop: return m_systems.Path(kDesktopFolderIndex);
    case NodeKind::Drive: return node->m_drive ? std::optional(node->m_drive->mountPoint) : std::nullopt;
    case NodeKind::Entry:
        if (node->IsSystemEntry()) return m_systems.Path(node->m_systemIndex);
        if (const VirtualFolderRecord* record = RecordOf(*node)) return record->path;
        return std::nullopt;
    case NodeKind::Folder: break;
    }
    auto parent = GetItemPath(node->m_parent);
    if (!parent) return std::nullopt;
    return JoinPath(*parent, node->m_text);
}

bool DirectoryTree::OffersChildren(const std::string& folder) const {
    return IsOnRemoteMount(m_snapshot.mounts, folder) || HasSubfolder(folder, *m_os);
}

bool DirectoryTree::IsExistingFolder(const std::string& path) const {
    struct stat info {};
    return m_os->Stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void DirectoryTree::InsertChildren(TreeNode& parent, std::vector<std::unique_ptr<TreeNode>> children) {
    parent.m_childrenRead = true;
    if (children.empty()) {
        parent.m_mayHaveChildren = false;
        Changed(parent);
        return;
    }
    parent.m_mayHaveChildren = true;
    const int first = parent.ChildCount();
    const int last = first + static_cast<int>(children.size()) - 1;
    if (m_observer != nullptr) m_observer->BeginInsert(parent, first, last);
    for (auto& child : children) {
        child->m_parent = &parent;
        child->m_row = parent.ChildCount();
        parent.m_children.push_back(std::move(child));
    }
    if (m_observer != nullptr) m_observer->EndInsert();
}

void DirectoryTree::RemoveChildren(TreeNode& parent) {
    if (parent.m_children.empty()) return;
    if (m_observer != nullptr) m_observer->BeginRemove(parent, 0, parent.ChildCount() - 1);
    parent.m_children.clear();
    if (m_observer != nullptr) m_observer->EndRemove();
}

std::vector<std::unique_ptr<TreeNode>> DirectoryTree::DriveNodes(TreeNode& parent) {
    std::vector<std::unique_ptr<TreeNode>> nodes;
    for (const Drive& drive : m_snapshot.drives) {
        auto node = MakeNode(NodeKind::Drive, DriveDisplayText(drive), &parent);
        node->m_mayHaveChildren = drive.remote || HasSubfolder(drive.mountPoint, *m_os);
        node->m_drive = drive;
        nodes.push_back(std::move(node));
    }
    return nodes;
}

std::vector<std::unique_ptr<TreeNode>> DirectoryTree::SystemFolderNodes(TreeNode& parent) {
    std::vector<std::unique_ptr<TreeNode>> nodes;
    for (int index = 1; index <= kSystemFolderCount; ++index) {
        auto node = MakeNode(NodeKind::Entry, std::string(SystemFolderName(index)), &parent);
        node->m_systemIndex = index;
        const auto path = m_systems.Path(index);
        node->m_unavailable = !path;
        node->m_mayHaveChildren = path && OffersChildren(*path);
        nodes.push_back(std::move(node));
    }
    return nodes;
}

std::unique_ptr<TreeNode> DirectoryTree::VirtualFolderNode(TreeNode& parent, const VirtualSlot& slot) {
    auto node = MakeNode(NodeKind::Entry, slot.record.name, &parent);
    node->m_recordId = slot.id;
    node->m_unavailable = !IsExistingFolder(slot.record.path);
    node->m_mayHaveChildren = !node->m_unavailable && OffersChildren(slot.record.path);
    return node;
}

std::vector<std::unique_ptr<TreeNode>> DirectoryTree::VirtualFolderNodes(TreeNode& parent) {
    std::vector<std::unique_ptr<TreeNode>> nodes;
    for (const VirtualSlot& slot : m_virtualFolders) nodes.push_back(VirtualFolderNode(parent, slot));
    return nodes;
}

std::vector<std::unique_ptr<TreeNode>> DirectoryTree::FolderNodes(
    TreeNode& parent, const std::vector<SubfolderEntry>& entries) {
    std::vector<std::unique_ptr<TreeNode>> nodes;
    for (const SubfolderEntry& entry : entries) {
        auto node = MakeNode(NodeKind::Folder, entry.name, &parent);
        node->m_isLink = entry.isLink;
        node->m_mayHaveChildren = entry.hasSubfolders;
        nodes.push_back(std::move(node));
    }
    return nodes;
}

void DirectoryTree::Fill(TreeNode& node) {
    switch (node.m_kind) {
    case NodeKind::Computer:
        m_snapshot = m_setup.readMounts ? m_setup.readMounts() : MountSnapshot{};
        InsertChildren(node, DriveNodes(node));
        return;
    case NodeKind::SystemFolders: InsertChildren(node, SystemFolderNodes(node)); return;
    case NodeKind::VirtualFolders: InsertChildren(node, VirtualFolderNodes(node)); return;
    default: break;
    }
    const auto path = GetItemPath(&node);
    if (!path) {
        InsertChildren(node, {});
        return;
    }
    InsertChildren(node, FolderNodes(node, ListSubfolders(*path, m_snapshot.mounts, *m_os)));
}

bool DirectoryTree::CanFetchMore(const TreeNode& node) const {
    return !node.m_childrenRead && node.m_mayHaveChildren && node.m_listingTicket == 0;
}

void DirectoryTree::RefreshItem(TreeNode& node, bool onlyIfNotFilled) {
    if (onlyIfNotFilled && node.m_childrenRead) return;
    node.m_listingTicket = 0;
    RemoveChildren(node);
    node.m_childrenRead = false;
    if (node.IsVirtualEntry()) {
        if (const VirtualFolderRecord* record = RecordOf(node)) {
            const bool unavailable = !IsExistingFolder(record->path);
            if (unavailable != node.m_unavailable) {
                node.m_unavailable = unavailable;
                Changed(node);
            }
        }
    }
    Fill(node);
}

bool DirectoryTree::ListsInBackground(const TreeNode& node) {
    switch (node.m_kind) {
    case NodeKind::Computer:
    case NodeKind::SystemFolders:
    case NodeKind::VirtualFolders: return false;
    case NodeKind::Drive: return node.m_drive && node.m_drive->remote;
    default: break;
    }
    const auto path = GetItemPath(&node);
    return path && IsOnRemoteMount(m_snapshot.mounts, *path);
}

std::optional<ListingRequest> DirectoryTree::BeginBackgroundListing(TreeNode& node) {
    if (node.m_childrenRead || node.m_listingTicket != 0) return std::nullopt;
    const auto path = GetItemPath(&node);
    if (!path) {
        InsertChildren(node, {});
        return std::nullopt;
    }
    node.m_listingTicket = ++m_nextTicket;
    return ListingRequest{node.m_id, node.m_listingTicket, *path, m_snapshot.mounts};
}

void DirectoryTree::ApplyBackgroundListing(const ListingRequest& request,
                                           std::vector<SubfolderEntry> entries) {
    TreeNode* node = FindNode(request.nodeId);
    if (node == nullptr || node->m_listingTicket != request.ticket) return;
    node->m_listingTicket = 0;
    if (node->m_childrenRead) return;
    InsertChildren(*node, FolderNodes(*node, entries));
}

std::pair<TreeNode*, std::string> DirectoryTree::FindAnchor(const std::string& path) {
    if (TreeNode* desktop = RootOf(NodeKind::Desktop)) {
        if (auto desktopPath = GetItemPath(desktop); desktopPath && IsPathPrefix(*desktopPath, path)) {
            return {desktop, *desktopPath};
        }
    }
    // The virtual folders first, then the system folders, then the drives; within
    // each group the longest leading path wins, the later node on a tie.
    for (NodeKind rootKind : {NodeKind::VirtualFolders, NodeKind::SystemFolders, NodeKind::Computer}) {
        TreeNode* root = RootOf(rootKind);
        if (root == nullptr) continue;
        TreeNode* best = nullptr;
        std::string bestPath;
        for (const auto& child : root->m_children) {
            auto childPath = GetItemPath(child.get());
            if (childPath && IsPathPrefix(*childPath, path) &&
                (best == nullptr || childPath->size() >= bestPath.size())) {
                best = child.get();
                bestPath = std::move(*childPath);
            }
        }
        if (best != nullptr) return {best, bestPath};
    }
    return {nullptr, {}};
}

TreeNode* DirectoryTree::FindOrReadChild(TreeNode& node, std::string_view name) {
    auto match = [&]() -> TreeNode* {
        for (const auto& child : node.m_children) {
            if (child->m_text == name) return child.get();
        }
        for (const auto& child : node.m_children) {
            if (EqualsIgnoringAsciiCase(child->m_text, name)) return child.get();
        }
        return nullptr;
    };
    const bool readBefore = node.m_childrenRead;
    if (!readBefore) RefreshItem(node, true);
    if (TreeNode* found = match()) return found;
    if (!readBefore) return nullptr;
    // The children were read earlier and the folder may have changed since.
    RefreshItem(node, false);
    return match();
}

GoToResult DirectoryTree::GoToPath(std::string_view requested, bool keepChecks) {
    std::string path(requested);
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path.empty() || path[0] != '/') return {};
    struct stat info {};
    if (m_os->Stat(path.c_str(), &info) != 0) return {};
    if (!S_ISDIR(info.st_mode)) {
        path = GetParentOfPath(path);
        if (path.empty()) path.push_back('/');
    }
    auto [node, anchorPath] = FindAnchor(path);
    if (node != nullptr) {
        std::string_view rest = std::string_view(path).substr(anchorPath.size());
        while (node != nullptr && !rest.empty()) {
            const std::size_t slash = rest.find('/');
            const std::string_view component = rest.substr(0, slash);
            rest.remove_prefix(slash == std::string_view::npos ? rest.size() : slash + 1);
            if (component.empty() || component == ".") continue;
            node = FindOrReadChild(*node, component);
        }
    }
    if (!keepChecks) CheckOnlyItem(node);
    return {true, node};
}

void DirectoryTree::SetChecked(TreeNode& node, bool checked) {
    if (node.m_checked == checked) return;
    node.m_checked = checked;
    Changed(node);
}

void DirectoryTree::CheckOnlyItem(TreeNode* only) {
    for (TreeNode* node : GetCheckedItems()) SetChecked(*node, false);
    if (only != nullptr) SetChecked(*only, true);
}

std::vector<TreeNode*> DirectoryTree::GetCheckedItems() const {
    std::vector<TreeNode*> checked;
    ForEachNode([&](TreeNode& node) {
        if (node.m_checked) checked.push_back(&node);
    });
    return checked;
}

std::vector<std::string> DirectoryTree::CheckedFolderPaths() {
    std::vector<std::string> paths;
    for (TreeNode* node : GetCheckedItems()) {
        if (auto path = GetItemPath(node)) paths.push_back(std::move(*path));
    }
    return paths;
}

TreeNode* DirectoryTree::AddFolderChild(TreeNode& parent, std::string name) {
    auto node = MakeNode(NodeKind::Folder, std::move(name), &parent);
    node->m_childrenRead = true;
    TreeNode* added = node.get();
    std::vector<std::unique_ptr<TreeNode>> children;
    children.push_back(std::move(node));
    InsertChildren(parent, std::move(children));
    return added;
}

void DirectoryTree::SetNodeText(TreeNode& node, std::string text) {
    node.m_text = std::move(text);
    Changed(node);
}

void DirectoryTree::DeleteNode(TreeNode& node) {
    TreeNode* parent = node.m_parent;
    if (parent == nullptr) return;
    const int row = node.m_row;
    if (m_observer != nullptr) m_observer->BeginRemove(*parent, row, row);
    parent->m_children.erase(parent->m_children.begin() + row);
    for (int i = row; i < parent->ChildCount(); ++i) parent->Child(i)->m_row = i;
    if (m_observer != nullptr) m_observer->EndRemove();
    if (parent->m_children.empty()) {
        parent->m_mayHaveChildren = false;
        Changed(*parent);
    }
}

const Drive* DirectoryTree::DriveOf(const TreeNode& node) const {
    return node.m_drive ? &*node.m_drive : nullptr;
}

void DirectoryTree::SetDriveLabel(TreeNode& node, std::string label) {
    if (!node.m_drive) return;
    node.m_drive->label = std::move(label);
    SetNodeText(node, DriveDisplayText(*node.m_drive));
}

DirectoryTree::VirtualSlot* DirectoryTree::SlotOf(const TreeNode& node) {
    if (!node.IsVirtualEntry()) return nullptr;
    for (VirtualSlot& slot : m_virtualFolders) {
        if (slot.id == node.m_recordId) return &slot;
    }
    return nullptr;
}

const VirtualFolderRecord* DirectoryTree::RecordOf(const TreeNode& node) const {
    VirtualSlot* slot = const_cast<DirectoryTree*>(this)->SlotOf(node);
    return slot != nullptr ? &slot->record : nullptr;
}

std::vector<VirtualFolderRecord> DirectoryTree::VirtualFolders() const {
    std::vector<VirtualFolderRecord> records;
    for (const VirtualSlot& slot : m_virtualFolders) records.push_back(slot.record);
    return records;
}

std::expected<void, Error> DirectoryTree::SaveVirtualFolders() {
    auto saved = varnel::SaveVirtualFolders(m_setup.treeFile, VirtualFolders(), *m_os);
    m_unsaved = !saved.has_value();
    return saved;
}

std::pair<TreeNode*, std::expected<void, Error>> DirectoryTree::AddVirtualFolder(
    VirtualFolderRecord record) {
    if (record.name.empty()) record.name = GetLastPathComponent(record.path);
    m_virtualFolders.push_back(VirtualSlot{++m_nextId, std::move(record)});
    TreeNode* added = nullptr;
    if (TreeNode* root = RootOf(NodeKind::VirtualFolders); root != nullptr && root->m_childrenRead) {
        auto node = VirtualFolderNode(*root, m_virtualFolders.back());
        added = node.get();
        std::vector<std::unique_ptr<TreeNode>> children;
        children.push_back(std::move(node));
        InsertChildren(*root, std::move(children));
    }
    return {added, SaveVirtualFolders()};
}

std::expected<void, Error> DirectoryTree::RenameVirtualFolder(TreeNode& node, std::string name) {
    VirtualSlot* slot = SlotOf(node);
    if (slot == nullptr) return {};
    slot->record.name = name;
    SetNodeText(node, std::move(name));
    return SaveVirtualFolders();
}

std::expected<void, Error> DirectoryTree::RedirectVirtualFolder(TreeNode& node, std::string path) {
    VirtualSlot* slot = SlotOf(node);
    if (slot == nullptr) return {};
    slot->record.path = std::move(path);
    RefreshItem(node, false);
    return SaveVirtualFolders();
}

std::expected<void, Error> DirectoryTree::RemoveVirtualFolder(TreeNode& node) {
    const std::uint64_t id = node.m_recordId;
    if (SlotOf(node) == nullptr) return {};
    std::erase_if(m_virtualFolders, [id](const VirtualSlot& slot) { return slot.id == id; });
    DeleteNode(node);
    return SaveVirtualFolders();
}

std::expected<void, Error> DirectoryTree::RedirectSystemFolder(TreeNode& node,
                                                              const std::string& folder) {
    if (!node.IsSystemEntry()) return {};
    auto written = m_systems.Redirect(node.m_systemIndex, folder);
    const bool unavailable = !m_systems.Path(node.m_systemIndex);
    if (unavailable != node.m_unavailable) {
        node.m_unavailable = unavailable;
        Changed(node);
    }
    RefreshItem(node, false);
    if (node.m_systemIndex == kDesktopFolderIndex) {
        if (TreeNode* desktop = RootOf(NodeKind::Desktop)) RefreshItem(*desktop, false);
    }
    return written;
}

bool DirectoryTree::IsProtectedFolder(const std::string& path) {
    std::vector<std::string> guarded = {"/", m_home};
    for (const MountEntry& mount : m_snapshot.mounts) guarded.push_back(mount.mountPoint);
    for (int index = 1; index <= kSystemFolderCount; ++index) {
        if (auto folder = m_systems.Path(index)) guarded.push_back(std::move(*folder));
    }
    struct stat info {};
    const bool isLink = m_os->Lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
    // A link is removed itself, so only its own name matters; a real folder also
    // by where it really is.
    const std::string real = isLink ? std::string() : m_os->Realpath(path.c_str());
    for (const std::string& folder : guarded) {
        if (folder.empty()) continue;
        if (IsPathPrefix(path, folder)) return true;
        if (real.empty()) continue;
        std::string realFolder = m_os->Realpath(folder.c_str());
        if (IsPathPrefix(real, realFolder.empty() ? folder : realFolder)) return true;
    }
    return false;
}

}  // namespace varnel
