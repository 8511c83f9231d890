// A child process killed at a chosen moment, for the tests of what a crash leaves:
// the child runs its work until the work calls PauseForKill, and is then killed
// with SIGKILL, so that nothing of it cleans up.
#pragma once

#include <csignal>
#include <functional>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varnel::testing {

// Tells the parent through `pipe` that the moment has come, then waits to be killed.
[[noreturn]] inline void PauseForKill(int pipe) {
    const char ready = 1;
    (void)!::write(pipe, &ready, 1);
    for (;;) ::pause();
}

// Runs `body` (given the pipe for PauseForKill) in a child and kills the child
// once it pauses; a body that ends without pausing fails the test.
inline void KillWhenPaused(const std::function<void(int pipe)>& body) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(fds[0]);
        body(fds[1]);
        ::_exit(0);
    }
    ::close(fds[1]);
    char ready = 0;
    const ssize_t got = ::read(fds[0], &ready, 1);
    ::close(fds[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_EQ(got, 1) << "the child ended before the moment came";
    ASSERT_TRUE(WIFSIGNALED(status));
}

}  // namespace varnel::testing
