// The rules of the sliding notice popup that do not need a window: its parameters
// and their corrections, the auto-close time, the text size, the rows of links and
// the slide positions in the screen's available area. Pure; any thread.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/text_block.h"
#include "settings/window_geometry.h"

namespace varnel {

struct NoticeLink {
    std::string caption;
    // An address (a local file, http or https) that the link opens; a link with an
    // address runs no routine.
    std::string hint;
    // Runs on the UI thread after the click, with callbackArgument.
    std::function<void(int)> callback;
    int callbackArgument = 0;
};

struct NoticePopupParams {
    std::string title = "信息：";
    std::string message;
    bool modal = false;
    int autoCloseMs = 0;  // -1 never; 0 from the text; otherwise milliseconds
    std::vector<NoticeLink> links;
    bool hideControlBox = false;
    bool disableEscClose = false;
    bool closeOnLinkClick = true;
    bool alwaysOnTop = true;
    int slideInStep = 10;
    int slideOutStep = 20;
    int slideMode = 2;  // 0, 1 keep the axis; 2 alternate; 3 random
    // Called once when the popup is gone, with the number of the last clicked link
    // (1-based) or 0.
    std::function<void(int)> onClosed;
};

// autoCloseMs below -1 becomes 0; slide steps below 1 become 10 and 20; a slide
// mode outside 0-3 becomes 2.
void NormaliseNoticeParams(NoticePopupParams& params);

// Milliseconds until the popup closes by itself, or nothing when it stays until the
// user closes it: autoCloseMs -1, or a computed time of 0 (a blank text).
std::optional<int> NoticeAutoCloseInterval(int autoCloseMs, std::string_view shownText);

// The message's size, wrapped at maxWidth, and at least as wide as the title needs.
TextBlockSize MeasureNoticeText(std::string_view message, std::string_view title, int maxWidth,
                                TextMetrics metrics = {});

struct NoticeLinkPlacement {
    std::vector<WindowRect> labels;  // within the link strip
    int textWidth = 0;               // the text box's width, widened where a link needs it
    int stripHeight = 0;
};
// Links from (10, 10), 10 pixels apart; a link that does not fit the row starts a
// new row, and one wider than the text box widens it.
NoticeLinkPlacement LayOutNoticeLinks(const std::vector<int>& linkWidths, int linkHeight,
                                      int textWidth);

// The slide axis for the next popup: mode 2 alternates, mode 3 takes the coin.
bool NextNoticeSlideAxis(bool horizontal, int slideMode, bool coin);

// Just outside the area's bottom edge at its right end (vertical), or just outside
// its right edge at its bottom end (horizontal).
WindowRect NoticeSlideStart(WindowRect area, int width, int height, bool horizontal);
// The bottom-right corner of the area.
WindowRect NoticeRestingPlace(WindowRect area, int width, int height);

struct NoticeSlideStep {
    WindowRect place;
    bool done = false;
};
// One step in: when the popup lies fully inside the area it is put at the resting place.
NoticeSlideStep NoticeSlideIn(WindowRect area, WindowRect place, int step, bool horizontal);
// One step out: done once the popup has left the area.
NoticeSlideStep NoticeSlideOut(WindowRect area, WindowRect place, int step, bool horizontal);

}  // namespace varnel
