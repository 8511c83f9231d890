#include "fileops/folder_walk.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/faulty_posix.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;

std::vector<std::string> Walk(const std::string& folder, WalkOptions options,
                              WalkCounts* counts = nullptr, std::size_t stopAfter = SIZE_MAX) {
    std::vector<std::string> rows;
    WalkCounts local;
    WalkFolder(folder, options,
               [&](const WalkEntry& e) {
                   if (!options.countOnly) rows.push_back(std::string(e.folder) + std::string(e.name));
                   return rows.size() < stopAfter;
               },
               counts ? *counts : local);
    return rows;
}

std::vector<std::string> Find(const std::string& folder, int maxDepth, const char* type) {
    std::string command = "find '" + folder + "' -mindepth 1";
    if (maxDepth > 0) command += " -maxdepth " + std::to_string(maxDepth);
    command += type;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::vector<std::string> lines;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe.get())) {
        std::string line = buffer;
        if (!line.empty() && line.back() == '\n') line.pop_back();
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// a/ holds b.txt, A2.txt, sub/ (c.txt, deep/ (d.txt)), Sub2/ (e.txt).
void MakeTree(const TempDir& dir) {
    std::filesystem::create_directories(dir / "a/sub/deep");
    std::filesystem::create_directories(dir / "a/Sub2");
    for (const char* f : {"a/b.txt", "a/A2.txt", "a/sub/c.txt", "a/sub/deep/d.txt", "a/Sub2/e.txt"}) {
        dir.Write(f, "x");
    }
}

TEST(FolderWalk, FilesThenFoldersThenEachSubfolderInNameOrder) {
    TempDir dir;
    MakeTree(dir);
    const std::string a = dir / "a";
    const std::vector<std::string> expected = {
        a + "/A2.txt", a + "/b.txt", a + "/sub", a + "/Sub2",
        a + "/sub/c.txt", a + "/sub/deep",
        a + "/Sub2/e.txt",
    };
    EXPECT_EQ(Walk(a, {.depth = 2}), expected);
}

TEST(FolderWalk, NamesComeInFoldedOrderAsCStrings) {
    // Case ties, prefixes, the punctuation between 'Z' and 'a', and bytes past ASCII.
    const std::vector<std::string> names = {"b", "B", "a_b", "A[b", "ab", "AB", "Ab", "abc", "a",
                                            "Z", "z_", "_z", "\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89",
                                            "~", "10", "9", "a b", "A.B"};
    TempDir dir;
    std::filesystem::create_directories(dir / "n");
    for (const std::string& name : names) dir.Write("n/" + name, "x");
    std::vector<std::string> walked;
    WalkCounts counts;
    WalkFolder(dir / "n", {}, [&](const WalkEntry& e) {
        EXPECT_EQ(e.name.data()[e.name.size()], '\0');  // usable in *at() calls as it is
        walked.emplace_back(e.name);
        return true;
    }, counts);
    std::vector<std::string> expected = names;
    std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) { return NameLess(a, b); });
    EXPECT_EQ(walked, expected);
}

TEST(FolderWalk, DepthAndIgnoreOptionsAgreeWithFind) {
    TempDir dir;
    MakeTree(dir);
    const std::string a = dir / "a";
    struct Case { int depth; int findDepth; };
    const Case depths[] = {{-5, 1}, {-1, 0}, {0, 1}, {1, 1}, {2, 2}, {3, 3}};
    for (const Case& c : depths) {
        for (int ignore = 0; ignore < 4; ++ignore) {
            const bool ignoreFiles = ignore & 1;
            const bool ignoreFolders = ignore & 2;
            SCOPED_TRACE("depth " + std::to_string(c.depth) + " ignore " + std::to_string(ignore));
            auto rows = Walk(a, {.depth = c.depth, .ignoreFiles = ignoreFiles, .ignoreFolders = ignoreFolders});
            std::sort(rows.begin(), rows.end());
            const char* type = ignoreFiles && ignoreFolders ? " -false"
                               : ignoreFiles                ? " -type d"
                               : ignoreFolders              ? " ! -type d"
                                                            : "";
            EXPECT_EQ(rows, Find(a, c.findDepth, type));
        }
    }
}

