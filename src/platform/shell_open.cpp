#include "platform/shell_open.h"

#include <gio/gio.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>

namespace varnel {

namespace {

struct GFreeDeleter {
    void operator()(char* p) const { g_free(p); }
};
using GlibText = std::unique_ptr<char, GFreeDeleter>;

Error Refused(std::string_view target, std::string message) {
    return Error{Error::kInvalidInput, std::move(message), std::string(target)};
}

bool HasAllowedScheme(std::string_view scheme) {
    std::string lower(scheme);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    constexpr std::array<std::string_view, 3> allowed = {"file", "http", "https"};
    return std::ranges::find(allowed, lower) != allowed.end();
}

}  // namespace

std::expected<std::string, Error> ShellUriFor(std::string_view target) {
    const std::string text(target);
    if (text.empty()) return std::unexpected(Refused(target, "没有要打开的路径"));
    if (text.front() == '/') {
        GError* error = nullptr;
        GlibText uri(g_filename_to_uri(text.c_str(), nullptr, &error));
        if (!uri) {
            Error failure = Refused(target, error != nullptr ? error->message : "无效的路径");
            if (error != nullptr) g_error_free(error);
            return std::unexpected(failure);
        }
        return std::string(uri.get());
    }
    GlibText scheme(g_uri_parse_scheme(text.c_str()));
    if (!scheme || !HasAllowedScheme(scheme.get())) {
        return std::unexpected(Refused(target, "只能打开本地文件或 http、https 网址"));
    }
    return text;
}

std::expected<void, Error> OpenWithShell(std::string_view target) {
    auto uri = ShellUriFor(target);
    if (!uri) return std::unexpected(uri.error());
    GError* error = nullptr;
    if (!g_app_info_launch_default_for_uri(uri->c_str(), nullptr, &error)) {
        Error failure{Error::kInvalidInput,
                      error != nullptr ? error->message : "无法打开", std::string(target)};
        if (error != nullptr) g_error_free(error);
        return std::unexpected(failure);
    }
    return {};
}

}  // namespace varnel
