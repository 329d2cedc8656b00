// Counts the background work of the editing workflow still in flight
// (blocks on the global queues, delayed calls, hand-overs to the main
// queue), so that an owner can wait for it before going away and tests can
// tell when a flow has settled.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace vantrel {

class BackgroundWork {
public:
    // Held by a block while it is in flight; copies share it.
    using Token = std::shared_ptr<void>;

    Token begin();
    int count() const;
    // Waits until no token is held (the calling thread's dispatch slot lent).
    void waitUntilIdle();
    // The same for at most `timeout`; whether it is idle.
    bool waitUntilIdleFor(std::chrono::nanoseconds timeout);

private:
    void end();

    mutable std::mutex m_mutex;
    std::condition_variable m_idle;
    int m_count = 0;
};

}  // namespace vantrel
