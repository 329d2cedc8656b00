#include "Core/global/ParallelRows.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace vantrel {
namespace {

// Below this much work a thread's start costs more than it saves.
constexpr long kMinimumParallelWork = 1L << 18;

}  // namespace

int TiThreadCount() {
    static const int count = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return count;
}

int TiBandCount(int units, int most) {
    return std::max(1, std::min({TiThreadCount(), units, most}));
}

TiBand TiBandOf(int units, int band, int bands) {
    return {static_cast<int>(static_cast<long>(units) * band / bands),
            static_cast<int>(static_cast<long>(units) * (band + 1) / bands)};
}

void ParallelRows(int rows, long rowWork, const std::function<void(int, int)>& band) {
    if (rows <= 0) return;
    const long work = static_cast<long>(rows) * std::max(1L, rowWork);
    const int bands = std::min(TiThreadCount(), rows);
    if (bands <= 1 || work < kMinimumParallelWork) {
        band(0, rows);
        return;
    }
    std::vector<std::thread> helpers;
    helpers.reserve(bands - 1);
    for (int i = 1; i < bands; ++i) {
        const TiBand rowsOf = TiBandOf(rows, i, bands);
        try {
            helpers.emplace_back(band, rowsOf.begin, rowsOf.end);
        } catch (const std::system_error&) {
            band(rowsOf.begin, rowsOf.end);  // no thread to be had: do the band here
        }
    }
    const TiBand first = TiBandOf(rows, 0, bands);
    band(first.begin, first.end);
    for (std::thread& helper : helpers) helper.join();
}

}  // namespace vantrel
