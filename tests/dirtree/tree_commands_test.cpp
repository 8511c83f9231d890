#include "dirtree/tree_commands.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "dirtree/tree_sandbox.h"
#include "support/faulty_posix.h"

namespace varnel {
namespace {

namespace fs = std::filesystem;
using testing::ChildNamed;
using testing::RecordingShell;
using testing::ScriptedDialogs;
using testing::FaultyPosix;
using testing::TreeSandbox;

std::string FlagText(const CommandFlags& f) {
    const bool bits[] = {f.open,         f.openParent,      f.newFolder,         f.rename,
                         f.remove,       f.removeToTrash,   f.copyPath,          f.addToVirtual,
                         f.removeVirtual, f.redirectVirtual, f.redirectSystem,   f.newVirtualCaption,
                         f.renameVirtualCaption, f.deleteVirtualCaption, f.aboutVirtual, f.aboutSystem,
                         f.aboutTree};
    std::string text;
    for (bool bit : bits) text += bit ? '1' : '0';
    return text;
}

TEST(CommandFlagsTest, DependOnTheKindAndTheParentsKind) {
    using enum NodeKind;
    struct Case {
        const char* what;
        NodeKind kind;
        std::optional<NodeKind> parent;
        const char* flags;  // 打开 … 关于目录树, in menu flag order
    };
    const Case cases[] = {
        {"folder", Folder, Drive, "11111111000000000"},
        {"folder under a virtual folder", Folder, Entry, "11111111000000000"},
        {"我的电脑", Computer, std::nullopt, "11000000000000001"},
        {"drive", Drive, Computer, "11110011000000000"},
        {"桌面", Desktop, std::nullopt, "11100011000000000"},
        {"系统夹", SystemFolders, std::nullopt, "00000000000000010"},
        {"虚拟夹", VirtualFolders, std::nullopt, "00100000000100100"},
        {"system folder", Entry, SystemFolders, "11100011001000000"},
        {"virtual folder", Entry, VirtualFolders, "11111111110011000"},
    };
    for (const Case& c : cases) EXPECT_EQ(FlagText(ApplicableCommands(c.kind, c.parent)), c.flags) << c.what;
    EXPECT_EQ(FlagText(GetApplicableCommands(nullptr)), "00000000000000000");
}

class TreeCommandsTest : public ::testing::Test {
protected:
    void Build(std::unique_ptr<PosixApi> os = nullptr) {
        m_os = std::move(os);
        tree = std::make_unique<DirectoryTree>(sandbox.Setup(m_os.get()));
        tree->RebuildTree();
        commands = std::make_unique<TreeCommands>(*tree, dialogs, shell);
    }
    TreeNode* Disk() { return tree->RootOf(NodeKind::Computer)->Child(1); }
    TreeNode* DiskFolder(const std::string& name) {
        tree->RefreshItem(*Disk(), true);
        return ChildNamed(Disk(), name);
    }
    TreeNode* Virtual(int row) { return tree->RootOf(NodeKind::VirtualFolders)->Child(row); }
    std::string StoredVirtualFolders() { return sandbox.dir.Read("config/Varnel/Varnel目录树.ini"); }

