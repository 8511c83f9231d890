#include "platform/file_manager.h"

#include <cerrno>

#include <gio/gio.h>

#include "utilities/path_routines.h"
#include "platform/shell_open.h"

namespace varnel {

namespace {

constexpr int kFileManagerTimeoutMs = 5000;

bool AskFileManagerToShow(const std::string& uri) {
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (bus == nullptr) {
        g_error_free(error);
        return false;
    }
    const gchar* uris[] = {uri.c_str(), nullptr};
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
        "org.freedesktop.FileManager1", "ShowItems", g_variant_new("(^ass)", uris, ""), nullptr,
        G_DBUS_CALL_FLAGS_NONE, kFileManagerTimeoutMs, nullptr, &error);
    g_object_unref(bus);
    if (reply == nullptr) {
        g_error_free(error);
        return false;
    }
    g_variant_unref(reply);
    return true;
}

}  // namespace

std::expected<void, Error> ShowItemInFileManager(const std::string& path) {
    auto uri = ShellUriFor(path);
    if (!uri) return std::unexpected(std::move(uri.error()));
    if (AskFileManagerToShow(*uri)) return {};
    const std::string parent = GetParentOfPath(path);
    return OpenWithShell(parent.empty() ? std::string("/") : parent);
}

}  // namespace varnel
