#include "utilities/tray_notices.h"

#include "utilities/user_notifier.h"
#include "utilities/utf8_text.h"

namespace varnel {

int TrayNoticeDisplayMs(std::string_view text) {
    return static_cast<int>(GbkWidth(text) * 170);
}

std::string CutToGbkWidth(std::string_view text, std::size_t maxWidth) {
    std::size_t width = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const Utf8Step step = DecodeUtf8At(text, pos);
        const std::size_t w = step.valid ? GbkWidth(step.codePoint) : 1;
        if (width + w > maxWidth) break;
        width += w;
        pos += step.length;
    }
    return std::string(text.substr(0, pos));
}

TrayNoticeController::TrayNoticeController(std::vector<NoticeOutlet*> outlets, NoticeTimer& timer)
    : m_outlets(std::move(outlets)), m_timer(timer) {}

void TrayNoticeController::Show(std::string_view text, std::string_view title) {
    if (text.empty() || m_outlets.empty()) {
        Hide();
        return;
    }
    NoticeOutlet* outlet = m_outlets.back();
    for (NoticeOutlet* candidate : m_outlets) {
        if (candidate->Available()) {
            outlet = candidate;
            break;
        }
    }
    if (m_current != nullptr && m_current != outlet) m_current->Hide();
    const int displayMs = TrayNoticeDisplayMs(text);
    outlet->Show(CutToGbkWidth(title.empty() ? kDefaultNoticeTitle : title, kNoticeTitleWidth),
                 CutToGbkWidth(text, kNoticeTextWidth), displayMs);
    m_current = outlet;
    m_timer.Start(displayMs, [this] { Hide(); });
}

void TrayNoticeController::Hide() {
    m_timer.Stop();
    if (m_current != nullptr) m_current->Hide();
    m_current = nullptr;
}

}  // namespace varnel
