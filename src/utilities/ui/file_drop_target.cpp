#include "utilities/ui/file_drop_target.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <vector>

#include "utilities/path_routines.h"

namespace varnel {

namespace {

constexpr const char* kFilterName = "varnel-file-drop-target";

// The local path of a file URL as raw bytes: QUrl's own decoding would turn bytes
// that are not UTF-8 into replacement characters.
std::string LocalPathBytes(const QUrl& url) {
    if (!url.isLocalFile()) return {};
    const QByteArray encoded = url.path(QUrl::FullyEncoded).toLatin1();
    const QByteArray bytes = QByteArray::fromPercentEncoding(encoded);
    return bytes.toStdString();
}

class DropFilter final : public QObject {
public:
    DropFilter(QWidget* window, DropCallback callback) : QObject(window), m_callback(std::move(callback)) {
        setObjectName(kFilterName);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDropEvent*>(event);
                if (HasLocalPaths(drag->mimeData())) {
                    drag->acceptProposedAction();
                    return true;
                }
                return false;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                if (drop->mimeData() == nullptr ||
                    DeliverDroppedUrls(drop->mimeData()->urls(), m_callback) == 0) {
                    return false;
                }
                drop->acceptProposedAction();
                return true;
            }
            default:
                return QObject::eventFilter(watched, event);
        }
    }

private:
    static bool HasLocalPaths(const QMimeData* data) {
        if (data == nullptr || !data->hasUrls()) return false;
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) return true;
        }
        return false;
    }

    DropCallback m_callback;
};

}  // namespace

std::size_t DeliverDroppedUrls(const QList<QUrl>& urls, const DropCallback& callback) {
    std::vector<std::string> paths;
    for (const QUrl& url : urls) {
        std::string path = LocalPathBytes(url);
        if (!path.empty()) paths.push_back(std::move(path));
    }
    for (const std::string& path : paths) {
        callback(GetFolderOfDroppedPath(path), GetNameOfDroppedPath(path), path.size(), paths.size());
    }
    return paths.size();
}

void RegisterFileDropTarget(QWidget* window, bool enable, DropCallback callback) {
    if (window == nullptr) return;
    if (!enable) {
        UnregisterFileDropTarget(window);
        return;
    }
    if (window->findChild<DropFilter*>(kFilterName, Qt::FindDirectChildrenOnly) != nullptr) return;
    auto* filter = new DropFilter(window, std::move(callback));
    window->installEventFilter(filter);
    window->setAcceptDrops(true);
}

void UnregisterFileDropTarget(QWidget* window) {
    if (window == nullptr) return;
    if (auto* filter = window->findChild<DropFilter*>(kFilterName, Qt::FindDirectChildrenOnly)) {
        window->removeEventFilter(filter);
        delete filter;
    }
    window->setAcceptDrops(false);
}

}  // namespace varnel
