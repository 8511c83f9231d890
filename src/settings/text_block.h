// Text-based sizing of prompts and notices: a unit of GBK width is a fixed number
// of pixels wide and every line a fixed height (6 and 12 at the designed size; the
// UI passes its font's measures). Pure; any thread.
#pragma once

#include <string_view>

namespace varnel {

struct TextMetrics {
    int unitWidth = 6;    // pixels per unit of GBK width (a Chinese character is 2)
    int lineHeight = 12;  // pixels per line
};

struct TextBlockSize {
    int width = 0;
    int height = 0;
    bool operator==(const TextBlockSize&) const = default;
};

// Lines are the parts between line breaks (CR LF or LF). With `wrap` and a positive
// `wrapWidth`, a line wider than wrapWidth takes as many lines as it needs and the
// width is at most wrapWidth; a wrap width of 0 or less wraps nothing.
TextBlockSize MeasureTextBlock(std::string_view text, int wrapWidth, bool wrap,
                               TextMetrics metrics = {});

}  // namespace varnel
