#include "utilities/user_notifier.h"

#include <atomic>
#include <cstdio>

#include "utilities/message_box_style.h"

namespace varnel {

namespace {

std::atomic<UserNotifier*> gUserNotifier{nullptr};

}  // namespace

void SetUserNotifier(UserNotifier* notifier) { gUserNotifier.store(notifier); }

int ShowMessageBox(std::string_view text, unsigned style, std::string_view title) {
    if (UserNotifier* notifier = gUserNotifier.load()) {
        return notifier->ShowMessageBox(std::string(text), style, std::string(title));
    }
    std::fprintf(stderr, "varnel: %.*s%s%.*s\n", static_cast<int>(title.size()), title.data(),
                 title.empty() ? "" : " ", static_cast<int>(text.size()), text.data());
    return DescribeMessageBoxStyle(style).escapeAnswer;
}

void ShowTrayNotice(std::string_view text, std::string_view title) {
    const std::string_view shownTitle = title.empty() ? kDefaultNoticeTitle : title;
    if (UserNotifier* notifier = gUserNotifier.load()) {
        notifier->ShowTrayNotice(std::string(text), std::string(shownTitle));
        return;
    }
    if (text.empty()) return;
    std::fprintf(stderr, "varnel: %.*s %.*s\n", static_cast<int>(shownTitle.size()),
                 shownTitle.data(), static_cast<int>(text.size()), text.data());
}

void HideTrayNotice() {
    if (UserNotifier* notifier = gUserNotifier.load()) notifier->HideTrayNotice();
}

}  // namespace varnel
