#include "settings/registry_store.h"

namespace varnel {

RegistryStore::RegistryStore(std::string iniPath, PosixApi& os) : m_store(os) {
    m_store.SetFile(std::move(iniPath));
}

bool RegistryStore::Select(std::string_view keyPath, std::string& key) {
    const auto split = keyPath.rfind('\\');
    if (split == std::string_view::npos || split == 0) return false;
    m_store.SelectSection(keyPath.substr(0, split));
    key = std::string(keyPath.substr(split + 1));
    return true;
}

bool RegistryStore::WriteValue(std::string_view keyPath, std::string_view text) {
    std::string key;
    if (!Select(keyPath, key) || !m_store.WriteText(key, text)) return false;
    return m_store.Flush().has_value();
}

std::string RegistryStore::ReadValue(std::string_view keyPath, std::string_view defaultValue) {
    std::string key;
    if (!Select(keyPath, key)) return std::string(defaultValue);
    return m_store.ReadText(key, defaultValue);
}

}  // namespace varnel
