// The program's notifier on Qt: message boxes and tray notices for every window
// and task. It lives on the UI thread; a call from another thread is handed to it
// (a question waits for its answer, a notice does not), so no widget is ever made
// off the UI thread. Notices go to the tray balloon where a tray shows the
// program's icon, else to a desktop notification, else to the status message.
// A worker's question needs the UI thread to run its events: the UI thread must not
// block waiting for a worker that may ask.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "utilities/tray_notices.h"
#include "platform/ui/desktop_notifications.h"
#include "utilities/user_notifier.h"

namespace varnel {

class QtUserNotifier final : public QObject, public UserNotifier {
    Q_OBJECT
public:
    explicit QtUserNotifier(QObject* parent = nullptr);
    // Questions still waiting get their cautious answer; later calls get it at once.
    ~QtUserNotifier() override;

    // Makes this the notifier of the free functions, until it is destroyed.
    void Install();

    int ShowMessageBox(const std::string& text, unsigned style, const std::string& title) override;
    void ShowTrayNotice(const std::string& text, const std::string& title) override;
    void HideTrayNotice() override;

    // The owner of message boxes (the main window) while none of the program's
    // windows is active; otherwise a box belongs to the active window.
    void SetDialogParent(QWidget* parent);
    // The tray icon whose balloons carry notices; nullptr when there is none.
    void SetTrayIcon(QSystemTrayIcon* icon);
    // The last resort for notices: shows a one-line text, or clears it for "".
    // Without it notices go to standard error.
    void SetStatusFallback(std::function<void(const QString&)> fallback);
    void SetDesktopNotificationsEnabled(bool enabled);

    // Which way the shown notice went, for the status bar click and for tests.
    enum class Outlet { None, TrayBalloon, DesktopNotification, StatusMessage };
    Outlet CurrentOutlet() const;
    // Questions from other threads not answered yet.
    std::size_t WaitingQuestions() const;
    // From now on questions from other threads get their cautious answer at once,
    // and those waiting get it too: for the exit, before the UI thread waits for
    // workers that might otherwise wait for it.
    void StopAsking();

private:
    class TrayOutlet;
    class DesktopOutlet;
    class StatusOutlet;
    class Timer;
    struct Question;

    void Answer(const std::shared_ptr<Question>& question, int answer);

    QPointer<QWidget> m_dialogParent;
    QPointer<QSystemTrayIcon> m_trayIcon;
    std::function<void(const QString&)> m_statusFallback;
    bool m_desktopEnabled = true;
    bool m_installed = false;
    DesktopNotifications m_desktop;

    std::unique_ptr<TrayOutlet> m_trayOutlet;
    std::unique_ptr<DesktopOutlet> m_desktopOutlet;
    std::unique_ptr<StatusOutlet> m_statusOutlet;
    std::unique_ptr<Timer> m_timer;
    std::unique_ptr<TrayNoticeController> m_controller;

    mutable std::mutex m_mutex;
    bool m_closing = false;
    std::vector<std::shared_ptr<Question>> m_questions;
};

}  // namespace varnel
