#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/Dispatch.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Spins (politely) until `condition` holds or `limit` passes; returns condition().
template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds limit = 5000ms) {
    const auto end = Clock::now() + limit;
    while (!condition() && Clock::now() < end) std::this_thread::sleep_for(1ms);
    return condition();
}

// ---- The main queue ----

TEST(MainQueue, DrainingRunsBlocksInOrderAndDelayedOnesNoSoonerThanTheyFallDue) {
    drainMainQueue();  // what an earlier test of the process left behind
    std::vector<int> order;
    bool onMainQueue = false;
    dispatchAsync(DispatchQueue::Main, [&] {
        order.push_back(1);
        onMainQueue = isMainQueueThread();
        dispatchAsync(DispatchQueue::Main, [&] { order.push_back(3); });
    });
    dispatchAsync(DispatchQueue::Main, [&] { order.push_back(2); });
    EXPECT_TRUE(order.empty()) << "nothing runs until the queue is drained";
    EXPECT_EQ(drainMainQueue(), 3u);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(drainMainQueue(), 0u);
    EXPECT_TRUE(onMainQueue);
    EXPECT_FALSE(isMainQueueThread());
    // Delayed blocks run no sooner than their delay and in the order they
    // fall due.
    const auto start = Clock::now();
    std::vector<std::pair<int, Clock::duration>> ran;
    for (int delay : {60, 20, 0}) {
        dispatchAfter(std::chrono::milliseconds(delay), DispatchQueue::Main,
                      [&ran, &start, delay] { ran.emplace_back(delay, Clock::now() - start); });
    }
    std::atomic<bool> global{false};
    dispatchAfter(30ms, DispatchQueue::Background, [&] {
        EXPECT_GE(Clock::now() - start, 30ms);
        global = true;
    });
    ASSERT_TRUE(runMainQueueUntil([&] { return ran.size() == 3 && global; }, 5s));
    std::vector<int> due;
    for (const auto& [delay, at] : ran) {
        due.push_back(delay);
        EXPECT_GE(at, std::chrono::milliseconds(delay));
    }
    EXPECT_EQ(due, (std::vector<int>{0, 20, 60}));
}

TEST(MainQueue, WorkFromAGlobalQueueIsHandedBackToTheThreadRunningUntilACondition) {
    const std::thread::id self = std::this_thread::get_id();
    std::thread::id worker, handedBack;
    bool done = false;
    dispatchAsync(DispatchQueue::High, [&] {
        worker = std::this_thread::get_id();
        dispatchAsync(DispatchQueue::Main, [&] {
            handedBack = std::this_thread::get_id();
            done = true;
        });
    });
    EXPECT_TRUE(runMainQueueUntil([&] { return done; }, 5s));
    EXPECT_NE(worker, self);
    EXPECT_EQ(handedBack, self);
    // Running until a condition gives up at its timeout, and sees a flag set
    // elsewhere without any work queued.
    const auto start = Clock::now();
    EXPECT_FALSE(runMainQueueUntil([] { return false; }, 40ms));
    EXPECT_GE(Clock::now() - start, 40ms);
    std::atomic<bool> flag{false};
    std::thread setter([&] {
        std::this_thread::sleep_for(10ms);
        flag = true;
    });
    EXPECT_TRUE(runMainQueueUntil([&] { return flag.load(); }, 5s));
    setter.join();
}

// ---- The worker pool ----

// The pool's one running slot is held by a block (waiting on a future, not
// in a semaphore, so that the slot is not lent) until the blocks queued
// meanwhile are there to be taken in the pool's order.
TEST(DispatchPool, AFreeWorkerTakesTheHighestQueueFirstAndEachQueueInOrder) {
    std::promise<void> released;
    std::atomic<bool> holding{false};
    std::vector<std::string> order;  // written by the pool's one thread only
    DispatchSemaphore finished(0);
    auto record = [&](std::string name) {
        return [&, name] {
            order.push_back(name);
            finished.signal();
        };
    };
    DispatchPool pool(1, 1);
    pool.async(DispatchQueue::Default, [&, gate = released.get_future().share()] {
        holding = true;
        gate.wait();
    });
    EXPECT_TRUE(WaitUntil([&] { return holding.load(); }));
    pool.async(DispatchQueue::Background, record("background 1"));
    pool.async(DispatchQueue::Low, record("low"));
    pool.async(DispatchQueue::Default, record("default"));
    pool.async(DispatchQueue::High, record("high 1"));
    pool.async(DispatchQueue::Background, record("background 2"));
    pool.async(DispatchQueue::High, record("high 2"));
    released.set_value();
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(finished.waitFor(5s));
    EXPECT_EQ(order, (std::vector<std::string>{"high 1", "high 2", "default", "low", "background 1",
                                               "background 2"}));
}

