#include "frame/ui/tray_icon.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QStyle>

#include "frame/ui/instance_messages.h"
#include "platform/ui/qt_user_notifier.h"

namespace varnel {

namespace {

// How often a hidden main window checks that a tray can still bring it back.
constexpr int kHiddenWatchMs = 2000;

}  // namespace

TrayIcon::TrayIcon(QWidget& window, QMenu* menu, QtUserNotifier& notifier, QObject* parent)
    : QObject(parent), m_window(window), m_notifier(notifier) {
    QIcon icon = window.windowIcon();
    if (icon.isNull()) icon = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
    m_icon.setIcon(icon);
    m_icon.setToolTip(QString::fromUtf8(kTip));
    if (menu != nullptr) m_icon.setContextMenu(menu);
    connect(&m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::OnActivated);

    // Without a tray now, Qt adds the icon once an X11 tray appears. A tray of the
    // StatusNotifier kind that starts again is told about the icon here.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        auto* watcher = new QDBusServiceWatcher(
            QStringLiteral("org.kde.StatusNotifierWatcher"), bus,
            QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration,
            this);
        connect(watcher, &QDBusServiceWatcher::serviceRegistered, this,
                &TrayIcon::OnStatusNotifierHostBack);
        connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this,
                &TrayIcon::RescueHiddenWindow);
    }
    m_hiddenWatch.setInterval(kHiddenWatchMs);
    connect(&m_hiddenWatch, &QTimer::timeout, this, &TrayIcon::RescueHiddenWindow);

    m_icon.show();
    m_notifier.SetTrayIcon(&m_icon);
}

TrayIcon::~TrayIcon() {
    m_notifier.SetTrayIcon(nullptr);
    m_icon.hide();
}

void TrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    // The right click pops up the context menu by itself.
    if (reason == QSystemTrayIcon::Trigger) FlipWindow();
}

void TrayIcon::FlipWindow() {
    if (!m_window.isVisible()) {
        BringWindowToFront();
        return;
    }
    if (!QSystemTrayIcon::isSystemTrayAvailable() || !m_icon.isVisible()) return;
    m_window.hide();
    m_hiddenWatch.start();
}

void TrayIcon::RescueHiddenWindow() {
    if (m_window.isVisible()) {
        m_hiddenWatch.stop();
        return;
    }
    if (!QSystemTrayIcon::isSystemTrayAvailable()) BringWindowToFront();
}

void TrayIcon::OnStatusNotifierHostBack() {
    m_icon.hide();
    m_icon.show();
}

void TrayIcon::BringWindowToFront() {
    m_hiddenWatch.stop();
    BringMainWindowToFront(m_window);
}

}  // namespace varnel
