#include "settings/window_geometry.h"

#include <algorithm>

namespace varnel {

WindowRect ClampWindowGeometry(WindowRect r, WindowRect available, int minWidth, int minHeight) {
    r.width = std::max(r.width, minWidth);
    r.height = std::max(r.height, minHeight);
    if (available.width <= 0 || available.height <= 0) return r;
    r.width = std::min(r.width, std::max(available.width, minWidth));
    r.height = std::min(r.height, std::max(available.height, minHeight));
    r.x = std::clamp(r.x, available.x, std::max(available.x, available.x + available.width - r.width));
    r.y = std::clamp(r.y, available.y, std::max(available.y, available.y + available.height - r.height));
    return r;
}

}  // namespace varnel
