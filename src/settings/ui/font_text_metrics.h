// The measures of text-based sizing for a real font: the width of one unit of GBK
// width (half a Chinese character) and the line height. UI thread.
#pragma once

#include <QFont>

#include "settings/text_block.h"

namespace varnel {

TextMetrics TextMetricsOf(const QFont& font);

}  // namespace varnel
