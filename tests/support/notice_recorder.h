// Takes the place of the program's notifier in a test: notices and message boxes
// are recorded instead of shown (a box gets `answer`). Installed while it lives.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "utilities/user_notifier.h"

namespace varnel::testing {

class NoticeRecorder : public UserNotifier {
public:
    NoticeRecorder() { SetUserNotifier(this); }
    ~NoticeRecorder() override { SetUserNotifier(nullptr); }
    NoticeRecorder(const NoticeRecorder&) = delete;
    NoticeRecorder& operator=(const NoticeRecorder&) = delete;

    int ShowMessageBox(const std::string& text, unsigned style, const std::string&) override {
        std::lock_guard lock(m_mutex);
        m_boxes.push_back(text);
        m_boxStyles.push_back(style);
        return answer;
    }
    void ShowTrayNotice(const std::string& text, const std::string&) override {
        std::lock_guard lock(m_mutex);
        m_notices.push_back(text);
    }
    void HideTrayNotice() override {}

    std::vector<std::string> Notices() const {
        std::lock_guard lock(m_mutex);
        return m_notices;
    }
    std::vector<std::string> Boxes() const {
        std::lock_guard lock(m_mutex);
        return m_boxes;
    }
    // The style of each box, in the order of Boxes().
    std::vector<unsigned> BoxStyles() const {
        std::lock_guard lock(m_mutex);
        return m_boxStyles;
    }
    void Clear() {
        std::lock_guard lock(m_mutex);
        m_notices.clear();
        m_boxes.clear();
        m_boxStyles.clear();
    }

    int answer = kAnswerOk;

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_notices;
    std::vector<std::string> m_boxes;
    std::vector<unsigned> m_boxStyles;
};

}  // namespace varnel::testing
