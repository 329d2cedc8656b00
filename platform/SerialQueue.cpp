#include "platform/SerialQueue.h"

namespace vantrel {

void SerialQueue::async(DispatchBlock block) {
    std::lock_guard lock(m_mutex);
    m_blocks.push_back(std::move(block));
    if (m_running) return;
    m_running = true;
    dispatchAsync(m_target, [this] { runBlocks(); });
}

void SerialQueue::runBlocks() {
    std::unique_lock lock(m_mutex);
    while (!m_blocks.empty()) {
        DispatchBlock block = std::move(m_blocks.front());
        lock.unlock();
        block();
        block = nullptr;
        lock.lock();
        m_blocks.pop_front();
    }
    m_running = false;
    m_emptied.notify_all();
}

void SerialQueue::waitUntilEmpty() {
    DispatchWaitScope lend;
    std::unique_lock lock(m_mutex);
    m_emptied.wait(lock, [this] { return m_blocks.empty() && !m_running; });
}

bool SerialQueue::empty() const {
    std::lock_guard lock(m_mutex);
    return m_blocks.empty() && !m_running;
}

}  // namespace vantrel