    TreeSandbox sandbox;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    std::unique_ptr<PosixApi> m_os;
    std::unique_ptr<DirectoryTree> tree;
    std::unique_ptr<TreeCommands> commands;
};

TEST_F(TreeCommandsTest, NewFolderTakesTheNextFreeNumber) {
    Build();
    TreeNode* first = commands->CreateNodeFolder(Disk());
    TreeNode* second = commands->CreateNodeFolder(Disk());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->Text(), "Varnel文件夹");
    EXPECT_EQ(second->Text(), "Varnel文件夹(1)");
    EXPECT_TRUE(fs::is_directory(sandbox.Path("disk/Varnel文件夹(1)")));
    EXPECT_EQ(Disk()->ChildCount(), 2);
}

TEST_F(TreeCommandsTest, NewFolderStopsAtAFailureOtherThanAnExistingName) {
    class CountingFaultyPosix final : public FaultyPosix {
    public:
        int Mkdir(const char* path, mode_t mode) override {
            ++calls;
            return FaultyPosix::Mkdir(path, mode);
        }
        int calls = 0;
    };
    auto faulty = std::make_unique<CountingFaultyPosix>();
    CountingFaultyPosix& os = *faulty;
    os.Fail(FaultyPosix::Call::Mkdir, EROFS);
    Build(std::move(faulty));
    EXPECT_EQ(commands->CreateNodeFolder(Disk()), nullptr);
    EXPECT_EQ(os.calls, 1);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].starts_with("新建目录失败！")) << dialogs.messages[0];
    EXPECT_EQ(Disk()->ChildCount(), 0);

    // An undefined system folder has nowhere to make it.
    dialogs.messages.clear();
    EXPECT_EQ(commands->CreateNodeFolder(tree->RootOf(NodeKind::SystemFolders)->Child(2)), nullptr);
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"新建目录失败！\n路径未定义！"});
}

TEST_F(TreeCommandsTest, DeletingALinkedFolderRemovesOnlyTheLink) {
    sandbox.MakeFolders({"target/keep", "disk/real/inner"});
    sandbox.dir.Write("target/keep/file", "x");
    fs::create_directory_symlink(sandbox.Path("target"), sandbox.Path("disk/link"));
    fs::create_directory_symlink(sandbox.Path("target"), sandbox.Path("disk/real/inner/link"));
    Build();
    TreeNode* link = DiskFolder("link");
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->IsLink());
    EXPECT_TRUE(commands->DeleteSelectedNode(link, false));
    EXPECT_FALSE(fs::exists(fs::symlink_status(sandbox.Path("disk/link"))));
    EXPECT_EQ(sandbox.dir.Read("target/keep/file"), "x");
    EXPECT_EQ(dialogs.questions, std::vector<std::string>{"确定要物理删除文件夹“link”吗？"});

    // A real folder goes with everything in it, but a link inside is not followed.
    EXPECT_TRUE(commands->DeleteSelectedNode(DiskFolder("real"), false));
    EXPECT_FALSE(fs::exists(sandbox.Path("disk/real")));
    EXPECT_EQ(sandbox.dir.Read("target/keep/file"), "x");
    EXPECT_EQ(Disk()->ChildCount(), 0);
}

TEST_F(TreeCommandsTest, DeleteAsksFirstAndReportsFailure) {
    sandbox.MakeFolders({"disk/a"});
    auto faulty = std::make_unique<FaultyPosix>();
    FaultyPosix& os = *faulty;
    Build(std::move(faulty));
    dialogs.confirm = false;
    EXPECT_FALSE(commands->DeleteSelectedNode(DiskFolder("a"), true));
    EXPECT_TRUE(fs::exists(sandbox.Path("disk/a")));
    EXPECT_TRUE(shell.trashed.empty());

    dialogs.confirm = true;
    os.Fail(FaultyPosix::Call::Unlinkat, EBUSY);
    EXPECT_FALSE(commands->DeleteSelectedNode(DiskFolder("a"), false));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].starts_with("删除失败！")) << dialogs.messages[0];
    EXPECT_NE(DiskFolder("a"), nullptr);

    EXPECT_TRUE(commands->DeleteSelectedNode(DiskFolder("a"), true));
    EXPECT_EQ(shell.trashed, std::vector<std::string>{sandbox.Path("disk/a")});
    EXPECT_EQ(dialogs.questions.back(), "确定要物理删除文件夹“a”吗？(回收站可见)");
}

