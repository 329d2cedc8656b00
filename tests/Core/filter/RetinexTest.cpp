#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "Core/filter/GasBlur.h"
#include "Core/filter/Retinex.h"
#include "Core/global/TiLog.h"
#include "Core/global/TiMemory.h"
#include "support/Assertions.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

// The filter as the contract lays it out, with its buffer of values; the
// sums in `Accumulator` (float as specified, double to show it matters).
template <typename Accumulator>
std::vector<std::uint8_t> ReferenceRetinex(const TiBitmapData& t, const TiBitmapData& u,
                                           int nscales, float cvar) {
    const int w = t.GetWidth(), h = t.GetHeight();
    float ratio[256], restore[256], brightness[768];
    for (int i = 0; i < 256; ++i) ratio[i] = static_cast<float>(std::log(i + 1.0));
    for (int i = 0; i < 256; ++i) restore[i] = logf(static_cast<float>((i + 1) * 128));
    for (int j = 0; j < 768; ++j) brightness[j] = static_cast<float>(std::log(j + 3.0));
    const float weight = nscales == 0 ? 1.0f : 1.0f / static_cast<float>(nscales);
    std::vector<float> d(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                d[(y * w + x) * 3 + c] =
                    weight * (ratio[t.GetPixel(x, y)[c]] - ratio[u.GetPixel(x, y)[c]]);
    Accumulator sum = 0, sumsq = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = t.GetPixel(x, y);
            float* v = &d[(y * w + x) * 3];
            for (int c = 0; c < 3; ++c)
                v[c] = v[c] * (restore[p[c]] - brightness[p[0] + p[1] + p[2]]);
            sum += v[0] + v[1] + v[2];
            sumsq += v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
        }
    }
    const float n = static_cast<float>(3 * w * h);
    const float mean = static_cast<float>(sum / n);
    const float deviation = std::sqrt(static_cast<float>(sumsq / n) - mean * mean);
    const float low = mean - cvar * deviation;
    const float range = (mean + cvar * deviation) - low;
    const float k = range == 0 ? 255.0f : 255.0f / range;
    std::vector<std::uint8_t> out = test::Pixels(t);
    const int bpp = t.GetBpp();
    for (int i = 0; i < w * h; ++i) {
        for (int c = 0; c < 3; ++c) {
            const float value = k * (d[i * 3 + c] - low);
            out[i * bpp + c] = value < 0 ? 0 : value > 255 ? 255 : static_cast<std::uint8_t>(value);
        }
    }
    return out;
}

Bitmap Blurred(const TiBitmapData& bitmap, int nscales) {
    Bitmap copy = bitmap.Clone(false);
    EXPECT_EQ(GasBlur(*copy, RetinexBlurRadius(nscales)), 1);
    return copy;
}

TEST(Retinex, BlurRadiusDoublesEveryTwoLevels) {
    const int expected[] = {10, 10, 20, 20, 40, 40, 80};
    for (int n = 0; n < 7; ++n) EXPECT_EQ(RetinexBlurRadius(n), expected[n]);
    EXPECT_EQ(RetinexBlurRadius(16), 2560);
    EXPECT_EQ(RetinexBlurRadius(-2), 5);
    EXPECT_EQ(RetinexBlurRadius(-200), 0);
    EXPECT_EQ(RetinexBlurRadius(INT_MAX), INT_MAX);
}

TEST(Retinex, FollowsTheFloatArithmeticToTheByte) {
    for (int bpp : {TiRGBBpp, TiRGBABpp}) {
        for (auto [nscales, cvar] : {std::pair{1, 2.0f}, {10, 2.0f}, {3, 0.7f}, {16, 4.0f}}) {
            Bitmap bitmap = test::Noise(61, 47, bpp, nscales);
            const Bitmap surround = Blurred(*bitmap, nscales);
            const auto expected = ReferenceRetinex<float>(*bitmap, *surround, nscales, cvar);
            ASSERT_EQ(retinex(*bitmap, *surround, nscales, 5, cvar), 1);
            EXPECT_EQ(test::Pixels(*bitmap), expected) << nscales << " " << cvar;
        }
    }
    // Summing in double would change bytes of this picture.
    Bitmap bitmap = test::Gradient(200, 150, TiRGBABpp);
    const Bitmap surround = Blurred(*bitmap, 10);
    const auto expected = ReferenceRetinex<float>(*bitmap, *surround, 10, 2.0f);
    ASSERT_NE(expected, ReferenceRetinex<double>(*bitmap, *surround, 10, 2.0f));
    ASSERT_EQ(retinex(*bitmap, *surround, 10, 0, 2.0f), 1);
    EXPECT_EQ(test::Pixels(*bitmap), expected);
}

