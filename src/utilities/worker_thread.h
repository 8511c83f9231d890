// Starting a worker thread for a run or a long job. The thread is joined, never
// detached: whoever keeps the returned thread waits for it (after asking it to stop)
// when the thread object goes, so no worker outlives the state it uses.
#pragma once

#include <functional>
#include <stop_token>
#include <thread>

namespace varnel {

using WorkerRoutine = std::function<void(std::stop_token, int)>;

// The routine runs at once with the stop token of the thread and `parameter`.
[[nodiscard]] std::jthread StartWorkerThread(WorkerRoutine routine, int parameter = 0);

}  // namespace varnel