TEST_F(TreeCommandsTest, TheRootTheHomeFolderAndWhatHoldsThemAreNeverDeleted) {
    sandbox.SetVirtualFolders("根目录|/||主目录|" + sandbox.Home() + "||沙盒|" + sandbox.dir.Path());
    Build();
    for (int row = 0; row < 3; ++row) {
        dialogs.messages.clear();
        EXPECT_FALSE(commands->DeleteSelectedNode(Virtual(row), row == 1)) << row;
        ASSERT_EQ(dialogs.messages.size(), 1u) << row;
        EXPECT_TRUE(dialogs.messages[0].starts_with("不能删除")) << dialogs.messages[0];
    }
    EXPECT_TRUE(fs::is_directory(sandbox.Home()));
    EXPECT_TRUE(shell.trashed.empty());
    EXPECT_EQ(tree->RootOf(NodeKind::VirtualFolders)->ChildCount(), 3);
    // A mount point and a system folder are guarded the same way.
    EXPECT_TRUE(tree->IsProtectedFolder(sandbox.Disk()));
    EXPECT_TRUE(tree->IsProtectedFolder(sandbox.Path("home/Music")));
    EXPECT_TRUE(tree->IsProtectedFolder(sandbox.Path("data")));  // holds data/fonts
    EXPECT_FALSE(tree->IsProtectedFolder(sandbox.Path("disk/a")));
}

TEST_F(TreeCommandsTest, DeletingAVirtualFolderDeletesItsFolderAndTheEntry) {
    sandbox.MakeFolders({"disk/proj/src"});
    sandbox.SetVirtualFolders("项目|" + sandbox.Path("disk/proj") + "||旧盘|/no/such/folder||工作|" +
                              sandbox.Path("disk"));
    Build();
    EXPECT_TRUE(commands->DeleteSelectedNode(Virtual(0), false));
    EXPECT_FALSE(fs::exists(sandbox.Path("disk/proj")));
    EXPECT_TRUE(dialogs.questions[0].starts_with("确定要物理删除虚拟子夹“项目”指向的文件夹“" +
                                                 sandbox.Path("disk/proj") + "”吗？\n\n这是一个虚拟子夹"));
    // A virtual folder whose folder is gone is only removed.
    EXPECT_TRUE(commands->DeleteSelectedNode(Virtual(0), false));
    EXPECT_EQ(tree->VirtualFolders(), (std::vector<VirtualFolderRecord>{{"工作", sandbox.Disk()}}));
    EXPECT_EQ(StoredVirtualFolders(), "[虚拟夹]\n虚拟子夹=工作|" + sandbox.Disk() + "\n");
}

TEST_F(TreeCommandsTest, DeletingToTheTrashUsesTheUsersTrashFolder) {
    sandbox.MakeFolders({"home/Desktop/old/deep"});
    sandbox.dir.Write("home/Desktop/old/deep/f.txt", "x");
    Build();
    TreeCommands real(*tree, dialogs, SystemTreeShell());
    TreeNode* desktop = tree->RootOf(NodeKind::Desktop);
    tree->RefreshItem(*desktop, true);
    ASSERT_TRUE(real.DeleteSelectedNode(ChildNamed(desktop, "old"), true)) <<
        (dialogs.messages.empty() ? "" : dialogs.messages[0]);
    EXPECT_FALSE(fs::exists(sandbox.Path("home/Desktop/old")));
    EXPECT_EQ(sandbox.dir.Read("data/Trash/files/old/deep/f.txt"), "x");
    const std::string info = sandbox.dir.Read("data/Trash/info/old.trashinfo");
    EXPECT_TRUE(info.starts_with("[Trash Info]\nPath=")) << info;
    EXPECT_EQ(desktop->ChildCount(), 0);
}

