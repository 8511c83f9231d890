#include "dirtree/virtual_folders.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;

TEST(VirtualFoldersTest, ParsesStoredRecords) {
    struct Case {
        const char* text;
        std::vector<VirtualFolderRecord> records;
    };
    const Case cases[] = {
        {"工作|/srv/work||根目录|/", {{"工作", "/srv/work"}, {"根目录", "/"}}},
        // A lone path is named after its last component; one trailing "/" goes.
        {"/srv/work/", {{"work", "/srv/work"}}},
        {"/", {{"/", "/"}}},
        // A blank name is replaced; a name with blanks around text stays as written.
        {"   |/srv/work", {{"work", "/srv/work"}}},
        {" W |/srv/work", {{" W ", "/srv/work"}}},
        // Parts after the second are ignored.
        {"Win|/srv/w|third", {{"Win", "/srv/w"}}},
        // No absolute path: dropped. A folder that does not exist is kept.
        {"a|||b|relative||c|/no/such/folder", {{"c", "/no/such/folder"}}},
        {"name|", {}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseVirtualFolders(c.text), c.records) << c.text;
}

TEST(VirtualFoldersTest, JoinedRecordsParseBackUnchanged) {
    const std::vector<VirtualFolderRecord> records = {
        {"主目录", "/home/ann"}, {"根目录", "/"}, {"空 格", "/media/ann/My Disk"}};
    EXPECT_EQ(JoinVirtualFolders(records), "主目录|/home/ann||根目录|/||空 格|/media/ann/My Disk");
    EXPECT_EQ(ParseVirtualFolders(JoinVirtualFolders(records)), records);
    EXPECT_EQ(JoinVirtualFolders({}), "");
}

TEST(VirtualFoldersTest, LastPathComponent) {
    EXPECT_EQ(GetLastPathComponent("/a/b"), "b");
    EXPECT_EQ(GetLastPathComponent("/"), "/");
    EXPECT_EQ(GetLastPathComponent("name"), "name");
}

TEST(VirtualFoldersTest, TextsWithTheSeparatorOrLineBreaksCannotBeStored) {
    EXPECT_TRUE(IsStorableInVirtualFolders("/home/ann/a b"));
    EXPECT_FALSE(IsStorableInVirtualFolders("a|b"));
    EXPECT_FALSE(IsStorableInVirtualFolders("a\nb"));
}

TEST(VirtualFoldersTest, FileRoundTripAndDefaults) {
    TempDir dir;
    const std::string file = dir / "Varnel/Varnel目录树.ini";
    // No file: the home folder and the root.
    EXPECT_EQ(LoadVirtualFolders(file, "/home/ann"),
              (std::vector<VirtualFolderRecord>{{"主目录", "/home/ann"}, {"根目录", "/"}}));

    ASSERT_TRUE(SaveVirtualFolders(file, {{"工作", "/srv/work"}}).has_value());
    EXPECT_EQ(dir.Read("Varnel/Varnel目录树.ini"), "[虚拟夹]\n虚拟子夹=工作|/srv/work\n");
    EXPECT_EQ(LoadVirtualFolders(file, "/home/ann"),
              (std::vector<VirtualFolderRecord>{{"工作", "/srv/work"}}));

    // Every record removed stays removed.
    ASSERT_TRUE(SaveVirtualFolders(file, {}).has_value());
    EXPECT_TRUE(LoadVirtualFolders(file, "/home/ann").empty());
}

}  // namespace
}  // namespace varnel
