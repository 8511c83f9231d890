#include "platform/volume_label.h"

#include <cerrno>

#include <gio/gio.h>

namespace varnel {

namespace {

constexpr const char* kService = "org.freedesktop.UDisks2";
constexpr int kResolveTimeoutMs = 10000;
constexpr int kSetLabelTimeoutMs = 60000;

Error FailureOf(GError* error, const std::string& device) {
    Error failure{EIO, std::string("无法修改卷标: ") + error->message, device};
    g_error_free(error);
    return failure;
}

GVariant* EmptyOptions() { return g_variant_new("a{sv}", nullptr); }

}  // namespace

std::expected<void, Error> SetVolumeLabel(const std::string& device, const std::string& label) {
    if (device.empty() || device[0] != '/') {
        return std::unexpected(Error{ENODEV, "无法修改卷标: 不是本机的磁盘设备", device});
    }
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, &error);
    if (bus == nullptr) return std::unexpected(FailureOf(error, device));

    GVariantBuilder lookup;
    g_variant_builder_init(&lookup, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&lookup, "{sv}", "path", g_variant_new_bytestring(device.c_str()));
    GVariant* resolved = g_dbus_connection_call_sync(
        bus, kService, "/org/freedesktop/UDisks2/Manager", "org.freedesktop.UDisks2.Manager",
        "ResolveDevice", g_variant_new("(a{sv}@a{sv})", &lookup, EmptyOptions()),
        G_VARIANT_TYPE("(ao)"), G_DBUS_CALL_FLAGS_NONE, kResolveTimeoutMs, nullptr, &error);
    if (resolved == nullptr) {
        g_object_unref(bus);
        return std::unexpected(FailureOf(error, device));
    }
    GVariantIter* objects = nullptr;
    g_variant_get(resolved, "(ao)", &objects);
    const gchar* objectPath = nullptr;
    std::string blockObject;
    if (g_variant_iter_next(objects, "&o", &objectPath)) blockObject = objectPath;
    g_variant_iter_free(objects);
    g_variant_unref(resolved);
    if (blockObject.empty()) {
        g_object_unref(bus);
        return std::unexpected(Error{ENODEV, "无法修改卷标: 找不到该设备", device});
    }

    GVariant* reply = g_dbus_connection_call_sync(
        bus, kService, blockObject.c_str(), "org.freedesktop.UDisks2.Filesystem", "SetLabel",
        g_variant_new("(s@a{sv})", label.c_str(), EmptyOptions()), nullptr,
        G_DBUS_CALL_FLAGS_ALLOW_INTERACTIVE_AUTHORIZATION, kSetLabelTimeoutMs, nullptr, &error);
    g_object_unref(bus);
    if (reply == nullptr) return std::unexpected(FailureOf(error, device));
    g_variant_unref(reply);
    return {};
}

}  // namespace varnel
