#include "fileops/folder_walk.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

// A tree wide and deep enough that the walk reads many folders ahead at several
// levels: 12 folders of 12 of 3, each with files and mixed-case names.
std::string MakeWideTree(const TempDir& dir) {
    const std::string root = dir / "wide";
    for (int i = 0; i < 12; ++i) {
        const std::string top = root + "/" + (i % 2 ? "Top" : "top") + std::to_string(i);
        for (int j = 0; j < 12; ++j) {
            const std::string middle = top + "/m" + std::to_string(j);
            for (int k = 0; k < 3; ++k) std::filesystem::create_directories(middle + "/leaf" + std::to_string(k));
            std::ofstream(middle + "/leaf" + std::to_string(j % 3) + "/file.txt") << "x";
            std::ofstream(middle + "/F" + std::to_string(j)) << "x";
        }
        std::ofstream(top + "/readme") << "x";
    }
    return root;
}

// The order the walk promises, worked out on its own: a folder's files, then its
// folders, then each subfolder's contents, each part in name order.
void ExpectedOrder(const std::string& folder, std::vector<std::string>& out) {
    std::vector<std::string> files;
    std::vector<std::string> folders;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        (entry.is_directory() ? folders : files).push_back(entry.path().filename());
    }
    std::sort(files.begin(), files.end(), NameLess);
    std::sort(folders.begin(), folders.end(), NameLess);
    for (const auto& name : files) out.push_back(folder + "/" + name);
    for (const auto& name : folders) out.push_back(folder + "/" + name);
    for (const auto& name : folders) ExpectedOrder(folder + "/" + name, out);
}

std::size_t OpenDescriptors() {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                                  std::filesystem::directory_iterator{}));
}

// However many folders are read ahead, entries arrive in walk order, and a walk
// stopped anywhere gives exactly the entries before the stop and leaves no folder
// open behind it.
TEST(FolderWalk, ReadingAheadKeepsWalkOrderAndClosesWhatAStopLeaves) {
    TempDir dir;
    const std::string root = MakeWideTree(dir);
    std::vector<std::string> expected;
    ExpectedOrder(root, expected);
    ASSERT_EQ(expected.size(), 888u);  // 12 + 12 x 13 + 144 x 5
    const std::size_t descriptors = OpenDescriptors();
    for (int pass = 0; pass < 3; ++pass) EXPECT_EQ(Walk(root, {.depth = -1}), expected);
    for (const std::size_t stop : {std::size_t{1}, std::size_t{13}, std::size_t{30}, std::size_t{200},
                                   std::size_t{555}, expected.size() - 1}) {
        SCOPED_TRACE(stop);
        const auto rows = Walk(root, {.depth = -1}, nullptr, stop);
        EXPECT_EQ(rows, std::vector<std::string>(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(stop)));
        EXPECT_EQ(OpenDescriptors(), descriptors);
    }
    // Depth 2 reads ahead only the folders it enters.
    std::vector<std::string> shallow;
    for (const auto& path : expected) {
        if (std::count(path.begin() + static_cast<std::ptrdiff_t>(root.size()), path.end(), '/') <= 2) {
            shallow.push_back(path);
        }
    }
    EXPECT_EQ(Walk(root, {.depth = 2}), shallow);
    EXPECT_EQ(OpenDescriptors(), descriptors);
}

// Folders read ahead that cannot be opened or listed are told in walk order, each
// with its reason, whichever thread read them.
TEST(FolderWalk, UnreadableFoldersReadAheadAreToldInWalkOrder) {
    TempDir dir;
    const std::string root = MakeWideTree(dir);
    using Call = testing::FaultyPosix::Call;
    testing::FaultyPosix os;
    os.FailOn(Call::Openat, EACCES, "leaf1");
    std::vector<std::string> rows;
    WalkCounts counts;
    EXPECT_TRUE(WalkFolder(root, {.depth = -1},
                           [&](const WalkEntry& e) {
                               rows.push_back(std::string(e.folder) + std::string(e.name));
                               return true;
                           },
                           counts, os));
    std::vector<std::string> expected;
    ExpectedOrder(root, expected);
    std::vector<std::string> expectedUnreadable;
    std::erase_if(expected, [](const std::string& path) { return path.find("/leaf1/") != std::string::npos; });
    for (const auto& path : expected) {
        if (path.ends_with("/leaf1")) expectedUnreadable.push_back(path + "/");
    }
    EXPECT_EQ(rows, expected);
    ASSERT_EQ(counts.unreadable.size(), expectedUnreadable.size());
    for (std::size_t i = 0; i < expectedUnreadable.size(); ++i) {
        EXPECT_EQ(counts.unreadable[i].folder, expectedUnreadable[i]);
        EXPECT_EQ(counts.unreadable[i].error, EACCES);
    }
}

}  // namespace
}  // namespace varnel
