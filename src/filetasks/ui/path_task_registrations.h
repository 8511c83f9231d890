// Where the path transfer and create tasks enter their panels and runners into the
// batch task area, with what the list shows after their runs: the shortcuts,
// starter scripts or folders a path transfer made, and the paths a create run made
// or would make in place of the list's rows.
#pragma once

namespace varnel {

class BatchTaskArea;

void RegisterPathTasks(BatchTaskArea& area);

}  // namespace varnel
