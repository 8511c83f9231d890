// Showing a file or folder in the desktop's file manager, selected inside the
// folder that holds it (org.freedesktop.FileManager1.ShowItems on the session bus);
// where no file manager answers that, the holding folder is opened with the
// default application instead. Nothing is executed as a program. UI thread: the
// request waits a few seconds at most for the session bus.
#pragma once

#include <expected>
#include <string>

#include "utilities/error.h"

namespace varnel {

std::expected<void, Error> ShowItemInFileManager(const std::string& path);

}  // namespace varnel
