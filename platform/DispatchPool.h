// DispatchPool: the worker threads behind the global dispatch queues.
//
// Four queues by priority (High, Default, Low, Background) share one pool.
// A free worker always takes the oldest block of the highest non-empty
// queue, so blocks of one queue start in the order they were queued and a
// higher queue's blocks start before a lower one's.
//
// Threads are started when blocks wait and are kept for later blocks. At
// most `maxRunning` blocks compute at once (about one per processor); a block
// that waits in a DispatchSemaphore does not count, so the pool may start
// another block meanwhile (up to `maxThreads` threads in all), and blocks
// that wait for one another cannot starve the pool.
//
// The process-wide pool is Dispatch.h's; tests make small pools of their own.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace vantrel {

enum class DispatchQueue { Main, High, Default, Low, Background };

using DispatchBlock = std::function<void()>;

class DispatchPool {
public:
    DispatchPool(int maxRunning, int maxThreads);
    // Stops as Shutdown does, waiting for running blocks however long they take.
    ~DispatchPool();

    DispatchPool(const DispatchPool&) = delete;
    DispatchPool& operator=(const DispatchPool&) = delete;

    // Queues `block` on one of the four global queues (not Main, which throws
    // std::invalid_argument). An exception escaping a block ends the program,
    // as one escaping any thread does.
    void async(DispatchQueue queue, DispatchBlock block);

    // Starts no more blocks (those waiting stay queued, unrun) and waits up
    // to `grace` for the running ones to end; true when all have.
    bool Shutdown(std::chrono::nanoseconds grace);

    // Threads started and not yet ended.
    int threadCount() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

// Marks the calling thread, while it lives, as waiting inside the block it
// runs for a pool, so that the pool may start another block. Does nothing on
// threads that are not pool workers. Used by DispatchSemaphore.
class DispatchWaitScope {
public:
    DispatchWaitScope();
    ~DispatchWaitScope();
    DispatchWaitScope(const DispatchWaitScope&) = delete;
    DispatchWaitScope& operator=(const DispatchWaitScope&) = delete;

private:
    DispatchPool::State* m_state;
};

}  // namespace vantrel
