// Repeats a system call that a signal interrupted (-1 with errno EINTR) until it
// gives any other result, which it returns as the call gave it. Not for close(2):
// Linux releases the descriptor even when close reports EINTR.
#pragma once

#include <cerrno>

namespace varnel {

template <typename Call>
auto RetryOnEintr(Call&& call) -> decltype(call()) {
    for (;;) {
        auto result = call();
        if (!(result == -1 && errno == EINTR)) return result;
    }
}

}  // namespace varnel
