// Where every batch task enters its panel and runner into the batch task area.
#pragma once

#include "runs/run_globals.h"

namespace varnel {

class BatchTaskArea;

// Registers the tasks whose panels and runners exist; the others show an empty page.
void RegisterBatchTasks(BatchTaskArea& area, RunGlobals& app);

}  // namespace varnel
