#include "platform/ui/desktop_power.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QGuiApplication>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>

#include <array>

// Xlib's macros (None, Bool, Status, ...) clash with names above; it comes last.
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

namespace varnel {

namespace {

const QString kLogindService = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kLogindManager = QStringLiteral("org.freedesktop.login1.Manager");
constexpr int kQueryTimeoutMs = 1500;
// Long enough for the user to answer the password prompt of polkit.
constexpr int kActionTimeoutMs = 120000;
// The X server wakes the monitor on any input: the release of the click that chose
// the command must be over before it goes dark.
constexpr int kMonitorSettleMs = 500;

struct LogindAction {
    const char* canMethod;
    const char* method;
    const char* inhibitWhat;  // the inhibitor kind that holds it back
};

LogindAction LogindActionOf(PowerAction action) {
    switch (action) {
        case PowerAction::Reboot: return {"CanReboot", "Reboot", "shutdown"};
        case PowerAction::Suspend: return {"CanSuspend", "Suspend", "sleep"};
        case PowerAction::Hibernate: return {"CanHibernate", "Hibernate", "sleep"};
        default: return {"CanPowerOff", "PowerOff", "shutdown"};
    }
}

QDBusMessage LogindCall(const char* method) {
    return QDBusMessage::createMethodCall(kLogindService, kLogindPath, kLogindManager,
                                          QString::fromLatin1(method));
}

// A session manager of a desktop and how it logs the user off without asking again
// (the program has asked already).
struct SessionManager {
    const char* service;
    const char* path;
    const char* interface;
    const char* method;
};

constexpr std::array<SessionManager, 4> kSessionManagers = {{
    {"org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager", "Logout"},
    {"org.kde.ksmserver", "/KSMServer", "org.kde.KSMServerInterface", "logout"},
    {"org.xfce.SessionManager", "/org/xfce/SessionManager", "org.xfce.Session.Manager", "Logout"},
    {"org.lxqt.session", "/LXQtSession", "org.lxqt.session", "logout"},
}};

const SessionManager* RunningSessionManager() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) return nullptr;
    for (const SessionManager& manager : kSessionManagers) {
        if (bus.interface()->isServiceRegistered(QString::fromLatin1(manager.service))) return &manager;
    }
    return nullptr;
}

QDBusMessage LogoutCall(const SessionManager& manager, bool force) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(manager.service), QString::fromLatin1(manager.path),
        QString::fromLatin1(manager.interface), QString::fromLatin1(manager.method));
    const QString service = QString::fromLatin1(manager.service);
    if (service == QLatin1String("org.gnome.SessionManager")) {
        call << uint(force ? 2 : 1);  // 1: no dialog; 2: ignoring inhibitors too
    } else if (service == QLatin1String("org.kde.ksmserver")) {
        call << 0 << 0 << (force ? 2 : 0);  // no dialog, log off, forced or default
    } else if (service == QLatin1String("org.xfce.SessionManager")) {
        call << false << true;  // no dialog, let programs save
    }
    return call;
}

// Who holds the action back with a "block" inhibitor, as "who（why）"; "" when no one.
QString BlockingInhibitor(const char* what) {
    const QDBusMessage reply =
        QDBusConnection::systemBus().call(LogindCall("ListInhibitors"), QDBus::Block, kQueryTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    const QDBusArgument list = reply.arguments().front().value<QDBusArgument>();
    list.beginArray();
    QString found;
    while (!list.atEnd()) {
        QString kinds, who, why, mode;
        uint uid = 0, pid = 0;
        list.beginStructure();
        list >> kinds >> who >> why >> mode >> uid >> pid;
        list.endStructure();
        if (found.isEmpty() && mode == QLatin1String("block") &&
            kinds.split(QLatin1Char(':')).contains(QLatin1String(what))) {
            found = why.isEmpty() ? who : who + QStringLiteral("（") + why + QStringLiteral("）");
        }
    }
    list.endArray();
    return found;
}

void CallAndReport(QDBusConnection bus, const QDBusMessage& call, PowerBackend::Done done, QObject* owner) {
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kActionTimeoutMs), owner);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, owner,
                     [watcher, done = std::move(done)] {
                         watcher->deleteLater();
                         if (!watcher->isError()) {
                             done({});
                             return;
                         }
                         const QDBusError error = watcher->error();
                         const QString text = error.message().isEmpty() ? error.name() : error.message();
                         done(std::unexpected(Error{Error::kInvalidInput, text.toStdString(), {}}));
                     });
}

Display* X11Display() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr ? x11->display() : nullptr;
}

bool HasDpms(Display* display) {
    int eventBase = 0;
    int errorBase = 0;
    return display != nullptr && DPMSQueryExtension(display, &eventBase, &errorBase) && DPMSCapable(display);
}

}  // namespace

DesktopPowerBackend::DesktopPowerBackend(QObject* parent) : QObject(parent) {}

bool DesktopPowerBackend::CanPerform(PowerAction action) {
    if (action == PowerAction::LogOff) return RunningSessionManager() != nullptr;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return false;
    const QDBusMessage reply =
        bus.call(LogindCall(LogindActionOf(action).canMethod), QDBus::Block, kQueryTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
    const QString answer = reply.arguments().front().toString();
    // "challenge": allowed once the user authenticates.
    return answer == QLatin1String("yes") || answer == QLatin1String("challenge");
}

void DesktopPowerBackend::Perform(PowerAction action, bool force, Done done) {
    if (action == PowerAction::LogOff) {
        const SessionManager* manager = RunningSessionManager();
        if (manager == nullptr) {
            done(std::unexpected(Error{Error::kInvalidInput, "找不到桌面的会话管理器", {}}));
            return;
        }
        CallAndReport(QDBusConnection::sessionBus(), LogoutCall(*manager, force), std::move(done), this);
        return;
    }
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        done(std::unexpected(Error{Error::kInvalidInput, "无法连接系统总线（logind）", {}}));
        return;
    }
    const LogindAction logind = LogindActionOf(action);
    if (!force) {
        if (const QString holder = BlockingInhibitor(logind.inhibitWhat); !holder.isEmpty()) {
            done(std::unexpected(Error{Error::kInvalidInput, "“" + holder.toStdString() + "”正在阻止此动作", {}}));
            return;
        }
    }
    QDBusMessage call = LogindCall(logind.method);
    call << true;  // interactive: polkit may ask for a password
    CallAndReport(bus, call, std::move(done), this);
}

bool DesktopPowerBackend::CanTurnMonitorOff() { return HasDpms(X11Display()); }

std::expected<void, Error> DesktopPowerBackend::TurnMonitorOff() {
    if (!HasDpms(X11Display())) {
        return std::unexpected(Error{Error::kInvalidInput, "此桌面不能关闭显示器（需要 X11 的 DPMS）", {}});
    }
    QTimer::singleShot(kMonitorSettleMs, this, [] {
        Display* display = X11Display();
        if (!HasDpms(display)) return;
        CARD16 level = 0;
        BOOL enabled = 0;
        DPMSInfo(display, &level, &enabled);
        // Forcing a level needs DPMS on; the server then keeps its own time-outs.
        if (!enabled) DPMSEnable(display);
        DPMSForceLevel(display, DPMSModeOff);
        XFlush(display);
    });
    return {};
}

}  // namespace varnel
