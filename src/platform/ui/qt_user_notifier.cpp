#include "platform/ui/qt_user_notifier.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QThread>

#include <cstdio>
#include <future>

#include "utilities/message_box_style.h"
#include "utilities/ui/message_box.h"

namespace varnel {

namespace {

// Where a StatusNotifier watcher runs, Qt's tray balloons are desktop notifications
// that can be neither replaced nor taken away; the desktop outlet does both.
bool TrayIsStatusNotifierItem() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() != nullptr &&
           bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher"));
}

}  // namespace

struct QtUserNotifier::Question {
    std::promise<int> answer;
    bool answered = false;
    int cautiousAnswer = 0;
};

class QtUserNotifier::TrayOutlet final : public NoticeOutlet {
public:
    explicit TrayOutlet(QtUserNotifier& owner) : m_owner(owner) {}
    bool Available() override {
        const QSystemTrayIcon* icon = m_owner.m_trayIcon;
        return icon != nullptr && icon->isVisible() && QSystemTrayIcon::isSystemTrayAvailable() &&
               QSystemTrayIcon::supportsMessages() && !TrayIsStatusNotifierItem();
    }
    void Show(const std::string& title, const std::string& text, int displayMs) override {
        if (m_owner.m_trayIcon != nullptr) {
            m_owner.m_trayIcon->showMessage(QString::fromUtf8(title), QString::fromUtf8(text),
                                            QSystemTrayIcon::Information, displayMs);
        }
    }
    void Hide() override {
        // An empty balloon takes the shown one away.
        if (m_owner.m_trayIcon != nullptr) {
            m_owner.m_trayIcon->showMessage(QString(), QString(), QSystemTrayIcon::NoIcon, 0);
        }
    }

private:
    QtUserNotifier& m_owner;
};

class QtUserNotifier::DesktopOutlet final : public NoticeOutlet {
public:
    explicit DesktopOutlet(QtUserNotifier& owner) : m_owner(owner) {}
    bool Available() override { return m_owner.m_desktopEnabled && m_owner.m_desktop.Available(); }
    void Show(const std::string& title, const std::string& text, int displayMs) override {
        m_owner.m_desktop.Show(QString::fromUtf8(title), QString::fromUtf8(text), displayMs);
    }
    void Hide() override { m_owner.m_desktop.Hide(); }

private:
    QtUserNotifier& m_owner;
};

class QtUserNotifier::StatusOutlet final : public NoticeOutlet {
public:
    explicit StatusOutlet(QtUserNotifier& owner) : m_owner(owner) {}
    bool Available() override { return static_cast<bool>(m_owner.m_statusFallback); }
    void Show(const std::string& title, const std::string& text, int) override {
        QString line = QString::fromUtf8(text).simplified();
        if (title != kDefaultNoticeTitle) line = QString::fromUtf8(title) + ' ' + line;
        if (m_owner.m_statusFallback) {
            m_owner.m_statusFallback(line);
        } else {
            std::fprintf(stderr, "varnel: %s\n", line.toUtf8().constData());
        }
    }
    void Hide() override {
        if (m_owner.m_statusFallback) m_owner.m_statusFallback(QString());
    }

private:
    QtUserNotifier& m_owner;
};

class QtUserNotifier::Timer final : public NoticeTimer {
public:
    Timer() {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (m_expired) m_expired();
        });
    }
    void Start(int milliseconds, std::function<void()> expired) override {
        m_expired = std::move(expired);
        m_timer.start(milliseconds);
    }
    void Stop() override { m_timer.stop(); }

private:
    QTimer m_timer;
    std::function<void()> m_expired;
};

QtUserNotifier::QtUserNotifier(QObject* parent)
    : QObject(parent),
      m_trayOutlet(std::make_unique<TrayOutlet>(*this)),
      m_desktopOutlet(std::make_unique<DesktopOutlet>(*this)),
      m_statusOutlet(std::make_unique<StatusOutlet>(*this)),
      m_timer(std::make_unique<Timer>()),
      m_controller(std::make_unique<TrayNoticeController>(
          std::vector<NoticeOutlet*>{m_trayOutlet.get(), m_desktopOutlet.get(),
                                     m_statusOutlet.get()},
          *m_timer)) {}

