#include "dirtree/system_folders.h"

#include <array>
#include <cerrno>

#include "platform/xdg_paths.h"
#include "platform/xdg_user_dirs.h"

namespace varnel {

namespace {

// Where an entry lives on this system.
enum class Place {
    UserDir,              // a freedesktop user-dir, named by `userDir`
    Fonts,                // $XDG_DATA_HOME/fonts
    Applications,         // $XDG_DATA_HOME/applications (menu entries, the send-to entry)
    SystemApplications,   // /usr/share/applications
    Autostart,            // $XDG_CONFIG_HOME/autostart
    Cache,                // $XDG_CACHE_HOME
    Config,               // $XDG_CONFIG_HOME
    Undefined,            // no counterpart here
};

struct Entry {
    std::string_view name;
    std::string_view valueName;  // the key of its override
    Place place;
    std::string_view userDir = {};
};

constexpr std::array<Entry, kSystemFolderCount> kEntries = {{
    {"桌面", "Desktop", Place::UserDir, "DESKTOP"},
    {"我的文档", "Personal", Place::UserDir, "DOCUMENTS"},
    {"我的收藏夹", "Favorites", Place::Undefined},
    {"字体", "Fonts", Place::Fonts},
    {"开始菜单", "Start Menu", Place::Applications},
    {"所有程序", "Programs", Place::SystemApplications},
    {"启动项", "Startup", Place::Autostart},
    {"我的音乐", "My Music", Place::UserDir, "MUSIC"},
    {"我的图片", "My Pictures", Place::UserDir, "PICTURES"},
    {"我的视频", "My Video", Place::UserDir, "VIDEOS"},
    {"IE缓存", "Cache", Place::Cache},
    {"Cookies", "Cookies", Place::Undefined},
    {"历史记录", "History", Place::Undefined},
    {"网上邻居(NetHood)", "NetHood", Place::Undefined},
    {"发送到", "SendTo", Place::Applications},
    // These seven are the system's own places rather than folders of the user; they
    // stay undefined until redirected, so that "/", /tmp or the home folder do not
    // catch every path the tree goes to.
    {"临时文件", "temp", Place::Undefined},
    {"系统盘", "SystemDrive", Place::Undefined},
    {"系统根", "SystemRoot", Place::Undefined},
    {"程序文件", "ProgramFiles", Place::Undefined},
    {"共用程序文件", "CommonProgramFiles", Place::Undefined},
    {"当前用户", "USERPROFILE", Place::Undefined},
    {"所有用户", "ALLUSERSPROFILE", Place::Undefined},
    {"应用程序数据", "APPDATA", Place::Config},
}};

const Entry* EntryAt(int index) {
    return index >= 1 && index <= kSystemFolderCount ? &kEntries[static_cast<std::size_t>(index - 1)]
                                                      : nullptr;
}

std::string OverrideKey(const Entry& entry) {
    return "Shell Folders\\" + std::string(entry.valueName);
}

std::optional<std::string> DefaultPath(Place place) {
    switch (place) {
    case Place::Fonts: return DataHome() + "/fonts";
    case Place::Applications: return DataHome() + "/applications";
    case Place::SystemApplications: return std::string("/usr/share/applications");
    case Place::Autostart: return ConfigHome() + "/autostart";
    case Place::Cache: return CacheHome();
    case Place::Config: return ConfigHome();
    case Place::UserDir:
    case Place::Undefined: break;
    }
    return std::nullopt;
}

}  // namespace

std::string_view SystemFolderName(int index) {
    const Entry* entry = EntryAt(index);
    return entry != nullptr ? entry->name : std::string_view();
}

SystemFolders::SystemFolders(std::string registryFile, PosixApi& os)
    : m_overrides(std::move(registryFile), os), m_os(os) {}

std::optional<std::string> SystemFolders::Path(int index) {
    const Entry* entry = EntryAt(index);
    if (entry == nullptr) return std::nullopt;
    if (entry->place == Place::UserDir) return ReadUserDir(entry->userDir, m_os);
    std::string overridden = m_overrides.ReadValue(OverrideKey(*entry));
    if (!overridden.empty()) return overridden;
    return DefaultPath(entry->place);
}

std::expected<void, Error> SystemFolders::Redirect(int index, const std::string& folder) {
    const Entry* entry = EntryAt(index);
    if (entry == nullptr) return std::unexpected(Error{Error::kInvalidInput, "超出范围，最小 1，最大 23", {}});
    if (entry->place == Place::UserDir) return WriteUserDir(entry->userDir, folder, m_os);
    if (!m_overrides.WriteValue(OverrideKey(*entry), folder)) {
        return std::unexpected(Error{EIO, "无法保存系统夹的指向路径", folder});
    }
    return {};
}

}  // namespace varnel
