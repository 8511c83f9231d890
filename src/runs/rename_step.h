// The step every rename task hands its new names to: meta-variables expanded on the
// row's path, the characters a file name may not hold replaced, then, by the run's
// mode, the preview written, the file renamed, or the file copied under its new
// name into the transfer folder. Execute runs record each change in the run's undo
// record and log each failed row by its full path; a failed row never stops the
// run. Used on the run's own thread; touches the list only through the run's rows.
#pragma once

#include <atomic>
#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "naming/meta_expansion.h"
#include "platform/open_folder.h"
#include "platform/posix_api.h"
#include "runs/identity_reader.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"

namespace varnel {

// The status words of the preview column: the row changed, failed, had nothing to do.
inline constexpr const char* kStatusDone = "√";
inline constexpr const char* kStatusFailed = "×";
inline constexpr const char* kStatusNothing = "○";
// The status of a failed row: "×", then the reason where there is one.
std::string FailedStatus(std::string_view reason);

// The preview of a transfer: this text, then the target path.
inline constexpr const char* kTransferPreviewPrefix = "转移至：";
// Why a transfer fails before anything is copied.
inline constexpr const char* kNoTransferFolder = "没有设置转移目录";

// Replaces \ / : * ? < > | and " by their full-width forms and removes every CR LF
// pair (a lone CR or LF stays), so a name never holds a folder part.
void SanitizeFileName(std::string& name);

// Why a cleaned name cannot name a file here: it holds a control character or a
// "/", is "." or "..", or is longer than 255 bytes. Nothing for a usable (or empty)
// name.
std::optional<std::string> FileNameProblem(std::string_view name);

class RenameStep {
public:
    // The run's transfer folder, mode and meta-variable parameters are read once here.
    RenameStep(RunContext& run, RunRows& rows, PosixApi& os = SystemPosix());
    // Waits for the identities still being read and puts them in the record.
    ~RenameStep();
    RenameStep(const RenameStep&) = delete;
    RenameStep& operator=(const RenameStep&) = delete;

    // The task's new name for run row `row`: expanded, cleaned, then renamed or
    // transferred. On return newName holds the expanded and cleaned name. A row
    // that has left the list is skipped.
    void ApplyNewNameToRow(std::size_t row, std::string& newName);
    // The same for a caller that has read the row's name already.
    void ApplyNewNameToRow(std::size_t row, const std::string& oldName, std::string& newName);
    // The same for a name a task made from the row's name and texts it expanded
    // already (UserTextExpander): nothing in it is expanded, so what it keeps of
    // the old name stays as it was. Cleaned, then renamed or transferred.
    void ApplyMadeNameToRow(std::size_t row, const std::string& oldName, std::string& newName);

    // Renames the row's file to newName (a preview only shows it). True when the
    // row needed no change or changed; false when the rename failed.
    bool RenameRowFile(std::size_t row, const std::string& newName);
    // Copies the row's file or folder to the transfer folder under newName; the row
    // then points at the copy (a preview only shows the target). False on a failed copy.
    bool TransferRowFile(std::size_t row, const std::string& newName);

    // A row that failed: its status shows "×" and the reason, in a preview as in
    // an execute run, which also logs it.
    void FailRow(std::size_t row, const std::string& path, std::string reason = {});

private:
    void ApplyMadeNameToRow(std::size_t row, const std::string& oldName, std::string& newName, std::string folder);
    bool Rename(std::size_t row, const std::string& folder, const std::string& oldName,
                const std::string& newName);
    bool Transfer(std::size_t row, const std::string& folder, const std::string& oldName,
                  const std::string& newName);
    // The identity of the file just renamed into the record's last rename entry:
    // read at once in a small run, behind the renames on a reader thread in a large one.
    void RecordIdentity(int folderFd, const std::string& folder, const std::string& newName);
    void SubmitIdentityBatch();
    void FinishIdentities();

    RunContext& m_run;
    RunRows& m_rows;
    PosixApi& m_os;
    OpenFolder m_folder{m_os};
    std::atomic<bool> m_symbolsEnabled;
    MetaEnvironment m_meta;
    std::unique_ptr<IdentityReader> m_reader;
    std::vector<IdentityRequest> m_batch;
    std::vector<std::size_t> m_batchEntries;  // the rename entries m_batch's names belong to
    std::deque<std::pair<std::size_t, std::vector<std::size_t>>> m_inFlight;  // ticket, entries
};

}  // namespace varnel
