// The window's side of a run, without Qt, for the benchmarks: a UI thread that runs
// what is posted to it, and the list listener the window's model attaches to the
// row store, with the model's batching and its costs. A changed cell is only
// marked; the first mark of a batch posts one call that starts a 100 ms timer; at
// the tick (or at the end of a run) the UI thread takes the marked ranges and reads
// the cells of the rows a view shows of each, as a repaint does. Runners that sync
// the row count every 100 ms get the same tick with SetTicking.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "filelist/changed_rows.h"
#include "filelist/row_store.h"

namespace varnel::bench {

class ListListener {
public:
    // Rows a list view shows at once (a repaint reads their cells).
    static constexpr std::size_t kVisibleRows = 40;

    explicit ListListener(RowStore& store) : m_store(store) {
        m_store.SetChangeListener([this](std::size_t row, int) {
            m_changed.Mark(row);
            if (!m_armed.exchange(true)) {
                Post([this] { m_deadline = std::chrono::steady_clock::now() + kTick; });
            }
        });
        m_thread = std::jthread([this](std::stop_token stop) { Loop(stop); });
    }
    ~ListListener() {
        m_thread.request_stop();
        m_wake.notify_all();
        m_thread.join();
        m_store.SetChangeListener(nullptr);
    }

    // Any thread: runs `work` on the UI thread, after what is queued already.
    void Post(std::function<void()> work) {
        {
            std::lock_guard lock(m_mutex);
            m_queue.push_back(std::move(work));
        }
        m_wake.notify_all();
    }
    // Any thread: runs `work` on the UI thread and waits for it.
    void Call(const std::function<void()>& work) {
        std::mutex doneMutex;
        std::condition_variable doneSignal;
        bool done = false;
        Post([&] {
            work();
            std::lock_guard lock(doneMutex);
            done = true;
            doneSignal.notify_all();
        });
        std::unique_lock lock(doneMutex);
        doneSignal.wait(lock, [&] { return done; });
    }
    // UI thread: a runner's periodic sync on or off.
    void SetTicking(bool ticking) {
        m_ticking = ticking;
        if (ticking) m_deadline = std::chrono::steady_clock::now() + kTick;
    }
    // UI thread: what the model does at a sync (and at the end of a run).
    void Sync() {
        m_armed = false;
        m_deadline.reset();
        m_shownRows = m_store.RowCount();
        for (const ChangedRows::Range& range : m_changed.Take()) {
            if (range.first >= m_shownRows) break;
            const std::size_t last = std::min({range.second, m_shownRows - 1, range.first + kVisibleRows - 1});
            for (std::size_t row = range.first; row <= last; ++row) {
                for (int column = 0; column < 2; ++column) m_cellBytes += m_store.GetCellText(row, column).size();
            }
            ++m_batches;
        }
        if (m_ticking) m_deadline = std::chrono::steady_clock::now() + kTick;
    }
    // How many ranges the view was told of.
    std::size_t Batches() const { return m_batches; }

private:
    static constexpr std::chrono::milliseconds kTick{100};

    void Loop(const std::stop_token& stop) {
        std::unique_lock lock(m_mutex);
        while (!stop.stop_requested()) {
            const auto woken = [&] { return stop.stop_requested() || !m_queue.empty(); };
            if (m_deadline) {
                m_wake.wait_until(lock, *m_deadline, woken);
            } else {
                m_wake.wait(lock, woken);
            }
            if (m_deadline && std::chrono::steady_clock::now() >= *m_deadline) {
                lock.unlock();
                Sync();
                lock.lock();
            }
            while (!m_queue.empty()) {
                std::function<void()> work = std::move(m_queue.front());
                m_queue.pop_front();
                lock.unlock();
                work();
                lock.lock();
            }
        }
    }

    RowStore& m_store;
    ChangedRows m_changed;
    std::atomic<bool> m_armed{false};
    // UI thread only:
    std::optional<std::chrono::steady_clock::time_point> m_deadline;
    bool m_ticking = false;
    std::size_t m_shownRows = 0;
    std::size_t m_cellBytes = 0;
    std::size_t m_batches = 0;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_queue;
    std::jthread m_thread;
};

}  // namespace varnel::bench