TEST(DispatchPool, BlocksRunSideBySideUpToTheRunningLimit) {
    DispatchPool pool(2, 8);
    std::atomic<int> running{0}, peak{0}, metAPartner{0};
    DispatchSemaphore finished(0);
    for (int i = 0; i < 6; ++i) {
        pool.async(DispatchQueue::Default, [&] {
            const int now = ++running;
            int seen = peak.load();
            while (now > seen && !peak.compare_exchange_weak(seen, now)) {
            }
            // Wait (not in a semaphore) for a second block to be running too.
            if (WaitUntil([&] { return peak.load() >= 2; }, 2000ms)) ++metAPartner;
            std::this_thread::sleep_for(5ms);
            --running;
            finished.signal();
        });
    }
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(finished.waitFor(10s));
    EXPECT_EQ(peak, 2);
    EXPECT_EQ(metAPartner, 6);
    EXPECT_LE(pool.threadCount(), 8);
    EXPECT_THROW(pool.async(DispatchQueue::Main, [] {}), std::invalid_argument);
}

// A block waiting in a semaphore lends its slot to another block; blocks of
// different global queues run side by side.
TEST(DispatchPool, AWaitingBlockLendsItsSlotAndGlobalQueuesRunSideBySide) {
    DispatchPool pool(1, 4);
    DispatchSemaphore handshake(0), finished(0);
    std::atomic<bool> gotIt{false};
    pool.async(DispatchQueue::Default, [&] {
        gotIt = handshake.waitFor(5s);
        finished.signal();
    });
    pool.async(DispatchQueue::Default, [&] {
        handshake.signal();
        finished.signal();
    });
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(finished.waitFor(10s));
    EXPECT_TRUE(gotIt) << "the one running slot must be lent while its block waits";
    std::atomic<int> arrived{0};
    DispatchSemaphore met(0);
    for (DispatchQueue queue : {DispatchQueue::Default, DispatchQueue::Low}) {
        dispatchAsync(queue, [&] {
            ++arrived;
            if (WaitUntil([&] { return arrived.load() == 2; })) met.signal();
        });
    }
    EXPECT_TRUE(met.waitFor(10s));
    EXPECT_TRUE(met.waitFor(10s));
}

// ---- Semaphores ----

// Units are counted and a wait gives up at its timeout; a count of one
// guards shared state like a lock (each wait there sleeps until a signal).
TEST(DispatchSemaphore, CountsUnitsGivesUpAtItsTimeoutAndGuardsLikeALock) {
    DispatchSemaphore semaphore(2);
    EXPECT_TRUE(semaphore.waitFor(0ms));
    EXPECT_TRUE(semaphore.waitFor(0ms));
    const auto start = Clock::now();
    EXPECT_FALSE(semaphore.waitFor(30ms));
    EXPECT_GE(Clock::now() - start, 30ms);
    DispatchSemaphore guard(1);
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                guard.wait();
                counter = counter + 1;
                guard.signal();
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(counter, 80000);
}

// ---- Exit ----

TEST(DispatchExit, TheProcessEndsDespiteAStuckBlockAndPendingWork) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            auto* never = new DispatchSemaphore(0);
            dispatchAsync(DispatchQueue::Background, [never] { never->wait(); });
            dispatchAfter(1h, DispatchQueue::Default, [] {});
            dispatchAsync(DispatchQueue::Main, [] {});
            std::this_thread::sleep_for(20ms);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vantrel
