#include "utilities/file_uri.h"

namespace varnel {

namespace {

bool KeptAsIs(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~' || c == '/';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string FileUriOfPath(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri(kFileUriPrefix);
    uri.reserve(uri.size() + path.size() * 3);
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (KeptAsIs(byte)) {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0x0F];
        }
    }
    return uri;
}

std::optional<std::string> PathOfFileUri(std::string_view uri) {
    if (!uri.starts_with(kFileUriPrefix)) return std::nullopt;
    uri.remove_prefix(kFileUriPrefix.size());
    const std::size_t slash = uri.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string_view host = uri.substr(0, slash);
    if (!host.empty() && host != "localhost") return std::nullopt;
    uri.remove_prefix(slash);
    std::string path;
    path.reserve(uri.size());
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] != '%') {
            path += uri[i];
            continue;
        }
        if (i + 2 >= uri.size()) return std::nullopt;
        const int high = HexValue(uri[i + 1]);
        const int low = HexValue(uri[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        path += static_cast<char>(high * 16 + low);
        i += 2;
    }
    if (path.find('\0') != std::string::npos) return std::nullopt;
    return path;
}

}  // namespace varnel
