#include "utilities/job_runner.h"

#include <utility>

namespace varnel {

JobRunner::JobRunner(PostToUiThread post) : m_post(std::move(post)) {}

JobRunner::~JobRunner() {
    Cancel();
    Drop();
}

void JobRunner::Start(Work work) {
    Cancel();
    Drop();
    const unsigned generation = ++m_generation;
    m_result = std::make_shared<Publish>();
    m_worker = std::jthread([this, generation, result = m_result, alive = std::weak_ptr<int>(m_alive),
                             work = std::move(work)](std::stop_token stop) {
        *result = work(std::move(stop));
        m_post([this, generation, alive] {
            if (alive.expired() || !IsCurrent(generation)) return;
            FinishNow();
        });
    });
}

void JobRunner::Wait() {
    if (m_worker.joinable()) m_worker.join();
}

void JobRunner::FinishNow() {
    Wait();
    const std::shared_ptr<Publish> result = std::move(m_result);
    m_result.reset();
    if (result && *result) (*result)();
}

void JobRunner::Drop() {
    Wait();
    m_result.reset();
}

}  // namespace varnel
