// What the benchmarks that measure against a peer share: a stopwatch, and one line
// per figure with ours, the peer's and their ratio against the goal.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>

namespace varnel::bench {

inline double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline void Report(const char* what, double ours, double peer, double limit) {
    std::printf("%-52s ours %8.3f s  peer %8.3f s  ratio %5.2f (goal <= %.2f)%s\n", what, ours, peer, ours / peer,
                limit, ours / peer <= limit ? "" : "  OVER");
    std::fflush(stdout);
}

}  // namespace varnel::bench
