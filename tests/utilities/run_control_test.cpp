#include "utilities/run_control.h"

#include <chrono>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "support/notice_recorder.h"

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

TEST(RunControl, TaskStateFollowsTheTransitionTable) {
    enum class From { Idle, Running, Paused };
    enum class Event { Begin, Pause, Release, Stop, End };
    struct Case {
        From from;
        Event event;
        int to;
        bool refusedWithNotice;
    };
    const Case cases[] = {
        {From::Idle, Event::Begin, kTaskRunning, false},
        {From::Running, Event::Begin, kTaskRunning, true},
        {From::Paused, Event::Begin, kTaskPaused, true},
        {From::Running, Event::Pause, kTaskPaused, false},
        {From::Paused, Event::Release, kTaskRunning, false},
        {From::Running, Event::Stop, kTaskIdle, false},
        {From::Paused, Event::Stop, kTaskIdle, false},
        {From::Idle, Event::End, kTaskIdle, false},
        {From::Running, Event::End, kTaskIdle, false},
        {From::Paused, Event::End, kTaskIdle, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << static_cast<int>(c.from) << " " << static_cast<int>(c.event));
        varnel::testing::NoticeRecorder notices;
        RunControl control;
        if (c.from != From::Idle) {
            ASSERT_TRUE(BeginOrEndTask(control, TaskKind::ListLoad));
        }
        if (c.from == From::Paused) control.SetPaused(true);
        switch (c.event) {
            case Event::Begin: EXPECT_EQ(BeginOrEndTask(control, TaskKind::Undo), !c.refusedWithNotice); break;
            case Event::Pause: control.SetPaused(true); break;
            case Event::Release: control.SetPaused(false); break;
            case Event::Stop: control.RequestStop(); break;
            case Event::End: EXPECT_TRUE(BeginOrEndTask(control, TaskKind::None, true)); break;
        }
        EXPECT_EQ(control.State(), c.to);
        EXPECT_EQ(EnsureNoTaskRunning(control, true), c.event == Event::End);
        const auto expected = c.refusedWithNotice ? std::vector<std::string>{kTaskBusyNotice}
                                                  : std::vector<std::string>{};
        EXPECT_EQ(notices.Notices(), expected);
    }
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
