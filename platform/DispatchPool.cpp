#include "platform/DispatchPool.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace vantrel {

struct DispatchPool::State : std::enable_shared_from_this<DispatchPool::State> {
    std::mutex mutex;
    std::condition_variable work;   // a block may be taken, or the pool stops
    std::condition_variable ended;  // a block or a worker ended
    std::deque<DispatchBlock> queues[4];
    std::size_t queued = 0;
    int maxRunning = 1;
    int maxThreads = 1;
    int threads = 0;   // started and not ended
    int starting = 0;  // started, not yet looking for blocks
    int idle = 0;      // looking for blocks
    int running = 0;   // running a block, not waiting in a semaphore
    int busy = 0;      // running a block, waiting or not
    bool stopping = false;
};

namespace {

using State = DispatchPool::State;

thread_local State* t_workerOf = nullptr;

bool CanTake(const State& s) {
    return s.queued > 0 && s.running < s.maxRunning;
}

DispatchBlock TakeNext(State& s) {
    for (std::deque<DispatchBlock>& queue : s.queues) {
        if (queue.empty()) continue;
        DispatchBlock block = std::move(queue.front());
        queue.pop_front();
        --s.queued;
        return block;
    }
    return nullptr;
}

void WorkerMain(std::shared_ptr<State> s) {
    t_workerOf = s.get();
    std::unique_lock lock(s->mutex);
    --s->starting;
    for (;;) {
        while (!s->stopping && !CanTake(*s)) {
            ++s->idle;
            s->work.wait(lock);
            --s->idle;
        }
        if (s->stopping) break;
        DispatchBlock block = TakeNext(*s);
        ++s->running;
        ++s->busy;
        lock.unlock();
        block();
        block = nullptr;  // its captures die outside the lock, on this thread
        lock.lock();
        --s->running;
        --s->busy;
        s->ended.notify_all();
    }
    --s->threads;
    s->ended.notify_all();
    t_workerOf = nullptr;
}

// With the lock held: wakes a worker or starts one when a queued block
// could run but no worker is free to take it.
void Offer(State& s) {
    if (s.stopping || !CanTake(s)) return;
    const std::size_t helpers = static_cast<std::size_t>(s.idle + s.starting);
    if (s.queued > helpers && s.running + s.starting < s.maxRunning && s.threads < s.maxThreads) {
        try {
            std::thread(WorkerMain, s.shared_from_this()).detach();
            ++s.threads;
            ++s.starting;
            return;
        } catch (const std::system_error&) {
            // No thread to be had now: the block waits for a worker to come free.
        }
    }
    if (s.idle > 0) s.work.notify_one();
}

int QueueIndex(DispatchQueue queue) {
    switch (queue) {
        case DispatchQueue::High:
            return 0;
        case DispatchQueue::Default:
            return 1;
        case DispatchQueue::Low:
            return 2;
        case DispatchQueue::Background:
            return 3;
        default:
            throw std::invalid_argument("the main queue is not a global queue");
    }
}

}  // namespace

DispatchPool::DispatchPool(int maxRunning, int maxThreads) : m_state(std::make_shared<State>()) {
    m_state->maxRunning = maxRunning < 1 ? 1 : maxRunning;
    m_state->maxThreads = maxThreads < m_state->maxRunning ? m_state->maxRunning : maxThreads;
}

DispatchPool::~DispatchPool() {
    std::unique_lock lock(m_state->mutex);
    m_state->stopping = true;
    m_state->work.notify_all();
    m_state->ended.wait(lock, [this] { return m_state->threads == 0; });
}

void DispatchPool::async(DispatchQueue queue, DispatchBlock block) {
    const int index = QueueIndex(queue);
    std::lock_guard lock(m_state->mutex);
    m_state->queues[index].push_back(std::move(block));
    ++m_state->queued;
    Offer(*m_state);
}

bool DispatchPool::Shutdown(std::chrono::nanoseconds grace) {
    std::unique_lock lock(m_state->mutex);
    m_state->stopping = true;
    m_state->work.notify_all();
    return m_state->ended.wait_for(lock, grace, [this] { return m_state->busy == 0; });
}

int DispatchPool::threadCount() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->threads;
}

DispatchWaitScope::DispatchWaitScope() : m_state(t_workerOf) {
    if (!m_state) return;
    std::lock_guard lock(m_state->mutex);
    --m_state->running;
    Offer(*m_state);
}

DispatchWaitScope::~DispatchWaitScope() {
    if (!m_state) return;
    std::lock_guard lock(m_state->mutex);
    ++m_state->running;
}

}  // namespace vantrel
