// A vertical bar between two columns of the main window that the mouse drags
// sideways. It only reports where it was dragged to; the window decides the column
// widths and lays itself out again. UI thread only.
#pragma once

#include <QWidget>

namespace varnel {

class SplitterBar final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 5;

    explicit SplitterBar(QWidget* parent = nullptr);

signals:
    // The bar's new left edge in its parent, kept inside the parent.
    void moved(int left);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_grabOffset = -1;  // where in the bar it was grabbed; -1 while not dragged
};

}  // namespace varnel
