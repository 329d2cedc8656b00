#include "editing/BackgroundWork.h"

#include "platform/DispatchPool.h"

namespace vantrel {

BackgroundWork::Token BackgroundWork::begin() {
    {
        std::lock_guard lock(m_mutex);
        ++m_count;
    }
    return Token(static_cast<void*>(this),
                 [](void* work) { static_cast<BackgroundWork*>(work)->end(); });
}

void BackgroundWork::end() {
    std::lock_guard lock(m_mutex);
    if (--m_count == 0) m_idle.notify_all();
}

int BackgroundWork::count() const {
    std::lock_guard lock(m_mutex);
    return m_count;
}

void BackgroundWork::waitUntilIdle() {
    DispatchWaitScope lend;
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_count == 0; });
}

}  // namespace vantrel

namespace vantrel {

bool BackgroundWork::waitUntilIdleFor(std::chrono::nanoseconds timeout) {
    DispatchWaitScope lend;
    std::unique_lock lock(m_mutex);
    return m_idle.wait_for(lock, timeout, [this] { return m_count == 0; });
}

}  // namespace vantrel
