// The lifecycle of a long job that a window starts: the job runs on a worker
// thread, one at a time, can be cancelled through its stop token, and hands back
// one result that is published on the UI thread. A job that another replaced, or
// whose runner went, publishes nothing. Every method is called on the UI thread;
// the window says how work reaches that thread (utilities/ui/ui_job_runner.h adds
// the view's progress sync).
#pragma once

#include <functional>
#include <memory>
#include <stop_token>
#include <thread>

namespace varnel {

class JobRunner {
public:
    // What a job hands back: run once on the UI thread to show its result.
    using Publish = std::function<void()>;
    using Work = std::function<Publish(std::stop_token stop)>;
    // Any thread: runs `work` on the UI thread later, after what is queued already.
    using PostToUiThread = std::function<void(std::function<void()> work)>;

    explicit JobRunner(PostToUiThread post);
    // A job still running is cancelled and waited for; its result is dropped.
    ~JobRunner();
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;

    // Starts `work` on a worker thread and returns at once. A job still running is
    // cancelled and waited for first, and its result is dropped.
    void Start(Work work);
    // The job's thread has not been waited for yet.
    bool IsRunning() const { return m_worker.joinable(); }
    // A job was started and its result is not yet published or dropped.
    bool HasJob() const { return m_result != nullptr; }
    // Asks the job to stop (its stop token); it still publishes what it has.
    void Cancel() { m_worker.request_stop(); }
    // Waits for the job's thread; its result is published as queued.
    void Wait();
    // Waits for the job and publishes its result now, if it has one still to come.
    void FinishNow();
    // Waits for the job and drops its result.
    void Drop();
    // Which job a queued message belongs to: the number of the last job started.
    unsigned Generation() const { return m_generation; }
    bool IsCurrent(unsigned generation) const { return generation == m_generation && HasJob(); }

private:
    PostToUiThread m_post;
    std::jthread m_worker;
    unsigned m_generation = 0;
    std::shared_ptr<Publish> m_result;  // written by the worker, read after it is joined
    // Queued publishes hold it weakly: a runner that went publishes nothing.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

}  // namespace varnel
