#include "runs/ui/undo_runner.h"

#include <optional>
#include <ranges>
#include <string>
#include <utility>
#include <vector>

namespace varnel {

UndoRunner::UndoRunner(RunControl& control, FileListModel& model, QObject* parent)
    : QObject(parent), m_control(control), m_model(model), m_jobs([this] { m_model.SyncRowCount(); }) {}

UndoRunner::~UndoRunner() = default;

void UndoRunner::Start(UndoRecord record, ListLoadSettings settings, bool append, UndoHooks hooks, Done done) {
    // A finished replay whose result is still queued shows it before this one begins.
    m_jobs.FinishNow();
    if (!append) m_model.ClearRows();
    m_jobs.Start([this, record = std::move(record), settings = std::move(settings), hooks = std::move(hooks),
                  done = std::move(done)](std::stop_token) mutable -> JobRunner::Publish {
        // Entries are undone last to first; the list gets them back in their own order.
        std::vector<std::pair<std::string, std::optional<bool>>> restored;
        hooks.readd = [&restored](const std::string& path, std::optional<bool> isFolder) {
            restored.emplace_back(path, isFolder);
        };
        UndoOutcome outcome = ReplayUndoRecord(record, hooks);
        {
            ListLoad load(m_model.Store(), std::move(settings), m_control);
            for (const auto& [path, isFolder] : restored | std::views::reverse) {
                load.AddPathToFileList(path, {}, false, isFolder);
            }
        }
        m_control.End();
        return [record = std::move(record), outcome = std::move(outcome), done = std::move(done)]() mutable {
            done(std::move(record), std::move(outcome));
        };
    });
}

}  // namespace varnel
