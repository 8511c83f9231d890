#include "utilities/ui/window_placement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace varnel {

void CentreOnOwner(QWidget& window, const QWidget* owner) {
    if (owner == nullptr) return;
    const QWidget* top = owner->window();
    // A window never resized takes its layout's size only when shown: take it now.
    if (!window.isVisible() && !window.testAttribute(Qt::WA_Resized)) window.adjustSize();
    // Before the first show the window's frame is not known yet: the owner's frame
    // stands in for it (the same desktop draws both).
    const QSize frame = window.isVisible() ? window.frameGeometry().size() - window.size()
                                           : top->frameGeometry().size() - top->size();
    QSize size = window.size() + frame;
    const QScreen* screen = top->screen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    if (screen != nullptr && (size.width() > area.width() || size.height() > area.height())) {
        // Larger than the screen: made to fit it first.
        size = size.boundedTo(area.size());
        window.resize(size - frame);
    }
    QRect target(QPoint(0, 0), size);
    target.moveCenter(top->frameGeometry().center());
    if (screen != nullptr) {
        target.moveLeft(std::max(area.left(), std::min(target.left(), area.right() + 1 - target.width())));
        target.moveTop(std::max(area.top(), std::min(target.top(), area.bottom() + 1 - target.height())));
    }
    window.move(target.topLeft());
}

}  // namespace varnel
