#include "settings/ui/font_text_metrics.h"

#include <QFontMetrics>

#include <algorithm>

namespace varnel {

TextMetrics TextMetricsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    // Half a Chinese character, or an average Latin one when that is wider, so that
    // a measured text is never narrower than it shows.
    const int halfCjk = (metrics.horizontalAdvance(QChar(0x4E2D)) + 1) / 2;
    return TextMetrics{std::max({1, halfCjk, metrics.averageCharWidth()}),
                       std::max(1, metrics.lineSpacing())};
}

}  // namespace varnel
