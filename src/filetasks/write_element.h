// The write-between-elements task (批量写入元素): in every listed file, the text
// between a start element and an end element (such as "<title>" and "</title>")
// becomes a given text, which may hold meta-variables. Its panel keeps named
// element pairs (ElementPreset). Runs on the run's own thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "naming/element_presets.h"
#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"

namespace varnel {

struct WriteElementParams {
    std::string element1;
    std::string element2;
    bool caseSensitive = false;  // false: letters A-Z also match a-z
    std::string writeText;       // may hold meta-variables
    bool operator==(const WriteElementParams&) const = default;
};

// Why the parameters cannot run (an empty element), or "".
std::string WriteElementProblem(const WriteElementParams& params);

// The runner: a preview writes nothing, not even the status column; an element
// missing in a file fails that row.
void RunWriteElementTask(RunContext& run, RunRows& rows, const WriteElementParams& params,
                         PosixApi& os = SystemPosix());

}  // namespace varnel
