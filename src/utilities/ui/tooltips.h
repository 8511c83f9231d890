// Hover help of a control. Line breaks (CR LF or LF) show as separate lines, and
// the text is never taken for markup. UI thread only.
#pragma once

#include <string_view>

class QWidget;

namespace varnel {

// A later registration of the same control replaces its text.
void RegisterTooltip(QWidget* control, std::string_view text);

}  // namespace varnel
