#include "platform/xdg_paths.h"

#include "platform/posix_api.h"

#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

namespace varnel {

namespace {

// A relative value is invalid under the freedesktop base directory rules: ignore it.
std::string AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    return (value != nullptr && value[0] == '/') ? std::string(value) : std::string();
}

std::string FolderFromEnv(const char* name, const char* fallbackUnderHome) {
    std::string folder = AbsoluteEnv(name);
    if (folder.empty()) folder = HomeFolder() + fallbackUnderHome;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

}  // namespace

std::string HomeFolder() {
    std::string home = AbsoluteEnv("HOME");
    if (home.empty()) {
        if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir) {
            home = entry->pw_dir;
        }
    }
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    return home;
}

std::string ConfigHome() { return FolderFromEnv("XDG_CONFIG_HOME", "/.config"); }
std::string DataHome() { return FolderFromEnv("XDG_DATA_HOME", "/.local/share"); }
std::string CacheHome() { return FolderFromEnv("XDG_CACHE_HOME", "/.cache"); }

std::string SettingsFolder() { return ConfigHome() + "/Varnel"; }

std::string InstanceChannelFolder() {
    std::string runtime = AbsoluteEnv("XDG_RUNTIME_DIR");
    if (runtime.empty()) return {};
    while (runtime.size() > 1 && runtime.back() == '/') runtime.pop_back();
    return (runtime == "/" ? "" : runtime) + "/Varnel";
}

std::string ProgramPath() {
    char buffer[4096];
    const ssize_t length = SystemPosix().Readlink("/proc/self/exe", buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

}  // namespace varnel
