// Whole-file reads and atomic whole-file writes through PosixApi. An atomic write
// leaves either the old file or the new one on disk, never a mix; every write,
// sync and close is checked. Safe on any thread.
#pragma once

#include <expected>
#include <functional>
#include <string>
#include <string_view>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

std::expected<std::string, Error> ReadWholeFile(const std::string& path,
                                                PosixApi& os = SystemPosix());

// Reads the file from its first byte to its last, handing each chunk (at most 64 KiB)
// to `consume` in order, so that a large file is never held whole.
std::expected<void, Error> ReadFileInChunks(const std::string& path,
                                            const std::function<void(std::string_view)>& consume,
                                            PosixApi& os = SystemPosix());

// Writes `bytes` to a temporary file in the same folder, syncs it, gives it the
// mode and owner of the file it replaces, then renames it over `path`. A symbolic
// link at `path` is followed, so the link stays and its target is replaced.
std::expected<void, Error> WriteFileAtomically(const std::string& path, std::string_view bytes,
                                               PosixApi& os = SystemPosix());

// Writes all of `bytes` to an open descriptor, going on after short writes and
// EINTR; `path` names the file in the error.
std::expected<void, Error> WriteToDescriptor(int fd, std::string_view bytes, const std::string& path,
                                             PosixApi& os = SystemPosix());

// Creates the folder and any missing parents; an existing folder is fine.
std::expected<void, Error> EnsureDirectory(const std::string& path, mode_t mode,
                                           PosixApi& os = SystemPosix());

bool PathExists(const std::string& path, PosixApi& os = SystemPosix());
// An existing folder, or a link to one.
bool FolderExists(const std::string& path, PosixApi& os = SystemPosix());

}  // namespace varnel
