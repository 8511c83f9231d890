#include "utilities/job_runner.h"

#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/gate.h"

namespace varnel {
namespace {

// The UI thread's queue, run by the test when it chooses.
class UiQueue {
public:
    JobRunner::PostToUiThread Poster() {
        return [this](std::function<void()> work) {
            std::lock_guard lock(m_mutex);
            m_queued.push_back(std::move(work));
        };
    }
    std::size_t Size() {
        std::lock_guard lock(m_mutex);
        return m_queued.size();
    }
    void Drain() {
        std::vector<std::function<void()>> queued;
        {
            std::lock_guard lock(m_mutex);
            queued.swap(m_queued);
        }
        for (auto& work : queued) work();
    }
    // Waits until the workers have queued `count` messages.
    void WaitFor(std::size_t count) {
        while (Size() < count) std::this_thread::yield();
    }

private:
    std::mutex m_mutex;
    std::vector<std::function<void()>> m_queued;
};

// A job that records its result under `name` when published.
JobRunner::Work Job(std::vector<std::string>& published, std::string name) {
    return [&published, name](std::stop_token) -> JobRunner::Publish {
        return [&published, name] { published.push_back(name); };
    };
}

TEST(JobRunner, AJobPublishesItsResultOnceOnTheUiThread) {
    UiQueue ui;
    std::vector<std::string> published;
    const std::thread::id uiThread = std::this_thread::get_id();
    std::thread::id workThread;
    JobRunner jobs(ui.Poster());
    jobs.Start([&](std::stop_token) -> JobRunner::Publish {
        workThread = std::this_thread::get_id();
        return [&] {
            EXPECT_EQ(std::this_thread::get_id(), uiThread);
            published.push_back("a");
        };
    });
    EXPECT_TRUE(jobs.HasJob());
    ui.WaitFor(1);
    EXPECT_TRUE(published.empty());  // nothing shows before the UI thread gets to it
    ui.Drain();
    EXPECT_EQ(published, std::vector<std::string>{"a"});
    EXPECT_NE(workThread, uiThread);
    EXPECT_FALSE(jobs.IsRunning());
    EXPECT_FALSE(jobs.HasJob());
    ui.Drain();
    EXPECT_EQ(published.size(), 1u);
}

// A replaced job is asked to stop and waited for, and its result never shows, even
// when it had already queued it.
TEST(JobRunner, AReplacedJobIsCancelledAndPublishesNothing) {
    UiQueue ui;
    std::vector<std::string> published;
    JobRunner jobs(ui.Poster());
    bool sawStop = false;
    testing::Gate started;
    started.Open();
    jobs.Start([&](std::stop_token stop) -> JobRunner::Publish {
        started.Arrive();
        while (!stop.stop_requested()) std::this_thread::yield();
        sawStop = true;
        return [&] { published.push_back("stopped"); };
    });
    started.WaitArrived();
    jobs.Start(Job(published, "second"));
    EXPECT_TRUE(sawStop);
    ui.WaitFor(2);
    ui.Drain();
    EXPECT_EQ(published, std::vector<std::string>{"second"});

    // Finished and queued, then replaced: still dropped.
    jobs.Start(Job(published, "queued"));
    ui.WaitFor(1);
    jobs.Start(Job(published, "third"));
    ui.WaitFor(2);
    ui.Drain();
    EXPECT_EQ(published, (std::vector<std::string>{"second", "third"}));
}

// Wait keeps the result for its queued message; FinishNow shows it at once, and the
// queued message then shows nothing; Drop drops it.
TEST(JobRunner, WaitingFinishingAndDroppingDecideWhenTheResultShows) {
    UiQueue ui;
    std::vector<std::string> published;
    JobRunner jobs(ui.Poster());

    jobs.Start(Job(published, "waited"));
    jobs.Wait();
    EXPECT_FALSE(jobs.IsRunning());
    EXPECT_TRUE(published.empty());
    ui.WaitFor(1);
    ui.Drain();
    EXPECT_EQ(published, std::vector<std::string>{"waited"});

    jobs.Start(Job(published, "now"));
    jobs.FinishNow();
    EXPECT_EQ(published.back(), "now");
    ui.Drain();
    EXPECT_EQ(published.size(), 2u);

    jobs.Start(Job(published, "dropped"));
    jobs.Drop();
    ui.Drain();
    EXPECT_EQ(published.size(), 2u);
    EXPECT_FALSE(jobs.HasJob());
    jobs.FinishNow();  // nothing to finish
    EXPECT_EQ(published.size(), 2u);
}

// The generation tells a message of the current job from one of a job gone by.
TEST(JobRunner, OnlyTheCurrentJobsGenerationIsCurrent) {
    UiQueue ui;
    std::vector<std::string> published;
    JobRunner jobs(ui.Poster());
    EXPECT_FALSE(jobs.IsCurrent(jobs.Generation()));
    jobs.Start(Job(published, "a"));
    const unsigned first = jobs.Generation();
    EXPECT_TRUE(jobs.IsCurrent(first));
    jobs.Start(Job(published, "b"));
    EXPECT_FALSE(jobs.IsCurrent(first));
    EXPECT_TRUE(jobs.IsCurrent(jobs.Generation()));
    jobs.FinishNow();
    EXPECT_FALSE(jobs.IsCurrent(jobs.Generation()));  // published: its messages are stale now
}

TEST(JobRunner, AResultQueuedForARunnerThatWentShowsNothing) {
    UiQueue ui;
    std::vector<std::string> published;
    {
        JobRunner jobs(ui.Poster());
        jobs.Start(Job(published, "late"));
        ui.WaitFor(1);
    }
    ui.Drain();
    EXPECT_TRUE(published.empty());
}

}  // namespace
}  // namespace varnel
