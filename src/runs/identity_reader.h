// Reads path identities on a thread of its own while a rename loop goes on. The
// renames of one folder queue behind each other in the kernel, but looking up
// another name does not wait for them, so a loop that hands its identity reads to
// this thread in batches waits only for its renames. Batches are read in the order
// they were handed over; a name that cannot be read gets an identity that is not
// known (it matches nothing).
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix_api.h"
#include "runs/undo_record.h"

namespace varnel {

// One name to read: `folder` is a folder path.
struct IdentityRequest {
    std::string folder;
    std::string name;
};

class IdentityReader {
public:
    // Runs with fewer rows than this read their identities inline: a thread would
    // cost more than it saves, and their order of system calls stays the plain one.
    static constexpr std::size_t kBackgroundFrom = 512;
    // The names handed over at once.
    static constexpr std::size_t kBatch = 128;

    explicit IdentityReader(PosixApi& os = SystemPosix());
    ~IdentityReader();  // finishes what was handed over, then ends the thread
    IdentityReader(const IdentityReader&) = delete;
    IdentityReader& operator=(const IdentityReader&) = delete;

    // Hands a batch over; returns its ticket (0, 1, 2... in order).
    std::size_t Submit(std::vector<IdentityRequest> batch);
    // The identities of batch `ticket` in its order, waiting until they are read.
    // Each ticket is taken once.
    std::vector<PathIdentity> Take(std::size_t ticket);
    // The same without waiting: nothing while the batch is still being read.
    std::optional<std::vector<PathIdentity>> TryTake(std::size_t ticket);

private:
    void Loop();

    PosixApi& m_os;
    std::mutex m_mutex;
    std::condition_variable m_wake;  // the thread: a batch came, or the end
    std::condition_variable m_read;  // the takers: a batch is read
    std::deque<std::pair<std::size_t, std::vector<IdentityRequest>>> m_waiting;
    std::map<std::size_t, std::vector<PathIdentity>> m_done;
    std::size_t m_nextTicket = 0;
    bool m_closing = false;
    std::thread m_thread;  // last: started once everything above exists
};

}  // namespace varnel
