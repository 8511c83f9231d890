#include "runs/run_dispatcher.h"

#include <gtest/gtest.h>

#include "support/gate.h"
#include "support/notice_recorder.h"
#include "support/pumping_run_host.h"

namespace varnel {
namespace {

using testing::Gate;

constexpr int kTask = kTaskCommonRename;

// The window's side of the dispatcher, with the test thread as the UI thread; it
// also notes what the dispatcher asked and told.
struct FakeHost : testing::PumpingRunHost {
    std::optional<RunRequest> CollectRunRequest(RunMode) override {
        ++collected;
        RunRequest request;
        request.task = kTask;
        request.settings = settings;
        request.parameters = TaskParameters::Of(parameter);
        return request;
    }
    bool AutoPreviewEnabled() const override { return autoPreview; }
    bool PanelLoading() const override { return loading; }
    void RunStarted(RunMode, std::size_t rowCount) override { startedRows.push_back(rowCount); }
    void ShowRunStatus(const std::string& text) override { statuses.push_back(text); }

    int parameter = 0;
    bool autoPreview = true;
    bool loading = false;
    int collected = 0;
    std::vector<std::size_t> startedRows;
    std::vector<std::string> statuses;
};

struct DispatcherFixture : ::testing::Test {
    void AddRows(int count) {
        for (int i = 0; i < count; ++i) store.AppendRow("/data/", "f" + std::to_string(i), {}, 0);
    }
    // A runner that counts its rows, gives the row to `atRow` first, and records
    // the parameter it was given.
    void UseCountingRunner(std::function<void(RunContext&, std::size_t)> atRow = {}) {
        tasks.RegisterRunner<int>(kTask, [this, atRow](RunContext& run, RunRows& rows, const int& parameter) {
            seenParameters.push_back(parameter);
            rowsDone.push_back(0);
            ForEachRunRow(run, rows, [&](std::size_t index) {
                if (atRow) atRow(run, index);
                rows.SetCell(index, ListColumn::Preview, "预览");
                ++rowsDone.back();
            });
        });
    }

