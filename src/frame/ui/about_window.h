// The about window (关于...): the program's name, version, what it does and where
// its settings live. A click anywhere on it closes it; pressing on its picture
// drags the window. Owned by the main window, not modal. UI thread only.
#pragma once

#include <QLabel>
#include <QPoint>
#include <QWidget>

namespace varnel {

class AboutWindow final : public QWidget {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* owner);

    QLabel* Picture() const { return m_picture; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QLabel* m_picture;
    QPoint m_dragOffset;
    bool m_dragging = false;
};

}  // namespace varnel
