#include "runs/run_control.h"

#include <chrono>
#include <future>
#include <thread>

#include <gtest/gtest.h>

namespace varnel {
namespace {

using namespace std::chrono_literals;

TEST(RunControl, StateTransitions) {
    RunControl control;
    EXPECT_EQ(control.State(), kTaskIdle);
    ASSERT_TRUE(control.TryBegin(TaskKind::ListLoad));
    EXPECT_EQ(control.State(), kTaskRunning);
    EXPECT_FALSE(control.TryBegin(TaskKind::Undo));  // one task at a time
    EXPECT_EQ(control.ActiveKind(), TaskKind::ListLoad);
    control.SetPaused(true);
    EXPECT_EQ(control.State(), kTaskPaused);
    control.SetPaused(false);
    EXPECT_EQ(control.State(), kTaskRunning);
    control.RequestStop();
    EXPECT_EQ(control.State(), kTaskIdle);
    EXPECT_FALSE(control.PollTaskContinue());
    control.SetPaused(false);  // a stop is not undone by a resume
    EXPECT_FALSE(control.PollTaskContinue());
    control.End();
    EXPECT_FALSE(control.IsActive());
    EXPECT_TRUE(control.TryBegin(TaskKind::Execute));
}

TEST(RunControl, PauseHoldsTheWorkerAndStopWhilePausedEndsIt) {
    RunControl control;
    ASSERT_TRUE(control.TryBegin(TaskKind::Execute));
    control.SetPaused(true);
    auto checkpoint = std::async(std::launch::async, [&] { return control.PollTaskContinue(); });
    EXPECT_EQ(checkpoint.wait_for(50ms), std::future_status::timeout);  // held while paused
    control.RequestStop();
    EXPECT_FALSE(checkpoint.get());

    control.End();
    ASSERT_TRUE(control.TryBegin(TaskKind::Execute));
    control.SetPaused(true);
    auto resumed = std::async(std::launch::async, [&] { return control.PollTaskContinue(); });
    control.SetPaused(false);
    EXPECT_TRUE(resumed.get());
}

TEST(RunControl, ReplacingATaskWaitsForItsEnd) {
    RunControl control;
    ASSERT_TRUE(control.TryBegin(TaskKind::ListLoad));
    std::thread worker([&] {
        while (control.PollTaskContinue()) std::this_thread::sleep_for(1ms);
        control.End();
    });
    control.RequestStop();
    control.WaitUntilIdle();
    EXPECT_TRUE(control.TryBegin(TaskKind::ListLoad));
    worker.join();
}

}  // namespace
}  // namespace varnel
