// The user's virtual folders (named shortcuts to folders shown under 虚拟夹) and
// their file "Varnel目录树.ini": section "虚拟夹", key "虚拟子夹", each record
// name + "|" + path, records joined by "||". The format has no escape, so a name or
// path holding "|" or a line break cannot be stored and is refused before it gets
// here. A record whose folder is absent for now (an unplugged disk) is kept.
#pragma once

#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

inline constexpr const char* kTreeFileName = "Varnel目录树.ini";
inline constexpr const char* kVirtualFoldersSection = "虚拟夹";
inline constexpr const char* kVirtualFoldersKey = "虚拟子夹";
inline constexpr const char* kUnstorableTextMessage =
    "名称和路径中不能含有“|”或换行符，否则无法保存到虚拟夹中！";

struct VirtualFolderRecord {
    std::string name;
    std::string path;
    bool operator==(const VirtualFolderRecord&) const = default;
};

// The text after the last "/": "/a/b" gives "b"; "/" gives "/"; a text without "/"
// is returned whole.
std::string GetLastPathComponent(std::string_view path);

// Whether the text can be stored in the file (no "|", no line break).
bool IsStorableInVirtualFolders(std::string_view text);

// Records from the stored text, in order: one trailing "/" of a path is dropped;
// a single part is the path, named after its last component; a blank name becomes
// the last component too; parts after the second are ignored; an element without
// an absolute path is dropped.
std::vector<VirtualFolderRecord> ParseVirtualFolders(std::string_view text);
std::string JoinVirtualFolders(const std::vector<VirtualFolderRecord>& records);

// What a missing key reads as: "主目录|" + home + "||根目录|/".
std::string DefaultVirtualFolders(const std::string& home);

// The records of the tree file; a missing file or key gives the default records.
std::vector<VirtualFolderRecord> LoadVirtualFolders(const std::string& treeFile,
                                                    const std::string& home,
                                                    PosixApi& os = SystemPosix());
std::expected<void, Error> SaveVirtualFolders(const std::string& treeFile,
                                              const std::vector<VirtualFolderRecord>& records,
                                              PosixApi& os = SystemPosix());

}  // namespace varnel
