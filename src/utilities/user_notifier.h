// How core code and worker threads talk to the user without touching Qt: a message
// box that asks and waits for the answer, and short notices that hide themselves.
// The UI installs the one implementation at start-up; the free functions below may
// be called from any thread (the implementation hands the work to the UI thread).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace varnel {

// Message box style bits, added up: one button set, one icon, one default button.
inline constexpr unsigned kBoxOk = 0x0;
inline constexpr unsigned kBoxOkCancel = 0x1;
inline constexpr unsigned kBoxAbortRetryIgnore = 0x2;
inline constexpr unsigned kBoxYesNoCancel = 0x3;
inline constexpr unsigned kBoxYesNo = 0x4;
inline constexpr unsigned kBoxRetryCancel = 0x5;
inline constexpr unsigned kBoxIconStop = 0x10;
inline constexpr unsigned kBoxIconQuestion = 0x20;
inline constexpr unsigned kBoxIconExclamation = 0x30;
inline constexpr unsigned kBoxIconInformation = 0x40;
inline constexpr unsigned kBoxDefaultButton2 = 0x100;
inline constexpr unsigned kBoxDefaultButton3 = 0x200;
// Every box is modal for the whole program and stays on top; the bit is implied.
inline constexpr unsigned kBoxSystemModal = 0x1000;
// An exclamation icon and an OK button.
inline constexpr unsigned kDefaultMessageStyle = kBoxOk | kBoxIconExclamation;

// The button the user answered with.
enum MessageAnswer : int {
    kAnswerOk = 0,
    kAnswerCancel = 1,
    kAnswerAbort = 2,
    kAnswerRetry = 3,
    kAnswerIgnore = 4,
    kAnswerYes = 5,
    kAnswerNo = 6,
};

// The title of a tray notice when the caller gives none.
inline constexpr const char* kDefaultNoticeTitle = "Varnel更名提示：";

class UserNotifier {
public:
    virtual ~UserNotifier() = default;
    // Shows the box and returns the answer; a caller on a worker thread waits while
    // the UI thread asks.
    virtual int ShowMessageBox(const std::string& text, unsigned style, const std::string& title) = 0;
    // Shows a notice that hides itself after a time that grows with the text; a new
    // notice replaces the one still shown. Never waits.
    virtual void ShowTrayNotice(const std::string& text, const std::string& title) = 0;
    virtual void HideTrayNotice() = 0;
};

// Installs the notifier that the free functions use (nullptr: messages go to
// standard error). The notifier must outlive every thread that may still call.
void SetUserNotifier(UserNotifier* notifier);

// Without a notifier the text goes to standard error and the answer is the one the
// box gives when it is closed without a button (Cancel or No where there is one),
// so an unanswerable question never counts as consent.
int ShowMessageBox(std::string_view text, unsigned style = kDefaultMessageStyle,
                   std::string_view title = {});
// An empty title means the default title.
void ShowTrayNotice(std::string_view text, std::string_view title = {});
void HideTrayNotice();

}  // namespace varnel
