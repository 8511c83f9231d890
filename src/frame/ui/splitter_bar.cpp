#include "frame/ui/splitter_bar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

#include <algorithm>

namespace varnel {

SplitterBar::SplitterBar(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::SplitHCursor);
    setFixedWidth(kWidth);
}

void SplitterBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_grabOffset = event->position().toPoint().x();
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event) {
    if (m_grabOffset < 0 || parentWidget() == nullptr) return;
    const int wanted = mapToParent(event->position().toPoint()).x() - m_grabOffset;
    const int left = std::clamp(wanted, 0, std::max(0, parentWidget()->width() - width()));
    if (left != x()) emit moved(left);
}

void SplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_grabOffset = -1;
}

void SplitterBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    option.state |= QStyle::State_Horizontal;
    style()->drawControl(QStyle::CE_Splitter, &option, &painter, this);
}

}  // namespace varnel
