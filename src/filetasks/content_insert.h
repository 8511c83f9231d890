// The content insert task (批量内容插入): in every listed file, insert a text at the
// head or tail, at the start or end of line N, at byte or character position N,
// or before or after the first occurrence of a locator. The text may hold
// meta-variables, expanded per file. Runs on the run's own thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "filetasks/content_text.h"
#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"

namespace varnel {

enum class InsertType : int {
    Head = 0,
    Tail = 1,
    LineStart = 2,
    LineEnd = 3,
    BytePosition = 4,
    CharPosition = 5,
    BeforeLocator = 6,
    AfterLocator = 7,
};

struct ContentInsertParams {
    InsertType insertType = InsertType::LineEnd;
    std::int64_t position = 0;  // the line (LineStart, LineEnd) or the position
    std::string locator;        // BeforeLocator, AfterLocator
    std::string insertText;     // may hold meta-variables
};

// Where the text goes in a file's text (UTF-8, the file in `encoding`): a byte
// position counts the file's own bytes after its BOM and never splits a character;
// nothing when the locator (or an empty one) is not in the text.
std::optional<std::size_t> InsertOffset(std::string_view text, TextEncoding encoding, const ContentInsertParams& params);

// The runner.
void RunContentInsertTask(RunContext& run, RunRows& rows, const ContentInsertParams& params,
                          PosixApi& os = SystemPosix());

}  // namespace varnel
