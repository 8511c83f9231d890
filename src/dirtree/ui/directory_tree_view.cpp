#include "dirtree/ui/directory_tree_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionViewItem>

#include "dirtree/ui/directory_tree_model.h"
#include "dirtree/ui/tree_dialogs.h"
#include "utilities/ui/keyboard.h"

namespace varnel {

namespace {

struct MenuItem {
    const char* name;  // the item's name and designed caption
    const char* keys;  // the key shown with it
    bool separatorBefore = false;
};

}  // namespace

DirectoryTreeView::DirectoryTreeView(DirectoryTree& tree, QWidget* parent)
    : QTreeView(parent),
      m_tree(tree),
      m_model(new DirectoryTreeModel(tree, this)),
      m_menu(new QMenu(this)),
      m_ownDialogs(std::make_unique<MessageBoxTreeDialogs>(this)),
      m_dialogs(m_ownDialogs.get()),
      m_shell(&SystemTreeShell()) {
    setObjectName(QString::fromUtf8("目录树"));
    setModel(m_model);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Label edits start only from the commands (新建目录, 重命名, 加入到虚拟夹).
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_model->SetLabelEditHandler(
        [this](TreeNode* node, const std::string& text) { return Commands().FinishLabelEdit(node, text); });
    connect(m_model, &DirectoryTreeModel::checkToggledByUser, this, &DirectoryTreeView::OnCheckToggled);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        expand(m_model->IndexOf(m_tree.RootOf(NodeKind::Computer)));
    });
    expand(m_model->IndexOf(m_tree.RootOf(NodeKind::Computer)));
    BuildMenu();
}

DirectoryTreeView::~DirectoryTreeView() = default;

void DirectoryTreeView::BuildMenu() {
    static const std::pair<Command, MenuItem> kItems[] = {
        {Command::Open, {"打开", "Ctrl+O"}},
        {Command::OpenParent, {"打开上级", "Ctrl+S"}},
        {Command::NewFolder, {"新建目录", "Ctrl+N", true}},
        {Command::RemoveVirtual, {"移除虚拟子夹", "Ctrl+Y", true}},
        {Command::Delete, {"删除", "Delete"}},
        {Command::DeleteToTrash, {"删除回收站可见", "Ctrl+H"}},
        {Command::RedirectVirtual, {"重定向虚拟路径...", "Ctrl+I"}},
        {Command::RedirectSystem, {"重定向系统路径...", "Ctrl+I"}},
        {Command::Rename, {"重命名...", "F2", true}},
        {Command::CopyName, {"复制名称", "Ctrl+M", true}},
        {Command::CopyPath, {"复制路径", "Ctrl+L"}},
        {Command::AddToVirtual, {"加入到虚拟夹", "Ctrl+J"}},
        {Command::RefreshSelected, {"刷新选中", "Ctrl+X", true}},
        {Command::RefreshAll, {"刷新全部", "Ctrl+Q"}},
        {Command::JumpTo, {"跳转到...", "Ctrl+T"}},
        {Command::AboutVirtual, {"关于虚拟夹", ""}},
        {Command::AboutSystem, {"关于系统夹", ""}},
        {Command::AboutTree, {"关于目录树", ""}},
    };
    m_menu->setObjectName(QString::fromUtf8("Varnel目录树"));
    m_menu->setTitle(QString::fromUtf8("Varnel目录树"));
    for (const auto& [command, item] : kItems) {
        if (item.separatorBefore) m_menu->addSeparator();
        QAction* action = m_menu->addAction(QString());
        action->setObjectName(QString::fromUtf8(item.name));
        // The key is shown after a tab; the keys themselves are handled by the tree.
        action->setData(QString::fromLatin1(item.keys));
        action->setText(QString::fromUtf8(item.name) +
                        (item.keys[0] != '\0' ? "\t" + QString::fromLatin1(item.keys) : QString()));
        connect(action, &QAction::triggered, this, [this, command = command] { Run(command); });
        m_actions.emplace_back(command, action);
    }
}

QAction* DirectoryTreeView::ActionOf(Command command) const {
    for (const auto& [c, action] : m_actions) {
        if (c == command) return action;
    }
    return nullptr;
}

