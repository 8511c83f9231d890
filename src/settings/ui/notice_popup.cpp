#include "settings/ui/notice_popup.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QRandomGenerator>
#include <QScreen>
#include <QStyle>
#include <QThread>

#include <algorithm>
#include <deque>
#include <utility>

#include "settings/ui/font_text_metrics.h"
#include "platform/shell_open.h"
#include "utilities/user_notifier.h"
#include "utilities/utf8_text.h"

namespace varnel {

namespace {

constexpr int kSlideIntervalMs = 10;
// Room for the window frame when the text is wrapped at the screen's width.
constexpr int kFrameAllowance = 20;
// Below the links when there are any.
constexpr int kLinkStripMargin = 15;

// Keeps the one popup, the slide axis and the notices waiting for their turn.
class NoticePopupHost final : public QObject {
public:
    static NoticePopupHost& Instance() {
        static auto* host = new NoticePopupHost(qApp);
        return *host;
    }

    void Show(NoticePopupParams params, QWidget* owner) {
        NormaliseNoticeParams(params);
        if (m_current != nullptr && m_current->CurrentPhase() == NoticePopup::Phase::SlidingIn) {
            m_waiting.push_back({std::move(params), owner});
            return;
        }
        if (m_current != nullptr) m_current->Finish();
        if (owner == nullptr) owner = m_defaultOwner;
        auto* popup = new NoticePopup(std::move(params), owner, [this] { return m_horizontal; });
        m_current = popup;
        connect(popup, &NoticePopup::slidIn, this, [this, popup] { OnSlidIn(popup); });
        connect(popup, &NoticePopup::finished, this, [this, popup] {
            if (m_current == popup) m_current = nullptr;
        });
        // A popup that goes with its owner while sliding in leaves waiting notices.
        connect(popup, &QObject::destroyed, this,
                [this] { QTimer::singleShot(0, this, [this] { ShowNextWaiting(); }); });
    }

    void SetDefaultOwner(QWidget* owner) { m_defaultOwner = owner; }
    NoticePopup* Current() const { return m_current; }

private:
    using QObject::QObject;

    struct Waiting {
        NoticePopupParams params;
        QPointer<QWidget> owner;
    };

    void OnSlidIn(NoticePopup* popup) {
        m_horizontal = NextNoticeSlideAxis(m_horizontal, popup->SlideMode(),
                                           QRandomGenerator::global()->bounded(2) == 1);
        ShowNextWaiting();
    }

    void ShowNextWaiting() {
        if (m_waiting.empty()) return;
        if (m_current != nullptr && m_current->CurrentPhase() == NoticePopup::Phase::SlidingIn) {
            return;
        }
        Waiting next = std::move(m_waiting.front());
        m_waiting.pop_front();
        Show(std::move(next.params), next.owner);
    }

