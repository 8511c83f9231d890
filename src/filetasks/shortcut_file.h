// Shortcut files: the Shell Link binary format (.lnk) read and written by our own
// code, and Internet shortcuts (.url, an INI file with the key URL of
// [InternetShortcut]). A property change keeps every part of a .lnk it does not
// concern byte for byte; writes are atomic. No state; safe on any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix_api.h"

namespace varnel {

// The nine properties of one shortcut, in the order every read and write uses.
struct ShortcutProperties {
    std::string targetPath;
    std::string workingDirectory;
    std::string relativePath;
    std::string iconLocation;  // a path, a comma and an icon index
    std::int32_t windowStyle = 1;  // 1 normal, 3 maximised, 7 minimised
    std::string description;
    std::string arguments;
    std::string hotkey;    // "Ctrl+Alt+K" and the like; "" for none
    std::string fullName;  // the shortcut file's own path (read only)
};

// A link path as the properties routines take it: unless it ends in ".lnk" or
// ".url" (any case), ".lnk" is appended.
std::string AdjustShortcutPathForProperties(std::string_view path);
// A link path as the target and create routines take it: blanks at both ends are
// removed, and ".lnk" is appended when the last "/" stands after the last ".".
std::string AdjustShortcutPathForLink(std::string_view path);

// The whole of a shortcut file (a link followed): nothing when it is not a regular
// file, is larger than any shortcut may be (1 MB), or cannot be read.
std::optional<std::string> ReadShortcutFileBytes(const std::string& path, PosixApi& os = SystemPosix());

// The target stored in a .lnk file as it stands (a path made elsewhere keeps its
// drive letter or UNC form); "" when the file is not a readable shell link.
std::string GetShortcutTarget(std::string path, PosixApi& os = SystemPosix());

// The value of key URL in section [InternetShortcut]; "" when missing.
std::string GetInternetShortcutUrl(const std::string& path, PosixApi& os = SystemPosix());

// Reads the properties of a .lnk or .url file (path adjusted as above, in place).
// False when the file cannot be read or its target is empty: then only targetPath
// may have changed, the other fields keep their values.
bool ReadShortcutProperties(std::string& path, ShortcutProperties& properties, PosixApi& os = SystemPosix());

// Writes the properties (fullName is not written: the file is where it is); a
// missing file is created. An empty iconLocation becomes the target with index 0.
// A changed target drops the stored item list and the blocks that carry a target;
// every other block stays as it was. False when the file cannot be read as a
// shortcut or cannot be written.
bool WriteShortcutProperties(std::string& path, const ShortcutProperties& properties,
                             PosixApi& os = SystemPosix());

// Creates a new .lnk pointing to target, shown normally; absent optional texts are
// not written. Never replaces an existing file. True when the file was written.
bool CreateLnkShortcut(std::string linkPath, const std::string& target, const std::string* description = nullptr,
                       const std::string* arguments = nullptr, const std::string* workingFolder = nullptr,
                       PosixApi& os = SystemPosix());

// For the broken-shortcut filter: whether the target of a .lnk exists. A target in
// Windows form (drive letter or UNC) cannot be checked here and counts as present;
// nothing when the file is not a readable shell link.
std::optional<bool> ShortcutTargetExists(std::string_view path, PosixApi& os = SystemPosix());

}  // namespace varnel
