// What the benchmarks that measure against a peer share: a stopwatch, runs taken
// in pairs with ours and the peer's alternating first, and one line per goal with
// the ratio of the medians and "ok" or "over".
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace varnel::bench {

inline double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The median of several runs.
inline double Median(std::vector<double> runs) {
    if (runs.empty()) return 0;
    std::sort(runs.begin(), runs.end());
    const std::size_t middle = runs.size() / 2;
    return runs.size() % 2 != 0 ? runs[middle] : (runs[middle - 1] + runs[middle]) / 2;
}

// The times of one side over all runs.
struct Samples {
    std::vector<double> seconds;

    void Add(double value) { seconds.push_back(value); }
    double Median() const { return bench::Median(seconds); }
    double Min() const { return seconds.empty() ? 0 : *std::min_element(seconds.begin(), seconds.end()); }
    double Max() const { return seconds.empty() ? 0 : *std::max_element(seconds.begin(), seconds.end()); }
};

// How many paired runs each figure takes: $VARNEL_BENCH_RUNS, at least 5.
inline int PairedRuns() {
    const char* text = std::getenv("VARNEL_BENCH_RUNS");
    return std::max(5, text != nullptr ? std::atoi(text) : 5);
}

// Runs `ours` and `peer` `runs` times each, in pairs, the peer first in even pairs
// and ours first in odd ones, so that neither the order nor a slow moment of the
// machine favours one side. Each callback times itself (it may set up untimed).
inline void Paired(int runs, const std::function<double()>& ours, const std::function<double()>& peer,
                   Samples& oursTimes, Samples& peerTimes) {
    for (int run = 0; run < runs; ++run) {
        if (run % 2 == 0) {
            peerTimes.Add(peer());
            oursTimes.Add(ours());
        } else {
            oursTimes.Add(ours());
            peerTimes.Add(peer());
        }
    }
}

// One goal: ours against the peer's medians, within `limit` times the peer.
inline void Goal(const char* what, const Samples& ours, const Samples& peer, double limit) {
    const double ratio = ours.Median() / peer.Median();
    std::printf("%-58s ratio %5.2f  goal <= %.2f  %-4s  ours %.3f s [%.3f-%.3f]  peer %.3f s [%.3f-%.3f]  (%zu runs)\n",
                what, ratio, limit, ratio <= limit ? "ok" : "over", ours.Median(), ours.Min(), ours.Max(),
                peer.Median(), peer.Min(), peer.Max(), ours.seconds.size());
    std::fflush(stdout);
}

// Runs a shell command; false (and says so) when it fails.
inline bool Shell(const std::string& command) {
    const int rc = std::system(command.c_str());
    if (rc != 0) std::printf("command failed (%d): %s\n", rc, command.c_str());
    return rc == 0;
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
                o / p, limit, o / p <= limit ? "ok" : "over");
    std::fflush(stdout);
}

}  // namespace varnel::bench