    QPointer<NoticePopup> m_current;
    QPointer<QWidget> m_defaultOwner;
    std::deque<Waiting> m_waiting;
    bool m_horizontal = false;
};

bool OnUiThread() {
    return QCoreApplication::instance() != nullptr &&
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

WindowRect AreaFor(QWidget* owner) {
    const QScreen* screen = owner != nullptr ? owner->screen() : nullptr;
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return {0, 0, 800, 600};
    const QRect area = screen->availableGeometry();
    return {area.x(), area.y(), area.width(), area.height()};
}

}  // namespace

void SetNoticeDefaultOwner(QWidget* window) { NoticePopupHost::Instance().SetDefaultOwner(window); }

void ShowNoticePopup(NoticePopupParams params, QWidget* owner) {
    if (!OnUiThread()) {
        QPointer<QWidget> guardedOwner = owner;
        QMetaObject::invokeMethod(
            qApp,
            [params = std::move(params), guardedOwner]() mutable {
                NoticePopupHost::Instance().Show(std::move(params), guardedOwner);
            },
            Qt::QueuedConnection);
        return;
    }
    NoticePopupHost::Instance().Show(std::move(params), owner);
}

NoticePopup* CurrentNoticePopup() { return NoticePopupHost::Instance().Current(); }

NoticePopup::NoticePopup(NoticePopupParams params, QWidget* owner, std::function<bool()> slideAxis)
    : QWidget(owner, Qt::Tool), m_params(std::move(params)), m_slideAxis(std::move(slideAxis)) {
    setObjectName(QStringLiteral("NoticePopup"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QString::fromUtf8(m_params.title));
    Qt::WindowFlags flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (!m_params.hideControlBox) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (m_params.alwaysOnTop) flags |= Qt::WindowStaysOnTopHint;
    setWindowFlags(flags);
    if (m_params.modal) setWindowModality(Qt::ApplicationModal);

    m_slideTimer.setInterval(kSlideIntervalMs);
    connect(&m_slideTimer, &QTimer::timeout, this, &NoticePopup::Step);
    m_autoCloseTimer.setSingleShot(true);
    connect(&m_autoCloseTimer, &QTimer::timeout, this, &NoticePopup::RequestClose);

    BuildContents(owner);
    m_horizontal = m_slideAxis();
    const WindowRect start = NoticeSlideStart(m_area, width(), height(), m_horizontal);
    move(start.x, start.y);
    show();
    m_slideTimer.start();
}

void NoticePopup::BuildContents(QWidget* owner) {
    m_area = AreaFor(owner);
    const TextMetrics metrics = TextMetricsOf(font());

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QString::fromUtf8("编辑框"));
    m_text->setReadOnly(true);
    m_text->setPlainText(
        QString::fromUtf8(m_params.message).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    // The edit's frame and margins come on top of the measured text.
    const int chrome = 2 * m_text->frameWidth() +
                       2 * static_cast<int>(m_text->document()->documentMargin()) +
                       style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int maxTextWidth = std::max(1, m_area.width - kFrameAllowance - chrome);
    const TextBlockSize measured =
        MeasureNoticeText(m_params.message, m_params.title, maxTextWidth, metrics);
    int textWidth = measured.width + chrome;
    int textHeight = measured.height + chrome;

    std::vector<int> linkWidths;
    std::vector<QLabel*> labels;
    int linkHeight = metrics.lineHeight;
    for (std::size_t i = 0; i < m_params.links.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromUtf8("链接"));
        label->setProperty("number", number);
        label->setTextFormat(Qt::RichText);
        label->setText(QStringLiteral("<a href=\"#\">%1</a>")
                           .arg(QString::fromUtf8(m_params.links[i].caption).toHtmlEscaped()));
        label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
        connect(label, &QLabel::linkActivated, this, [this, number] { ActivateLink(number); });
        const int width = std::max(
            static_cast<int>(GbkWidth(m_params.links[i].caption)) * metrics.unitWidth,
            label->sizeHint().width());
        linkHeight = std::max(linkHeight, label->sizeHint().height());
        linkWidths.push_back(width);
        labels.push_back(label);
    }
    const NoticeLinkPlacement placement = LayOutNoticeLinks(linkWidths, linkHeight, textWidth);
    textWidth = placement.textWidth;
    m_linksHeight = labels.empty() ? 0 : placement.stripHeight + kLinkStripMargin;
    // Taller than the area: the text box gives way and scrolls.
    const int clientHeight = std::min(textHeight + m_linksHeight, m_area.height);
    textHeight = std::max(0, clientHeight - m_linksHeight);

    m_text->setGeometry(0, 0, textWidth, textHeight);
    if (!labels.empty()) {
        m_linkStrip = new QWidget(this);
        m_linkStrip->setObjectName(QString::fromUtf8("外形框"));
        m_linkStrip->setGeometry(0, textHeight, textWidth, placement.stripHeight);
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const WindowRect& r = placement.labels[i];
            labels[i]->setParent(m_linkStrip);
            labels[i]->setGeometry(r.x, r.y, r.width, r.height);
            labels[i]->show();
        }
    }
    setFixedSize(textWidth, clientHeight);
}

void NoticePopup::FitFrameToArea() {
    const QRect frame = frameGeometry();
    const int maxWidth = m_area.width - (frame.width() - width());
    const int maxHeight = m_area.height - (frame.height() - height());
    if (width() <= maxWidth && height() <= maxHeight) return;
    const int w = std::max(1, std::min(width(), maxWidth));
    const int h = std::max(1, std::min(height(), maxHeight));
    const int textHeight = std::max(0, h - m_linksHeight);
    m_text->setGeometry(0, 0, w, textHeight);
    if (m_linkStrip != nullptr) {
        m_linkStrip->setGeometry(0, textHeight, w, m_linkStrip->height());
    }
    setFixedSize(w, h);
}

std::optional<int> NoticePopup::AutoCloseInterval() const {
    return NoticeAutoCloseInterval(m_params.autoCloseMs, ShownText().toStdString());
}

QString NoticePopup::ShownText() const { return m_text->toPlainText(); }

WindowRect NoticePopup::Place() const {
    const QRect frame = frameGeometry();
    return {frame.x(), frame.y(), frame.width(), frame.height()};
}

void NoticePopup::MoveTo(WindowRect place) { move(place.x, place.y); }

void NoticePopup::KeepResting() {
    if (m_phase != Phase::Shown) return;
    const WindowRect place = Place();
    const bool inside = place.x >= m_area.x && place.y >= m_area.y &&
                        place.x + place.width <= m_area.x + m_area.width &&
                        place.y + place.height <= m_area.y + m_area.height;
    if (inside) return;
    FitFrameToArea();
    const WindowRect fitted = Place();
    MoveTo(NoticeRestingPlace(m_area, fitted.width, fitted.height));
}

void NoticePopup::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    KeepResting();
}