void DirectoryTreeView::PrepareContextMenu() {
    const CommandFlags flags = GetApplicableCommands(CurrentNode());
    auto caption = [this](Command command, const char* text) {
        QAction* action = ActionOf(command);
        const QString keys = action->data().toString();
        action->setText(QString::fromUtf8(text) + (keys.isEmpty() ? QString() : "\t" + keys));
    };
    ActionOf(Command::Open)->setEnabled(flags.open);
    ActionOf(Command::OpenParent)->setEnabled(flags.openParent);
    ActionOf(Command::NewFolder)->setEnabled(flags.newFolder);
    ActionOf(Command::Rename)->setEnabled(flags.rename);
    ActionOf(Command::Delete)->setEnabled(flags.remove);
    ActionOf(Command::DeleteToTrash)->setEnabled(flags.removeToTrash);
    ActionOf(Command::CopyPath)->setEnabled(flags.copyPath);
    ActionOf(Command::AddToVirtual)->setVisible(flags.addToVirtual);
    ActionOf(Command::RemoveVirtual)->setVisible(flags.removeVirtual);
    ActionOf(Command::RedirectVirtual)->setVisible(flags.redirectVirtual);
    ActionOf(Command::RedirectSystem)->setVisible(flags.redirectSystem);
    caption(Command::NewFolder, flags.newVirtualCaption ? "新建虚拟子夹" : "新建目录");
    caption(Command::Rename, flags.renameVirtualCaption ? "重命名虚拟子夹" : "重命名");
    caption(Command::Delete, flags.deleteVirtualCaption ? "移除虚拟子夹并删除目录" : "删除");
    caption(Command::DeleteToTrash, flags.deleteVirtualCaption ? "移除虚拟子夹并删除目录(回收站可见)"
                                                               : "删除(回收站可见)");
    ActionOf(Command::AboutVirtual)->setVisible(flags.aboutVirtual);
    ActionOf(Command::AboutSystem)->setVisible(flags.aboutSystem);
    ActionOf(Command::AboutTree)->setVisible(flags.aboutTree);
}

TreeCommands DirectoryTreeView::Commands() { return TreeCommands(m_tree, *m_dialogs, *m_shell); }

void DirectoryTreeView::SetDialogs(TreeDialogs* dialogs) {
    m_dialogs = dialogs != nullptr ? dialogs : m_ownDialogs.get();
}

void DirectoryTreeView::SetShell(TreeShell* shell) {
    m_shell = shell != nullptr ? shell : &SystemTreeShell();
}

TreeNode* DirectoryTreeView::CurrentNode() const { return m_model->NodeOf(currentIndex()); }

std::optional<std::string> DirectoryTreeView::CurrentPath() { return m_tree.GetItemPath(CurrentNode()); }

void DirectoryTreeView::CheckOnlyCurrent() { m_tree.CheckOnlyItem(CurrentNode()); }

std::vector<std::string> DirectoryTreeView::CheckedFolderPaths() { return m_tree.CheckedFolderPaths(); }

void DirectoryTreeView::LoadCheckedFolders() {
    if (m_load) m_load(CheckedFolderPaths());
}

bool DirectoryTreeView::IsAltHeld() const {
    return m_isAltHeld ? m_isAltHeld() : CurrentModifierKeys().alt;
}

void DirectoryTreeView::OnCheckToggled() {
    if (!IsAltHeld()) LoadCheckedFolders();
}

void DirectoryTreeView::RebuildTree() { m_tree.RebuildTree(); }

void DirectoryTreeView::SelectNode(TreeNode* node) {
    const QModelIndex index = m_model->IndexOf(node);
    if (!index.isValid()) {
        selectionModel()->clear();
        return;
    }
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) {
        expand(parent);
    }
    setCurrentIndex(index);
    scrollTo(index);
}

bool DirectoryTreeView::GoToPath(const std::string& path, bool keepFocus, bool keepChecks) {
    const GoToResult result = m_tree.GoToPath(path, keepChecks);
    if (!result.walked) return false;
    SelectNode(result.node);
    if (!keepFocus) setFocus();
    return true;
}

void DirectoryTreeView::BeginLabelEdit(TreeNode* node) {
    SelectNode(node);
    edit(m_model->IndexOf(node));
}

