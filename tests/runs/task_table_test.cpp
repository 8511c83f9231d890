#include "runs/task_table.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace varnel {
namespace {

// The item paths of the task box, built from its entries.
std::vector<std::pair<std::string, int>> TaskBoxPaths() {
    std::vector<std::pair<std::string, int>> paths;
    std::vector<std::string> parents;
    for (const TaskBoxEntry& entry : TaskBoxEntries()) {
        parents.resize(static_cast<std::size_t>(entry.depth));
        parents.emplace_back(entry.caption);
        std::string path;
        for (const std::string& part : parents) path += (path.empty() ? "" : " > ") + part;
        paths.emplace_back(path, entry.number);
    }
    return paths;
}

TEST(TaskTable, EveryTaskHasItsItemInTheTaskBox) {
    ASSERT_EQ(TaskTable().size(), 29u);
    const auto paths = TaskBoxPaths();
    std::set<int> numbers;
    for (const TaskDefinition& task : TaskTable()) {
        SCOPED_TRACE(task.number);
        EXPECT_TRUE(numbers.insert(task.number).second);
        EXPECT_EQ(FindTaskDefinition(task.number), &task);
        EXPECT_TRUE(std::ranges::count(paths, std::make_pair(std::string(task.itemPath), task.number)) == 1);
        EXPECT_EQ(task.renamesFiles, task.number <= 14 || task.number == 25);
    }
    // Every item carries a number of the table; groups carry one of a child's.
    for (const auto& [path, number] : paths) EXPECT_NE(FindTaskDefinition(number), nullptr) << path;
    EXPECT_EQ(FindTaskDefinition(29), nullptr);
    EXPECT_EQ(paths.front(), std::make_pair(std::string("文件改名"), 1));
    EXPECT_NE(std::ranges::find(paths, std::make_pair(std::string("综合任务"), 18)), paths.end());
    EXPECT_NE(std::ranges::find(paths, std::make_pair(std::string("综合任务 > 标签 > MP3音频"), 26)),
              paths.end());
}

TEST(TaskTable, PanelFlagsDisableTheirButtons) {
    struct Case {
        std::string_view flags;
        bool preview, scope, transfer;
    };
    const Case cases[] = {
        {"", false, false, false},          {",真,", false, true, false},  {"真,真,真", true, true, true},
        {",真,真", false, true, true},      {"真", true, false, false},    {"真,假,是", true, false, false},
        {"真,真,真,真", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.flags));
        const PanelFlags flags = ParsePanelFlags(c.flags);
        EXPECT_EQ(flags.previewDisabled, c.preview);
        EXPECT_EQ(flags.scopeDisabled, c.scope);
        EXPECT_EQ(flags.transferDisabled, c.transfer);
    }
    EXPECT_EQ(FindTaskDefinition(kTaskSplit)->flags, "真,真,真");
    EXPECT_EQ(FindTaskDefinition(kTaskPathTransfer)->flags, ",真,真");
}

TEST(TaskTable, RunnersAreEnteredByTaskNumber) {
    TaskRegistry registry;
    EXPECT_FALSE(registry.Runner(1));
    EXPECT_TRUE(registry.RegisterRunner<int>(1, [](RunContext&, RunRows&, const int&) {}));
    EXPECT_FALSE(registry.RegisterRunner<int>(99, [](RunContext&, RunRows&, const int&) {}));
    EXPECT_TRUE(registry.Runner(1));
    EXPECT_FALSE(registry.Runner(99));
}

// The runner gets the struct its panel handed over, or a default one when the task
// has no panel; parameters of another type never reach it.
TEST(TaskTable, RunnersGetTheParametersTheyWereEnteredWith) {
    struct Params {
        std::string text = "默认";
    };
    TaskRegistry registry;
    std::vector<std::string> seen;
    ASSERT_TRUE(registry.RegisterRunner<Params>(
        1, [&seen](RunContext&, RunRows&, const Params& params) { seen.push_back(params.text); }));
    RowStore store;
    RunRows rows(store, {});
    RunControl control;
    RunContext run(RunMode::FullPreview, 1, {}, control);
    const TaskRunner runner = registry.Runner(1);
    runner(run, rows, TaskParameters::Of(Params{"面板"}));
    runner(run, rows, TaskParameters());
    runner(run, rows, TaskParameters::Of(42));
    EXPECT_EQ(seen, (std::vector<std::string>{"面板", "默认"}));
}

}  // namespace
}  // namespace varnel