void NoticePopup::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    KeepResting();
}

void NoticePopup::Step() {
    if (m_phase == Phase::SlidingIn) {
        FitFrameToArea();
        const NoticeSlideStep step = NoticeSlideIn(m_area, Place(), m_params.slideInStep, m_horizontal);
        MoveTo(step.place);
        if (!step.done) return;
        m_slideTimer.stop();
        m_phase = Phase::Shown;
        if (const std::optional<int> interval = AutoCloseInterval()) {
            m_autoCloseTimer.start(*interval);
        }
        emit slidIn();
        return;
    }
    if (m_phase == Phase::SlidingOut) {
        const NoticeSlideStep step =
            NoticeSlideOut(m_area, Place(), m_params.slideOutStep, m_horizontal);
        MoveTo(step.place);
        if (step.done) Finish();
    }
}

void NoticePopup::ActivateLink(int number) {
    if (m_phase == Phase::Closed || number < 1 ||
        number > static_cast<int>(m_params.links.size())) {
        return;
    }
    const NoticeLink& link = m_params.links[static_cast<std::size_t>(number) - 1];
    if (!link.hint.empty()) {
        if (auto opened = OpenWithShell(link.hint); !opened) {
            ShowTrayNotice("无法打开链接：" + link.hint + "\r\n" + opened.error().message);
        }
    } else if (link.callback) {
        // After the click has been handled, on the UI thread, whatever becomes of
        // the popup meanwhile.
        QTimer::singleShot(0, qApp, [callback = link.callback, argument = link.callbackArgument] {
            callback(argument);
        });
    }
    m_result = number;
    if (m_params.closeOnLinkClick) RequestClose();
}

void NoticePopup::RequestClose() {
    if (m_phase != Phase::Shown) return;
    m_autoCloseTimer.stop();
    m_phase = Phase::SlidingOut;
    m_horizontal = m_slideAxis();
    m_slideTimer.start();
}

void NoticePopup::Finish() {
    if (m_phase == Phase::Closed) return;
    m_phase = Phase::Closed;
    m_slideTimer.stop();
    m_autoCloseTimer.stop();
    hide();
    emit finished(m_result);
    if (m_params.onClosed) {
        QTimer::singleShot(0, qApp, [onClosed = m_params.onClosed, result = m_result] {
            onClosed(result);
        });
    }
    deleteLater();
}

void NoticePopup::closeEvent(QCloseEvent* event) {
    if (m_phase == Phase::Closed) {
        event->accept();
        return;
    }
    event->ignore();
    RequestClose();
}

void NoticePopup::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !m_params.disableEscClose) {
        RequestClose();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace varnel
