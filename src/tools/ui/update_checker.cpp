#include "tools/ui/update_checker.h"

#include <QWidget>

#include "settings/ui/notice_popup.h"
#include "tools/update_check.h"
#include "utilities/program_version.h"
#include "utilities/user_notifier.h"

namespace varnel {

UpdateChecker::UpdateChecker(std::string releasePageUrl, QWidget* parent, ShowNotice showNotice)
    : QObject(parent), m_url(std::move(releasePageUrl)), m_showNotice(std::move(showNotice)),
      m_jobs([this](std::function<void()> work) {
          QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
      }) {
    if (!m_showNotice) {
        m_showNotice = [parent](NoticePopupParams params) { ShowNoticePopup(std::move(params), parent); };
    }
}

// The check's thread is stopped (its request cancelled) and waited for here.
UpdateChecker::~UpdateChecker() = default;

void UpdateChecker::OnUpdateCheckTimer(QTimer& clock) {
    clock.stop();
    CheckForUpdate(true);
}

void UpdateChecker::CheckForUpdate(bool silent) {
    if (m_url.empty()) {
        if (!silent) ShowTrayNotice(kNoReleasePageNotice);
        return;
    }
    if (m_jobs.HasJob()) {
        if (!silent) ShowTrayNotice(kUpdateCheckBusyNotice);
        return;
    }
    if (!silent) ShowTrayNotice(kUpdateCheckStartNotice);
    m_jobs.Start([this, silent, url = m_url](std::stop_token stop) -> JobRunner::Publish {
        ReleaseInfo info;
        const int code = FetchReleaseInfo(kProgramVersion, url, info, {}, [stop] { return !stop.stop_requested(); });
        return [this, silent, code, info = std::move(info), url] {
            if (code == kReleaseNewer) {
                m_showNotice(ReleaseNotice(info, url));
            } else if (!silent) {
                ShowTrayNotice(UpdateCheckNoticeText(code, info.failure));
            }
            emit checkFinished(code);
        };
    });
}

}  // namespace varnel
