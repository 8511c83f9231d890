#include "platform/ui/desktop_notifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include <utility>

namespace varnel {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
constexpr int kCapabilityTimeoutMs = 500;

QDBusMessage Call(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

}  // namespace

DesktopNotifications::DesktopNotifications(QObject* parent) : QObject(parent) {}

bool DesktopNotifications::Available() const {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) return false;
    if (bus.interface()->isServiceRegistered(kService)) return true;
    const QDBusReply<QStringList> activatable = bus.interface()->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(kService);
}

void DesktopNotifications::Show(const QString& title, const QString& text, int displayMs) {
    if (m_markup < 0) {
        // Asked until answered: a service that reads markup would take "<" in a file name for a tag.
        const QDBusMessage reply =
            QDBusConnection::sessionBus().call(Call(QStringLiteral("GetCapabilities")),
                                               QDBus::Block, kCapabilityTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            m_markup = reply.arguments().front().toStringList().contains(
                QStringLiteral("body-markup"));
        }
    }
    const QString body = m_markup == 1 ? text.toHtmlEscaped() : text;
    if (m_pending) {
        m_next = Request{title, body, displayMs};
        m_hideWhenAnswered = false;
        return;
    }
    Notify(title, body, displayMs);
}

void DesktopNotifications::Notify(const QString& title, const QString& text, int displayMs) {
    QDBusMessage message = Call(QStringLiteral("Notify"));
    message << QCoreApplication::applicationName() << m_id << QString() << title << text
            << QStringList() << QVariantMap() << displayMs;
    m_pending = true;
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<uint> reply = *call;
                m_pending = false;
                if (reply.isValid()) m_id = reply.value();
                if (m_next) {
                    const Request next = *std::exchange(m_next, std::nullopt);
                    Notify(next.title, next.text, next.displayMs);
                } else if (std::exchange(m_hideWhenAnswered, false)) {
                    Hide();
                }
            });
}

void DesktopNotifications::Hide() {
    if (m_pending) {
        m_next.reset();
        m_hideWhenAnswered = true;
        return;
    }
    if (m_id == 0) return;
    Close(m_id);
    m_id = 0;
}

void DesktopNotifications::Close(uint id) {
    QDBusMessage message = Call(QStringLiteral("CloseNotification"));
    message << id;
    QDBusConnection::sessionBus().asyncCall(message);
}

}  // namespace varnel
