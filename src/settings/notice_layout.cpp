#include "settings/notice_layout.h"

#include <algorithm>

#include "utilities/utf8_text.h"

namespace varnel {

namespace {

// Spaces at both ends, the ordinary and the ideographic one.
std::string_view TrimBlanks(std::string_view text) {
    constexpr std::string_view kIdeographicSpace = "\u3000";
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        if (text.starts_with(' ')) { text.remove_prefix(1); trimmed = true; }
        if (text.ends_with(' ')) { text.remove_suffix(1); trimmed = true; }
        if (text.starts_with(kIdeographicSpace)) {
            text.remove_prefix(kIdeographicSpace.size());
            trimmed = true;
        }
        if (text.ends_with(kIdeographicSpace)) {
            text.remove_suffix(kIdeographicSpace.size());
            trimmed = true;
        }
    }
    return text;
}

constexpr int kLinkMargin = 10;

}  // namespace

void NormaliseNoticeParams(NoticePopupParams& params) {
    if (params.autoCloseMs < -1) params.autoCloseMs = 0;
    if (params.slideInStep < 1) params.slideInStep = 10;
    if (params.slideOutStep < 1) params.slideOutStep = 20;
    if (params.slideMode < 0 || params.slideMode > 3) params.slideMode = 2;
}

std::optional<int> NoticeAutoCloseInterval(int autoCloseMs, std::string_view shownText) {
    if (autoCloseMs == -1) return std::nullopt;
    if (autoCloseMs > 0) return autoCloseMs;
    const auto computed = static_cast<long long>(GbkWidth(TrimBlanks(shownText))) * 200;
    if (computed == 0) return std::nullopt;
    return static_cast<int>(std::min<long long>(computed, 0x7FFFFFFF));
}

TextBlockSize MeasureNoticeText(std::string_view message, std::string_view title, int maxWidth,
                                TextMetrics metrics) {
    TextBlockSize size = MeasureTextBlock(message, maxWidth, true, metrics);
    const int titleWidth = static_cast<int>(GbkWidth(title)) * metrics.unitWidth + 30;
    size.width = std::max(size.width, titleWidth);
    return size;
}

NoticeLinkPlacement LayOutNoticeLinks(const std::vector<int>& linkWidths, int linkHeight,
                                      int textWidth) {
    NoticeLinkPlacement placement;
    placement.textWidth = textWidth;
    int x = kLinkMargin;
    int y = kLinkMargin;
    for (int width : linkWidths) {
        if (x > kLinkMargin && x + width + kLinkMargin > placement.textWidth) {
            x = kLinkMargin;
            y += linkHeight + kLinkMargin;
        }
        placement.textWidth = std::max(placement.textWidth, x + width + kLinkMargin);
        placement.labels.push_back(WindowRect{x, y, width, linkHeight});
        x += width + kLinkMargin;
    }
    placement.stripHeight = linkWidths.empty() ? 0 : y + linkHeight + kLinkMargin;
    return placement;
}

bool NextNoticeSlideAxis(bool horizontal, int slideMode, bool coin) {
    if (slideMode == 2) return !horizontal;
    if (slideMode == 3) return coin;
    return horizontal;
}

WindowRect NoticeSlideStart(WindowRect area, int width, int height, bool horizontal) {
    if (horizontal) return {area.x + area.width, area.y + area.height - height, width, height};
    return {area.x + area.width - width, area.y + area.height, width, height};
}

WindowRect NoticeRestingPlace(WindowRect area, int width, int height) {
    return {area.x + area.width - width, area.y + area.height - height, width, height};
}

NoticeSlideStep NoticeSlideIn(WindowRect area, WindowRect place, int step, bool horizontal) {
    if (horizontal) {
        place.x -= step;
    } else {
        place.y -= step;
    }
    const bool inside = horizontal ? place.x + place.width <= area.x + area.width
                                   : place.y + place.height <= area.y + area.height;
    if (inside) return {NoticeRestingPlace(area, place.width, place.height), true};
    return {place, false};
}

NoticeSlideStep NoticeSlideOut(WindowRect area, WindowRect place, int step, bool horizontal) {
    if (horizontal) {
        place.x += step;
    } else {
        place.y += step;
    }
    const bool gone = horizontal ? place.x >= area.x + area.width : place.y >= area.y + area.height;
    return {place, gone};
}

}  // namespace varnel
