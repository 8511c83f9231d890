#include "frame/ui/about_window.h"

#include <QMouseEvent>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

#include "platform/xdg_paths.h"
#include "utilities/program_version.h"

namespace varnel {

AboutWindow::AboutWindow(QWidget* owner) : QWidget(owner, Qt::Dialog) {
    setObjectName(QString::fromUtf8("关于"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromUtf8("关于 Varnel更名"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(10);

    m_picture = new QLabel(this);
    m_picture->setObjectName(QString::fromUtf8("图片"));
    const QIcon icon = owner != nullptr && !owner->windowIcon().isNull()
                           ? owner->windowIcon()
                           : style()->standardIcon(QStyle::SP_ComputerIcon);
    m_picture->setPixmap(icon.pixmap(64, 64));
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setCursor(Qt::SizeAllCursor);
    m_picture->installEventFilter(this);
    layout->addWidget(m_picture);

    auto* name = new QLabel(QString::fromUtf8("Varnel更名(Quorva) ") + QString::fromStdString(CaptionVersion()), this);
    name->setObjectName(QString::fromUtf8("名称"));
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    name->setFont(bold);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);

    auto* purpose = new QLabel(QString::fromUtf8("多元化批量任务|本地超级搜索|资源综合管理|更多扩展辅助"), this);
    purpose->setAlignment(Qt::AlignCenter);
    layout->addWidget(purpose);

    // The settings folder as a link: where to look when a setting is to be kept or reset.
    const QString folder = QString::fromStdString(SettingsFolder());
    auto* settings = new QLabel(QString::fromUtf8("设置文件夹：<a href=\"%1\">%2</a>")
                                    .arg(QUrl::fromLocalFile(folder).toString(QUrl::FullyEncoded),
                                         folder.toHtmlEscaped()),
                                this);
    settings->setObjectName(QString::fromUtf8("链接"));
    settings->setTextFormat(Qt::RichText);
    settings->setOpenExternalLinks(true);
    settings->setAlignment(Qt::AlignCenter);
    layout->addWidget(settings);

    auto* hint = new QLabel(QString::fromUtf8("（单击本窗口关闭）"), this);
    hint->setAlignment(Qt::AlignCenter);
    hint->setEnabled(false);
    layout->addWidget(hint);
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_picture) return QWidget::eventFilter(watched, event);
    // Only mouse events are looked into; the picture gets others too.
    auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (mouse == nullptr) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() != Qt::LeftButton) break;
        // The window system moves the window where it can; elsewhere it follows the mouse.
        if (windowHandle() != nullptr && windowHandle()->startSystemMove()) return true;
        m_dragging = true;
        m_dragOffset = mouse->globalPosition().toPoint() - frameGeometry().topLeft();
        return true;
    case QEvent::MouseMove:
        if (m_dragging) move(mouse->globalPosition().toPoint() - m_dragOffset);
        return m_dragging;
    case QEvent::MouseButtonRelease:
        // The end of a drag does not close the window.
        if (mouse->button() == Qt::LeftButton) m_dragging = false;
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void AboutWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) close();
    QWidget::mouseReleaseEvent(event);
}

}  // namespace varnel
