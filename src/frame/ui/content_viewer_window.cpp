#include "frame/ui/content_viewer_window.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>

#include "utilities/ui/window_placement.h"

namespace varnel {

ContentViewerWindow::ContentViewerWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("ContentViewerWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(640, 480);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    m_menu = bar->addMenu(QString::fromUtf8("文件"));
    m_menu->setObjectName(QString::fromUtf8("文件"));
    auto* modes = new QActionGroup(this);
    const char* modeCaptions[] = {"&Z.居左", "&F.缩放", "&J.居中"};
    for (int mode = 0; mode < 3; ++mode) {
        QAction* item = m_menu->addAction(QString::fromUtf8(modeCaptions[mode]));
        item->setCheckable(true);
        item->setShortcut(QKeySequence(Qt::Key_1 + mode));
        modes->addAction(item);
        connect(item, &QAction::triggered, this, [this, mode] { SetDisplayMode(mode); });
        m_modeItems[mode] = item;
    }
    m_modeItems[kCentred]->setChecked(true);
    m_menu->addSeparator();
    QAction* previous = m_menu->addAction(QString::fromUtf8("&S.上一张\t←↑"));
    QAction* next = m_menu->addAction(QString::fromUtf8("&X.下一张\t→↓"));
    connect(previous, &QAction::triggered, this, [this] { emit adjacentPictureRequested(true); });
    connect(next, &QAction::triggered, this, [this] { emit adjacentPictureRequested(false); });
    m_menu->addSeparator();
    m_fullScreenItem = m_menu->addAction(QString::fromUtf8("&Q.全屏\tEnter"));
    m_fullScreenItem->setCheckable(true);
    connect(m_fullScreenItem, &QAction::triggered, this, [this] { ToggleViewerFullScreen(); });
    QAction* close = m_menu->addAction(QString::fromUtf8("&G.关闭\tEsc"));
    connect(close, &QAction::triggered, this, &QWidget::close);
    m_menu->addSeparator();
    m_menu->addAction(QString::fromUtf8("&Q.取消菜单"));

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QString::fromUtf8("选择夹"));
    m_pictureArea = new QScrollArea(m_pages);
    m_pictureBox = new QLabel(m_pictureArea);
    m_pictureBox->setObjectName(QString::fromUtf8("图片框"));
    m_pictureArea->setWidget(m_pictureBox);
    m_pictureArea->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_pictureArea, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_menu->popup(m_pictureArea->mapToGlobal(at)); });
    m_textBox = new QPlainTextEdit(m_pages);
    m_textBox->setObjectName(QString::fromUtf8("编辑框"));
    m_textBox->setReadOnly(true);
    m_pages->addTab(m_pictureArea, QString::fromUtf8("图片"));
    m_pages->addTab(m_textBox, QString::fromUtf8("文本"));
    layout->addWidget(m_pages);
    // Clicks anywhere in the window tell that the user turned to it.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
    PlacePicture();
}

void ContentViewerWindow::ShowPicture(const QString& path, const QImage& picture) {
    setWindowTitle(path);
    m_pages->setCurrentIndex(0);
    m_picture = picture;
    m_pictureBox->setText(QString());
    PlacePicture();
}

void ContentViewerWindow::ShowPictureFailure(const QString& path, const QString& reason) {
    setWindowTitle(path);
    m_pages->setCurrentIndex(0);
    m_picture = QImage();
    m_pictureBox->setPixmap(QPixmap());
    m_pictureBox->setText(reason);
    PlacePicture();
}

void ContentViewerWindow::ShowText(const QString& path, const QString& text) {
    setWindowTitle(path);
    m_pages->setCurrentIndex(1);
    m_textBox->setPlainText(text);
}

QSize ContentViewerWindow::PictureArea() const { return m_pictureArea->viewport()->size(); }

int ContentViewerWindow::CurrentPage() const { return m_pages->currentIndex(); }

