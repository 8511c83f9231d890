#include "dirtree/ui/directory_tree_model.h"

#include <QApplication>
#include <QBrush>
#include <QPalette>
#include <QStyle>

#include <utility>

#include "utilities/utf8_text.h"

namespace varnel {

namespace {

QString Display(const std::string& text) { return QString::fromUtf8(ToDisplayText(text)); }

QIcon ThemeIcon(const char* name, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QString::fromLatin1(name), QApplication::style()->standardIcon(fallback));
}

}  // namespace

DirectoryTreeModel::DirectoryTreeModel(DirectoryTree& tree, QObject* parent)
    : QAbstractItemModel(parent), m_tree(tree) {
    m_tree.SetObserver(this);
}

DirectoryTreeModel::~DirectoryTreeModel() { m_tree.SetObserver(nullptr); }

TreeNode* DirectoryTreeModel::NodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<TreeNode*>(index.internalPointer()) : nullptr;
}

QModelIndex DirectoryTreeModel::IndexOf(const TreeNode* node) const {
    return node != nullptr ? createIndex(node->Row(), 0, const_cast<TreeNode*>(node)) : QModelIndex();
}

QModelIndex DirectoryTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    if (const TreeNode* node = NodeOf(parent)) {
        return row < node->ChildCount() ? createIndex(row, 0, node->Child(row)) : QModelIndex();
    }
    return row < m_tree.RootCount() ? createIndex(row, 0, m_tree.Root(row)) : QModelIndex();
}

QModelIndex DirectoryTreeModel::parent(const QModelIndex& child) const {
    const TreeNode* node = NodeOf(child);
    return node != nullptr ? IndexOf(node->Parent()) : QModelIndex();
}

int DirectoryTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    const TreeNode* node = NodeOf(parent);
    return node != nullptr ? node->ChildCount() : m_tree.RootCount();
}

int DirectoryTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool DirectoryTreeModel::hasChildren(const QModelIndex& parent) const {
    const TreeNode* node = NodeOf(parent);
    if (node == nullptr) return m_tree.RootCount() > 0;
    return node->ChildrenRead() ? node->ChildCount() > 0 : node->MayHaveChildren();
}

bool DirectoryTreeModel::canFetchMore(const QModelIndex& parent) const {
    const TreeNode* node = NodeOf(parent);
    return node != nullptr && m_tree.CanFetchMore(*node);
}

void DirectoryTreeModel::fetchMore(const QModelIndex& parent) {
    TreeNode* node = NodeOf(parent);
    if (node == nullptr || !m_tree.CanFetchMore(*node)) return;
    if (m_tree.ListsInBackground(*node)) {
        ListInBackground(*node);
    } else {
        m_tree.RefreshItem(*node, true);
    }
}

void DirectoryTreeModel::ListInBackground(TreeNode& node) {
    auto request = m_tree.BeginBackgroundListing(node);
    if (!request) return;
    m_waitingListings.push_back(std::move(*request));
    if (!m_listings.IsRunning()) StartNextListing();
}

// Listings run one after another on the model's job runner: a second folder
// expanded while one is listed waits its turn instead of replacing it, and the
// model's end waits for the listing under way (nothing outlives the model).
void DirectoryTreeModel::StartNextListing() {
    if (m_waitingListings.empty()) return;
    ListingRequest request = std::move(m_waitingListings.front());
    m_waitingListings.pop_front();
    PosixApi* os = &m_tree.Os();
    m_listings.Start([this, request = std::move(request), os](std::stop_token) mutable -> JobRunner::Publish {
        auto entries = ListSubfolders(request.folder, request.mounts, *os);
        return [this, request = std::move(request), entries = std::move(entries)]() mutable {
            m_tree.ApplyBackgroundListing(request, std::move(entries));
            emit backgroundListingDone();
            StartNextListing();
        };
    });
}

