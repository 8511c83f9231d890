// Runs a piece of a test in a forked child, so that a call that would block for
// good or grow without bound ends the child (an alarm) rather than the test
// program, and the child's peak memory can be read from the system afterwards.
#pragma once

#include <fstream>
#include <functional>
#include <string>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varnel::testing {

struct ChildOutcome {
    bool exited = false;       // false: killed (the hang guard or a crash)
    int exitCode = -1;
    long peakKilobytes = 0;    // the child's largest resident size
    long startKilobytes = 0;   // this program's largest resident size when it forked
};

// `body` returns the child's exit code. `hangGuardSeconds` is generous: it only
// turns a hang into a failure, it measures nothing.
inline ChildOutcome RunInChild(const std::function<int()>& body, unsigned hangGuardSeconds = 60) {
    ChildOutcome outcome;
    struct rusage self {};
    ::getrusage(RUSAGE_SELF, &self);
    outcome.startKilobytes = self.ru_maxrss;
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(hangGuardSeconds);
        ::_exit(body());
    }
    int status = 0;
    struct rusage usage {};
    while (::wait4(child, &status, 0, &usage) < 0) {
    }
    outcome.exited = WIFEXITED(status);
    outcome.exitCode = outcome.exited ? WEXITSTATUS(status) : -1;
    outcome.peakKilobytes = usage.ru_maxrss;
    return outcome;
}

// A line of /proc/self/status in kilobytes ("VmRSS", "VmHWM"); 0 when missing.
inline long StatusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(field + ":")) return std::stol(line.substr(field.size() + 1));
    }
    return 0;
}

// Starts a fresh peak for this process (the kernel's high-water mark of resident
// memory is reset to what is resident now) and returns that starting point, so
// that PeakResidentKilobytes afterwards measures one piece of work alone.
inline long ResetPeakResidentKilobytes() {
    std::ofstream("/proc/self/clear_refs") << "5";
    return StatusKilobytes("VmRSS");
}
inline long PeakResidentKilobytes() { return StatusKilobytes("VmHWM"); }

}  // namespace varnel::testing
