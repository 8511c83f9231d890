#include "platform/trash.h"

#include <cerrno>

#include <gio/gio.h>

namespace varnel {

namespace {

int ErrnoOf(const GError* error) {
    if (error->domain != G_IO_ERROR) return EIO;
    switch (error->code) {
    case G_IO_ERROR_NOT_FOUND: return ENOENT;
    case G_IO_ERROR_PERMISSION_DENIED: return EACCES;
    case G_IO_ERROR_NOT_SUPPORTED: return ENOTSUP;
    case G_IO_ERROR_NO_SPACE: return ENOSPC;
    default: return EIO;
    }
}

}  // namespace

std::expected<void, Error> MoveToTrash(const std::string& path) {
    GFile* file = g_file_new_for_path(path.c_str());
    GError* error = nullptr;
    const bool moved = g_file_trash(file, nullptr, &error);
    g_object_unref(file);
    if (moved) return {};
    Error failure{ErrnoOf(error), std::string("无法移到回收站: ") + error->message, path};
    g_error_free(error);
    return std::unexpected(std::move(failure));
}

}  // namespace varnel
