#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "Core/global/Numeric.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

TEST(Numeric, TruncationGoesTowardZeroAndSaturates) {
    EXPECT_EQ(TiTrunc(2.999), 2);
    EXPECT_EQ(TiTrunc(-2.999), -2);
    EXPECT_EQ(TiTrunc(-0.5f), 0);
    EXPECT_EQ(TiTrunc(1e10), INT_MAX);
    EXPECT_EQ(TiTrunc(-1e10), INT_MIN);
    EXPECT_EQ(TiTrunc(std::numeric_limits<double>::infinity()), INT_MAX);
    EXPECT_EQ(TiTrunc(std::nan("")), 0);
    EXPECT_EQ(TiTrunc(2147483646.9), 2147483646);
    EXPECT_EQ(TiTrunc64(1e30), INT64_MAX);
    EXPECT_EQ(TiTrunc64(-3.5), -3);
}

TEST(Numeric, BytesAreClampedThenTruncated) {
    EXPECT_EQ(TiClampByte(254.99), 254);
    EXPECT_EQ(TiClampByte(255.5f), 255);
    EXPECT_EQ(TiClampByte(-0.1), 0);
    EXPECT_EQ(TiClampByte(std::nan("")), 0);
    EXPECT_EQ(TiClampByte(300), 255);
    EXPECT_EQ(TiClampByte(-3), 0);
    EXPECT_EQ(TiClampByte(17), 17);
}

TEST(Memory, ByteCountsRefuseOverflowAndNegativeFactors) {
    EXPECT_EQ(TiByteCount(4000, 3000, 4), std::optional<size_t>(48000000));
    EXPECT_EQ(TiByteCount(-1, 3), std::nullopt);
    EXPECT_EQ(TiByteCount(INT64_MAX / 2, 3), std::nullopt);
    EXPECT_EQ(TiByteCount(1 << 30, 1 << 30, 1 << 30), std::nullopt);
    EXPECT_EQ(TiByteCount(0, INT64_MAX), std::optional<size_t>(0));
}

TEST(Memory, TheHookFailsExactlyTheNthAllocation) {
    TiMemoryTestHook::FailAllocation(2);
    void* first = TiMalloc(16);
    void* second = TiMalloc(16);
    void* third = TiCalloc(4, 4);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(second, nullptr);
    EXPECT_NE(third, nullptr);
    EXPECT_EQ(TiMemoryTestHook::AllocationCount(), 3);
    TiMemoryTestHook::Reset();
    TiFree(first);
    TiFree(third);
}

TEST(Memory, LargeAndZeroedBlocksAreUsableAndFreedWithFree) {
    const size_t bytes = size_t{12} << 20;
    auto* large = static_cast<unsigned char*>(TiCalloc(bytes, 1));
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(large) % (2 << 20), 0u);
    EXPECT_EQ(large[0], 0);
    EXPECT_EQ(large[bytes - 1], 0);
    large[bytes - 1] = 9;
    std::free(large);

    EXPECT_EQ(TiCalloc(SIZE_MAX / 2, 4), nullptr);
    void* empty = TiMalloc(0);
    EXPECT_NE(empty, nullptr);
    TiFree(empty);
}

}  // namespace
}  // namespace vantrel
