// Holds a worker at a point until the test lets it go on, and tells the test once
// the worker has arrived there. Opened once, it stays open.
#pragma once

#include <condition_variable>
#include <mutex>

namespace varnel::testing {

class Gate {
public:
    void Arrive() {
        std::unique_lock lock(m_mutex);
        m_arrived = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_open; });
    }
    void WaitArrived() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_arrived; });
    }
    void Open() {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_arrived = false;
    bool m_open = false;
};

}  // namespace varnel::testing
