// Desktop notifications (the freedesktop notification service on the session
// bus): the notice outlet of desktops without a tray. A new notification replaces
// the one this program showed before; Hide closes it. UI thread only; never waits
// for the service.
#pragma once

#include <QObject>
#include <QString>

#include <optional>

namespace varnel {

class DesktopNotifications final : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotifications(QObject* parent = nullptr);

    // A session bus with the service running or ready to start.
    bool Available() const;
    void Show(const QString& title, const QString& text, int displayMs);
    void Hide();

private:
    void Notify(const QString& title, const QString& text, int displayMs);
    void Close(uint id);

    struct Request {
        QString title;
        QString text;
        int displayMs = 0;
    };

    uint m_id = 0;           // the notification shown last, 0 for none
    bool m_pending = false;  // a Notify call has not been answered yet
    // What to do once it is answered: show the newest notice (replacing the one
    // being shown) or take the notice away.
    std::optional<Request> m_next;
    bool m_hideWhenAnswered = false;
    int m_markup = -1;         // whether the service reads markup in the body (-1 unknown)
};

}  // namespace varnel
