// The 23 well-known folders of the user listed under 系统夹: their names and where
// each lives here. The folders that have a freedesktop user-dir (desktop, documents,
// music, pictures, videos) are read from user-dirs.dirs and redirected by rewriting
// it; the others come from the base directories or fixed places, or are undefined,
// and a redirection keeps an override for them in the program's own folder store.
// Paths are read afresh at every call, never cached. UI thread.
#pragma once

#include <expected>
#include <optional>
#include <string>
#include <string_view>

#include "settings/registry_store.h"
#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

inline constexpr int kSystemFolderCount = 23;
inline constexpr int kDesktopFolderIndex = 1;
inline constexpr int kSendToFolderIndex = 15;
inline constexpr const char* kUndefinedPathText = "路径未定义！";

// The display name of entry 1..23 ("桌面", "我的文档", ...); "" outside that range.
std::string_view SystemFolderName(int index);

class SystemFolders {
public:
    explicit SystemFolders(std::string registryFile, PosixApi& os = SystemPosix());

    // The folder of entry 1..23, without a trailing "/"; nothing when it is undefined
    // (or the index is out of range).
    std::optional<std::string> Path(int index);
    // Points the entry at `folder`: the user-dirs file for the user-dir entries, the
    // override store for the others.
    std::expected<void, Error> Redirect(int index, const std::string& folder);

private:
    RegistryStore m_overrides;
    PosixApi& m_os;
};

}  // namespace varnel
