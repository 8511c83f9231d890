// Files and folders dropped on a window, handed over one path at a time with the
// number of paths in the drop, so that the receiver can act once the last one has
// arrived. Only local paths are taken; names keep their exact bytes. UI thread only.
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>
#include <QWidget>

#include <cstddef>
#include <functional>
#include <string>

namespace varnel {

// folder is a folder path; pathLength is the byte length of the whole path.
using DropCallback = std::function<void(const std::string& folder, const std::string& name,
                                        std::size_t pathLength, std::size_t total)>;

// Hands the local paths among urls to callback, in order; returns how many.
std::size_t DeliverDroppedUrls(const QList<QUrl>& urls, const DropCallback& callback);

// enable true registers the window (once), false unregisters it.
void RegisterFileDropTarget(QWidget* window, bool enable, DropCallback callback);
void UnregisterFileDropTarget(QWidget* window);

}  // namespace varnel