QString ContentViewerWindow::ShownText() const { return m_textBox->toPlainText(); }

void ContentViewerWindow::SetDisplayMode(int mode) {
    if (mode < kLeft || mode > kCentred) return;
    m_mode = mode;
    m_modeItems[mode]->setChecked(true);
    PlacePicture();
}

bool ContentViewerWindow::Passive() const {
    const QWindow* window = windowHandle();
    return window != nullptr && window->flags().testFlag(Qt::WindowDoesNotAcceptFocus);
}

void ContentViewerWindow::ShowWithoutFocus() {
    if (isVisible()) return;
    // The first time beside the list's window, centred on it; every time wholly
    // on the screen.
    if (!m_placed && parentWidget() != nullptr) CentreOnOwner(*this, parentWidget());
    m_placed = true;
    KeepInsideAvailableArea(*this);
    m_keyboardOwner = QApplication::activeWindow() != this ? QApplication::activeWindow() : nullptr;
    create();
    // The window system is asked not to give it the keyboard; where one does all
    // the same, event() hands it back.
    if (QWindow* window = windowHandle()) window->setFlag(Qt::WindowDoesNotAcceptFocus, true);
    show();
}

bool ContentViewerWindow::event(QEvent* event) {
    // Activated while shown passively and with no button down: the window system
    // gave it the keyboard on showing it, not the user on clicking it.
    if (event->type() == QEvent::WindowActivate && Passive() && QGuiApplication::mouseButtons() == Qt::NoButton &&
        m_keyboardOwner && m_keyboardOwner->isVisible()) {
        m_keyboardOwner->activateWindow();
    }
    return QWidget::event(event);
}

bool ContentViewerWindow::eventFilter(QObject* watched, QEvent* event) {
    // A click into the viewer is the user turning to it: from then on it takes
    // the keyboard like any window.
    if (event->type() == QEvent::MouseButtonPress && Passive()) {
        windowHandle()->setFlag(Qt::WindowDoesNotAcceptFocus, false);
        activateWindow();
    }
    return QWidget::eventFilter(watched, event);
}

void ContentViewerWindow::PlacePicture() {
    const QSize area = m_pictureArea->viewport()->size();
    if (!m_picture.isNull()) {
        const bool fit = m_mode == kFitted &&
                         (m_picture.width() > area.width() || m_picture.height() > area.height());
        m_pictureBox->setPixmap(QPixmap::fromImage(
            fit ? m_picture.scaled(area, Qt::KeepAspectRatio, Qt::SmoothTransformation) : m_picture));
    }
    m_pictureArea->setAlignment(m_mode == kLeft ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignCenter);
    m_pictureBox->adjustSize();
}

void ContentViewerWindow::ToggleViewerFullScreen() {
    m_fullScreen = !m_fullScreen;
    m_fullScreenItem->setChecked(m_fullScreen);
    if (m_fullScreen) {
        m_normalGeometry = geometry();
        setWindowFlag(Qt::FramelessWindowHint, true);
        const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
        if (screen != nullptr) setGeometry(screen->geometry());
    } else {
        setWindowFlag(Qt::FramelessWindowHint, false);
        setGeometry(m_normalGeometry);
    }
    show();
}

void ContentViewerWindow::closeEvent(QCloseEvent* event) {
    // The window lives on: closing leaves full screen first, then hides it.
    event->ignore();
    if (m_fullScreen) {
        ToggleViewerFullScreen();
    } else {
        hide();
    }
}

void ContentViewerWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlacePicture();
}

void ContentViewerWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up: emit adjacentPictureRequested(true); return;
        case Qt::Key_Right:
        case Qt::Key_Down: emit adjacentPictureRequested(false); return;
        case Qt::Key_Return:
        case Qt::Key_Enter: ToggleViewerFullScreen(); return;
        case Qt::Key_Escape: close(); return;
        default: QWidget::keyPressEvent(event);
    }
}

}  // namespace varnel
