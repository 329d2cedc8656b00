#include "platform/Dispatch.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <map>
#include <thread>
#include <utility>

namespace vantrel {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kShutdownGrace = std::chrono::seconds(1);
constexpr int kMaxThreads = 64;
// Longer waits are taken as "forever", which keeps deadline arithmetic from
// overflowing.
constexpr std::chrono::nanoseconds kForever = std::chrono::hours(24 * 365 * 10);
// How often runMainQueueUntil looks at its condition while the queue is idle.
constexpr auto kIdleCheck = std::chrono::milliseconds(20);

class MainQueue {
public:
    void Push(DispatchBlock block) {
        std::lock_guard lock(m_mutex);
        m_blocks.push_back(std::move(block));
        m_arrived.notify_all();
    }

    bool Pop(DispatchBlock& block) {
        std::lock_guard lock(m_mutex);
        if (m_blocks.empty()) return false;
        block = std::move(m_blocks.front());
        m_blocks.pop_front();
        return true;
    }

    // Waits until a block is queued or `until`; true when one is.
    bool WaitUntil(Clock::time_point until) {
        std::unique_lock lock(m_mutex);
        return m_arrived.wait_until(lock, until, [this] { return !m_blocks.empty(); });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::deque<DispatchBlock> m_blocks;
};

// Holds delayed blocks and hands each to its queue when due, on one thread
// that never runs a block itself.
class Timer {
public:
    void Add(Clock::time_point due, DispatchQueue queue, DispatchBlock block) {
        std::lock_guard lock(m_mutex);
        m_pending.emplace(std::make_pair(due, m_sequence++), Entry{queue, std::move(block)});
        if (!m_thread.joinable() && !m_stopping) m_thread = std::thread([this] { Loop(); });
        m_changed.notify_one();
    }

    void Stop() {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
            m_changed.notify_one();
        }
        if (m_thread.joinable()) m_thread.join();
    }

private:
    struct Entry {
        DispatchQueue queue;
        DispatchBlock block;
    };

    void Loop() {
        std::unique_lock lock(m_mutex);
        while (!m_stopping) {
            if (m_pending.empty()) {
                m_changed.wait(lock);
                continue;
            }
            const Clock::time_point due = m_pending.begin()->first.first;
            if (Clock::now() < due) {
                m_changed.wait_until(lock, due);
                continue;
            }
            Entry entry = std::move(m_pending.begin()->second);
            m_pending.erase(m_pending.begin());
            lock.unlock();
            dispatchAsync(entry.queue, std::move(entry.block));
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::map<std::pair<Clock::time_point, std::uint64_t>, Entry> m_pending;
    std::uint64_t m_sequence = 0;
    std::thread m_thread;
    bool m_stopping = false;
};

struct Dispatcher {
    DispatchPool pool{static_cast<int>(std::max(2u, std::thread::hardware_concurrency())),
                      kMaxThreads};
    MainQueue main;
    Timer timer;
};

Dispatcher* g_dispatcher = nullptr;

void ShutDownAtExit() {
    g_dispatcher->timer.Stop();
    g_dispatcher->pool.Shutdown(kShutdownGrace);
}

// Created on first use and never destroyed: worker threads that outlive the
// exit's grace period may still reach it.
Dispatcher& Shared() {
    static Dispatcher* const shared = [] {
        g_dispatcher = new Dispatcher;
        std::atexit(ShutDownAtExit);
        return g_dispatcher;
    }();
    return *shared;
}

thread_local int t_mainDepth = 0;

class MainQueueScope {
public:
    MainQueueScope() { ++t_mainDepth; }
    ~MainQueueScope() { --t_mainDepth; }
    MainQueueScope(const MainQueueScope&) = delete;
    MainQueueScope& operator=(const MainQueueScope&) = delete;
};

}  // namespace

void dispatchAsync(DispatchQueue queue, DispatchBlock block) {
    if (queue == DispatchQueue::Main) {
        Shared().main.Push(std::move(block));
    } else {
        Shared().pool.async(queue, std::move(block));
    }
}

void dispatchAfter(std::chrono::nanoseconds delay, DispatchQueue queue, DispatchBlock block) {
    if (delay <= std::chrono::nanoseconds::zero()) {
        dispatchAsync(queue, std::move(block));
        return;
    }
    Shared().timer.Add(Clock::now() + std::min(delay, kForever), queue, std::move(block));
}

std::size_t drainMainQueue() {
    MainQueueScope scope;
    std::size_t ran = 0;
    DispatchBlock block;
    while (Shared().main.Pop(block)) {
        block();
        block = nullptr;
        ++ran;
    }
    return ran;
}

bool runMainQueueUntil(const std::function<bool()>& done, std::chrono::nanoseconds timeout) {
    MainQueueScope scope;
    const Clock::time_point deadline = Clock::now() + std::min(timeout, kForever);
    DispatchBlock block;
    for (;;) {
        if (done()) return true;
        if (Shared().main.Pop(block)) {
            block();
            block = nullptr;
            continue;
        }
        const Clock::time_point now = Clock::now();
        if (now >= deadline) return done();
        Shared().main.WaitUntil(std::min(deadline, now + kIdleCheck));
    }
}

bool isMainQueueThread() {
    return t_mainDepth > 0;
}

void DispatchSemaphore::signal() {
    std::lock_guard lock(m_mutex);
    ++m_count;
    // Notified under the lock: a woken waiter may destroy the semaphore.
    m_available.notify_one();
}

bool DispatchSemaphore::TryTake() {
    std::lock_guard lock(m_mutex);
    if (m_count <= 0) return false;
    --m_count;
    return true;
}

void DispatchSemaphore::wait() {
    if (TryTake()) return;
    DispatchWaitScope waiting;
    std::unique_lock lock(m_mutex);
    m_available.wait(lock, [this] { return m_count > 0; });
    --m_count;
}

bool DispatchSemaphore::waitFor(std::chrono::nanoseconds timeout) {
    if (TryTake()) return true;
    if (timeout <= std::chrono::nanoseconds::zero()) return false;
    DispatchWaitScope waiting;
    std::unique_lock lock(m_mutex);
    if (!m_available.wait_for(lock, std::min(timeout, kForever), [this] { return m_count > 0; })) {
        return false;
    }
    --m_count;
    return true;
}

}  // namespace vantrel
