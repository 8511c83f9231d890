#include "dirtree/ui/directory_tree_view.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>

#include <filesystem>

#include <gtest/gtest.h>

#include "dirtree/tree_sandbox.h"
#include "dirtree/ui/directory_tree_model.h"
#include "support/qt_app.h"

namespace varnel {
namespace {

using testing::ChildNamed;
using testing::RecordingShell;
using testing::ScriptedDialogs;
using testing::TestApplication;
using testing::TreeSandbox;

class DirectoryTreeViewTest : public ::testing::Test {
protected:
    DirectoryTreeViewTest() { TestApplication(); }

    void Build() {
        tree = std::make_unique<DirectoryTree>(sandbox.Setup());
        view = std::make_unique<DirectoryTreeView>(*tree);
        view->SetDialogs(&dialogs);
        view->SetShell(&shell);
        view->SetAltQuery([this] { return altHeld; });
        view->SetLoadCallback([this](const std::vector<std::string>& folders) { loads.push_back(folders); });
        view->RebuildTree();
        view->resize(400, 600);
        view->show();
        QApplication::processEvents();
    }
    DirectoryTreeModel& Model() { return *view->TreeModel(); }
    TreeNode* Disk() { return tree->RootOf(NodeKind::Computer)->Child(1); }
    QModelIndex IndexOf(const TreeNode* node) { return Model().IndexOf(node); }
    // Expands the node in the view, which reads its children.
    TreeNode* Expanded(TreeNode* node) {
        view->expand(IndexOf(node));
        QApplication::processEvents();
        return node;
    }
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(view.get(), static_cast<Qt::Key>(key), modifiers);
    }
    // Whether a label editor is open on some node.
    bool IsEditing() {
        for (const QLineEdit* editor : view->viewport()->findChildren<QLineEdit*>()) {
            if (editor->isVisible()) return true;
        }
        return false;
    }
    QAction* Action(const char* name) {
        return view->ContextMenu()->findChild<QAction*>(QString::fromUtf8(name));
    }
    QPoint CheckBoxCentre(const QModelIndex& index) {
        QStyleOptionViewItem option;
        option.initFrom(view.get());
        option.rect = view->visualRect(index);
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay |
                          QStyleOptionViewItem::HasDecoration;
        option.text = index.data().toString();
        option.icon = index.data(Qt::DecorationRole).value<QIcon>();
        option.decorationSize = view->iconSize().isValid() ? view->iconSize() : QSize(16, 16);
        return view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view.get()).center();
    }

    TreeSandbox sandbox;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    bool altHeld = false;
    std::vector<std::vector<std::string>> loads;
    std::unique_ptr<DirectoryTree> tree;
    std::unique_ptr<DirectoryTreeView> view;
};

TEST_F(DirectoryTreeViewTest, EmbeddableWithItsMenu) {
    Build();
    EXPECT_EQ(view->objectName(), QString::fromUtf8("目录树"));
    EXPECT_EQ(view->ContextMenu()->objectName(), QString::fromUtf8("Varnel目录树"));
    EXPECT_EQ(view->ContextMenu()->actions().size() - 5, 18);  // five separators
    EXPECT_TRUE(view->isExpanded(IndexOf(tree->RootOf(NodeKind::Computer))));
    EXPECT_EQ(Model().rowCount(), 4);
}

TEST_F(DirectoryTreeViewTest, ChildrenAreFetchedWhenANodeIsExpanded) {
    sandbox.MakeFolders({"disk/a/inner", "disk/b"});
    Build();
    const QModelIndex disk = IndexOf(Disk());
    EXPECT_TRUE(Model().hasChildren(disk));
    EXPECT_EQ(Model().rowCount(disk), 0);
    EXPECT_TRUE(Model().canFetchMore(disk));
    Expanded(Disk());
    ASSERT_EQ(Model().rowCount(disk), 2);
    EXPECT_TRUE(Model().hasChildren(IndexOf(ChildNamed(Disk(), "a"))));
    EXPECT_FALSE(Model().hasChildren(IndexOf(ChildNamed(Disk(), "b"))));
    EXPECT_FALSE(Model().canFetchMore(disk));
}

