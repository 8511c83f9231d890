// The viewer of the content preview: a picture page and a text page in one window
// that lives as long as the main window (closing it only hides it). Its menu (also
// the picture's right-click menu) sets the picture's placement (left, fitted,
// centred), steps to the previous or next picture of the list, and switches full
// screen. UI thread only.
#pragma once

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QScrollArea;
class QTabWidget;

namespace varnel {

class ContentViewerWindow final : public QWidget {
    Q_OBJECT
public:
    // Picture placement: 0 at the left, 1 fitted to the window, 2 centred.
    enum DisplayMode { kLeft = 0, kFitted = 1, kCentred = 2 };

    explicit ContentViewerWindow(QWidget* owner);

    // Shows the viewer as the list's current row changes: the keyboard stays where
    // it is (the list's arrows, F9, Ctrl+F) until the user clicks into the viewer.
    void ShowWithoutFocus();

    void ShowPicture(const QString& path, const QImage& picture);
    // A picture that could not be read: the page says so.
    void ShowPictureFailure(const QString& path, const QString& reason);
    void ShowText(const QString& path, const QString& text);
    // The size a picture is decoded for (the picture page's size).
    QSize PictureArea() const;

    void SetDisplayMode(int mode);
    int Mode() const { return m_mode; }
    void ToggleViewerFullScreen();
    bool IsFullScreen() const { return m_fullScreen; }
    int CurrentPage() const;
    QString ShownText() const;
    const QImage& ShownPicture() const { return m_picture; }
    QMenu& Menu() const { return *m_menu; }

signals:
    // 上一张 (backward) or 下一张.
    void adjacentPictureRequested(bool backward);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void PlacePicture();
    // Shown by ShowWithoutFocus and not clicked into since.
    bool Passive() const;

    QTabWidget* m_pages;
    QScrollArea* m_pictureArea;
    QLabel* m_pictureBox;
    QPlainTextEdit* m_textBox;
    QMenu* m_menu;
    QAction* m_modeItems[3];
    QAction* m_fullScreenItem;
    QImage m_picture;
    int m_mode = kCentred;
    bool m_fullScreen = false;
    QRect m_normalGeometry;
    QPointer<QWidget> m_keyboardOwner;
    bool m_placed = false;  // placed beside its owner once  // the window that had the keyboard when it was shown
};

}  // namespace varnel