TEST_F(TreeCommandsTest, LabelEditsRenameFoldersSafely) {
    sandbox.MakeFolders({"disk/a", "disk/b"});
    Build();
    TreeNode* a = DiskFolder("a");
    EXPECT_TRUE(commands->FinishLabelEdit(a, "新名"));
    EXPECT_EQ(a->Text(), "新名");
    EXPECT_TRUE(fs::is_directory(sandbox.Path("disk/新名")));

    // Unchanged, empty, unsafe names and an existing name change nothing.
    for (const std::string& name : {std::string("新名"), std::string(), std::string("x/y"), std::string("."),
                                    std::string(".."), std::string("a\0b", 3), std::string("b")}) {
        EXPECT_FALSE(commands->FinishLabelEdit(a, name)) << name;
    }
    EXPECT_EQ(a->Text(), "新名");
    EXPECT_TRUE(fs::is_directory(sandbox.Path("disk/新名")));
    EXPECT_TRUE(fs::is_directory(sandbox.Path("disk/b")));
    EXPECT_EQ(dialogs.messages.size(), 5u);  // each refusal says why; unchanged and empty say nothing
    // The desktop and the drives are not edited in place.
    EXPECT_FALSE(commands->FinishLabelEdit(tree->RootOf(NodeKind::Desktop), "x"));
    EXPECT_FALSE(commands->FinishLabelEdit(Disk(), "x"));
}

TEST_F(TreeCommandsTest, VirtualFoldersAreAddedRenamedRedirectedAndSavedAtOnce) {
    sandbox.MakeFolders({"disk/a", "disk/b", "disk/a|b"});
    Build();
    TreeNode* added = commands->AddSelectedToVirtualFolders(DiskFolder("a"));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Text(), "a");
    EXPECT_EQ(StoredVirtualFolders(), "[虚拟夹]\n虚拟子夹=a|" + sandbox.Path("disk/a") + "\n");

    EXPECT_TRUE(commands->FinishLabelEdit(added, "甲"));
    EXPECT_FALSE(commands->FinishLabelEdit(added, "甲|乙"));
    EXPECT_EQ(added->Text(), "甲");
    EXPECT_EQ(StoredVirtualFolders(), "[虚拟夹]\n虚拟子夹=甲|" + sandbox.Path("disk/a") + "\n");

    // A path with the separator cannot be stored.
    EXPECT_EQ(commands->AddSelectedToVirtualFolders(DiskFolder("a|b")), nullptr);
    EXPECT_EQ(dialogs.messages.back(), kUnstorableTextMessage);

    // Redirection takes an existing folder only.
    dialogs.answer = sandbox.Path("disk/none");
    EXPECT_FALSE(commands->RedirectVirtualFolder(added));
    dialogs.answer = sandbox.Path("disk/b") + "/";
    EXPECT_TRUE(commands->RedirectVirtualFolder(added));
    EXPECT_EQ(dialogs.initials.back(), sandbox.Path("disk/a"));
    EXPECT_EQ(StoredVirtualFolders(), "[虚拟夹]\n虚拟子夹=甲|" + sandbox.Path("disk/b") + "\n");

    // 新建目录 on 虚拟夹 asks for a path.
    dialogs.answer = sandbox.Disk();
    TreeNode* made = commands->CreateNodeFolder(tree->RootOf(NodeKind::VirtualFolders));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Text(), "disk");
    EXPECT_TRUE(commands->RemoveVirtualFolder(added));
    EXPECT_TRUE(fs::is_directory(sandbox.Path("disk/b")));
    EXPECT_EQ(StoredVirtualFolders(), "[虚拟夹]\n虚拟子夹=disk|" + sandbox.Disk() + "\n");
}

TEST_F(TreeCommandsTest, AVirtualFolderChangeThatCouldNotBeSavedIsWrittenAtExit) {
    auto faulty = std::make_unique<FaultyPosix>();
    FaultyPosix& os = *faulty;
    Build(std::move(faulty));
    std::filesystem::remove(sandbox.TreeFile());
    os.Fail(FaultyPosix::Call::Rename, ENOSPC);
    ASSERT_NE(commands->AddSelectedToVirtualFolders(Disk()), nullptr);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].starts_with("虚拟夹保存失败！")) << dialogs.messages[0];
    EXPECT_FALSE(fs::exists(sandbox.TreeFile()));
    os.Fail(FaultyPosix::Call::None, 0);
    tree.reset();
    EXPECT_EQ(StoredVirtualFolders(), "[虚拟夹]\n虚拟子夹=disk|" + sandbox.Disk() + "\n");

    // Nothing changed: nothing written at exit.
    std::filesystem::remove(sandbox.TreeFile());
    Build();
    tree.reset();
    EXPECT_FALSE(fs::exists(sandbox.TreeFile()));
}

