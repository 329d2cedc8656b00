// Bitmaps and views, the numeric conversions, work memory, row bands, random
// draws from any position and the log; the preconditions are in tests/Core/PreconditionTest.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "Core/global/BitmapData.h"
#include "Core/global/Numeric.h"
#include "Core/global/ParallelRows.h"
#include "Core/global/RandomDraws.h"
#include "Core/global/TiLog.h"
#include "Core/global/TiMemory.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

TEST(BitmapData, ViewsAndCentredViews) {
    // A view shares its parent's pixels and pitch; deleting it leaves them.
    Bitmap parent = test::Gradient(100, 80, TiRGBABpp);
    auto view = parent->GetBitmapDataFromRect(10, 20, 30, 40);
    EXPECT_EQ((std::vector<int>{view->GetPitch(), view->GetSize(), view->OwnsData()}),
              (std::vector<int>{400, 1200, 0}));
    EXPECT_EQ(view->GetData(), parent->GetPixel(10, 20));
    view->GetPixel(0, 0)[1] = 77;
    view.reset();
    EXPECT_EQ(parent->GetPixel(10, 20)[1], 77);
    EXPECT_EQ(parent->GetPixel(3, 2), parent->GetData() + 2 * 400 + 3 * 4);
    // A centred view's origin is truncated; its width may be the whole.
    Bitmap square = test::Gradient(101, 101, 1);
    EXPECT_EQ(square->GetBitmapDataFromCenterRect(50, 50)->GetData(), square->GetPixel(25, 25));
    EXPECT_EQ(square->GetBitmapDataFromCenterRect(101, 99)->GetData(), square->GetPixel(0, 1));
}

TEST(BitmapData, ClonesOfViewsAndOfPackedBitmaps) {
    Bitmap parent = test::Noise(100, 80, TiRGBABpp);
    auto view = parent->GetBitmapDataFromRect(10, 20, 30, 40);
    Bitmap copy = view->Clone(false);
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->OwnsData());
    EXPECT_EQ(copy->GetPitch(), 120);
    EXPECT_EQ(test::Pixels(*copy), test::Pixels(*view));
    EXPECT_NE(copy->GetData(), view->GetData());
    for (int bpp : {1, 3, 4}) {
        Bitmap bitmap = test::Noise(13, 7, bpp);
        Bitmap same = bitmap->Clone();
        EXPECT_EQ(same->GetPitch(), bitmap->GetPitch());
        EXPECT_EQ(test::Buffer(*same), test::Buffer(*bitmap)) << "bpp " << bpp;
    }
    for (bool keepPitch : {false, true}) {
        TiMemoryTestHook::FailAllocation(1);
        EXPECT_EQ(parent->Clone(keepPitch), nullptr);
        TiMemoryTestHook::Reset();
    }
}

// A view at the parent's bottom-right corner ends exactly at the end of the
// parent's buffer: keeping its pitch must not read past it.
TEST(BitmapData, CloneKeepingPitchOfABottomRightViewStaysInsideItsParent) {
    const int width = 9, height = 6, bpp = 4, pitch = width * bpp;
    const size_t bytes = static_cast<size_t>(pitch) * height;
    auto* data = static_cast<unsigned char*>(std::malloc(bytes));
    for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<unsigned char>(i * 7 + 1);
    TiBitmapData parent(data, width, height, pitch, bpp, true);
    auto view = parent.GetBitmapDataFromRect(5, 3, 4, 3);
    Bitmap copy = view->Clone(true);
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->GetPitch(), pitch);
    const size_t span = 2 * pitch + 4 * bpp;
    EXPECT_EQ(0, std::memcmp(copy->GetData(), view->GetData(), span));
    EXPECT_EQ(std::vector<unsigned char>(copy->GetData() + span, copy->GetData() + 3 * pitch),
              std::vector<unsigned char>(3 * pitch - span, 0));
}

