#include "utilities/ui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace varnel {

namespace {

// The frame's thickness around the window: its own once shown, before that the
// reference window's (the same desktop draws both).
QSize FrameAround(const QWidget& window, const QWidget& reference) {
    return window.isVisible() ? window.frameGeometry().size() - window.size()
                              : reference.frameGeometry().size() - reference.size();
}

// Moves the window's frame, `target` wide and high, to `target`'s place held inside
// the screen's available area; a window larger than the area is made to fit first.
void PlaceInside(QWidget& window, QRect target, const QSize& frame, const QScreen* screen) {
    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        if (target.width() > area.width() || target.height() > area.height()) {
            target.setSize(target.size().boundedTo(area.size()));
            window.resize(target.size() - frame);
        }
        target.moveLeft(std::max(area.left(), std::min(target.left(), area.right() + 1 - target.width())));
        target.moveTop(std::max(area.top(), std::min(target.top(), area.bottom() + 1 - target.height())));
    }
    window.move(target.topLeft());
}

}  // namespace

void CentreOnOwner(QWidget& window, const QWidget* owner) {
    if (owner == nullptr) return;
    const QWidget* top = owner->window();
    // A window never resized takes its layout's size only when shown: take it now.
    if (!window.isVisible() && !window.testAttribute(Qt::WA_Resized)) window.adjustSize();
    const QSize frame = FrameAround(window, *top);
    QRect target(QPoint(0, 0), window.size() + frame);
    target.moveCenter(top->frameGeometry().center());
    PlaceInside(window, target, frame, top->screen());
}

void KeepInsideAvailableArea(QWidget& window) {
    const QWidget* reference = window.parentWidget() != nullptr ? window.parentWidget()->window() : &window;
    const QSize frame = FrameAround(window, *reference);
    const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    PlaceInside(window, QRect(window.pos(), window.size() + frame), frame, screen);
}

}  // namespace varnel
