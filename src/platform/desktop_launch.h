// Showing folders to the user in the desktop's own file manager. A path is only
// ever opened with the default application for its type (a folder opens in the
// file manager); nothing is executed as a program. Call from the UI thread: the
// file manager request waits a few seconds at most for the session bus.
#pragma once

#include <expected>
#include <string>

#include "utilities/error.h"

namespace varnel {

// Opens the path with the default application for it (GIO).
std::expected<void, Error> OpenWithDefaultApplication(const std::string& path);

// Opens the folder that holds the path with the path selected
// (org.freedesktop.FileManager1.ShowItems); where no file manager answers that
// request, opens the holding folder instead.
std::expected<void, Error> ShowItemInFileManager(const std::string& path);

}  // namespace varnel
