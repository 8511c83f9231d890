// Where the list merge tool's result goes: one file, or one numbered text file per
// line ("1.txt", "2.txt", … in a folder). Written as UTF-8, each file atomically;
// every failure is kept and reported, never taken for success. Any thread.
#pragma once

#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

// The result text as one file, replacing it.
std::expected<void, Error> SaveMergeResult(const std::string& path, std::string_view text,
                                           PosixApi& os = SystemPosix());

// The result's lines (split at LF or CR LF; a final break starts no line).
std::vector<std::string> MergeResultLines(std::string_view text);

// How many of "1.txt" … "<lineCount>.txt" already exist in the folder.
int CountExistingNumberedFiles(const std::string& folder, std::size_t lineCount, PosixApi& os = SystemPosix());

struct NumberedSaveOutcome {
    int written = 0;
    std::vector<Error> failures;  // each with the path it concerns
};

// Line i (1-based) of the text, without a line break, into the folder as "<i>.txt",
// replacing what is there; goes on after a failure.
NumberedSaveOutcome SaveNumberedLines(const std::string& folder, std::string_view text,
                                      PosixApi& os = SystemPosix());

}  // namespace varnel
