// Copying and moving files and folder trees, and making the missing folders of a
// path, as every file-moving feature shares them. Nothing here ever replaces an
// existing path, follows a symbolic link into a folder, moves or copies a folder
// into itself, or loses a file that failed to move. No messages: callers report.
// Safe on any thread; every system call goes through PosixApi.
#pragma once

#include <expected>
#include <string>
#include <vector>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

// Moves one path (a file, a link, or a whole folder by one rename) to a target that
// must not exist. Across file systems a file is copied, checked, then its source is
// removed; a folder that cannot be renamed is refused here (CopyFolderTree walks it).
// A target that is the source itself under another spelling (a change of letter
// case on a case-insensitive file system) is reached through a temporary name.
std::expected<void, Error> MovePathNoReplace(const std::string& source, const std::string& target,
                                             PosixApi& os = SystemPosix());

// The same move for a rename inside one folder (the folder path `folder`), with both
// names looked up through `folderFd`, that folder held open by the caller: a run
// renaming many names of one folder walks its path once. With folderFd < 0, or
// when the plain rename cannot finish the move, it is MovePathNoReplace.
std::expected<void, Error> MoveNameNoReplace(int folderFd, const std::string& folder, const std::string& oldName,
                                             const std::string& newName, PosixApi& os = SystemPosix());

// Copies one file (or a symbolic link as a link) to a target that must not exist:
// written to a temporary file beside the target, synced, given the source's mode and
// times, then put in place only if the target is still absent.
std::expected<void, Error> CopyFileNoReplace(const std::string& source, const std::string& target,
                                             PosixApi& os = SystemPosix());

// Creates every missing folder of path before its last "/" (all of them for a path
// ending in "/"), appending each created one to createdFolders, outermost first.
// Stops at the first folder it cannot make. A relative path fails.
bool EnsureFolderChain(const std::string& path, std::vector<std::string>& createdFolders,
                       PosixApi& os = SystemPosix());

// Puts the finished file `temporary` in the folder path `folder` under `name`, or,
// when that is taken, under "main (n).ext" for the first n = 1, 2, ... that is free:
// nothing that exists is ever replaced, even by a name taken meanwhile. The path it
// now has, or why it could not be placed (`temporary` is then left where it is).
std::expected<std::string, Error> PlaceFileUnderFreeName(const std::string& temporary, const std::string& folder,
                                                         const std::string& name, PosixApi& os = SystemPosix());

// True when target is source itself or lies inside it (compared by resolved path).
bool IsSameOrInside(const std::string& source, const std::string& target, PosixApi& os = SystemPosix());

// Copies (copy true) or moves a file or folder tree to target. Files are never
// written over: an existing target file fails. A file that fails is appended to
// failedPaths and the result is false, the rest goes on. After a move, source
// folders left empty are removed innermost first; a folder still holding a file that
// failed stays with it. writtenFiles, when given, receives every file and link
// written at the target one by one (a folder moved by one rename is not walked), so
// that an undo can remove exactly those.
bool CopyOrMovePath(const std::string& source, const std::string& target, bool copy,
                    std::vector<std::string>& createdFolders, std::vector<std::string>& failedPaths,
                    PosixApi& os = SystemPosix(), std::vector<std::string>* writtenFiles = nullptr);

// The folder-tree half of CopyOrMovePath (source and target without trailing "/").
bool CopyFolderTree(const std::string& source, const std::string& target, bool copy,
                    std::vector<std::string>& failedPaths, std::vector<std::string>& createdFolders,
                    PosixApi& os = SystemPosix(), std::vector<std::string>* writtenFiles = nullptr);

// Moves each path to the trash; a path that cannot go there (a file system without
// a trash) is listed in failedPaths and left where it is, never deleted for good.
// False for an empty list or when any path failed.
bool RecycleFiles(const std::vector<std::string>& paths, std::vector<std::string>& failedPaths);

}  // namespace varnel
