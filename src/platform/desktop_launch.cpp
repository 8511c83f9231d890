#include "platform/desktop_launch.h"

#include <cerrno>

#include <gio/gio.h>

#include "utilities/path_routines.h"

namespace varnel {

namespace {

constexpr int kFileManagerTimeoutMs = 5000;

std::string UriOfPath(const std::string& path) {
    gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
    if (uri == nullptr) return {};
    std::string result(uri);
    g_free(uri);
    return result;
}

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

std::expected<void, Error> OpenWithDefaultApplication(const std::string& path) {
    const std::string uri = UriOfPath(path);
    if (uri.empty()) return std::unexpected(Error{EINVAL, "无效的路径", path});
    GError* error = nullptr;
    if (g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error)) return {};
    Error failure{EIO, std::string("无法打开: ") + error->message, path};
    g_error_free(error);
    return std::unexpected(std::move(failure));
}

std::expected<void, Error> ShowItemInFileManager(const std::string& path) {
    const std::string uri = UriOfPath(path);
    if (uri.empty()) return std::unexpected(Error{EINVAL, "无效的路径", path});
    if (AskFileManagerToShow(uri)) return {};
    const std::string parent = GetParentOfPath(path);
    return OpenWithDefaultApplication(parent.empty() ? std::string("/") : parent);
}

}  // namespace varnel
