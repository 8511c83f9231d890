// Turns SIGTERM and SIGINT into a queued request on the UI thread, so that a
// session logout or a kill closes the program the normal way (settings saved).
#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace varnel {

class ExitSignalWatcher final : public QObject {
    Q_OBJECT
public:
    explicit ExitSignalWatcher(QObject* parent = nullptr);
    ~ExitSignalWatcher() override;

signals:
    void exitRequested();

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace varnel
