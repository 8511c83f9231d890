// The runners of the name list and font name rename tasks. They run on the run's own
// thread and read their parameter structs (NameListParams, FontNameParams) from the run.
#pragma once

#include "runs/run_context.h"
#include "runs/run_rows.h"

namespace varnel {

// Row n of the run gets line n of the list; rows past the last line are neither
// previewed nor renamed.
void RunNameListTask(RunContext& run, RunRows& rows);
void RunFontNameTask(RunContext& run, RunRows& rows);

}  // namespace varnel
