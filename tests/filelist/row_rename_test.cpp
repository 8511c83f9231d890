#include "filelist/row_rename.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace varnel {
namespace {

TEST(RenameListRow, RenamesOnlyToFreeValidNames) {
    testing::TempDir dir;
    dir.Write("a.txt", "a");
    dir.Write("b.txt", "b");
    RowStore store;
    store.AppendRow(dir.Path(), "a.txt", {}, 0);
    struct Case {
        const char* name;
        bool renamed;
    };
    const Case cases[] = {
        {"b.txt", false},  // taken: never replaced
        {"", false}, {".", false}, {"..", false}, {"x/y", false},
        {"a.txt", true},   // unchanged
        {"新 名.txt", true},
    };
    for (const Case& c : cases) {
        const std::string before = store.Name(0);
        const auto result = RenameListRow(store, 0, c.name);
        EXPECT_EQ(result.has_value(), c.renamed) << c.name;
        EXPECT_EQ(store.Name(0), c.renamed ? std::string(c.name) : before) << c.name;
    }
    EXPECT_FALSE(RenameListRow(store, 0, std::string_view("n\0ul", 4)).has_value());
    EXPECT_EQ(dir.Read("b.txt"), "b");
    EXPECT_EQ(dir.Read("新 名.txt"), "a");
    EXPECT_FALSE(RenameListRow(store, 5, "z").has_value());
}

TEST(RenameListRow, TheRowsInsideARenamedFolderFollowIt) {
    testing::TempDir dir;
    std::filesystem::create_directory(dir / "f");
    dir.Write("f/in.txt", "in");
    RowStore store;
    store.AppendRow(dir.Path(), "f", RowFacts{.isFolder = true}, 0);
    store.AppendRow(dir / "f", "in.txt", {}, 0);
    ASSERT_TRUE(RenameListRow(store, 0, "g").has_value());
    EXPECT_EQ(store.FullPath(1), dir / "g/in.txt");
    EXPECT_TRUE(RenameListRow(store, 1, "out.txt").has_value());
    EXPECT_EQ(dir.Read("g/out.txt"), "in");
}

}  // namespace
}  // namespace varnel