    varnel::testing::NoticeRecorder notices;
    RunControl control;
    RowStore store;
    TaskRegistry tasks;
    UndoRecord current;
    std::vector<UndoRecord> history;
    FakeHost host;
    std::vector<int> seenParameters;
    std::vector<int> rowsDone;
    RunDispatcher dispatcher{{control, store, tasks, nullptr, current, history}, host};
};

TEST_F(DispatcherFixture, AutoPreviewCoversItsLimitAndAlwaysTheFirstRow) {
    AddRows(30);
    UseCountingRunner();
    for (int limit : {-3, 0, 1, 20}) {
        host.settings.autoPreviewLimit = limit;
        dispatcher.RequestAutoPreview();
        host.PumpUntilIdle(dispatcher);
    }
    EXPECT_EQ(rowsDone, (std::vector<int>{1, 1, 1, 20}));
    EXPECT_EQ(store.GetCellText(19, ListColumn::Preview), "预览");
    EXPECT_EQ(store.GetCellText(20, ListColumn::Preview), "");
    EXPECT_FALSE(control.IsActive());
}

TEST_F(DispatcherFixture, FullPreviewIgnoresStopAndExecuteStopsWhilePaused) {
    AddRows(5);
    Gate gate;
    UseCountingRunner([&](RunContext&, std::size_t index) {
        if (index == 0) gate.Arrive();
    });
    ASSERT_TRUE(dispatcher.StartPreviewRun());
    gate.WaitArrived();
    control.RequestStop();  // no panel shows for a preview, and a stop changes nothing
    gate.Open();
    host.PumpUntilIdle(dispatcher);
    ASSERT_EQ(host.outcomes.size(), 1u);
    EXPECT_EQ(host.outcomes[0].statusText, "全部预览完成");

    Gate held;
    UseCountingRunner([&](RunContext&, std::size_t index) {
        if (index == 0) held.Arrive();
    });
    ASSERT_TRUE(dispatcher.StartExecuteRun());
    held.WaitArrived();
    control.SetPaused(true);
    held.Open();
    control.RequestStop();  // ends the run without a resume
    host.PumpUntilIdle(dispatcher);
    EXPECT_EQ(rowsDone, (std::vector<int>{5, 1}));
    EXPECT_FALSE(control.IsActive());
}

TEST_F(DispatcherFixture, RunsAreRefusedWhileAnyTaskIsActive) {
    AddRows(3);
    ASSERT_TRUE(control.TryBegin(TaskKind::ListLoad));
    EXPECT_FALSE(dispatcher.StartPreviewRun());
    EXPECT_FALSE(dispatcher.StartExecuteRun());
    dispatcher.RequestAutoPreview();  // dropped quietly
    EXPECT_EQ(host.collected, 0);
    EXPECT_EQ(notices.Notices(), (std::vector<std::string>{kTaskBusyNotice, kTaskBusyNotice}));
    control.End();

    // 执行 during an auto-preview never turns the rest of it into an execute run.
    Gate gate;
    UseCountingRunner([&](RunContext& run, std::size_t index) {
        if (index == 0) gate.Arrive();
        EXPECT_EQ(run.Mode(), RunMode::AutoPreview);
    });
    dispatcher.RequestAutoPreview();
    gate.WaitArrived();
    EXPECT_FALSE(dispatcher.StartExecuteRun());
    EXPECT_EQ(dispatcher.RunningMode(), RunMode::AutoPreview);
    gate.Open();
    host.PumpUntilIdle(dispatcher);
    ASSERT_EQ(host.outcomes.size(), 1u);
    EXPECT_EQ(host.outcomes[0].mode, RunMode::AutoPreview);
    EXPECT_TRUE(history.empty());
}

TEST_F(DispatcherFixture, RequestsDuringAnAutoPreviewGiveOneMoreRunWithTheLastParameters) {
    AddRows(3);
    for (bool untick : {false, true}) {
        SCOPED_TRACE(untick);
        seenParameters.clear();
        host.autoPreview = true;
        auto gate = std::make_shared<Gate>();
        UseCountingRunner([gate](RunContext&, std::size_t index) {
            if (index == 0) gate->Arrive();
        });
        host.parameter = 1;
        dispatcher.RequestAutoPreview();
        gate->WaitArrived();
        for (int typed = 2; typed <= 6; ++typed) {
            host.parameter = typed;
            dispatcher.RequestAutoPreview();
        }
        if (untick) host.autoPreview = false;
        gate->Open();
        host.PumpUntilIdle(dispatcher);
        EXPECT_EQ(seenParameters, (untick ? std::vector<int>{1} : std::vector<int>{1, 6}));
    }
}

TEST_F(DispatcherFixture, AutoPreviewRequestsWaitForAFullPreviewAndIgnoreLoadingPanels) {
    AddRows(2);
    Gate gate;
    std::vector<RunMode> modes;
    tasks.RegisterRunner<int>(kTask, [&](RunContext& run, RunRows&, const int&) {
        modes.push_back(run.Mode());
        if (modes.size() == 1) gate.Arrive();
    });
    host.loading = true;
    dispatcher.RequestAutoPreview();
    EXPECT_FALSE(dispatcher.IsRunning());
    host.loading = false;

    ASSERT_TRUE(dispatcher.StartPreviewRun());
    gate.WaitArrived();
    dispatcher.RequestAutoPreview();
    dispatcher.RequestAutoPreview();
    gate.Open();
    host.PumpUntilIdle(dispatcher);
    EXPECT_EQ(modes, (std::vector<RunMode>{RunMode::FullPreview, RunMode::AutoPreview}));
}

TEST_F(DispatcherFixture, ARunKeepsTheParametersItStartedWith) {
    AddRows(3);
    Gate gate;
    std::vector<std::pair<int, bool>> seen;
    tasks.RegisterRunner<int>(kTask, [&](RunContext& run, RunRows& rows, const int& parameter) {
        ForEachRunRow(run, rows, [&](std::size_t index) {
            if (index == 1) gate.Arrive();
            seen.emplace_back(parameter, run.Settings().transferMode);
        });
    });
    host.parameter = 7;
    host.settings.transferMode = false;
    ASSERT_TRUE(dispatcher.StartExecuteRun());
    gate.WaitArrived();
    host.parameter = 8;
    host.settings.transferMode = true;
    gate.Open();
    host.PumpUntilIdle(dispatcher);
    EXPECT_EQ(seen, (std::vector<std::pair<int, bool>>(3, {7, false})));
    EXPECT_FALSE(current.copyFlag);
}

TEST_F(DispatcherFixture, ExecuteKeepsChangesAndFailuresWhilePreviewsLeaveThemAlone) {
    AddRows(4);
    bool changeSomething = false;
    tasks.RegisterRunner<int>(kTask, [&](RunContext& run, RunRows& rows, const int&) {
        ForEachRunRow(run, rows, [&](std::size_t index) {
            if (index == 0 && changeSomething) run.Record().renames.push_back({"新.txt", "f0", "/data/"});
            if (index > 0 && changeSomething) run.LogFailure(rows.FullPath(index), index == 2 ? "权限不足" : "");
        });
    });

    ASSERT_TRUE(dispatcher.StartExecuteRun());  // all names already right: nothing changes
    host.PumpUntilIdle(dispatcher);
    ASSERT_EQ(host.outcomes.size(), 1u);
    EXPECT_FALSE(host.outcomes[0].recordKept);
    EXPECT_TRUE(history.empty());
    EXPECT_TRUE(host.outcomes[0].statusText.starts_with("执行完成，总耗 "));
    EXPECT_NE(host.outcomes[0].statusText.find(" 单耗 "), std::string::npos);

    changeSomething = true;
    ASSERT_TRUE(dispatcher.StartExecuteRun());
    host.PumpUntilIdle(dispatcher);
    const std::vector<std::string> failed = {"/data/f1", "/data/f2", "/data/f3"};
    EXPECT_EQ(host.outcomes[1].failedPaths, failed);
    EXPECT_TRUE(host.outcomes[1].recordKept);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(current.renames.size(), 1u);
    EXPECT_EQ(host.outcomes[1].failureReasons, (std::vector<std::string>{"", "权限不足", ""}));
    const std::string message = FailureNoticeMessage(host.outcomes[1].failedPaths, host.outcomes[1].failureReasons);
    EXPECT_NE(message.find("如下列表 3 条更改失败"), std::string::npos);
    EXPECT_TRUE(message.ends_with("：\n\n/data/f1\n/data/f2  （权限不足）\n/data/f3\n")) << message;
    EXPECT_EQ(message.find("Win"), std::string::npos);

    ASSERT_TRUE(dispatcher.StartPreviewRun());
    host.PumpUntilIdle(dispatcher);
    EXPECT_EQ(host.outcomes[2].statusText, "全部预览完成");
    EXPECT_TRUE(host.outcomes[2].failedPaths.empty());
    EXPECT_EQ(dispatcher.LastFailures(), failed);
    EXPECT_EQ(history.size(), 1u);
    EXPECT_EQ(current.renames.size(), 1u);
}

TEST_F(DispatcherFixture, AnExecuteOverAnEmptyListHasNoTimePerRow) {
    tasks.RegisterRunner<int>(kTask, [](RunContext&, RunRows&, const int&) {});
    ASSERT_TRUE(dispatcher.StartExecuteRun());
    host.PumpUntilIdle(dispatcher);
    EXPECT_EQ(host.startedRows, (std::vector<std::size_t>{0}));
    ASSERT_EQ(host.outcomes.size(), 1u);
    EXPECT_TRUE(host.outcomes[0].statusText.starts_with("执行完成，总耗 "));
    EXPECT_EQ(host.outcomes[0].statusText.find("单耗"), std::string::npos);
    EXPECT_EQ(ExecuteStatusText(1500, 3), "执行完成，总耗 1.5 秒 单耗 500 毫秒");
    // The time per row has three significant digits.
    EXPECT_EQ(ExecuteStatusText(1, 3), "执行完成，总耗 1 毫秒 单耗 0.333 毫秒");
    EXPECT_EQ(ExecuteStatusText(3.53646353646354, 1000), "执行完成，总耗 3.53646353646354 毫秒 单耗 0.00354 毫秒");
    EXPECT_EQ(ExecuteStatusText(123456, 100), "执行完成，总耗 2.06 分 单耗 1.23 秒");
}

TEST_F(DispatcherFixture, AStoppedRunSaysSoAndTimesTheRowsItDid) {
    AddRows(5);
    // The stop comes while the second row is worked on: that row is finished.
    UseCountingRunner([&](RunContext&, std::size_t index) {
        if (index == 1) control.RequestStop();
    });
    ASSERT_TRUE(dispatcher.StartExecuteRun());
    host.PumpUntilIdle(dispatcher);
    ASSERT_EQ(host.outcomes.size(), 1u);
    EXPECT_TRUE(host.outcomes[0].statusText.starts_with("执行已停止，完成 2 / 5 行，总耗 "))
        << host.outcomes[0].statusText;
    EXPECT_EQ(rowsDone, (std::vector<int>{2}));

    EXPECT_EQ(StoppedStatusText(1000, 3, 10), "执行已停止，完成 3 / 10 行，总耗 1 秒 单耗 333 毫秒");
    EXPECT_EQ(StoppedStatusText(5, 0, 10), "执行已停止，完成 0 / 10 行，总耗 5 毫秒");
}

TEST_F(DispatcherFixture, ATaskWithoutARunnerIsRefusedAndTouchesNothing) {
    AddRows(2);
    for (bool emptyRunner : {false, true}) {
        SCOPED_TRACE(emptyRunner);
        if (emptyRunner) tasks.RegisterRunner<int>(kTask, {});
        EXPECT_FALSE(dispatcher.StartPreviewRun());
        EXPECT_FALSE(dispatcher.StartExecuteRun());
        dispatcher.RequestAutoPreview();  // refused quietly
        EXPECT_FALSE(dispatcher.IsRunning());
        EXPECT_FALSE(control.IsActive());
        host.PumpUntilIdle(dispatcher);
        EXPECT_TRUE(host.startedRows.empty());
        EXPECT_TRUE(host.outcomes.empty());
        EXPECT_TRUE(host.statuses.empty());
        EXPECT_TRUE(history.empty());
        EXPECT_EQ(store.GetCellText(0, ListColumn::Preview), "");
    }
    EXPECT_EQ(notices.Notices(), (std::vector<std::string>(4, kTaskNotAvailableText)));
    // Once the task has its runner, the same requests run.
    UseCountingRunner();
    EXPECT_TRUE(dispatcher.StartPreviewRun());
    host.PumpUntilIdle(dispatcher);
    ASSERT_EQ(host.outcomes.size(), 1u);
    EXPECT_EQ(host.outcomes[0].statusText, "全部预览完成");
}

TEST_F(DispatcherFixture, ParametersOfAnotherTypeThanTheRunnerTakesAreRefusedAloud) {
    // A panel and a runner that disagree on the parameter struct would run nothing
    // and report nothing; the run is refused with a reason instead.
    AddRows(2);
    int calls = 0;
    tasks.RegisterRunner<std::string>(kTask, [&calls](RunContext&, RunRows&, const std::string&) { ++calls; });
    EXPECT_FALSE(dispatcher.StartPreviewRun());
    EXPECT_FALSE(dispatcher.StartExecuteRun());
    dispatcher.RequestAutoPreview();  // refused quietly
    host.PumpUntilIdle(dispatcher);
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(control.IsActive());
    EXPECT_TRUE(host.outcomes.empty());
    EXPECT_EQ(notices.Notices(), (std::vector<std::string>(2, kTaskParametersMismatchText)));
    // The runner that takes the panel's struct runs.
    UseCountingRunner();
    EXPECT_TRUE(dispatcher.StartPreviewRun());
    host.PumpUntilIdle(dispatcher);
    EXPECT_EQ(rowsDone, std::vector<int>{2});
}

TEST_F(DispatcherFixture, StatusTextsOfARunReachTheWindow) {
    AddRows(1);
    tasks.RegisterRunner<int>(kTask, [](RunContext& run, RunRows&, const int&) { run.SetRunStatusText("正在下载"); });
    ASSERT_TRUE(dispatcher.StartExecuteRun());
    host.PumpUntilIdle(dispatcher);
    EXPECT_EQ(host.statuses, (std::vector<std::string>{"正在下载"}));
}

TEST_F(DispatcherFixture, ClosingFinishesAPausedExecuteAndStopsAFullPreview) {
    AddRows(3);
    Gate gate;
    tasks.RegisterRunner<int>(kTask, [&](RunContext& run, RunRows& rows, const int&) {
        ForEachRunRow(run, rows, [&](std::size_t index) {
            run.Record().renames.push_back({"n" + std::to_string(index), "f", "/data/"});
            if (index == 0) gate.Arrive();
        });
    });
    ASSERT_TRUE(dispatcher.StartExecuteRun());
    gate.WaitArrived();
    control.SetPaused(true);
    gate.Open();
    dispatcher.StopAndWait();  // on this thread, without pumping
    EXPECT_FALSE(control.IsActive());
    ASSERT_EQ(host.outcomes.size(), 1u);
    EXPECT_TRUE(host.outcomes[0].closing);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].renames.size(), 1u);

