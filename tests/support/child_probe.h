// Runs a piece of a test in a forked child, so that a call that would block for
// good or grow without bound ends the child (an alarm) rather than the test
// program, and the child's peak memory can be read from the system afterwards.
#pragma once

#include <functional>

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

}  // namespace varnel::testing
