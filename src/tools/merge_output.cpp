#include "tools/merge_output.h"

#include "naming/list_font_name.h"
#include "platform/file_io.h"
#include "utilities/path_routines.h"

namespace varnel {

namespace {

std::string NumberedPath(const std::string& folder, std::size_t number) {
    return WithTrailingSlash(folder) + std::to_string(number) + ".txt";
}

}  // namespace

std::expected<void, Error> SaveMergeResult(const std::string& path, std::string_view text, PosixApi& os) {
    return WriteFileAtomically(path, text, os);
}

std::vector<std::string> MergeResultLines(std::string_view text) { return SplitNameList(text); }

int CountExistingNumberedFiles(const std::string& folder, std::size_t lineCount, PosixApi& os) {
    int existing = 0;
    for (std::size_t number = 1; number <= lineCount; ++number) {
        if (PathExists(NumberedPath(folder, number), os)) ++existing;
    }
    return existing;
}

NumberedSaveOutcome SaveNumberedLines(const std::string& folder, std::string_view text, PosixApi& os) {
    NumberedSaveOutcome outcome;
    const std::vector<std::string> lines = MergeResultLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string path = NumberedPath(folder, i + 1);
        if (auto written = WriteFileAtomically(path, lines[i], os); written) {
            ++outcome.written;
        } else {
            Error error = written.error();
            if (error.path.empty()) error.path = path;
            outcome.failures.push_back(std::move(error));
        }
    }
    return outcome;
}

}  // namespace varnel
