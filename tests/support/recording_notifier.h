// A notifier that records every question and notice and answers with a set answer.
#pragma once

#include <string>
#include <vector>

#include "utilities/user_notifier.h"

namespace varnel::testing {

struct RecordingNotifier : UserNotifier {
    int ShowMessageBox(const std::string& text, unsigned style, const std::string&) override {
        questions.push_back(text);
        styles.push_back(style);
        return answer;
    }
    void ShowTrayNotice(const std::string& text, const std::string&) override { notices.push_back(text); }
    void HideTrayNotice() override {}

    int answer = kAnswerOk;
    std::vector<std::string> questions;
    std::vector<unsigned> styles;
    std::vector<std::string> notices;
};

}  // namespace varnel::testing