TEST_F(TreeCommandsTest, SystemFolderRedirectionWritesUserDirs) {
    sandbox.MakeFolders({"disk/music"});
    Build();
    TreeNode* music = tree->RootOf(NodeKind::SystemFolders)->Child(7);
    dialogs.answer = sandbox.Path("disk/no-such");
    EXPECT_FALSE(commands->RedirectSelectedSystemFolder(music));
    dialogs.answer = sandbox.Path("disk/music");
    EXPECT_TRUE(commands->RedirectSelectedSystemFolder(music));
    EXPECT_EQ(dialogs.initials.front(), sandbox.Path("home/Music"));
    EXPECT_NE(sandbox.dir.Read("config/user-dirs.dirs").find("XDG_MUSIC_DIR=\"" + sandbox.Path("disk/music") + "\""),
              std::string::npos);
    EXPECT_EQ(tree->GetItemPath(music), sandbox.Path("disk/music"));
    // Not for a virtual folder's command.
    EXPECT_FALSE(commands->RedirectVirtualFolder(music));
}

TEST_F(TreeCommandsTest, DriveLabelsGoThroughTheShell) {
    Build();
    dialogs.answer = "备份";
    EXPECT_TRUE(commands->RelabelDrive(Disk()));
    EXPECT_EQ(shell.labels.back(), (std::pair<std::string, std::string>{"/dev/sdb1", "备份"}));
    EXPECT_EQ(Disk()->Text(), "备份 (" + sandbox.Disk() + ")");
    EXPECT_EQ(dialogs.prompts.back(), "请输入 " + sandbox.Disk() + " 的卷标名称：");
    EXPECT_EQ(dialogs.initials.back(), "数据");

    dialogs.answer = "";
    EXPECT_TRUE(commands->RelabelDrive(Disk()));
    EXPECT_EQ(Disk()->Text(), "固定盘 (" + sandbox.Disk() + ")");

    shell.labelWorks = false;
    dialogs.answer = "新";
    EXPECT_FALSE(commands->RelabelDrive(Disk()));
    EXPECT_EQ(Disk()->Text(), "固定盘 (" + sandbox.Disk() + ")");
    EXPECT_TRUE(dialogs.messages.back().starts_with("修改卷标失败！")) << dialogs.messages.back();
}

TEST_F(TreeCommandsTest, OpenShowsFoldersAndCopiesGiveTexts) {
    Build();
    EXPECT_TRUE(commands->OpenSelectedNode(Disk()));
    EXPECT_TRUE(commands->OpenSelectedNode(tree->RootOf(NodeKind::Computer)));
    EXPECT_EQ(shell.opened, (std::vector<std::string>{sandbox.Disk(), "/"}));
    EXPECT_TRUE(commands->OpenParentOfSelected(Disk()));
    EXPECT_EQ(shell.shown, std::vector<std::string>{sandbox.Disk()});
    EXPECT_FALSE(commands->OpenSelectedNode(tree->RootOf(NodeKind::SystemFolders)));
    EXPECT_FALSE(commands->OpenSelectedNode(tree->RootOf(NodeKind::SystemFolders)->Child(2)));
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"路径未定义！"});

    EXPECT_EQ(commands->CopyNodeNameOrPath(Disk(), true), "数据 (" + sandbox.Disk() + ")");
    EXPECT_EQ(commands->CopyNodeNameOrPath(Disk(), false), sandbox.Disk());
    EXPECT_EQ(commands->CopyNodeNameOrPath(tree->RootOf(NodeKind::SystemFolders), true), "系统夹");
    EXPECT_EQ(commands->CopyNodeNameOrPath(tree->RootOf(NodeKind::SystemFolders), false), std::nullopt);
}

}  // namespace
}  // namespace varnel
