#include "dirtree/directory_tree.h"

#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "dirtree/tree_sandbox.h"

namespace varnel {
namespace {

using testing::ChildNamed;
using testing::TreeSandbox;

// Counts the folders opened for listing.
class CountingPosix final : public PosixApi {
public:
    int Open(const char* path, int flags, mode_t mode) override {
        ++opened[path];
        return PosixApi::Open(path, flags, mode);
    }
    std::map<std::string, int> opened;
};

class DirectoryTreeTest : public ::testing::Test {
protected:
    TreeNode* Drive(int row) { return tree->RootOf(NodeKind::Computer)->Child(row); }
    TreeNode* DiskDrive() { return Drive(1); }
    void Build() {
        tree = std::make_unique<DirectoryTree>(sandbox.Setup(&os));
        tree->RebuildTree();
    }
    TreeSandbox sandbox;
    CountingPosix os;
    std::unique_ptr<PosixApi> otherOs;
    std::unique_ptr<DirectoryTree> tree;
};

TEST_F(DirectoryTreeTest, BuildsTheFourRoots) {
    sandbox.SetVirtualFolders("工作|" + sandbox.Disk());
    Build();
    ASSERT_EQ(tree->RootCount(), 4);
    EXPECT_EQ(tree->Root(0)->Text(), "桌面");
    EXPECT_EQ(tree->Root(0)->Kind(), NodeKind::Desktop);
    EXPECT_EQ(tree->Root(1)->Text(), "我的电脑");
    EXPECT_EQ(tree->Root(2)->Text(), "系统夹");
    EXPECT_EQ(tree->Root(3)->Text(), "虚拟夹");
    // The desktop waits; the other three are filled.
    EXPECT_FALSE(tree->Root(0)->ChildrenRead());
    ASSERT_EQ(tree->Root(1)->ChildCount(), 2);
    EXPECT_EQ(Drive(0)->Text(), "固定盘 (/)");
    EXPECT_EQ(DiskDrive()->Text(), "数据 (" + sandbox.Disk() + ")");
    ASSERT_EQ(tree->Root(2)->ChildCount(), kSystemFolderCount);
    EXPECT_EQ(tree->Root(2)->Child(7)->Text(), "我的音乐");
    EXPECT_EQ(tree->Root(2)->Child(7)->SystemIndex(), 8);
    EXPECT_TRUE(tree->Root(2)->Child(2)->IsUnavailable());  // 我的收藏夹: undefined
    ASSERT_EQ(tree->Root(3)->ChildCount(), 1);
    EXPECT_EQ(tree->Root(3)->Child(0)->Text(), "工作");
}

TEST_F(DirectoryTreeTest, FillsAFolderOnceWhenFirstExpanded) {
    sandbox.MakeFolders({"disk/b/inner", "disk/A", "disk/?", "disk/c"});
    sandbox.dir.Write("disk/file.txt", "x");
    Build();
    TreeNode* disk = DiskDrive();
    EXPECT_TRUE(disk->MayHaveChildren());
    EXPECT_TRUE(tree->CanFetchMore(*disk));
    tree->RefreshItem(*disk, true);
    tree->RefreshItem(*disk, true);
    EXPECT_EQ(os.opened[sandbox.Disk()], 1 + 1);  // probed once when built, listed once
    ASSERT_EQ(disk->ChildCount(), 4);
    // A folder named "?" is a folder like any other.
    TreeNode* question = ChildNamed(disk, "?");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(tree->GetItemPath(question), sandbox.Disk() + "/?");
    EXPECT_FALSE(question->MayHaveChildren());
    EXPECT_TRUE(ChildNamed(disk, "b")->MayHaveChildren());
    EXPECT_FALSE(tree->CanFetchMore(*disk));
    // A refresh re-reads from disk.
    sandbox.MakeFolders({"disk/d"});
    tree->RefreshItem(*disk, false);
    EXPECT_EQ(disk->ChildCount(), 5);
}

TEST_F(DirectoryTreeTest, ItemPathsByNodeKind) {
    sandbox.MakeFolders({"disk/sub", "home/Desktop/d"});
    sandbox.SetVirtualFolders("工作|" + sandbox.Disk() + "||gone|/no/such/folder");
    Build();
    tree->RefreshItem(*DiskDrive(), true);
    tree->RefreshItem(*tree->RootOf(NodeKind::Desktop), true);
    TreeNode* systems = tree->RootOf(NodeKind::SystemFolders);
    TreeNode* virtuals = tree->RootOf(NodeKind::VirtualFolders);
    struct Case {
        const char* what;
        const TreeNode* node;
        std::optional<std::string> path;
    };
    const Case cases[] = {
        {"no node", nullptr, std::nullopt},
        {"我的电脑", tree->RootOf(NodeKind::Computer), std::nullopt},
        {"系统夹", systems, std::nullopt},
        {"虚拟夹", virtuals, std::nullopt},
        {"桌面", tree->RootOf(NodeKind::Desktop), sandbox.Path("home/Desktop")},
        {"desktop folder", ChildNamed(tree->RootOf(NodeKind::Desktop), "d"), sandbox.Path("home/Desktop/d")},
        {"root drive", Drive(0), "/"},
        {"drive", DiskDrive(), sandbox.Disk()},
        {"folder", ChildNamed(DiskDrive(), "sub"), sandbox.Path("disk/sub")},
        {"system folder", systems->Child(7), sandbox.Path("home/Music")},
        {"undefined system folder", systems->Child(2), std::nullopt},
        {"virtual folder", virtuals->Child(0), sandbox.Disk()},
        {"unavailable virtual folder", virtuals->Child(1), "/no/such/folder"},
    };
    for (const Case& c : cases) EXPECT_EQ(tree->GetItemPath(c.node), c.path) << c.what;
    EXPECT_FALSE(virtuals->Child(0)->IsUnavailable());
    EXPECT_TRUE(virtuals->Child(1)->IsUnavailable());
    EXPECT_FALSE(virtuals->Child(1)->MayHaveChildren());
}

TEST_F(DirectoryTreeTest, GoesToAFolderAndChecksItAlone) {
    sandbox.MakeFolders({"disk/a/b/c", "disk/x"});
    sandbox.dir.Write("disk/a/b/file.txt", "x");
    Build();
    tree->SetChecked(*tree->RootOf(NodeKind::SystemFolders), true);

    GoToResult result = tree->GoToPath(sandbox.Path("disk/a/b/"));
    ASSERT_TRUE(result.walked);
    ASSERT_NE(result.node, nullptr);
    EXPECT_EQ(tree->GetItemPath(result.node), sandbox.Path("disk/a/b"));
    EXPECT_EQ(tree->GetCheckedItems(), std::vector<TreeNode*>{result.node});

    // A file gives its folder.
    result = tree->GoToPath(sandbox.Path("disk/a/b/file.txt"));
    EXPECT_EQ(tree->GetItemPath(result.node), sandbox.Path("disk/a/b"));

    // A path that does not exist (or is relative) leaves everything as it was.
    for (const std::string& missing : {sandbox.Path("disk/none"), std::string("disk/a"), std::string()}) {
        EXPECT_FALSE(tree->GoToPath(missing).walked) << missing;
    }
    EXPECT_EQ(tree->GetCheckedItems(), std::vector<TreeNode*>{result.node});

    // keepChecks leaves the checks alone.
    result = tree->GoToPath(sandbox.Path("disk/x"), true);
    EXPECT_EQ(tree->GetItemPath(result.node), sandbox.Path("disk/x"));
    EXPECT_FALSE(result.node->IsChecked());
}

TEST_F(DirectoryTreeTest, GoToPathMatchesAtSeparatorsAndPrefersTheLongestMount) {
    sandbox.MakeFolders({"home/Desktop2/x", "home/Desktop/y", "disk/inner/deep", "disk/innerx"});
    sandbox.snapshot.drives.push_back(varnel::Drive{sandbox.Path("disk/inner"), "", DriveType::Removable, "", false});
    Build();
    // The desktop at …/Desktop does not lead …/Desktop2.
    GoToResult result = tree->GoToPath(sandbox.Path("home/Desktop2/x"));
    ASSERT_NE(result.node, nullptr);
    EXPECT_EQ(tree->GetItemPath(result.node), sandbox.Path("home/Desktop2/x"));
    TreeNode* top = result.node;
    while (top->Parent() != nullptr) top = top->Parent();
    EXPECT_EQ(top->Kind(), NodeKind::Computer);

    result = tree->GoToPath(sandbox.Path("home/Desktop/y"));
    EXPECT_EQ(result.node->Parent()->Kind(), NodeKind::Desktop);

    // Nested mounts: the innermost mount is the anchor, but not for a sibling name.
    result = tree->GoToPath(sandbox.Path("disk/inner/deep"));
    EXPECT_EQ(result.node->Parent(), Drive(2));
    result = tree->GoToPath(sandbox.Path("disk/innerx"));
    EXPECT_EQ(result.node->Parent(), DiskDrive());
}

TEST_F(DirectoryTreeTest, GoToPathFindsAVirtualFolderBeforeADrive) {
    sandbox.MakeFolders({"disk/proj/src"});
    sandbox.SetVirtualFolders("项目|" + sandbox.Path("disk/proj"));
    Build();
    const GoToResult result = tree->GoToPath(sandbox.Path("disk/proj/src"));
    ASSERT_NE(result.node, nullptr);
    EXPECT_EQ(result.node->Parent()->Text(), "项目");
    EXPECT_TRUE(result.node->Parent()->IsVirtualEntry());
}

TEST_F(DirectoryTreeTest, GoToPathComparesExactlyFirstAndIgnoresCaseOnlyAsAFallback) {
    sandbox.MakeFolders({"disk/Data", "disk/data"});
    Build();
    GoToResult result = tree->GoToPath(sandbox.Path("disk/data"));
    EXPECT_EQ(result.node->Text(), "data");
    result = tree->GoToPath(sandbox.Path("disk/Data"));
    EXPECT_EQ(result.node->Text(), "Data");
    // A folder that appeared after its parent was read is found by reading again.
    sandbox.MakeFolders({"disk/later"});
    result = tree->GoToPath(sandbox.Path("disk/later"));
    ASSERT_NE(result.node, nullptr);
    EXPECT_EQ(result.node->Text(), "later");
}

TEST_F(DirectoryTreeTest, CheckedItemsInPreOrderIncludeUnexpandedChildren) {
    sandbox.MakeFolders({"disk/a/a1", "disk/b"});
    Build();
    tree->RefreshItem(*DiskDrive(), true);
    TreeNode* a = ChildNamed(DiskDrive(), "a");
    tree->RefreshItem(*a, true);
    TreeNode* a1 = ChildNamed(a, "a1");
    TreeNode* b = ChildNamed(DiskDrive(), "b");
    tree->SetChecked(*b, true);
    tree->SetChecked(*a1, true);
    tree->SetChecked(*tree->RootOf(NodeKind::SystemFolders), true);
    tree->SetChecked(*Drive(0), true);
    EXPECT_EQ(tree->GetCheckedItems(),
              (std::vector<TreeNode*>{Drive(0), a1, b, tree->RootOf(NodeKind::SystemFolders)}));
    // 系统夹 has no path and is skipped.
    EXPECT_EQ(tree->CheckedFolderPaths(),
              (std::vector<std::string>{"/", sandbox.Path("disk/a/a1"), sandbox.Path("disk/b")}));
    tree->CheckOnlyItem(a);
    EXPECT_EQ(tree->GetCheckedItems(), std::vector<TreeNode*>{a});
    tree->CheckOnlyItem(nullptr);
    EXPECT_TRUE(tree->GetCheckedItems().empty());
}

TEST_F(DirectoryTreeTest, GoToPathWithoutAMatchingFolderEndsWithNoNodeAndNoChecks) {
    sandbox.MakeFolders({"disk/a"});
    // The folder exists, but is gone from the listing by the time it is read.
    class HidingPosix final : public PosixApi {
    public:
        struct dirent* Readdir(DIR* dir) override {
            struct dirent* entry = PosixApi::Readdir(dir);
            while (entry != nullptr && std::string_view(entry->d_name) == "a") entry = PosixApi::Readdir(dir);
            return entry;
        }
    };
    otherOs = std::make_unique<HidingPosix>();
    tree = std::make_unique<DirectoryTree>(sandbox.Setup(otherOs.get()));
    tree->RebuildTree();
    tree->SetChecked(*DiskDrive(), true);
    const GoToResult result = tree->GoToPath(sandbox.Path("disk/a"));
    EXPECT_TRUE(result.walked);
    EXPECT_EQ(result.node, nullptr);
    EXPECT_TRUE(tree->GetCheckedItems().empty());
}

TEST_F(DirectoryTreeTest, BackgroundListingAppliesOnlyWhileCurrent) {
    sandbox.MakeFolders({"disk/a", "disk/b"});
    sandbox.snapshot.mounts[1].fsType = "nfs4";
    sandbox.snapshot.drives[1].remote = true;
    Build();
    TreeNode* disk = DiskDrive();
    EXPECT_TRUE(disk->MayHaveChildren());  // not probed on a network mount
    EXPECT_TRUE(tree->ListsInBackground(*disk));
    auto request = tree->BeginBackgroundListing(*disk);
    ASSERT_TRUE(request.has_value());
    EXPECT_FALSE(tree->CanFetchMore(*disk));
    auto entries = ListSubfolders(request->folder, request->mounts);
    EXPECT_TRUE(entries[0].hasSubfolders);  // on the network mount: assumed
    tree->ApplyBackgroundListing(*request, entries);
    EXPECT_EQ(disk->ChildCount(), 2);

    // A listing overtaken by a refresh is dropped.
    tree->RefreshItem(*disk, false);
    TreeNode* a = ChildNamed(disk, "a");
    auto stale = tree->BeginBackgroundListing(*a);
    ASSERT_TRUE(stale.has_value());
    tree->RefreshItem(*disk, false);
    tree->ApplyBackgroundListing(*stale, {SubfolderEntry{"ghost", false, false}});
    EXPECT_EQ(ChildNamed(ChildNamed(disk, "a"), "ghost"), nullptr);
}

TEST_F(DirectoryTreeTest, SubfoldersAreListedInTheLocalesCollationOrder) {
    auto sorted = [](const char* locale) {
        std::vector<SubfolderEntry> entries;
        for (const char* name : {"张", "b", "B", "李", "a2", "A"}) entries.push_back(SubfolderEntry{name, false, false});
        SortNamesForDisplay(entries, locale);
        std::vector<std::string> names;
        for (const auto& entry : entries) names.push_back(entry.name);
        return names;
    };
    // Chinese first and by pinyin (li before zhang); letters by letter before case.
    EXPECT_EQ(sorted("zh_CN"), (std::vector<std::string>{"李", "张", "A", "a2", "b", "B"}));
    EXPECT_EQ(sorted("en_US"), (std::vector<std::string>{"A", "a2", "b", "B", "张", "李"}));
}

}  // namespace
}  // namespace varnel
