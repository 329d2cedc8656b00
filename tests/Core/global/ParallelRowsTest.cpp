#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "Core/global/ParallelRows.h"

namespace vantrel {
namespace {

TEST(ParallelRows, EveryRowIsVisitedExactlyOnce) {
    for (int rows : {1, 2, 3, 7, 1000, 4001}) {
        for (long rowWork : {1L, 1L << 20}) {
            std::vector<std::atomic<int>> visits(rows);
            ParallelRows(rows, rowWork, [&](int begin, int end) {
                ASSERT_LE(0, begin);
                ASSERT_LE(begin, end);
                ASSERT_LE(end, rows);
                for (int y = begin; y < end; ++y) visits[y]++;
            });
            for (int y = 0; y < rows; ++y) ASSERT_EQ(visits[y], 1) << rows << " rows, row " << y;
        }
    }
    bool called = false;
    ParallelRows(0, 100, [&](int, int) { called = true; });
    EXPECT_FALSE(called);
}

}  // namespace
}  // namespace vantrel
