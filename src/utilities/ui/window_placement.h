// Where a window of the program opens: centred on the window that owns it, and
// always inside the available area of its screen. UI thread only.
#pragma once

class QWidget;

namespace varnel {

// Moves `window` (not yet shown, or shown) so that its centre is the centre of
// owner's top-level window, then into the available area of owner's screen (a
// window larger than that area is first made to fit it).
// Without an owner the window stays where it is.
void CentreOnOwner(QWidget& window, const QWidget* owner);

// Moves `window` (shown or about to be) the least it takes to lie wholly inside its
// screen's available area, frame included; a window larger than that area is
// first made to fit it.
void KeepInsideAvailableArea(QWidget& window);

}  // namespace varnel
