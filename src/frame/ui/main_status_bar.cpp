#include "frame/ui/main_status_bar.h"

#include <QMouseEvent>

#include <algorithm>

#include "frame/main_layout.h"

namespace varnel {

namespace {

constexpr int kGap = 2;

}  // namespace

MainStatusBar::MainStatusBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QString::fromUtf8("状态条"));
    for (int part = 0; part < kPartCount; ++part) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromUtf8("状态条部分%1").arg(part));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        // Clicks on a part are the bar's.
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_parts[static_cast<std::size_t>(part)] = label;
    }
    ResizeStatusParts();
}

QSize MainStatusBar::sizeHint() const {
    return {QFrame::sizeHint().width(), fontMetrics().height() + 10};
}

void MainStatusBar::SetPartText(int part, const QString& text) {
    if (part < 0 || part >= kPartCount) return;
    // One line: a message's line breaks would hide the rest of it.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
    m_parts[static_cast<std::size_t>(part)]->setText(shown);
    m_parts[static_cast<std::size_t>(part)]->setToolTip(part == kPartCount - 1 ? text : QString());
    m_parts[static_cast<std::size_t>(part)]->setProperty("fullText", text);
}

QString MainStatusBar::PartText(int part) const {
    if (part < 0 || part >= kPartCount) return {};
    return m_parts[static_cast<std::size_t>(part)]->property("fullText").toString();
}

void MainStatusBar::ResizeStatusParts() {
    for (int part = 0; part < kPartCount - 1; ++part) {
        m_widths[static_cast<std::size_t>(part)] = StatusPartWidth(PartText(part).toStdString());
    }
    PlaceParts();
}

QRect MainStatusBar::PartRect(int part) const {
    if (part < 0 || part >= kPartCount) return {};
    return m_parts[static_cast<std::size_t>(part)]->geometry();
}

void MainStatusBar::DockProgressBar(QWidget* bar, int part) {
    m_docked = bar;
    m_dockedPart = std::clamp(part, 0, kPartCount - 1);
    if (bar == nullptr) return;
    if (bar->parentWidget() != this) {
        // A new parent hides it; a bar shown for a run stays shown.
        const bool shown = !bar->isHidden();
        bar->setParent(this);
        bar->setVisible(shown);
    }
    bar->setGeometry(PartRect(m_dockedPart));
    bar->raise();
}

void MainStatusBar::PlaceParts() {
    int left = kGap;
    const int top = kGap;
    const int height = std::max(0, this->height() - 2 * kGap);
    for (int part = 0; part < kPartCount; ++part) {
        const bool last = part == kPartCount - 1;
        const int width = last ? std::max(0, this->width() - left - kGap) : m_widths[static_cast<std::size_t>(part)];
        m_parts[static_cast<std::size_t>(part)]->setGeometry(left, top, width, height);
        left += width + kGap;
    }
    if (m_docked) m_docked->setGeometry(PartRect(m_dockedPart));
}

void MainStatusBar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    PlaceParts();
}

void MainStatusBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit leftButtonReleased();
    QFrame::mouseReleaseEvent(event);
}

}  // namespace varnel