TEST(FolderWalk, CountOnlyCountsIgnoredEntries) {
    TempDir dir;
    MakeTree(dir);
    WalkCounts counts;
    Walk(dir / "a", {.depth = -1, .ignoreFiles = true, .ignoreFolders = true, .countOnly = true}, &counts);
    EXPECT_EQ(counts.files, 5);
    EXPECT_EQ(counts.folders, 3);
}

TEST(FolderWalk, LinksAreListedNotEnteredAndSpecialFilesDoNotBlock) {
    TempDir dir;
    MakeTree(dir);
    std::filesystem::create_directory_symlink(dir / "a", dir / "a/sub/loop");
    ASSERT_EQ(::mkfifo((dir / "a/fifo").c_str(), 0600), 0);
    const auto rows = Walk(dir / "a", {.depth = -1});
    EXPECT_EQ(std::count(rows.begin(), rows.end(), dir / "a/sub/loop"), 1);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), dir / "a/fifo"), 1);
    EXPECT_EQ(rows.size(), 10u);  // 8 entries, the link and the FIFO: nothing twice
}

TEST(FolderWalk, StopKeepsWhatCameBefore) {
    TempDir dir;
    MakeTree(dir);
    EXPECT_EQ(Walk(dir / "a", {.depth = -1}, nullptr, 3).size(), 3u);
    WalkCounts counts;
    EXPECT_FALSE(WalkFolder(dir / "a", {.depth = -1}, [](const WalkEntry&) { return false; }, counts));
}

TEST(FolderWalk, OddNamesComeThroughByteForByte) {
    TempDir dir;
    std::filesystem::create_directory(dir / "odd");
    const std::vector<std::string> names = {"back\\slash", "line\nbreak", "bad\xFFutf8", "空 格"};
    for (const auto& name : names) dir.Write("odd/" + name, "x");
    auto rows = Walk(dir / "odd", {});
    std::vector<std::string> expected;
    for (const auto& name : names) expected.push_back(dir / "odd/" + name);
    std::sort(rows.begin(), rows.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rows, expected);
}

TEST(FolderWalk, OnlyExistingAbsoluteFoldersAreWalked) {
    TempDir dir;
    EXPECT_TRUE(Walk("relative/path", {}).empty());
    EXPECT_TRUE(Walk(dir / "missing", {}).empty());
}

// A folder the walk cannot open or list yields no entries and is told with the
// system's reason; the walk goes on with the others.
TEST(FolderWalk, UnreadableFoldersAreToldAndSkipped) {
    TempDir dir;
    std::filesystem::create_directories(dir / "a/locked");
    std::filesystem::create_directories(dir / "a/open");
    for (const char* name : {"a/x.txt", "a/locked/y.txt", "a/open/z.txt"}) dir.Write(name, "x");
    const std::string a = dir / "a";
    using Call = testing::FaultyPosix::Call;
    const struct {
        Call call;
        std::string path;
        std::vector<std::string> rows;
        std::string unreadable;
    } cases[] = {
        {Call::Open, a + "/", {}, a + "/"},  // the start folder
        {Call::Openat, "locked", {a + "/x.txt", a + "/locked", a + "/open", a + "/open/z.txt"}, a + "/locked/"},
        {Call::Openat, ".", {}, a + "/"},  // opened, but its entries cannot be listed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        testing::FaultyPosix os;
        os.FailOn(c.call, EACCES, c.path);
        std::vector<std::string> rows;
        WalkCounts counts;
        EXPECT_TRUE(WalkFolder(a, {.depth = -1},
                               [&](const WalkEntry& e) {
                                   rows.push_back(std::string(e.folder) + std::string(e.name));
                                   return true;
                               },
                               counts, os));
        EXPECT_EQ(rows, c.rows);
        ASSERT_EQ(counts.unreadable.size(), 1u);
        EXPECT_EQ(counts.unreadable[0].folder, c.unreadable);
        EXPECT_EQ(counts.unreadable[0].error, EACCES);
    }
    // A missing start folder is told too.
    WalkCounts counts;
    Walk(dir / "missing", {}, &counts);
    ASSERT_EQ(counts.unreadable.size(), 1u);
    EXPECT_EQ(counts.unreadable[0].error, ENOENT);
}

}  // namespace
}  // namespace varnel