    // A full preview runs to its last row unless the program closes.
    tasks.RegisterRunner<int>(kTask, [](RunContext& run, RunRows&, const int&) {
        while (!run.ShouldStopRun()) {
        }
    });
    ASSERT_TRUE(dispatcher.StartPreviewRun());
    dispatcher.StopAndWait();
    EXPECT_FALSE(dispatcher.IsRunning());
    EXPECT_FALSE(control.IsActive());
    host.PumpUntilIdle(dispatcher);  // the finishes queued by the runs are stale now
    EXPECT_EQ(host.outcomes.size(), 2u);
}

TEST(RunRows, RowsAreFoundByIdentityAfterRowsAboveThemLeft) {
    RowStore store;
    for (const char* name : {"a", "b", "c", "d"}) store.AppendRow("/x/", name, {}, 0);
    RunRows rows(store, store.RowIds());
    store.DeleteRows({0, 2});
    EXPECT_EQ(rows.Name(0), "");
    EXPECT_FALSE(rows.SetCell(2, ListColumn::Preview, "gone"));
    EXPECT_TRUE(rows.SetCell(3, ListColumn::Preview, "预览 d"));
    EXPECT_EQ(rows.FullPath(1), "/x/b");
    EXPECT_EQ(store.GetCellText(1, ListColumn::Name), "d");
    EXPECT_EQ(store.GetCellText(1, ListColumn::Preview), "预览 d");
    EXPECT_EQ(store.GetCellText(0, ListColumn::Preview), "");
}

}  // namespace
}  // namespace varnel