QtUserNotifier::~QtUserNotifier() {
    if (m_installed) SetUserNotifier(nullptr);
    StopAsking();
}

void QtUserNotifier::StopAsking() {
    std::vector<std::shared_ptr<Question>> waiting;
    {
        std::lock_guard lock(m_mutex);
        m_closing = true;
        waiting = m_questions;
    }
    for (const auto& question : waiting) Answer(question, question->cautiousAnswer);
}

void QtUserNotifier::Install() {
    SetUserNotifier(this);
    m_installed = true;
}

int QtUserNotifier::ShowMessageBox(const std::string& text, unsigned style,
                                   const std::string& title) {
    if (QThread::currentThread() == thread()) {
        // Over the window the user works in, so closing the box brings that window
        // back, not the main window over a tool window; the owner stands in when
        // none of the program's windows is active.
        QWidget* parent = QApplication::activeWindow() != nullptr ? QApplication::activeWindow() : m_dialogParent.data();
        return RunMessageBox(text, style, title, parent);
    }
    auto question = std::make_shared<Question>();
    question->cautiousAnswer = DescribeMessageBoxStyle(style).escapeAnswer;
    std::future<int> answer = question->answer.get_future();
    {
        // The post happens under the lock StopAsking takes before the notifier is
        // destroyed: either the event is queued first (and ~QObject removes it), or
        // this worker sees m_closing and never touches Qt. Queuing runs no user
        // code, so holding the lock cannot deadlock.
        std::lock_guard lock(m_mutex);
        if (m_closing) return question->cautiousAnswer;
        m_questions.push_back(question);
        QMetaObject::invokeMethod(
            this,
            [this, question, text, style, title] {
                // A question already given the cautious answer (the program is going)
                // must not open a box that nobody waits for.
                {
                    std::lock_guard lock(m_mutex);
                    if (question->answered || m_closing) return;
                }
                Answer(question, ShowMessageBox(text, style, title));
            },
            Qt::QueuedConnection);
    }
    return answer.get();
}

void QtUserNotifier::Answer(const std::shared_ptr<Question>& question, int answer) {
    std::lock_guard lock(m_mutex);
    if (question->answered) return;
    question->answered = true;
    question->answer.set_value(answer);
    std::erase(m_questions, question);
}

void QtUserNotifier::ShowTrayNotice(const std::string& text, const std::string& title) {
    if (QThread::currentThread() == thread()) {
        m_controller->Show(text, title);
        return;
    }
    // Posted under the lock for the same reason as a question: never to a notifier
    // that is going.
    std::lock_guard lock(m_mutex);
    if (m_closing) return;
    QMetaObject::invokeMethod(
        this, [this, text, title] { m_controller->Show(text, title); }, Qt::QueuedConnection);
}

void QtUserNotifier::HideTrayNotice() {
    if (QThread::currentThread() == thread()) {
        m_controller->Hide();
        return;
    }
    std::lock_guard lock(m_mutex);
    if (m_closing) return;
    QMetaObject::invokeMethod(this, [this] { m_controller->Hide(); }, Qt::QueuedConnection);
}

void QtUserNotifier::SetDialogParent(QWidget* parent) { m_dialogParent = parent; }

void QtUserNotifier::SetTrayIcon(QSystemTrayIcon* icon) {
    if (m_controller->Current() == m_trayOutlet.get() && icon != m_trayIcon) {
        m_controller->Hide();
    }
    m_trayIcon = icon;
}

void QtUserNotifier::SetStatusFallback(std::function<void(const QString&)> fallback) {
    if (m_controller->Current() == m_statusOutlet.get()) m_controller->Hide();
    m_statusFallback = std::move(fallback);
}

void QtUserNotifier::SetDesktopNotificationsEnabled(bool enabled) { m_desktopEnabled = enabled; }

std::size_t QtUserNotifier::WaitingQuestions() const {
    std::lock_guard lock(m_mutex);
    return m_questions.size();
}

QtUserNotifier::Outlet QtUserNotifier::CurrentOutlet() const {
    const NoticeOutlet* current = m_controller->Current();
    if (current == nullptr) return Outlet::None;
    if (current == m_trayOutlet.get()) return Outlet::TrayBalloon;
    if (current == m_desktopOutlet.get()) return Outlet::DesktopNotification;
    return Outlet::StatusMessage;
}

}  // namespace varnel