TEST(BitmapData, TakeOverAndNewPackedBitmaps) {
    Bitmap target = test::Gradient(4, 4, 4);
    Bitmap source = test::Noise(3, 2, 3);
    const std::vector<std::uint8_t> pixels = test::Pixels(*source);
    TiBitmapData* record = target.get();
    target->TakeOver(*source);
    EXPECT_EQ(target.get(), record);
    EXPECT_EQ((std::vector<int>{target->GetWidth(), target->GetHeight(), target->GetSize(),
                                target->GetBpp(), target->OwnsData(), source->OwnsData()}),
              (std::vector<int>{3, 2, 6, 3, 1, 0}));
    EXPECT_EQ(test::Pixels(*target), pixels);
    Bitmap zeroed = NewPackedBitmap(5, 3, 4, true);
    EXPECT_EQ(zeroed->GetPitch(), 20);
    EXPECT_EQ(test::Pixels(*zeroed), std::vector<std::uint8_t>(60, 0));
    EXPECT_EQ(NewPackedBitmap(INT_MAX, 1, 4), nullptr) << "a pitch beyond an int";
    EXPECT_EQ(NewPackedBitmap(-1, 1, 4), nullptr);
}

TEST(Numeric, TruncationGoesTowardZeroAndSaturates) {
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    for (auto [value, expected] : {std::pair{2.999, 2},
                                   {-2.999, -2},
                                   {-0.5, 0},
                                   {1e10, INT_MAX},
                                   {-1e10, INT_MIN},
                                   {inf, INT_MAX},
                                   {nan, 0},
                                   {2147483646.9, 2147483646}}) {
        EXPECT_EQ(TiTrunc(value), expected) << value;
    }
    EXPECT_EQ(TiTrunc64(1e30), INT64_MAX);
    EXPECT_EQ(TiTrunc64(-3.5), -3);
    for (auto [value, expected] : {std::pair{254.99, 254}, {255.5, 255}, {-0.1, 0}, {nan, 0}}) {
        EXPECT_EQ(TiClampByte(value), expected) << value;
    }
    for (auto [value, expected] : {std::pair{300, 255}, {255, 255}, {-3, 0}, {17, 17}})
        EXPECT_EQ(TiClampByte(value), expected);
}

TEST(Numeric, ModulusByMultiplicationIsTheRemainder) {
    const std::uint32_t big = UINT32_MAX;
    for (std::uint32_t d : {1u, 2u, 3u, 7u, 76u, 1000u, 65537u, 2147483647u, big - 1, big}) {
        const TiModulus modulus(d);
        for (std::uint32_t x : {0u, 1u, d - 1, d, d + 1, 2 * d - 1, 123456789u, 2147483647u,
                                big - 1, big, big - big % d, big - big % d - 1})
            EXPECT_EQ(modulus.Of(x), x % d) << x << " mod " << d;
    }
}

// Streams started anywhere in the next draws give what random() gives there,
// and the generator ends where that many calls of random() leave it. (Only
// the GNU C library's generator state is read; elsewhere every stream calls
// random() and runs alone.)
TEST(RandomDraws, StreamsFromAnyIndexAndTheStateAfterwards) {
#if !defined(__GLIBC__)
    GTEST_SKIP() << "streams run serially on this C library";
#endif
    constexpr int kCount = 5000;
    for (unsigned seed : {1u, 4242u}) {
        srandom(seed);
        std::vector<std::uint32_t> serial(kCount + 50);
        for (std::uint32_t& value : serial) value = static_cast<std::uint32_t>(random());
        for (int count : {1, 30, 31, 32, kCount}) {
            srandom(seed);
            {
                const TiRandomDraws draws(count);
                ASSERT_TRUE(draws.Parallel());
                for (int index : {0, 1, 2, 30, 31, 37, 38, 600, count - 1, count}) {
                    if (index < 0 || index > count) continue;
                    // Past a refill of the stream's own block, too.
                    std::vector<std::uint32_t> got(std::min(count - index, 1100));
                    draws.StreamAt(index).Fill(got.data(), static_cast<int>(got.size()));
                    EXPECT_TRUE(std::equal(got.begin(), got.end(), serial.begin() + index))
                        << "from " << index << " of " << count;
                }
            }
            for (int i = 0; i < 50; ++i) {
                ASSERT_EQ(static_cast<std::uint32_t>(random()), serial[count + i])
                    << "after " << count << " draws, call " << i;
            }
        }
    }
    // None taken: the generator is left alone.
    srandom(9);
    const long first = random();
    srandom(9);
    { const TiRandomDraws none(0); }
    EXPECT_EQ(random(), first);
}