TEST_F(DirectoryTreeViewTest, CheckingFoldersHandsThemToTheLoadCallback) {
    sandbox.MakeFolders({"disk/a", "disk/b"});
    Build();
    Expanded(Disk());
    const QModelIndex a = IndexOf(ChildNamed(Disk(), "a"));
    const QModelIndex b = IndexOf(ChildNamed(Disk(), "b"));
    view->setCurrentIndex(IndexOf(Disk()));

    // A click on a check box checks the folder and leaves the current node alone.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, CheckBoxCentre(b));
    EXPECT_EQ(b.data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(view->currentIndex(), IndexOf(Disk()));
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0], std::vector<std::string>{sandbox.Path("disk/b")});

    Model().setData(a, Qt::Checked, Qt::CheckStateRole);
    ASSERT_EQ(loads.size(), 2u);
    EXPECT_EQ(loads[1], (std::vector<std::string>{sandbox.Path("disk/a"), sandbox.Path("disk/b")}));

    // With Alt held the check changes but nothing is loaded.
    altHeld = true;
    Model().setData(a, Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_EQ(loads.size(), 2u);
    EXPECT_EQ(view->CheckedFolderPaths(), std::vector<std::string>{sandbox.Path("disk/b")});
}

TEST_F(DirectoryTreeViewTest, DoubleClickLoadsOnlyWhenAsked) {
    sandbox.MakeFolders({"disk/a"});
    Build();
    Expanded(Disk());
    const QModelIndex a = IndexOf(ChildNamed(Disk(), "a"));
    tree->CheckOnlyItem(ChildNamed(Disk(), "a"));
    const QPoint onText = view->visualRect(a).center() + QPoint(30, 0);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, onText);
    EXPECT_TRUE(loads.empty());
    view->SetLoadOnDoubleClick(true);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, onText);
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0], std::vector<std::string>{sandbox.Path("disk/a")});
    altHeld = true;
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, onText);
    EXPECT_EQ(loads.size(), 1u);
}

TEST_F(DirectoryTreeViewTest, MenuFollowsTheNodeKinds) {
    sandbox.SetVirtualFolders("工作|" + sandbox.Disk());
    Build();
    view->setCurrentIndex(IndexOf(tree->RootOf(NodeKind::SystemFolders)));
    view->PrepareContextMenu();
    for (const char* disabled : {"打开", "打开上级", "新建目录", "重命名...", "删除", "删除回收站可见", "复制路径"}) {
        EXPECT_FALSE(Action(disabled)->isEnabled()) << disabled;
    }
    for (const char* hidden : {"加入到虚拟夹", "移除虚拟子夹", "重定向虚拟路径...", "重定向系统路径...",
                               "关于虚拟夹", "关于目录树"}) {
        EXPECT_FALSE(Action(hidden)->isVisible()) << hidden;
    }
    EXPECT_TRUE(Action("关于系统夹")->isVisible());
    EXPECT_TRUE(Action("复制名称")->isEnabled());

    // The menu acts on the node under the mouse, which becomes the current node.
    const QModelIndex entry = IndexOf(tree->RootOf(NodeKind::VirtualFolders)->Child(0));
    view->scrollTo(entry);
    QContextMenuEvent event(QContextMenuEvent::Mouse, view->visualRect(entry).center(),
                            view->viewport()->mapToGlobal(view->visualRect(entry).center()));
    QApplication::sendEvent(view->viewport(), &event);
    view->ContextMenu()->hide();
    EXPECT_EQ(view->currentIndex(), entry);
    EXPECT_TRUE(Action("移除虚拟子夹")->isVisible());
    EXPECT_TRUE(Action("重定向虚拟路径...")->isVisible());
    EXPECT_FALSE(Action("重定向系统路径...")->isVisible());
    EXPECT_TRUE(Action("重命名...")->text().startsWith(QString::fromUtf8("重命名虚拟子夹\tF2")));
    EXPECT_TRUE(Action("删除")->text().startsWith(QString::fromUtf8("移除虚拟子夹并删除目录\t")));
    EXPECT_TRUE(Action("删除回收站可见")->text().startsWith(QString::fromUtf8("移除虚拟子夹并删除目录(回收站可见)")));
}

