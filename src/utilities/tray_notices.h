// The rules of tray notices, apart from how they reach the screen: how long a
// notice stays, how much of it is shown, that a new notice replaces the shown one
// and restarts the timer, and which outlet carries it (the first available one of
// an ordered list: tray balloon, desktop notification, status bar). UI thread only.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

// 170 ms for each unit of GBK width: a 20-character Chinese text stays 6.8 seconds.
int TrayNoticeDisplayMs(std::string_view text);

// The longest title and text a notice shows, in units of GBK width.
inline constexpr std::size_t kNoticeTitleWidth = 63;
inline constexpr std::size_t kNoticeTextWidth = 255;
// The text cut to at most `maxWidth` units of GBK width, never inside a character.
std::string CutToGbkWidth(std::string_view text, std::size_t maxWidth);

// One way of putting a notice in front of the user.
class NoticeOutlet {
public:
    virtual ~NoticeOutlet() = default;
    virtual bool Available() = 0;
    virtual void Show(const std::string& title, const std::string& text, int displayMs) = 0;
    virtual void Hide() = 0;
};

// A one-shot timer; starting it again replaces the running countdown.
class NoticeTimer {
public:
    virtual ~NoticeTimer() = default;
    virtual void Start(int milliseconds, std::function<void()> expired) = 0;
    virtual void Stop() = 0;
};

class TrayNoticeController {
public:
    // Outlets in order of preference. When none is available the last one is used
    // anyway, so a notice is never silently lost.
    TrayNoticeController(std::vector<NoticeOutlet*> outlets, NoticeTimer& timer);

    // An empty text hides the shown notice at once; an empty title is the default.
    void Show(std::string_view text, std::string_view title);
    void Hide();

    // The outlet showing a notice now, or nullptr.
    NoticeOutlet* Current() const { return m_current; }

private:
    std::vector<NoticeOutlet*> m_outlets;
    NoticeTimer& m_timer;
    NoticeOutlet* m_current = nullptr;
};

}  // namespace varnel
