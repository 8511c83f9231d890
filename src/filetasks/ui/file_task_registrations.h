// Where the file operation tasks enter their panels and runners into the batch
// task area.
#pragma once

namespace varnel {

class BatchTaskArea;

// Registers the file operation tasks whose panels and runners exist.
void RegisterFileTasks(BatchTaskArea& area);

}  // namespace varnel
