// The program's tray icon: its tip; a left click hides the main window or brings it
// back; a right click pops up the 帮助 menu; notices are shown on it through the
// notifier. It is added again when a tray host comes back, and the main window is
// never left hidden when no tray could bring it back. UI thread only.
#pragma once

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

namespace varnel {

class QtUserNotifier;

class TrayIcon final : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kTip =
        "Varnel更名 - 您身边的批量文件操作专家和多功能文件搜寻专家！";

    // Installs the icon for `window` with `menu` as its right-click menu.
    TrayIcon(QWidget& window, QMenu* menu, QtUserNotifier& notifier, QObject* parent = nullptr);
    // Takes the icon out of the tray.
    ~TrayIcon() override;

    QSystemTrayIcon& Icon() { return m_icon; }
    // The left click: hides a shown window (only while a tray shows the icon) and
    // brings a hidden one back, restored and in front.
    void FlipWindow();
    // Shows the window again when it is hidden and no tray shows the icon.
    void RescueHiddenWindow();

private:
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    void OnStatusNotifierHostBack();
    void BringWindowToFront();

    QWidget& m_window;
    QtUserNotifier& m_notifier;
    QSystemTrayIcon m_icon;
    QTimer m_hiddenWatch;
};

}  // namespace varnel
