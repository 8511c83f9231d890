// What the benchmarks that measure against a peer share: a stopwatch, runs taken
// in pairs with ours and the peer's alternating first, one line per goal with the
// ratio of the medians, their ranges and "[ok]" or "[over]", lines marked "[info]"
// for figures with no peer doing the same work, and the peak resident memory of a
// piece of work. `make bench` counts the marks over every benchmark.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// How many paired runs each figure takes: $VARNEL_BENCH_RUNS, at least 7 (fewer
// would make the median one noisy run).
inline int PairedRuns() {
    const char* text = std::getenv("VARNEL_BENCH_RUNS");
    return std::max(7, text != nullptr ? std::atoi(text) : 7);
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
    std::printf("%-58s ratio %5.2f  goal <= %.2f  %-6s  ours %.3f s [%.3f-%.3f]  peer %.3f s [%.3f-%.3f]  (%zu pairs)\n",
                what, ratio, limit, ratio <= limit ? "[ok]" : "[over]", ours.Median(), ours.Min(), ours.Max(),
                peer.Median(), peer.Min(), peer.Max(), ours.seconds.size());
    std::fflush(stdout);
}

// A figure beside a peer that does not do the same work: the ratio is told, with
// no goal.
inline void Information(const char* what, const Samples& ours, const Samples& peer) {
    std::printf("%-58s ratio %5.2f  [info]  ours %.3f s [%.3f-%.3f]  peer %.3f s [%.3f-%.3f]  (%zu pairs)\n", what,
                ours.Median() / peer.Median(), ours.Median(), ours.Min(), ours.Max(), peer.Median(), peer.Min(),
                peer.Max(), ours.seconds.size());
    std::fflush(stdout);
}

// A figure of ours alone: median and range, no goal.
inline void Information(const char* what, const Samples& ours) {
    std::printf("%-58s [info]  ours %.3f s [%.3f-%.3f]  (%zu runs)\n", what, ours.Median(), ours.Min(), ours.Max(),
                ours.seconds.size());
    std::fflush(stdout);
}

// A measured amount against its budget (lower is better).
inline void Budget(const char* what, double value, const char* unit, double limit) {
    std::printf("%-58s %.1f %s  goal <= %.1f  %s\n", what, value, unit, limit, value <= limit ? "[ok]" : "[over]");
    std::fflush(stdout);
}

// The kernel's count of this process's resident memory: "VmRSS" now, "VmHWM" the
// peak since the last ResetPeakResident.
inline std::size_t ResidentKilobytes(const char* field) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return 0;
    char line[256];
    std::size_t kilobytes = 0;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
            kilobytes = std::strtoull(line + length + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return kilobytes;
}

// Starts the peak over from what is resident now (Linux 4.0 and later).
inline void ResetPeakResident() {
    if (std::FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", refs);
        std::fclose(refs);
    }
}

// The bytes by which `work` raised the peak resident memory above what was
// resident before it: what it held at its worst, not what it kept.
inline double PeakResidentGrowth(const std::function<void()>& work) {
    ResetPeakResident();
    const std::size_t before = ResidentKilobytes("VmRSS");
    work();
    const std::size_t peak = ResidentKilobytes("VmHWM");
    return peak > before ? static_cast<double>(peak - before) * 1024.0 : 0.0;
}

// Runs a shell command; false (and says so) when it fails.
inline bool Shell(const std::string& command) {
    const int rc = std::system(command.c_str());
    if (rc != 0) std::printf("command failed (%d): %s\n", rc, command.c_str());
    return rc == 0;
}

}  // namespace varnel::bench
