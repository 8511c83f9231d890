// The path transfer task (批量路径): every listed file or folder is moved or copied
// into a new folder computed per row from a template with meta-variables, or gets a
// shortcut or a starter script there, or only that folder is made. Nothing is ever
// written over: an existing target fails its row, and a folder is never sent into
// itself. Undo deletes what was made (every mode but the move) or moves the files
// back; a folder counts as made only when this run's mkdir made it. Runs on the
// run's own thread.
#pragma once

#include <expected>
#include <string>
#include <vector>

#include "naming/meta_expansion.h"
#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"
#include "utilities/error.h"

namespace varnel {

enum class PathMode : int { Move = 0, Copy = 1, Shortcut = 2, StarterScript = 3, FoldersOnly = 4 };

inline constexpr const char* kDefaultNewFolder = "#目录路径/#主名";
inline constexpr const char* kShortcutExtension = ".lnk";
inline constexpr const char* kStarterScriptExtension = ".sh";

struct PathTaskParams {
    PathMode mode = PathMode::Copy;
    std::string newFolder = kDefaultNewFolder;
    // Starter scripts name each path relative to the mount point that holds it.
    bool relativePath = true;
};

// Why a row fails besides what the transfer itself says.
inline constexpr const char* kNewFolderNotAbsolute = "新目录须是以 / 开头的完整路径";
inline constexpr const char* kNewFolderFailed = "无法创建新目录";
// The new folder would have to be made where the file itself is (a file without an
// extension under "#目录路径/#主名").
inline constexpr const char* kNewFolderIsTheFile = "新目录与这个文件同名，无法创建";
inline constexpr const char* kShortcutFailed = "无法创建快捷方式";

// The description of a shortcut the task makes for the file `name`.
std::string PathShortcutDescription(const std::string& name);

// Writes a new starter script at scriptPath that opens each path in turn (each
// relative to its mount point with relative), executable (0755). Never replaces
// an existing file; nothing stays behind when it fails.
std::expected<void, Error> WriteBatchFile(const std::string& scriptPath, const std::vector<std::string>& paths,
                                          bool relative, PosixApi& os = SystemPosix());

// One row: a preview shows the path the action would make; an execute run makes it,
// marks the row "√" or "×" with the reason, and records it for undo. The paths the
// shortcut, starter script and folder modes made are appended to `created`.
void TransferPathOfFile(RunContext& run, RunRows& rows, std::size_t row, const PathTaskParams& params,
                        const MetaEnvironment& meta, std::vector<std::string>& created,
                        PosixApi& os = SystemPosix());

// The runner. In an execute run the paths made for the list (shortcut, starter
// script and folder modes; each once) go to `created` when it is given.
void RunPathTask(RunContext& run, RunRows& rows, const PathTaskParams& params,
                 std::vector<std::string>* created = nullptr, PosixApi& os = SystemPosix());

}  // namespace varnel
