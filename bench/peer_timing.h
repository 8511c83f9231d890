// What the benchmarks that measure against a peer share: a stopwatch, and one line
// per figure with ours, the peer's and their ratio against the goal.
#pragma once

#include <chrono>
#include <cstdio>
#include <algorithm>
#include <functional>
#include <vector>

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

// The median of several runs.
inline double Median(std::vector<double> runs) {
    if (runs.empty()) return 0;
    std::sort(runs.begin(), runs.end());
    const std::size_t middle = runs.size() / 2;
    return runs.size() % 2 != 0 ? runs[middle] : (runs[middle - 1] + runs[middle]) / 2;
}

// Runs ours and the peer's work one after the other `pairs` times (prepare, not
// timed, before each of ours) and reports the medians with ok or OVER.
inline void ReportPaired(const char* what, int pairs, const std::function<void()>& prepare,
                         const std::function<void()>& ours, const std::function<void()>& peer, double limit) {
    std::vector<double> oursRuns;
    std::vector<double> peerRuns;
    for (int pair = 0; pair < pairs; ++pair) {
        if (prepare) prepare();
        oursRuns.push_back(Seconds(ours));
        peerRuns.push_back(Seconds(peer));
    }
    const double o = Median(oursRuns);
    const double p = Median(peerRuns);
    std::printf("%-52s median of %d: ours %8.3f s  peer %8.3f s  ratio %5.2f (goal <= %.2f) %s\n", what, pairs, o, p,
                o / p, limit, o / p <= limit ? "ok" : "OVER");
    std::fflush(stdout);
}

}  // namespace varnel::bench
