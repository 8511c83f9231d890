#include "runs/recorded_transfer.h"

#include <cerrno>
#include <vector>

#include <sys/stat.h>

#include "fileops/copy_move.h"
#include "runs/undo_record.h"
#include "utilities/error.h"

namespace varnel {

std::expected<void, std::string> TransferPathRecorded(RunContext& run, const std::string& oldPath,
                                                      const std::string& newPath, bool copy, PosixApi& os) {
    struct stat existing {};
    if (os.Lstat(newPath.c_str(), &existing) == 0) return std::unexpected(kTargetExists);
    if (errno != ENOENT) return std::unexpected(SystemErrorReason(errno));
    if (IsSameOrInside(oldPath, newPath, os)) return std::unexpected(kIntoItself);

    std::vector<std::string> createdFolders;
    std::vector<std::string> failedPaths;
    std::vector<std::string> written;
    const bool done = CopyOrMovePath(oldPath, newPath, copy, createdFolders, failedPaths, os, &written);
    UndoRecord& record = run.Record();
    AppendCreatedPaths(record.createdFolders, createdFolders, os);
    TransferEntry entry{newPath, oldPath, ReadPathIdentity(newPath, os).value_or(PathIdentity{}), {}};
    const bool folderCopy = copy && entry.newIdentity.known && entry.newIdentity.isFolder;
    if (folderCopy) AppendCreatedPaths(entry.createdFiles, written, os);
    if (!done) {
        // What got there already can still be undone: the files a folder copy
        // wrote, or the part of a folder that moved.
        if (folderCopy ? !entry.createdFiles.empty() : (!copy && !written.empty())) {
            record.transfers.push_back(std::move(entry));
        }
        return std::unexpected(copy ? kCopyFailed : kMoveFailed);
    }
    record.transfers.push_back(std::move(entry));
    return {};
}

}  // namespace varnel