TEST(Retinex, EdgeCasesOfTheStretch) {
    // A flat picture has no spread: everything goes to 0.
    Bitmap flat = test::Constant(20, 10, TiRGBABpp, {90, 140, 30, 77});
    ASSERT_EQ(retinex(*flat, *flat->Clone(), 10, 0, 2.0f), 1);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(std::vector<std::uint8_t>(flat->GetPixel(x, y), flat->GetPixel(x, y) + 4),
                      (std::vector<std::uint8_t>{0, 0, 0, 77}));

    // cvar 0 splits hard around the mean; level 0 weighs like level 1; the
    // mode changes nothing.
    Bitmap picture = test::Noise(40, 30, TiRGBABpp, 3);
    const Bitmap surround = Blurred(*picture, 1);
    Bitmap split = picture->Clone();
    ASSERT_EQ(retinex(*split, *surround, 1, 0, 0.0f), 1);
    const auto expected = ReferenceRetinex<float>(*picture, *surround, 1, 0.0f);
    EXPECT_EQ(test::Pixels(*split), expected);
    Bitmap levelZero = picture->Clone();
    Bitmap otherMode = picture->Clone();
    ASSERT_EQ(retinex(*levelZero, *surround, 0, 0, 0.0f), 1);
    ASSERT_EQ(retinex(*otherMode, *surround, 1, 7, 0.0f), 1);
    EXPECT_EQ(test::Pixels(*levelZero), expected);
    EXPECT_EQ(test::Pixels(*otherMode), expected);
    test::ExpectAlphaUnchanged(*picture, *split);
}

TEST(Retinex, LogsItsParametersAndRefuses) {
    Bitmap bitmap = test::Gradient(30, 20, TiRGBABpp);
    const Bitmap surround = Blurred(*bitmap, 2);
    static std::string logged;
    logged.clear();
    TiSetLogSink([](const char* line) { logged += line; });
    ASSERT_EQ(retinex(*bitmap, *surround, 2, 3, 1.5f), 1);
    TiSetLogSink(nullptr);
    EXPECT_EQ(logged, "retinex 3 2 1.500000\n");

    auto make = [] { return test::Gradient(30, 20, TiRGBABpp); };
    EXPECT_EQ(test::ExpectRefusalsLeaveBitmapUnchanged(
                  make, [&](TiBitmapData& b) { return retinex(b, *surround, 2, 0, 2.0f); }),
              1);
    Bitmap smaller = test::Gradient(29, 20, TiRGBABpp);
    const auto before = test::Pixels(*smaller);
    EXPECT_EQ(retinex(*smaller, *surround, 2, 0, 2.0f), 0);
    EXPECT_EQ(test::Pixels(*smaller), before);

    Bitmap gray = test::Noise(4, 4, 1);
    test::ExpectAssertion([&] { retinex(*gray, *gray, 2, 0, 2.0f); },
                          "bitmap.GetBpp() == TiRGBABpp || bitmap.GetBpp() == TiRGBBpp", "retinex",
                          "Core/filter/Retinex.h", 60);
}

TEST(RetinexObject, KeepsItsSurroundBetweenRuns) {
    Bitmap preview = test::Noise(50, 40, TiRGBABpp, 8);
    const Bitmap surround = Blurred(*preview, 4);
    Retinex filter(preview.get(), 4, 0, 2.0f);
    EXPECT_TRUE(filter.NeedsPrepare());

    Bitmap first = preview->Clone();
    filter.SetBitmap(first.get());
    ASSERT_EQ(filter.Run(), 1);
    EXPECT_FALSE(filter.NeedsPrepare());
    EXPECT_EQ(test::Pixels(*first), ReferenceRetinex<float>(*preview, *surround, 4, 2.0f));

    // A new stretch on a fresh copy reuses the surround of the first target.
    Bitmap second = preview->Clone();
    filter.SetBitmap(second.get());
    filter.SetCvar(0.5f);
    ASSERT_EQ(filter.Run(), 1);
    EXPECT_EQ(test::Pixels(*second), ReferenceRetinex<float>(*preview, *surround, 4, 0.5f));

    filter.ReleaseBlurred();
    EXPECT_TRUE(filter.NeedsPrepare());
}

TEST(RetinexObject, RefusesWithoutMemoryOrTarget) {
    auto make = [] { return test::Noise(30, 20, TiRGBBpp, 1); };
    // The copy, its blur's line buffers and the tables can each fail.
    EXPECT_EQ(test::ExpectRefusalsLeaveBitmapUnchanged(make,
                                                       [](TiBitmapData& b) {
                                                           Retinex filter(&b, 2, 0, 2.0f);
                                                           return filter.Run();
                                                       }),
              3);
    Bitmap bitmap = make();
    Retinex filter(bitmap.get(), 2, 0, 2.0f);
    TiMemoryTestHook::FailAllocation(1);
    EXPECT_EQ(filter.Prepare(), 0);
    TiMemoryTestHook::Reset();
    EXPECT_TRUE(filter.NeedsPrepare());

    test::ExpectAssertion([] { Retinex none(nullptr, 2, 0, 2.0f); }, "bitmap", "Retinex",
                          "Core/filter/Retinex", 16);
    filter.SetBitmap(nullptr);
    test::ExpectAssertion([&] { filter.Run(); }, "m_bitmap", "Run", "Core/filter/Retinex", 63);
}

}  // namespace
}  // namespace vantrel
