#include "utilities/worker_thread.h"

namespace varnel {

std::jthread StartWorkerThread(WorkerRoutine routine, int parameter) {
    return std::jthread([routine = std::move(routine), parameter](std::stop_token stop) {
        routine(stop, parameter);
    });
}

}  // namespace varnel
