#include "settings/text_block.h"

#include <algorithm>

#include "utilities/path_routines.h"
#include "utilities/utf8_text.h"

namespace varnel {

TextBlockSize MeasureTextBlock(std::string_view text, int wrapWidth, bool wrap,
                               TextMetrics metrics) {
    const bool wrapping = wrap && wrapWidth > 0;
    long long lines = 0;
    long long widest = 0;
    const auto measureLine = [&](std::string_view line) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const long long width = static_cast<long long>(GbkWidth(line)) * metrics.unitWidth;
        widest = std::max(widest, width);
        lines += (wrapping && width > wrapWidth) ? (width + wrapWidth - 1) / wrapWidth : 1;
    };
    std::size_t start = 0;
    for (std::size_t position : FindAllOccurrences("\n", text)) {
        measureLine(text.substr(start, position - 1 - start));
        start = position;
    }
    measureLine(text.substr(start));

    if (wrapping) widest = std::min<long long>(widest, wrapWidth);
    return TextBlockSize{static_cast<int>(widest), static_cast<int>(lines * metrics.lineHeight)};
}

}  // namespace varnel