void DirectoryTreeView::Run(Command command) {
    TreeNode* node = CurrentNode();
    TreeCommands commands = Commands();
    switch (command) {
    case Command::Open: commands.OpenSelectedNode(node); break;
    case Command::OpenParent: commands.OpenParentOfSelected(node); break;
    case Command::NewFolder:
        if (TreeNode* made = commands.CreateNodeFolder(node)) BeginLabelEdit(made);
        break;
    case Command::RemoveVirtual: commands.RemoveVirtualFolder(node); break;
    case Command::Delete: commands.DeleteSelectedNode(node, false); break;
    case Command::DeleteToTrash: commands.DeleteSelectedNode(node, true); break;
    case Command::RedirectVirtual: commands.RedirectVirtualFolder(node); break;
    case Command::RedirectSystem: commands.RedirectSelectedSystemFolder(node); break;
    case Command::Rename:
        if (node != nullptr && node->Kind() == NodeKind::Drive) {
            commands.RelabelDrive(node);
        } else if (GetApplicableCommands(node).rename) {
            BeginLabelEdit(node);
        }
        break;
    case Command::CopyName:
    case Command::CopyPath:
        if (auto text = commands.CopyNodeNameOrPath(node, command == Command::CopyName)) {
            QGuiApplication::clipboard()->setText(QString::fromUtf8(*text));
        }
        break;
    case Command::AddToVirtual:
        if (TreeNode* made = commands.AddSelectedToVirtualFolders(node)) BeginLabelEdit(made);
        break;
    case Command::RefreshSelected:
        if (node != nullptr) m_tree.RefreshItem(*node, false);
        break;
    case Command::RefreshAll: RebuildTree(); break;
    case Command::JumpTo:
        if (auto path = commands.AskJumpPath()) GoToPath(*path);
        break;
    case Command::AboutVirtual: commands.ShowVirtualFoldersHelp(node); break;
    case Command::AboutSystem: commands.ShowSystemFoldersHelp(node); break;
    case Command::AboutTree: commands.ShowTreeHelp(node); break;
    }
}

void DirectoryTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    if (current != previous) emit currentNodeChanged(static_cast<int>(m_cause));
}

bool DirectoryTreeView::IsOnCheckBox(const QPoint& position) {
    const QModelIndex index = indexAt(position);
    if (!index.isValid() || !(m_model->flags(index) & Qt::ItemIsUserCheckable)) return false;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay |
                      QStyleOptionViewItem::HasDecoration;
    option.text = index.data().toString();
    option.icon = index.data(Qt::DecorationRole).value<QIcon>();
    option.decorationSize = iconSize().isValid() ? iconSize() : QSize(16, 16);
    return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this).contains(position);
}

void DirectoryTreeView::mousePressEvent(QMouseEvent* event) {
    // Only a left click chooses a folder; the right button is for the menu.
    const bool chooses = event->button() == Qt::LeftButton && !IsOnCheckBox(event->position().toPoint());
    m_cause = chooses ? SelectionCause::Mouse : SelectionCause::Program;
    QTreeView::mousePressEvent(event);
    m_cause = SelectionCause::Program;
}

void DirectoryTreeView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    std::optional<Command> command;
    if (modifiers == Qt::ControlModifier) {
        switch (event->key()) {
        case Qt::Key_O: command = Command::Open; break;
        case Qt::Key_S: command = Command::OpenParent; break;
        case Qt::Key_N: command = Command::NewFolder; break;
        case Qt::Key_Y: command = Command::RemoveVirtual; break;
        case Qt::Key_H: command = Command::DeleteToTrash; break;
        case Qt::Key_I: {
            // The redirection that fits the current node.
            const TreeNode* node = CurrentNode();
            const auto parent = node != nullptr ? node->ParentKind() : std::nullopt;
            if (parent == NodeKind::VirtualFolders) command = Command::RedirectVirtual;
            if (parent == NodeKind::SystemFolders) command = Command::RedirectSystem;
            if (!command) {
                event->accept();
                return;
            }
            break;
        }
        case Qt::Key_M: command = Command::CopyName; break;
        case Qt::Key_L: command = Command::CopyPath; break;
        case Qt::Key_X: command = Command::RefreshSelected; break;
        case Qt::Key_Q: command = Command::RefreshAll; break;
        case Qt::Key_T: command = Command::JumpTo; break;
        case Qt::Key_J: command = Command::AddToVirtual; break;
        default: break;
        }
    } else if (event->key() == Qt::Key_Delete) {
        command = Command::Delete;
    } else if (event->key() == Qt::Key_F2) {
        command = Command::Rename;
    }
    if (!command) {
        m_cause = SelectionCause::Keyboard;
        QTreeView::keyPressEvent(event);
        m_cause = SelectionCause::Program;
        return;
    }
    event->accept();
    Run(*command);
}

void DirectoryTreeView::contextMenuEvent(QContextMenuEvent* event) {
    // The menu acts on the node under the mouse, which becomes the current node.
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid()) setCurrentIndex(index);
    setFocus();
    PrepareContextMenu();
    m_menu->popup(event->globalPos());
}

void DirectoryTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    QTreeView::mouseDoubleClickEvent(event);
    if (index.isValid() && event->button() == Qt::LeftButton && m_loadOnDoubleClick && !IsAltHeld()) {
        LoadCheckedFolders();
    }
}

}  // namespace varnel
