// Fitting a stored window geometry onto the screens there are now: a settings file
// may come from a larger screen, or hold values edited by hand.
#pragma once

namespace varnel {

struct WindowRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowRect&) const = default;
};

// At least the minimum size, at most the available area, moved inside it. An
// empty available area (no screen known) only applies the minimum size.
WindowRect ClampWindowGeometry(WindowRect stored, WindowRect available, int minWidth,
                               int minHeight);

}  // namespace varnel
