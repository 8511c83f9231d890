// The few values that other programs look up about this one (its own path, folder
// overrides), kept in a small INI file in the settings folder. A key path's last
// "\"-separated part is the key, the rest its section.
#pragma once

#include <string>
#include <string_view>

#include "settings/settings_store.h"

namespace varnel {

inline constexpr const char* kRegistryFileName = "Varnel注册表.ini";
inline constexpr const char* kProgramPathKey = "Varnel软件\\Varnel更名\\运行目录";

class RegistryStore {
public:
    explicit RegistryStore(std::string iniPath, PosixApi& os = SystemPosix());

    // Written to disk at once; false when it could not be.
    bool WriteValue(std::string_view keyPath, std::string_view text);
    std::string ReadValue(std::string_view keyPath, std::string_view defaultValue = {});

private:
    bool Select(std::string_view keyPath, std::string& key);
    SettingsStore m_store;
};

}  // namespace varnel
