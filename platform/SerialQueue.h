// A serial queue on top of a global dispatch queue: blocks run one at a time,
// in the order they were queued, on the global queue's workers. Used where
// files must be written in the order the program decided on (a picture
// before the journal that names it).
//
// Threads: async() may be called from any thread. The queue must outlive the
// blocks queued on it (waitUntilEmpty before destroying it).
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/Dispatch.h"

namespace vantrel {

class SerialQueue {
public:
    explicit SerialQueue(DispatchQueue target) : m_target(target) {}
    ~SerialQueue() { waitUntilEmpty(); }
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    void async(DispatchBlock block);
    // Waits until every block queued so far has run (the calling thread's
    // slot is lent to the dispatch pool meanwhile).
    void waitUntilEmpty();
    bool empty() const;

private:
    void runBlocks();

    const DispatchQueue m_target;
    mutable std::mutex m_mutex;
    std::condition_variable m_emptied;
    std::deque<DispatchBlock> m_blocks;
    bool m_running = false;
};

}  // namespace vantrel
