// Moving or copying one path to a new path that must not exist yet, as the tasks
// that send a row's file elsewhere do it, with the change written into the run's
// undo record. Execute runs only; used on the run's own thread.
#pragma once

#include <expected>
#include <string>

#include "platform/posix_api.h"
#include "runs/run_context.h"

namespace varnel {

// Why a transfer is refused or failed, as a row's status shows it.
inline constexpr const char* kTargetExists = "新路径已存在";
inline constexpr const char* kIntoItself = "目录不能转移到自身之内";
inline constexpr const char* kMoveFailed = "无法移动到新路径";
inline constexpr const char* kCopyFailed = "无法复制到新路径";

// Moves (or, with copy, copies) the file or folder at oldPath to newPath, creating
// missing folders (recorded as created). An existing newPath, or a folder sent into
// itself or its own subtree, is refused before anything is touched. What reached
// newPath is recorded even when part of it failed, so that undo can take it back.
// The reason on failure.
std::expected<void, std::string> TransferPathRecorded(RunContext& run, const std::string& oldPath,
                                                      const std::string& newPath, bool copy,
                                                      PosixApi& os = SystemPosix());

}  // namespace varnel
