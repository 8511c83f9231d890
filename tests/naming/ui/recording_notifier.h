// A notifier that keeps what the user would have been told, installed for one test.
#pragma once

#include <string>
#include <vector>

#include "utilities/user_notifier.h"

namespace varnel::testing {

class RecordingNotifier final : public UserNotifier {
public:
    RecordingNotifier() { SetUserNotifier(this); }
    ~RecordingNotifier() override { SetUserNotifier(nullptr); }
    RecordingNotifier(const RecordingNotifier&) = delete;
    RecordingNotifier& operator=(const RecordingNotifier&) = delete;

    int ShowMessageBox(const std::string& text, unsigned style, const std::string&) override {
        messages.push_back(text);
        styles.push_back(style);
        return kAnswerOk;
    }
    void ShowTrayNotice(const std::string& text, const std::string&) override { notices.push_back(text); }
    void HideTrayNotice() override {}

    std::vector<std::string> messages;
    std::vector<unsigned> styles;
    std::vector<std::string> notices;
};

}  // namespace varnel::testing