TEST(Memory, ByteCountsTheFailureHookAndHugeBlocks) {
    EXPECT_EQ(TiByteCount(4000, 3000, 4), std::optional<size_t>(48000000));
    EXPECT_EQ(TiByteCount(0, INT64_MAX), std::optional<size_t>(0));
    for (auto count : {TiByteCount(-1, 3), TiByteCount(3, 2, -1), TiByteCount(INT64_MAX / 2, 3),
                       TiByteCount(1 << 30, 1 << 30, 1 << 30)}) {
        EXPECT_EQ(count, std::nullopt);
    }
    TiMemoryTestHook::FailAllocation(2);
    void* first = TiMalloc(16);
    void* second = TiMalloc(16);
    void* third = TiCalloc(4, 4);
    EXPECT_EQ((std::vector<bool>{first != nullptr, second != nullptr, third != nullptr}),
              (std::vector<bool>{true, false, true}));
    EXPECT_EQ(TiMemoryTestHook::AllocationCount(), 3);
    TiMemoryTestHook::Reset();
    TiFree(first);
    TiFree(third);
    // Large blocks are 2 MiB aligned, zero-filled when asked, freed with free.
    const size_t bytes = size_t{12} << 20;
    auto* large = static_cast<unsigned char*>(TiCalloc(bytes, 1));
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(large) % (2 << 20), 0u);
    EXPECT_EQ(large[0] + large[bytes - 1], 0);
    std::free(large);
    EXPECT_EQ(TiCalloc(SIZE_MAX / 2, 4), nullptr);
    void* empty = TiMalloc(0);
    EXPECT_NE(empty, nullptr);
    TiFree(empty);
}

// The buffer frees its block whatever way its scope is left, moves hand it
// over, and a size that overflows asks for nothing.
TEST(Memory, BuffersOwnTheirBlock) {
    TiBuffer<std::uint32_t> zeroed(std::size_t{1000}, TiBuffer<std::uint32_t>::kZeroed);
    ASSERT_TRUE(zeroed);
    EXPECT_EQ(std::vector<std::uint32_t>(zeroed.get(), zeroed.get() + 1000),
              std::vector<std::uint32_t>(1000, 0));
    std::uint32_t* block = zeroed.get();
    TiBuffer<std::uint32_t> moved(std::move(zeroed));
    EXPECT_EQ(moved.get(), block);
    EXPECT_FALSE(zeroed);
    TiMemoryTestHook::Reset();
    EXPECT_FALSE(TiBuffer<std::uint64_t>(SIZE_MAX / 4));
    EXPECT_FALSE(TiBuffer<std::uint8_t>(std::nullopt));
    EXPECT_EQ(TiMemoryTestHook::AllocationCount(), 0);
    TiMemoryTestHook::FailAllocation(1);
    EXPECT_FALSE(TiBuffer<std::uint8_t>(16));
    TiMemoryTestHook::Reset();
    std::free(moved.release());
}

TEST(ParallelRows, EveryRowIsVisitedExactlyOnceInContiguousBands) {
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
    EXPECT_EQ((std::vector<int>{TiBandOf(10, 0, 3).begin, TiBandOf(10, 0, 3).end,
                                TiBandOf(10, 2, 3).begin, TiBandOf(10, 2, 3).end}),
              (std::vector<int>{0, 3, 6, 10}));
    EXPECT_EQ(TiBandCount(1, 64), 1);
    EXPECT_EQ(TiBandCount(1000, 2), std::min(2, TiThreadCount()));
    EXPECT_GE(TiThreadCount(), 1);
}

std::vector<std::string> g_lines;

TEST(TiLog, FormatsWholeLinesIntoTheInstalledSink) {
    g_lines.clear();
    TiSetLogSink([](const char* line) { g_lines.emplace_back(line); });
    TiLog("retinex %d %d %f", 1, 3, 1.2);
    TiLog("already ended\n");
    TiLog("%s", std::string(1000, 'x').c_str());
    TiSetLogSink(nullptr);
    TiLog("not recorded");
    EXPECT_EQ(g_lines, (std::vector<std::string>{"retinex 1 3 1.200000\n", "already ended\n",
                                                 std::string(1000, 'x') + "\n"}));
}

}  // namespace
}  // namespace vantrel
