#include "runs/ui/undo_runner.h"

#include <QMetaObject>

#include <memory>
#include <ranges>
#include <string>
#include <vector>

namespace varnel {

UndoRunner::UndoRunner(RunControl& control, FileListModel& model, QObject* parent)
    : QObject(parent), m_control(control), m_model(model) {
    m_progress.setInterval(100);
    connect(&m_progress, &QTimer::timeout, this, [this] { m_model.SyncRowCount(); });
}

UndoRunner::~UndoRunner() {
    if (m_worker.joinable()) m_worker.join();
}

void UndoRunner::Start(UndoRecord record, ListLoadSettings settings, bool append, UndoHooks hooks, Done done) {
    if (m_worker.joinable()) m_worker.join();  // a finished replay whose result is still queued
    if (!append) m_model.ClearRows();
    m_progress.start();
    struct Result {
        UndoRecord record;
        UndoOutcome outcome;
    };
    auto result = std::make_shared<Result>();
    result->record = std::move(record);
    const unsigned generation = ++m_generation;
    m_worker = std::jthread([this, generation, result, settings = std::move(settings), hooks = std::move(hooks),
                             done = std::move(done)]() mutable {
        // Entries are undone last to first; the list gets them back in their own order.
        std::vector<std::pair<std::string, std::optional<bool>>> restored;
        hooks.readd = [&restored](const std::string& path, std::optional<bool> isFolder) {
            restored.emplace_back(path, isFolder);
        };
        result->outcome = ReplayUndoRecord(result->record, hooks);
        {
            ListLoad load(m_model.Store(), std::move(settings), m_control);
            for (const auto& [path, isFolder] : restored | std::views::reverse) {
                load.AddPathToFileList(path, {}, false, isFolder);
            }
        }
        m_control.End();
        QMetaObject::invokeMethod(
            this,
            [this, generation, result, done = std::move(done)] {
                // A later undo may have begun since (this one had ended its task); it
                // has waited for this thread already and owns the list's updates now.
                if (generation == m_generation) {
                    if (m_worker.joinable()) m_worker.join();
                    m_progress.stop();
                    m_model.SyncRowCount();
                }
                done(std::move(result->record), std::move(result->outcome));
            },
            Qt::QueuedConnection);
    });
}

}  // namespace varnel
