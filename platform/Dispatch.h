// Dispatch queues, delayed calls and counting semaphores.
//
// The main queue is serial and runs only where one thread runs it: the
// shells run its loop (runMainQueueUntil) on the program's main thread,
// tests drain it (drainMainQueue), so a flow that hands results to the main
// queue is tested deterministically on the test's own thread. Screens, the
// history and every delegate call run there.
//
// The global queues High, Default, Low and Background are concurrent: their
// blocks run on a shared pool of worker threads (DispatchPool.h), higher
// queues first, each queue's blocks starting in order.
//
// Shutdown: at process exit the delayed-call timer stops, no further queued
// block starts, and running global blocks are given up to a second to end.
// Blocks still queued are never run. The queues' own state is never
// destroyed, so a block still running after that can queue work without
// touching freed memory (that work is simply never run).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>

#include "platform/DispatchPool.h"

namespace vantrel {

// Queues `block` to run once, as soon as its queue lets it.
void dispatchAsync(DispatchQueue queue, DispatchBlock block);

// Queues `block` on `queue` once `delay` has passed (at once for a delay of
// zero or less). Blocks due at the same moment are queued in call order.
void dispatchAfter(std::chrono::nanoseconds delay, DispatchQueue queue, DispatchBlock block);

// Runs the main queue's blocks on the calling thread, including blocks they
// queue, until the queue is empty; returns how many ran. Blocks arriving
// later through dispatchAfter or from other threads are not waited for.
std::size_t drainMainQueue();

// Runs the main queue's blocks on the calling thread, waiting for more as
// needed, until `done()` holds or `timeout` has passed; returns done().
// done() is checked before each block and every few milliseconds while the
// queue is idle. The shells run their loop with this and a quit flag.
bool runMainQueueUntil(const std::function<bool()>& done,
                       std::chrono::nanoseconds timeout = std::chrono::nanoseconds::max());

// Whether the calling thread is running the main queue right now.
bool isMainQueueThread();

// A counting semaphore. wait() takes one unit, waiting while there is none;
// signal() gives one back and wakes one waiter. Waiting inside a global
// queue's block lets the pool run other blocks meanwhile.
class DispatchSemaphore {
public:
    explicit DispatchSemaphore(long count = 0) : m_count(count) {}

    DispatchSemaphore(const DispatchSemaphore&) = delete;
    DispatchSemaphore& operator=(const DispatchSemaphore&) = delete;

    void signal();
    void wait();
    // Waits at most `timeout`; true when a unit was taken.
    bool waitFor(std::chrono::nanoseconds timeout);

private:
    bool TryTake();

    std::mutex m_mutex;
    std::condition_variable m_available;
    long m_count;
};

}  // namespace vantrel