QIcon DirectoryTreeModel::IconOf(const TreeNode& node) const {
    switch (node.Kind()) {
    case NodeKind::Computer: return ThemeIcon("computer", QStyle::SP_ComputerIcon);
    case NodeKind::Desktop: return ThemeIcon("user-desktop", QStyle::SP_DesktopIcon);
    case NodeKind::SystemFolders: return ThemeIcon("folder-important", QStyle::SP_DirHomeIcon);
    case NodeKind::VirtualFolders: return ThemeIcon("user-bookmarks", QStyle::SP_DirLinkIcon);
    case NodeKind::Drive: {
        const Drive* drive = m_tree.DriveOf(node);
        switch (drive != nullptr ? drive->type : DriveType::Fixed) {
        case DriveType::Remote: return ThemeIcon("folder-remote", QStyle::SP_DriveNetIcon);
        case DriveType::Optical: return ThemeIcon("drive-optical", QStyle::SP_DriveCDIcon);
        case DriveType::Removable: return ThemeIcon("drive-removable-media", QStyle::SP_DriveFDIcon);
        default: return ThemeIcon("drive-harddisk", QStyle::SP_DriveHDIcon);
        }
    }
    case NodeKind::Entry:
        if (node.IsVirtualEntry()) return ThemeIcon("folder-bookmark", QStyle::SP_DirLinkIcon);
        return ThemeIcon("folder", QStyle::SP_DirIcon);
    case NodeKind::Folder: break;
    }
    return node.IsLink() ? ThemeIcon("folder-link", QStyle::SP_DirLinkIcon)
                         : ThemeIcon("folder", QStyle::SP_DirIcon);
}

QString DirectoryTreeModel::ToolTipOf(const TreeNode& node) const {
    const auto path = m_tree.GetItemPath(&node);
    if (!path) return node.IsSystemEntry() ? QString::fromUtf8(kUndefinedPathText) : QString();
    QString tip = Display(*path);
    if (node.IsUnavailable()) tip += QString::fromUtf8("\n(文件夹当前不可用)");
    return tip;
}

QVariant DirectoryTreeModel::data(const QModelIndex& index, int role) const {
    const TreeNode* node = NodeOf(index);
    if (node == nullptr) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return Display(node->Text());
    case Qt::CheckStateRole: return node->IsChecked() ? Qt::Checked : Qt::Unchecked;
    case Qt::DecorationRole: return IconOf(*node);
    case Qt::ToolTipRole: return ToolTipOf(*node);
    case Qt::ForegroundRole:
        if (node->IsUnavailable()) return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        return {};
    default: return {};
    }
}

bool DirectoryTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    TreeNode* node = NodeOf(index);
    if (node == nullptr) return false;
    if (role == Qt::CheckStateRole) {
        m_tree.SetChecked(*node, value.toInt() == Qt::Checked);
        emit checkToggledByUser(index);
        return true;
    }
    if (role == Qt::EditRole && m_labelEdit) {
        return m_labelEdit(node, value.toString().toUtf8().toStdString());
    }
    return false;
}

Qt::ItemFlags DirectoryTreeModel::flags(const QModelIndex& index) const {
    const TreeNode* node = NodeOf(index);
    if (node == nullptr) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    if (node->Kind() == NodeKind::Folder || node->IsVirtualEntry()) flags |= Qt::ItemIsEditable;
    return flags;
}

void DirectoryTreeModel::BeginReset() { beginResetModel(); }
void DirectoryTreeModel::EndReset() { endResetModel(); }
void DirectoryTreeModel::BeginInsert(TreeNode& parent, int first, int last) {
    beginInsertRows(IndexOf(&parent), first, last);
}
void DirectoryTreeModel::EndInsert() { endInsertRows(); }
void DirectoryTreeModel::BeginRemove(TreeNode& parent, int first, int last) {
    beginRemoveRows(IndexOf(&parent), first, last);
}
void DirectoryTreeModel::EndRemove() { endRemoveRows(); }
void DirectoryTreeModel::Changed(TreeNode& node) {
    const QModelIndex index = IndexOf(&node);
    emit dataChanged(index, index);
}

}  // namespace varnel
