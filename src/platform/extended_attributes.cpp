#include "platform/extended_attributes.h"

#include <cerrno>
#include <string>
#include <vector>

namespace varnel {

std::expected<void, Error> CopyExtendedAttributes(const std::string& from, const std::string& to, PosixApi& os) {
    std::vector<char> names(1024);
    ssize_t length = 0;
    for (;;) {
        length = os.Listxattr(from.c_str(), names.data(), names.size());
        if (length >= 0) break;
        if (errno == ENOTSUP || errno == ENOSYS) return {};
        if (errno != ERANGE) return std::unexpected(MakeSystemError(errno, from, "无法读取扩展属性"));
        names.resize(names.size() * 4);
    }
    std::vector<char> value;
    for (ssize_t at = 0; at < length;) {
        const char* name = names.data() + at;
        at += static_cast<ssize_t>(std::char_traits<char>::length(name)) + 1;
        ssize_t size = os.Getxattr(from.c_str(), name, nullptr, 0);
        if (size < 0) continue;  // gone meanwhile
        value.resize(static_cast<std::size_t>(size));
        size = os.Getxattr(from.c_str(), name, value.data(), value.size());
        if (size < 0) continue;
        if (os.Setxattr(to.c_str(), name, value.data(), static_cast<std::size_t>(size), 0) != 0 &&
            errno != ENOTSUP && errno != EPERM) {
            return std::unexpected(MakeSystemError(errno, to, "无法设置扩展属性"));
        }
    }
    return {};
}


}  // namespace varnel
