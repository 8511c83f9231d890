// Where the rename tasks (the renaming and extracting groups of the task box) enter
// their panels and runners into the batch task area, as the file and tag task
// families do beside them.
#pragma once

namespace varnel {

class BatchTaskArea;

void RegisterRenameTasks(BatchTaskArea& area);

}  // namespace varnel
