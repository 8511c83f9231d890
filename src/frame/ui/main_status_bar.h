// The main window's status bar (状态条): four parts, 0 the current row, 1 the row
// count, 2 the byte size, 3 the message. Parts 0 to 2 are as wide as their texts
// need; part 3 takes the rest and the run's progress bar is docked over it. A left
// click is reported (the window shows the message as a notice). UI thread only.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QPointer>

#include <array>

namespace varnel {

class MainStatusBar final : public QFrame {
    Q_OBJECT
public:
    static constexpr int kPartCount = 4;

    explicit MainStatusBar(QWidget* parent = nullptr);

    void SetPartText(int part, const QString& text);
    QString PartText(int part) const;
    // Parts 0 to 2 take the width of their texts; the last part is never sized.
    void ResizeStatusParts();
    // The part's rectangle in the bar.
    QRect PartRect(int part) const;
    // Re-parents the bar into this one and keeps it over the part, also when the
    // parts move later.
    void DockProgressBar(QWidget* bar, int part);

    QSize sizeHint() const override;

signals:
    void leftButtonReleased();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PlaceParts();

    std::array<QLabel*, kPartCount> m_parts{};
    std::array<int, kPartCount - 1> m_widths{};
    QPointer<QWidget> m_docked;
    int m_dockedPart = kPartCount - 1;
};

}  // namespace varnel