TEST_F(DirectoryTreeViewTest, KeysRunTheCommandsWithTheirModifiers) {
    sandbox.MakeFolders({"disk/a"});
    Build();
    Expanded(Disk());
    view->setCurrentIndex(IndexOf(ChildNamed(Disk(), "a")));
    dialogs.confirm = false;
    Press(Qt::Key_Delete, Qt::ControlModifier);
    Press(Qt::Key_F2, Qt::ControlModifier);
    Press(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_FALSE(IsEditing());

    Press(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(dialogs.questions.size(), 1u);
    Press(Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(dialogs.questions.size(), 2u);
    Press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(shell.opened, std::vector<std::string>{sandbox.Path("disk/a")});
    Press(Qt::Key_F2, Qt::ShiftModifier);
    EXPECT_TRUE(IsEditing());
}

TEST_F(DirectoryTreeViewTest, NewFolderStartsItsLabelEditAndTheEditRenamesIt) {
    Build();
    Expanded(Disk());
    view->setCurrentIndex(IndexOf(Disk()));
    Press(Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(IsEditing());
    const QModelIndex made = view->currentIndex();
    EXPECT_EQ(made.data().toString(), QString::fromUtf8("Varnel文件夹"));
    // What the editor commits when the user confirms a new name.
    EXPECT_TRUE(Model().setData(made, QString::fromUtf8("报告"), Qt::EditRole));
    EXPECT_TRUE(std::filesystem::is_directory(sandbox.Path("disk/报告")));
    EXPECT_FALSE(std::filesystem::exists(sandbox.Path("disk/Varnel文件夹")));
    EXPECT_EQ(made.data().toString(), QString::fromUtf8("报告"));
}

TEST_F(DirectoryTreeViewTest, GoToPathSelectsTheFolderAndChecksIt) {
    sandbox.MakeFolders({"disk/a/b"});
    Build();
    ASSERT_TRUE(view->GoToPath(sandbox.Path("disk/a/b")));
    EXPECT_EQ(view->CurrentPath(), sandbox.Path("disk/a/b"));
    EXPECT_TRUE(view->isExpanded(IndexOf(ChildNamed(Disk(), "a"))));
    EXPECT_EQ(view->CheckedFolderPaths(), std::vector<std::string>{sandbox.Path("disk/a/b")});
    EXPECT_FALSE(view->GoToPath(sandbox.Path("disk/none")));
    EXPECT_EQ(view->CurrentPath(), sandbox.Path("disk/a/b"));
}

TEST_F(DirectoryTreeViewTest, FoldersOnANetworkMountAreListedOffTheUiThread) {
    sandbox.MakeFolders({"disk/a", "disk/b"});
    sandbox.snapshot.mounts[1].fsType = "cifs";
    sandbox.snapshot.drives[1].remote = true;
    Build();
    QSignalSpy done(&Model(), &DirectoryTreeModel::backgroundListingDone);
    view->expand(IndexOf(Disk()));
    ASSERT_TRUE(done.count() > 0 || done.wait(10000));
    EXPECT_EQ(Model().rowCount(IndexOf(Disk())), 2);
    EXPECT_NE(ChildNamed(Disk(), "b"), nullptr);
}

TEST_F(DirectoryTreeViewTest, NetworkFoldersExpandedBackToBackAreAllListed) {
    // A folder expanded while another is still being listed waits its turn; it is
    // neither dropped nor left without children.
    sandbox.MakeFolders({"disk/a/x", "disk/b/y", "disk/c/z"});
    sandbox.snapshot.mounts[1].fsType = "cifs";
    sandbox.snapshot.drives[1].remote = true;
    Build();
    QSignalSpy done(&Model(), &DirectoryTreeModel::backgroundListingDone);
    view->expand(IndexOf(Disk()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return done.count() >= 1; }, 10000));
    for (const char* name : {"a", "b", "c"}) view->expand(IndexOf(ChildNamed(Disk(), name)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return done.count() >= 4; }, 10000));
    for (const char* name : {"a", "b", "c"}) {
        EXPECT_EQ(Model().rowCount(IndexOf(ChildNamed(Disk(), name))), 1) << name;
    }
}

TEST_F(DirectoryTreeViewTest, AModelGoingWhileItListsWaitsForTheListing) {
    sandbox.MakeFolders({"disk/a", "disk/b"});
    sandbox.snapshot.mounts[1].fsType = "cifs";
    sandbox.snapshot.drives[1].remote = true;
    Build();
    view->expand(IndexOf(Disk()));
    view.reset();  // the model goes with its view while the listing may still run
    QCoreApplication::processEvents();
}

}  // namespace
}  // namespace varnel
