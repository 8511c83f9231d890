// The content convert task (批量内容转换): the whole text of every listed file
// through the shared text converter (encoding, simplified/traditional Chinese,
// width, letter case, numerals). Runs on the run's own thread.
#pragma once

#include <expected>
#include <string>
#include <string_view>

#include "filetasks/content_text.h"
#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"
#include "utilities/error.h"
#include "utilities/text_converter.h"

namespace varnel {

// A file's new bytes. An encoding conversion works on the file's bytes (a BOM of
// the source encoding is dropped, UTF-16 output gets its BOM); the character
// conversions alone work on the text in the file's own encoding and write it back
// in that encoding. A conversion that cannot hold every character, or that would
// put NUL bytes into a file that is not UTF-16, fails.
std::expected<std::string, Error> ConvertTextOfFile(std::string_view bytes, const ConvertOptions& options);
// The same, written to `sink` as it is made (an encoding conversion of a whole
// text goes some kilobytes of lines at a time); true: the content was written.
std::expected<bool, Error> ConvertFileContent(std::string_view bytes, const ConvertOptions& options, ContentSink& sink);

void RunContentConvertTask(RunContext& run, RunRows& rows, const ConvertOptions& options,
                           PosixApi& os = SystemPosix());

}  // namespace varnel
