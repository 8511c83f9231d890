#include "frame/folder_history.h"

#include <set>

#include <gtest/gtest.h>

#include "frame/task_box_expansion.h"

namespace varnel {
namespace {

const auto kEverythingExists = [](const std::string&) { return true; };

TEST(FolderHistory, BackTwiceThenANewLoadAppendsAndLeavesNoForward) {
    std::vector<std::string> paths;
    int index = 1;  // as after start-up
    EXPECT_FALSE(HistoryAvailability(paths, index).back);
    EXPECT_FALSE(HistoryAvailability(paths, index).forward);

    for (const char* folder : {"/a", "/b", "/c"}) PushNavigationHistory(paths, index, folder);
    EXPECT_EQ(index, 3);
    EXPECT_TRUE(HistoryAvailability(paths, index).back);
    EXPECT_FALSE(HistoryAvailability(paths, index).forward);

    EXPECT_EQ(NavigateHistory(paths, index, false, kEverythingExists).folder, "/b");
    EXPECT_EQ(NavigateHistory(paths, index, false, kEverythingExists).folder, "/a");
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(HistoryAvailability(paths, index).back);
    EXPECT_TRUE(HistoryAvailability(paths, index).forward);

    PushNavigationHistory(paths, index, "/d");
    EXPECT_EQ(paths, (std::vector<std::string>{"/a", "/b", "/c", "/d"}));
    EXPECT_EQ(index, 4);
    EXPECT_FALSE(HistoryAvailability(paths, index).forward);
    EXPECT_TRUE(HistoryAvailability(paths, index).back);
}

TEST(FolderHistory, AStepOutOfRangeDoesNothing) {
    std::vector<std::string> paths = {"/a", "/b"};
    int index = 2;
    EXPECT_FALSE(NavigateHistory(paths, index, true, kEverythingExists).folder);
    EXPECT_EQ(index, 2);
    index = 1;
    EXPECT_FALSE(NavigateHistory(paths, index, false, kEverythingExists).folder);
    EXPECT_EQ(index, 1);
    std::vector<std::string> none;
    index = 1;
    EXPECT_FALSE(NavigateHistory(none, index, false, kEverythingExists).folder);
    EXPECT_FALSE(NavigateHistory(none, index, true, kEverythingExists).folder);
    EXPECT_EQ(index, 1);
}

TEST(FolderHistory, StepsOverFoldersThatAreGone) {
    const std::set<std::string> gone = {"/b", "/c"};
    const auto exists = [&](const std::string& folder) { return !gone.contains(folder); };
    std::vector<std::string> paths = {"/a", "/b", "/c", "/d"};
    int index = 4;
    HistoryStep step = NavigateHistory(paths, index, false, exists);
    EXPECT_EQ(step.folder, "/a");
    EXPECT_EQ(step.skipped, (std::vector<std::string>{"/c", "/b"}));
    EXPECT_EQ(index, 1);

    // Nothing left in that direction: the place stays, the missing ones are told.
    paths = {"/a", "/b"};
    index = 1;
    step = NavigateHistory(paths, index, true, exists);
    EXPECT_FALSE(step.folder);
    EXPECT_EQ(step.skipped, (std::vector<std::string>{"/b"}));
    EXPECT_EQ(index, 1);
}

TEST(FolderHistory, ParentFolderForTheUpButton) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"/home/user/docs", "/home/user"}, {"/home/", "/"}, {"/home", "/"},
        {"/", std::nullopt},               {"", std::nullopt}, {"relative/x", std::nullopt},
    };
    for (const auto& [folder, parent] : cases) EXPECT_EQ(ParentFolderOf(folder), parent) << folder;
}

TEST(TaskBoxExpansion, WritesAndReadsTheGroupStates) {
    EXPECT_EQ(FormatTaskBoxExpansion({{0, true}, {5, false}, {12, true}}), "0,1;5,0;12,1");
    EXPECT_EQ(FormatTaskBoxExpansion({}), "");
    EXPECT_EQ(ParseTaskBoxExpansion("0,1;5,0;12,1"),
              (std::vector<std::pair<int, bool>>{{0, true}, {5, false}, {12, true}}));
    // A part without a state collapses; anything but "1" collapses; junk is skipped.
    EXPECT_EQ(ParseTaskBoxExpansion("3;4,true;x,1;;7,1"),
              (std::vector<std::pair<int, bool>>{{3, false}, {4, false}, {7, true}}));
}

}  // namespace
}  // namespace varnel
