// The update check as the main window runs it: silently once after start-up (the
// 时钟检查更新 clock) and on demand (检查更新...). The page is read on a worker
// thread, one check at a time; a newer release is announced in the notice popup
// with its links, and an on-demand check also reports the other outcomes as tray
// notices. Without a configured release page nothing is fetched. UI thread only.
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <string>

#include "settings/notice_layout.h"
#include "utilities/job_runner.h"

namespace varnel {

class UpdateChecker final : public QObject {
    Q_OBJECT
public:
    using ShowNotice = std::function<void(NoticePopupParams params)>;

    // showNotice (empty: the notice popup owned by `parent`) shows a newer release.
    UpdateChecker(std::string releasePageUrl, QWidget* parent, ShowNotice showNotice = {});
    ~UpdateChecker() override;

    void CheckForUpdate(bool silent);
    // The start-up clock's tick: stops it and checks silently.
    void OnUpdateCheckTimer(QTimer& clock);
    bool Checking() const { return m_jobs.HasJob(); }

signals:
    // A check has ended with its code (see ReleaseCheckCode).
    void checkFinished(int code);

private:
    std::string m_url;
    ShowNotice m_showNotice;
    JobRunner m_jobs;
};

}  // namespace varnel
