#include "Core/global/ParallelRows.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace vantrel {
namespace {

// Below this much work a thread's start costs more than it saves.
constexpr long kMinimumParallelWork = 1L << 18;

unsigned WorkerCount() {
    static const unsigned count = std::max(1u, std::thread::hardware_concurrency());
    return count;
}

}  // namespace

void ParallelRows(int rows, long rowWork, const std::function<void(int, int)>& band) {
    if (rows <= 0) return;
    const long work = static_cast<long>(rows) * std::max(1L, rowWork);
    const int bands = static_cast<int>(std::min<long>(WorkerCount(), rows));
    if (bands <= 1 || work < kMinimumParallelWork) {
        band(0, rows);
        return;
    }
    std::vector<std::thread> helpers;
    helpers.reserve(bands - 1);
    for (int i = 1; i < bands; ++i) {
        const int begin = static_cast<int>(static_cast<long>(rows) * i / bands);
        const int end = static_cast<int>(static_cast<long>(rows) * (i + 1) / bands);
        try {
            helpers.emplace_back(band, begin, end);
        } catch (const std::system_error&) {
            band(begin, end);  // no thread to be had: do the band here
        }
    }
    band(0, static_cast<int>(static_cast<long>(rows) / bands));
    for (std::thread& helper : helpers) helper.join();
}

}  // namespace vantrel
