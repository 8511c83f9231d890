#include "filetasks/path_task.h"

#include <algorithm>
#include <cerrno>
#include <unordered_set>

#include <sys/stat.h>

#include "filetasks/list_export.h"
#include "filetasks/shortcut_file.h"
#include "fileops/copy_move.h"
#include "platform/file_io.h"
#include "runs/recorded_transfer.h"
#include "runs/rename_step.h"
#include "runs/run_meta.h"
#include "runs/undo_record.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

bool IsFolderCopyOrMove(PathMode mode) { return mode == PathMode::Move || mode == PathMode::Copy; }

// The path the row's action makes inside `folder` (which ends in "/").
std::string TargetOf(PathMode mode, const std::string& folder, const std::string& name) {
    switch (mode) {
        case PathMode::Shortcut: return folder + name + kShortcutExtension;
        case PathMode::StarterScript: return folder + name + kStarterScriptExtension;
        case PathMode::FoldersOnly: return folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
        default: return folder + name;
    }
}

// Said without asking the disk: the target is the source or lies inside it.
bool LexicallyInside(const std::string& source, const std::string& target) {
    return target == source || target.starts_with(source + "/");
}

class PathRow {
public:
    PathRow(RunContext& run, RunRows& rows, std::size_t row, PosixApi& os)
        : m_run(run), m_rows(rows), m_row(row), m_os(os) {}

    void Fail(const std::string& path, std::string reason) {
        m_rows.SetCell(m_row, ListColumn::Preview, FailedStatus(reason));
        m_run.LogFailure(path, std::move(reason));
    }
    void Done() { m_rows.SetCell(m_row, ListColumn::Preview, kStatusDone); }

    // Records a file the run made from the row's path; read after its last write.
    void RecordMade(const std::string& made, const std::string& original) {
        m_run.Record().transfers.push_back(
            {made, original, ReadPathIdentity(made, m_os).value_or(PathIdentity{}), {}});
    }

private:
    RunContext& m_run;
    RunRows& m_rows;
    std::size_t m_row;
    PosixApi& m_os;
};

}  // namespace

std::string PathShortcutDescription(const std::string& name) {
    return GetMainNameOfPath(name) + "(创建:Varnel更名)";
}

std::expected<void, Error> WriteBatchFile(const std::string& scriptPath, const std::vector<std::string>& paths,
                                          bool relative, PosixApi& os) {
    std::string text = StarterScriptHeader(relative);
    for (const std::string& path : paths) {
        text += FormatStarterLine(relative ? PathRelativeToMountPoint(path, os) : path);
        text += '\n';
    }
    if (auto written = WriteNewFileAtomically(scriptPath, text, os); !written) return written;
    if (os.Chmod(scriptPath.c_str(), 0755) != 0) {
        const Error error = MakeSystemError(errno, scriptPath, "无法设置文件权限");
        os.Unlink(scriptPath.c_str());
        return std::unexpected(error);
    }
    return {};
}

void TransferPathOfFile(RunContext& run, RunRows& rows, std::size_t row, const PathTaskParams& params,
                        const MetaEnvironment& meta, std::vector<std::string>& created, PosixApi& os) {
    const std::string name = rows.Name(row);
    if (name.empty()) return;  // the row has left the list
    const std::string path = rows.Folder(row) + name;
    PathRow result(run, rows, row, os);

    MetaExpansionRequest request;
    request.path = path;
    request.text = params.newFolder;
    request.row = static_cast<std::int64_t>(row) + 1;
    std::expected<std::string, Error> expanded = ExpandMetaVariables(meta, request);
    if (!expanded) return result.Fail(path, FailureReason(expanded.error()));
    if (expanded->empty() || expanded->front() != '/') return result.Fail(path, kNewFolderNotAbsolute);
    const std::string folder = WithTrailingSlash(*expanded);
    const std::string target = TargetOf(params.mode, folder, name);
    // A folder copied into its own subtree, or moved onto itself; a file whose new
    // folder would be the file.
    if (LexicallyInside(path, target) && target != path) {
        if (!rows.IsFolder(row)) return result.Fail(path, kNewFolderIsTheFile);
        if (IsFolderCopyOrMove(params.mode)) return result.Fail(path, kIntoItself);
    }
    if (IsFolderCopyOrMove(params.mode) && rows.IsFolder(row) && target == path) return result.Fail(path, kIntoItself);
    if (!run.IsExecute()) {
        rows.SetCell(row, ListColumn::Preview, target);
        return;
    }
    // Checked before the folders are made: none of them may land inside the source.
    if (IsFolderCopyOrMove(params.mode) && IsSameOrInside(path, target, os)) return result.Fail(path, kIntoItself);

    std::vector<std::string> madeFolders;
    const bool chain = EnsureFolderChain(folder, madeFolders, os);
    AppendCreatedPaths(run.Record().createdFolders, madeFolders, os);
    if (!chain) return result.Fail(path, kNewFolderFailed);

    switch (params.mode) {
        case PathMode::Move:
        case PathMode::Copy: {
            const bool copy = params.mode == PathMode::Copy;
            if (auto moved = TransferPathRecorded(run, path, target, copy, os); !moved) {
                return result.Fail(path, std::move(moved.error()));
            }
            // The row follows its moved file, and the rows under a moved folder follow it.
            if (!copy) {
                rows.SetCell(row, ListColumn::Folder, folder);
                if (rows.IsFolder(row)) rows.FollowFolderMove(path, target);
            }
            break;
        }
        case PathMode::Shortcut: {
            struct stat existing {};
            if (os.Lstat(target.c_str(), &existing) == 0) return result.Fail(path, kTargetExists);
            const std::string description = PathShortcutDescription(name);
            if (!CreateLnkShortcut(target, path, &description, nullptr, nullptr, os)) {
                return result.Fail(path, kShortcutFailed);
            }
            result.RecordMade(target, path);
            created.push_back(target);
            break;
        }
        case PathMode::StarterScript: {
            struct stat existing {};
            if (os.Lstat(target.c_str(), &existing) == 0) return result.Fail(path, kTargetExists);
            if (auto written = WriteBatchFile(target, {path}, params.relativePath, os); !written) {
                return result.Fail(path, FailureReason(written.error()));
            }
            result.RecordMade(target, path);
            created.push_back(target);
            break;
        }
        case PathMode::FoldersOnly:
            // Undo may remove the folder only when this run made it.
            if (std::find(madeFolders.begin(), madeFolders.end(), target) != madeFolders.end()) {
                result.RecordMade(target, path);
            }
            created.push_back(target);
            break;
    }
    result.Done();
}

void RunPathTask(RunContext& run, RunRows& rows, const PathTaskParams& params, std::vector<std::string>* created,
                 PosixApi& os) {
    if (run.IsExecute()) run.Record().copyFlag = params.mode != PathMode::Move;
    RunMetaEnvironment meta(run, os);
    std::vector<std::string> made;
    ForEachRunRow(run, rows, [&](std::size_t row) { TransferPathOfFile(run, rows, row, params, meta.Get(), made, os); });
    if (created == nullptr || !run.IsExecute()) return;
    // One row per path, in the order they were first made.
    std::unordered_set<std::string> seen;
    for (std::string& path : made) {
        if (seen.insert(path).second) created->push_back(std::move(path));
    }
}

}  // namespace varnel
