#include "utilities/ui/ui_job_runner.h"

#include <QMetaObject>

#include <utility>

namespace varnel {

namespace {
constexpr int kSyncIntervalMs = 100;
}  // namespace

UiJobRunner::UiJobRunner(std::function<void()> sync, QObject* parent)
    : QObject(parent),
      m_sync(std::move(sync)),
      m_jobs([this](std::function<void()> work) {
          QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
      }) {
    m_timer.setInterval(kSyncIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_sync) m_sync();
    });
}

void UiJobRunner::Start(JobRunner::Work work) {
    m_jobs.Start([this, work = std::move(work)](std::stop_token stop) -> JobRunner::Publish {
        JobRunner::Publish publish = work(std::move(stop));
        return [this, publish = std::move(publish)] {
            StopSync();
            if (publish) publish();
        };
    });
    m_timer.start();
}

void UiJobRunner::Wait() {
    if (!m_jobs.IsRunning()) return;
    m_jobs.Wait();
    StopSync();
}

void UiJobRunner::StopSync() {
    m_timer.stop();
    if (m_sync) m_sync();
}

}  // namespace varnel
