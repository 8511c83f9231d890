// The runners of the name list and font name rename tasks. They run on the run's own
// thread and get their parameter structs from the run.
#pragma once

#include "naming/list_font_name.h"
#include "runs/run_context.h"
#include "runs/run_rows.h"

namespace varnel {

// Row n of the run gets line n of the list; rows past the last line are neither
// previewed nor renamed.
void RunNameListTask(RunContext& run, RunRows& rows, const NameListParams& given);
void RunFontNameTask(RunContext& run, RunRows& rows, const FontNameParams& given);

}  // namespace varnel
