// Runs a page's request on the main queue, where the models live, and gives
// its result back to the HTTP thread that waits for it. The call is given up
// after `timeout` (the main queue still runs it later, so it must hold its
// own copies of everything it reads).
#pragma once

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <type_traits>

#include "platform/Dispatch.h"

namespace vantrel::web {

// Set when the server stops: the main queue no longer serves pages, and
// calls waiting for it give up at once.
inline std::atomic<bool> g_mainQueueCallsStopped{false};

template <typename F>
auto CallOnMain(F function, std::chrono::milliseconds timeout = std::chrono::seconds(30))
    -> std::optional<std::invoke_result_t<F>> {
    using R = std::invoke_result_t<F>;
    if (g_mainQueueCallsStopped.load()) return std::nullopt;
    auto task = std::make_shared<std::packaged_task<R()>>(std::move(function));
    std::future<R> result = task->get_future();
    dispatchAsync(DispatchQueue::Main, [task] { (*task)(); });
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (result.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        if (g_mainQueueCallsStopped.load() || std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
    }
    return result.get();
}

}  // namespace vantrel::web
