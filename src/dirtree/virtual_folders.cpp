#include "dirtree/virtual_folders.h"

#include "settings/settings_store.h"

namespace varnel {

namespace {

std::vector<std::string_view> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) break;
        text.remove_prefix(at + separator.size());
    }
    return parts;
}

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

std::string GetLastPathComponent(std::string_view path) {
    if (path == "/") return "/";
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool IsStorableInVirtualFolders(std::string_view text) {
    return text.find_first_of("|\r\n") == std::string_view::npos;
}

std::vector<VirtualFolderRecord> ParseVirtualFolders(std::string_view text) {
    std::vector<VirtualFolderRecord> records;
    if (text.empty()) return records;
    for (std::string_view element : Split(text, "||")) {
        const std::vector<std::string_view> parts = Split(element, "|");
        VirtualFolderRecord record;
        if (parts.size() == 1) {
            record.path = std::string(parts[0]);
        } else {
            record.name = std::string(parts[0]);
            record.path = std::string(parts[1]);
        }
        if (record.path.size() > 1 && record.path.back() == '/') record.path.pop_back();
        if (record.path.empty() || record.path[0] != '/') continue;
        if (IsBlank(record.name)) record.name = GetLastPathComponent(record.path);
        records.push_back(std::move(record));
    }
    return records;
}

std::string JoinVirtualFolders(const std::vector<VirtualFolderRecord>& records) {
    std::string text;
    for (const VirtualFolderRecord& record : records) {
        if (!text.empty()) text += "||";
        text += record.name + "|" + record.path;
    }
    return text;
}

std::string DefaultVirtualFolders(const std::string& home) {
    return "主目录|" + home + "||根目录|/";
}

std::vector<VirtualFolderRecord> LoadVirtualFolders(const std::string& treeFile,
                                                    const std::string& home, PosixApi& os) {
    SettingsStore store(os);
    store.SetFile(treeFile);
    store.SelectSection(kVirtualFoldersSection);
    return ParseVirtualFolders(store.ReadText(kVirtualFoldersKey, DefaultVirtualFolders(home)));
}

std::expected<void, Error> SaveVirtualFolders(const std::string& treeFile,
                                              const std::vector<VirtualFolderRecord>& records,
                                              PosixApi& os) {
    SettingsStore store(os);
    store.SetFile(treeFile);
    store.SelectSection(kVirtualFoldersSection);
    if (!store.WriteText(kVirtualFoldersKey, JoinVirtualFolders(records))) {
        return std::unexpected(Error{Error::kInvalidInput, "虚拟夹无法保存", treeFile});
    }
    return store.Flush();
}

}  // namespace varnel
