// The write-between-elements task (批量写入元素): in every listed file, the text
// between a start element and an end element (such as "<title>" and "</title>")
// becomes a given text, which may hold meta-variables; and the named element
// pairs the panel keeps as presets. Runs on the run's own thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/posix_api.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"

namespace varnel {

struct WriteElementParams {
    std::string element1;
    std::string element2;
    bool caseSensitive = false;  // false: letters A-Z also match a-z
    std::string writeText;       // may hold meta-variables
};

struct ElementPreset {
    std::string name;
    std::string element1;
    std::string element2;
    bool caseSensitive = false;
    bool operator==(const ElementPreset&) const = default;
};

// The presets as the INI keeps them: name, element 1, element 2 and "真"/"假"
// joined by "[分隔]", one preset after another joined by "[换行]".
inline constexpr const char* kDefaultElementPresets = "网页标题<title>[分隔]<title>[分隔]</title>[分隔]假";
// Each entry padded to four fields; an empty text holds no preset.
std::vector<ElementPreset> ParseElementPresets(std::string_view text);
ElementPreset ParseElementPreset(std::string_view entry);
std::string FormatElementPresets(const std::vector<ElementPreset>& presets);

// Why the parameters cannot run (an empty element), or "".
std::string WriteElementProblem(const WriteElementParams& params);

// The runner: a preview writes nothing, not even the status column; an element
// missing in a file fails that row.
void RunWriteElementTask(RunContext& run, RunRows& rows, const WriteElementParams& params,
                         PosixApi& os = SystemPosix());

}  // namespace varnel
