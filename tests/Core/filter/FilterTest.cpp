// The artistic filters, noise, red-eye, retinex, shadow and highlight and the
// vignette against their definitions; what they owe their caller is swept in
// tests/Core/ContractTest.cpp, their preconditions in PreconditionTest.cpp.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "Core/base/NormalBlend.h"
#include "Core/filter/Diffuse.h"
#include "Core/filter/Emboss.h"
#include "Core/filter/GasBlur.h"
#include "Core/filter/Lomo.h"
#include "Core/filter/Mosaics.h"
#include "Core/filter/Noise.h"
#include "Core/filter/Painting.h"
#include "Core/filter/RedEyeRemoval.h"
#include "Core/filter/Retinex.h"
#include "Core/filter/ShadowHighlight.h"
#include "Core/global/Numeric.h"
#include "Core/global/TiLog.h"
#include "Core/global/TiMemory.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;
using test::Rgba;
using Bytes = std::vector<std::uint8_t>;
using Rgbas = std::vector<Rgba>;

Bytes Red(const TiBitmapData& bitmap) {
    Bytes red;
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x) red.push_back(bitmap.GetPixel(x, y)[0]);
    return red;
}

TEST(Emboss, SamplesOnEitherSideOfTheLightInFloat) {
    // One row: the light at 0 degrees puts the samples highDegree / 2 to the
    // left and right, clamped at the ends; at 180 from the other side.
    const auto ramp = [] {
        return test::MakeBitmap(4, 1, 4,
                                [](int x, int, int c) { return c == 3 ? 255 : 10 + 40 * x + c; });
    };
    Bitmap bitmap = ramp();
    ASSERT_EQ(Emboss(*bitmap, 0.0f, 2, 100), 1);
    EXPECT_EQ(Red(*bitmap), (Bytes{168, 208, 208, 168}));
    bitmap = ramp();
    ASSERT_EQ(Emboss(*bitmap, 180.0f, 2, 250), 1);
    EXPECT_EQ(Red(*bitmap), (Bytes{28, 0, 0, 28}));
    // Amount 0 is 128 whatever the samples.
    Bitmap flat = test::Constant(6, 5, TiRGBABpp, {200, 200, 200, 255});
    ASSERT_EQ(Emboss(*flat, 45.0f, 1, 0), 1);
    EXPECT_EQ(Red(*flat), Bytes(30, 128));
    // At 45 degrees and height 1, sample A of pixel (3, 0) of a flat 200
    // picture lies at (3 - s, s), s = float(sin(135 deg) / 2): its four float
    // weights sum just below 1, so it reads 199 where B reads 200.
    Bitmap gray = test::Constant(4, 4, TiRGBABpp, {200, 200, 200, 255});
    ASSERT_EQ(Emboss(*gray, 45.0f, 1, 100), 1);
    EXPECT_EQ((Bytes{gray->GetPixel(3, 0)[0], gray->GetPixel(1, 1)[0]}), (Bytes{129, 128}));
    // Transparent pixels keep all four bytes.
    Bitmap noise = test::Noise(23, 19, TiRGBABpp, 4);
    for (int x = 0; x < 23; ++x) noise->GetPixel(x, 7)[3] = 0;
    const Bitmap before = noise->Clone();
    ASSERT_EQ(Emboss(*noise, -30.0f, 3, 150), 1);
    EXPECT_EQ(test::Row(*noise, 7), test::Row(*before, 7));
}

// The average of byte c over the cell holding (x, y), cells found by x / g.
int CellAverage(const TiBitmapData& in, int g, int x, int y, int c) {
    long sum = 0, count = 0;
    for (int v = 0; v < in.GetHeight(); ++v)
        for (int u = 0; u < in.GetWidth(); ++u)
            if (u / g == x / g && v / g == y / g) sum += in.GetPixel(u, v)[c], ++count;
    return static_cast<int>(sum / count);
}

// Mosaics gives every cell its average, alpha included; dots fade each cell
// from its average to white away from the centre, alpha kept.
TEST(CellFilters, CellsTakeTheirAverageAndDotsFadeToWhite) {
    for (int bpp : {1, 3, 4}) {
        for (int g : {2, 3, 5, 8, 13, 17, 40}) {
            Bitmap mosaic = test::Noise(13, 11, bpp, g);
            const Bitmap before = mosaic->Clone();
            Bitmap dot = mosaic->Clone();
            ASSERT_EQ(Mosaics(*mosaic, g), 1);
            ASSERT_EQ(Dot(*dot, g), 1);
            const float r0 = static_cast<float>(g / 8), fade = static_cast<float>(g / 2 - g / 8);
            for (int y = 0; y < 11; ++y) {
                for (int x = 0; x < 13; ++x) {
                    const int dx = x % g - g / 2, dy = y % g - g / 2;
                    const float dist = static_cast<float>(std::sqrt(dx * dx + dy * dy + 0.0));
                    for (int c = 0; c < bpp; ++c) {
                        const int a = CellAverage(*before, g, x, y, c);
                        ASSERT_EQ(mosaic->GetPixel(x, y)[c], a)
                            << g << " at " << x << "," << y << " byte " << c;
                        if (g < 3 || g == 13 || g == 40) continue;
                        int expected = before->GetPixel(x, y)[c];
                        if (c < (bpp == 4 ? 3 : bpp)) {
                            const float t = (dist - r0) / fade;
                            const double white = static_cast<double>(t) * t * t * 0.25;
                            expected =
                                dist <= r0
                                    ? a
                                    : static_cast<int>(std::fmin(
                                          255.0f, static_cast<float>(a + (255 - a) * white)));
                        }
                        ASSERT_EQ(dot->GetPixel(x, y)[c], expected)
                            << "dot " << g << " at " << x << "," << y;
                    }
                }
            }
        }
    }
    // Two-pixel dots: r0 = 0, L = 1; the top-left pixel lies sqrt(2) out (t^3
    // = 2.83, a weight of 0.707), its neighbours 1 out (0.25), the last at the centre.
    EXPECT_EQ(test::Applied(TiRGBBpp, {{100, 0, 255, 0}, {100, 0, 255, 0}},
                            [](TiBitmapData& b) { return Dot(b, 2); }),
              (Rgbas{{209, 180, 255, 0}, {138, 63, 255, 0}}));
    // A grid wider than the picture makes one cell of it all.
    Bitmap bitmap = test::MakeBitmap(
        3, 2, 4, [](int x, int y, int c) { return c == 3 ? 200 + x : x * 10 + y * 40; });
    ASSERT_EQ(Mosaics(*bitmap, INT_MAX), 1);
    EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*test::Constant(3, 2, 4, {30, 30, 30, 201})));
}

// The median straight from its definition: the neighbours inside the
// picture, sorted, the one of rank n / 2.
TEST(ReduceNoise, EveryPixelIsTheMedianOfItsNeighbourhood) {
    const int sizes[][2] = {{1, 1}, {1, 6}, {7, 1}, {2, 2}, {3, 3}, {2, 9}, {31, 17}, {300, 41}};
    for (int bpp : {3, 4}) {
        for (const auto& size : sizes) {
            for (std::uint32_t seed : {1u, 2u}) {
                const int w = size[0], h = size[1];
                Bitmap bitmap = test::Noise(w, h, bpp, seed);
                const Bitmap expected = test::MakeBitmap(w, h, bpp, [&](int x, int y, int c) {
                    if (c == 3) return bitmap->GetPixel(x, y)[c];
                    Bytes s;
                    for (int v = std::max(0, y - 1); v <= std::min(h - 1, y + 1); ++v)
                        for (int u = std::max(0, x - 1); u <= std::min(w - 1, x + 1); ++u)
                            s.push_back(bitmap->GetPixel(u, v)[c]);
                    std::sort(s.begin(), s.end());
                    return s[s.size() / 2];
                });
                ASSERT_EQ(ReduceNoise(*bitmap, 0), 1);
                ASSERT_EQ(test::Pixels(*bitmap), test::Pixels(*expected))
                    << size[0] << "x" << size[1] << " seed " << seed;
            }
        }
    }
}

TEST(Painting, SerpentineWindowMatchesAFreshCountPerPixel) {
    // A fresh count over every pixel's window: no incremental path to get wrong.
    const auto reference = [](const TiBitmapData& in, int radius, int smoothness) {
        Bitmap out = in.Clone(false);
        const int w = in.GetWidth(), h = in.GetHeight();
        auto level = [&](int x, int y) {
            const std::uint8_t* p = in.GetPixel(x, y);
            const int intensity = (19661 * p[0] + 38666 * p[1] + 7209 * p[2]) >> 16;
            return static_cast<int>(static_cast<float>(intensity) *
                                    (static_cast<float>(smoothness) * 0.00390625f));
        };
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                std::vector<long> count(256), sum(256 * 3);
                for (int v = std::max(0, y - radius); v <= std::min(h - 1, y + radius); ++v) {
                    for (int u = std::max(0, x - radius); u <= std::min(w - 1, x + radius); ++u) {
                        const int l = level(u, v);
                        ++count[l];
                        for (int c = 0; c < 3; ++c) sum[l * 3 + c] += in.GetPixel(u, v)[c];
                    }
                }
                const long winner = std::max_element(count.begin(), count.end()) - count.begin();
                for (int c = 0; c < 3; ++c)
                    out->GetPixel(x, y)[c] =
                        static_cast<std::uint8_t>(sum[winner * 3 + c] / count[winner]);
            }
        }
        return test::Pixels(*out);
    };
    for (int bpp : {3, 4}) {
        for (const auto& size : {std::pair{1, 1}, {1, 7}, {9, 1}, {12, 9}, {33, 21}}) {
            for (int radius : {0, 1, 3, 8, 40}) {
                for (int smoothness : {1, 2, 8, 255, 256}) {
                    Bitmap bitmap = test::Noise(size.first, size.second, bpp, radius + smoothness);
                    const Bytes expected = reference(*bitmap, radius, smoothness);
                    ASSERT_EQ(Painting(*bitmap, radius, smoothness), 1);
                    ASSERT_EQ(test::Pixels(*bitmap), expected)
                        << size.first << "x" << size.second << " radius " << radius;
                }
            }
        }
        // Large enough to be split into bands of rows, each starting its own path.
        Bitmap bitmap = test::Noise(150, 120, bpp, 3);
        const Bytes expected = reference(*bitmap, 3, 8);
        ASSERT_EQ(Painting(*bitmap, 3, 8), 1);
        EXPECT_EQ(test::Pixels(*bitmap), expected);
    }
}

TEST(RedEyeRemoval, LowersDominantRedOnlyByTheRule) {
    // b = trunc(255 * 0.1933333) = 49: (60 + 49) / 1.0266666 = 106.2; r =
    // trunc(200 * 0.5133333) = 102, equal to G + m still changes; the blue test
    // alone can hold a pixel back (r = 15 >= G, b = 16 > r); threshold 100 (m =
    // -100) even raises red towards green.
    for (auto [threshold, in, out] : {std::tuple{50, Rgba{255, 0, 0, 0}, Rgba{0, 0, 0, 0}},
                                      {50, Rgba{200, 150, 150, 0}, Rgba{200, 150, 150, 0}},
                                      {0, Rgba{255, 0, 0, 0}, Rgba{0, 0, 0, 0}},
                                      {0, Rgba{180, 0, 0, 0}, Rgba{180, 0, 0, 0}},
                                      {50, Rgba{255, 60, 255, 0}, Rgba{106, 60, 255, 0}},
                                      {50, Rgba{200, 102, 0, 0}, Rgba{99, 102, 0, 0}},
                                      {50, Rgba{200, 103, 0, 0}, Rgba{200, 103, 0, 0}},
                                      {50, Rgba{30, 10, 85, 0}, Rgba{30, 10, 85, 0}},
                                      {100, Rgba{10, 100, 0, 0}, Rgba{97, 100, 0, 0}}}) {
        EXPECT_EQ(
            test::Applied(TiRGBBpp, {in},
                          [t = threshold](TiBitmapData& b) { return RedEyeRemoval(b, t); })[0],
            out);
    }
    for (int bpp : {TiRGBBpp, TiRGBABpp}) {
        for (int threshold : {0, 23, 50, 77, 100, -40, 170, INT_MIN, INT_MAX}) {
            Bitmap bitmap = test::RgbCube(71, 69, bpp);
            const double m = 100.0 - 2.0 * threshold;
            const Bitmap expected = test::MakeBitmap(71, 69, bpp, [&](int x, int y, int c) {
                const std::uint8_t* in = bitmap->GetPixel(x, y);
                const double r = std::trunc(in[0] * 0.5133333), b = std::trunc(in[2] * 0.1933333);
                if (c > 0 || r < in[1] + m || r < b + m) return in[c];
                return static_cast<std::uint8_t>(std::min(255.0, (in[1] + b) / 1.0266666));
            });
            ASSERT_EQ(RedEyeRemoval(*bitmap, threshold), 1);
            EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*expected)) << threshold;
        }
    }
}

// The filter as laid out, with its buffer of values; the sums in
// `Accumulator` (float as specified, double to show it matters).
template <typename Accumulator>
Bytes ReferenceRetinex(const TiBitmapData& t, const TiBitmapData& u, int nscales, float cvar) {
    const int w = t.GetWidth(), h = t.GetHeight();
    float ratio[256], restore[256], brightness[768];
    for (int i = 0; i < 256; ++i) ratio[i] = static_cast<float>(std::log(i + 1.0));
    for (int i = 0; i < 256; ++i) restore[i] = logf(static_cast<float>((i + 1) * 128));
    for (int j = 0; j < 768; ++j) brightness[j] = static_cast<float>(std::log(j + 3.0));
    const float weight = nscales == 0 ? 1.0f : 1.0f / static_cast<float>(nscales);
    std::vector<float> d(static_cast<std::size_t>(w) * h * 3);
    Accumulator sum = 0, sumsq = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint8_t *p = t.GetPixel(x, y), *s = u.GetPixel(x, y);
            float* v = &d[(y * w + x) * 3];
            for (int c = 0; c < 3; ++c) {
                v[c] = weight * (ratio[p[c]] - ratio[s[c]]) *
                       (restore[p[c]] - brightness[p[0] + p[1] + p[2]]);
            }
            sum += v[0] + v[1] + v[2];
            sumsq += v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
        }
    }
    const float n = static_cast<float>(3 * w * h);
    const float mean = static_cast<float>(sum / n);
    const float deviation = std::sqrt(static_cast<float>(sumsq / n) - mean * mean);
    const float low = mean - cvar * deviation, range = (mean + cvar * deviation) - low;
    const float k = range == 0 ? 255.0f : 255.0f / range;
    Bytes out = test::Pixels(t);
    for (int i = 0; i < w * h; ++i) {
        for (int c = 0; c < 3; ++c) {
            const float value = k * (d[i * 3 + c] - low);
            out[i * t.GetBpp() + c] = value < 0     ? 0
                                      : value > 255 ? 255
                                                    : static_cast<std::uint8_t>(value);
        }
    }
    return out;
}

Bitmap Blurred(const TiBitmapData& bitmap, int nscales) {
    Bitmap copy = bitmap.Clone(false);
    EXPECT_EQ(GasBlur(*copy, RetinexBlurRadius(nscales)), 1);
    return copy;
}

TEST(Retinex, FollowsTheFloatArithmeticToTheByte) {
    const int radii[] = {10, 10, 20, 20, 40, 40, 80};
    for (int n = 0; n < 7; ++n) EXPECT_EQ(RetinexBlurRadius(n), radii[n]);
    for (auto [n, radius] : {std::pair{16, 2560}, {-2, 5}, {-200, 0}, {INT_MAX, INT_MAX}})
        EXPECT_EQ(RetinexBlurRadius(n), radius);
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

TEST(Retinex, EdgesOfTheStretchLogAndMismatchedSurround) {
    // A flat picture has no spread: everything goes to 0.
    Bitmap flat = test::Constant(20, 10, TiRGBABpp, {90, 140, 30, 77});
    ASSERT_EQ(retinex(*flat, *flat->Clone(), 10, 0, 2.0f), 1);
    EXPECT_EQ(test::Pixels(*flat), test::Pixels(*test::Constant(20, 10, TiRGBABpp, {0, 0, 0, 77})));
    // cvar 0 splits hard around the mean; level 0 weighs like level 1; the
    // mode changes nothing but the log line.
    Bitmap picture = test::Noise(40, 30, TiRGBABpp, 3);
    const Bitmap surround = Blurred(*picture, 1);
    const auto expected = ReferenceRetinex<float>(*picture, *surround, 1, 0.0f);
    static std::string logged;
    logged.clear();
    TiSetLogSink([](const char* line) { logged += line; });
    for (auto [nscales, mode] : {std::pair{1, 0}, {0, 0}, {1, 7}}) {
        Bitmap bitmap = picture->Clone();
        ASSERT_EQ(retinex(*bitmap, *surround, nscales, mode, 0.0f), 1);
        EXPECT_EQ(test::Pixels(*bitmap), expected) << nscales << " " << mode;
    }
    TiSetLogSink(nullptr);
    EXPECT_EQ(logged, "retinex 0 1 0.000000\nretinex 0 0 0.000000\nretinex 7 1 0.000000\n");
}

TEST(RetinexObject, KeepsItsSurroundBetweenRunsAndRefuses) {
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
    // The copy, its blur's line buffers and the tables can each fail.
    EXPECT_EQ(test::ExpectRefusalsLeaveBitmapUnchanged(
                  [] { return test::Noise(30, 20, TiRGBBpp, 1); },
                  [](TiBitmapData& b) { return Retinex(&b, 2, 0, 2.0f).Run(); }),
              3);
    TiMemoryTestHook::FailAllocation(1);
    EXPECT_EQ(filter.Prepare(), 0);
    TiMemoryTestHook::Reset();
    EXPECT_TRUE(filter.NeedsPrepare());
}

using Rgb = std::array<int, 3>;

Rgb ShadowsAndHighlights(Rgb rgb, float shadows, float highlights) {
    const Rgba p =
        test::Applied(TiRGBBpp,
                      {{static_cast<std::uint8_t>(rgb[0]), static_cast<std::uint8_t>(rgb[1]),
                        static_cast<std::uint8_t>(rgb[2]), 0}},
                      [&](TiBitmapData& b) { return ShadowHighlight(b, shadows, highlights); })[0];
    return {p[0], p[1], p[2]};
}

// Values worked out step by step in single precision, with the lifts in
// double, from the weight curve 100 98 97 ... 2 1 0 (entries 75..99 are 0).
TEST(ShadowHighlight, LiftsAndPullsExactly) {
    const std::tuple<Rgb, float, float, Rgb> cases[] = {
        // Weight 1: saturation * 0.6, value * 4; curve entry 74 (1): a lift
        // of 1 / (1 - 0.0075); pure blue's hue lands just below 240 degrees in
        // float (at 240 in double green would equal red); saturation * (1 -
        // 0.4f * w) (with 0.4 in double the blue would be 17); the lift in
        // double: 80 (79 in float).
        {{2, 1, 0}, 1, 0, {8, 5, 3}},
        {{100, 50, 20}, 1, 0, {163, 98, 60}},
        {{128, 128, 128}, 1, 0, {177, 177, 177}},
        {{193, 150, 120}, 1, 0, {194, 150, 121}},
        {{0, 0, 10}, 1, 0, {13, 14, 35}},
        {{0, 0, 40}, 0.5f, 0, {9, 10, 57}},
        {{42, 10, 7}, 0.5f, 0, {60, 21, 18}},
        {{53, 53, 53}, 0.6f, 0, {80, 80, 80}},
        {{128, 64, 32}, 0.5f, 0, {148, 78, 45}},
        // No weight: RGB -> HSV -> RGB only, hue in whole degrees, channels
        // truncated, so a channel can drop by one.
        {{10, 200, 90}, 0, 0, {10, 200, 89}},
        {{194, 10, 10}, 1, 0, {194, 10, 10}},
        {{194, 10, 10}, 0, 0, {194, 10, 10}},
        {{0, 0, 0}, 1, 1, {0, 0, 0}},
        {{255, 255, 255}, 1, 1, {255, 255, 255}},
        // Highlights mirror the shadows; the pull toward black in double: 150
        // (149 in float); both sides: lifted, then pulled down; a largest
        // channel of 61 is beyond the highlight curve's reach, 62 is not.
        {{230, 180, 0}, 0, 1, {181, 139, 0}},
        {{250, 250, 250}, 0, 1, {236, 236, 236}},
        {{200, 100, 50}, 0, 1, {133, 65, 33}},
        {{213, 0, 0}, 0, 1, {150, 0, 0}},
        {{128, 64, 32}, 0.5f, 0.5f, {131, 69, 40}},
        {{120, 120, 120}, 0.5f, 0.5f, {126, 126, 126}},
        {{120, 120, 120}, 0.5f, 0, {141, 141, 141}},
        {{62, 30, 20}, 0, 1, {60, 29, 19}},
        {{62, 30, 20}, 0, 0, {62, 29, 20}},
    };
    for (const auto& [in, shadows, highlights, out] : cases)
        EXPECT_EQ(ShadowsAndHighlights(in, shadows, highlights), out);
    EXPECT_EQ(ShadowsAndHighlights({61, 30, 20}, 0, 1), ShadowsAndHighlights({61, 30, 20}, 0, 0));
    // A largest channel of 194 or more gets no shadow weight: full shadows
    // give it the bare round trip.
    const Bitmap cube = test::RgbCube(64, 77, TiRGBABpp);
    Bitmap plain = cube->Clone(), lifted = cube->Clone();
    ShadowHighlight(*plain, 0, 0);
    ShadowHighlight(*lifted, 1, 0);
    int unweighted = 0;
    for (int y = 0; y < 77; ++y) {
        for (int x = 0; x < 64; ++x) {
            const std::uint8_t* p = cube->GetPixel(x, y);
            if (std::max({p[0], p[1], p[2]}) < 194) continue;
            ++unweighted;
            ASSERT_EQ(test::PixelAt(*lifted, x, y), test::PixelAt(*plain, x, y)) << x << "," << y;
        }
    }
    EXPECT_GT(unweighted, 1000);
}

using Quadrant = std::vector<std::vector<int>>;  // [y][x], counted from the centre outward

// Alphas worked out by hand in double: the ellipse test, the focal sums and
// t * 255 * t truncated. The 6 x 4 one differs in four places when computed
// in float (51, 51, 101, 204 for 50, 50, 102, 203). A constant picture gets
// the bottom-right quadrant's alpha mirrored into the other three, blended
// with the normal blend; odd sizes keep their last column and row.
TEST(DarkenCorner, DarkensByTheMirroredQuadrant) {
    const std::tuple<int, int, double, Quadrant> cases[] = {
        {10, 6, 0.5, {{0, 0, 0, 14, 133}, {0, 0, 0, 33, 162}, {6, 10, 32, 101, 255}}},
        {11, 7, 0.5, {{0, 0, 0, 14, 133}, {0, 0, 0, 33, 162}, {6, 10, 32, 101, 255}}},
        {6, 4, 0.0, {{0, 50, 203}, {50, 102, 255}}},
        {10, 6, 0.0, {{0, 12, 50, 114, 203}, {12, 25, 63, 127, 216}, {50, 63, 102, 165, 255}}},
    };
    for (int bpp : {3, 4}) {
        const Bytes gray = {200, 150, 90, 77};
        const Bytes pixel(gray.begin(), gray.begin() + bpp);
        for (const auto& [width, height, ratio, alpha] : cases) {
            for (int opacity : {200, 255, 37}) {
                Bitmap bitmap = test::Constant(width, height, bpp, pixel);
                ASSERT_EQ(DarkenCorner(*bitmap, ratio, opacity), 1);
                Bitmap expected = test::Constant(width, height, bpp, pixel);
                const int hw = width / 2, hh = height / 2;
                for (int y = 0; y < hh; ++y) {
                    for (int x = 0; x < hw; ++x) {
                        const std::uint8_t layer[4] = {0, 0, 0,
                                                       static_cast<std::uint8_t>(alpha[y][x])};
                        for (int px : {hw - 1 - x, hw + x})
                            for (int py : {hh - 1 - y, hh + y})
                                Blend(expected->GetPixel(px, py), layer, expected->GetPixel(px, py),
                                      opacity);
                    }
                }
                EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*expected))
                    << width << "x" << height << " opacity " << opacity;
            }
        }
        // Well inside the ellipse nothing changes at any opacity; the corner
        // darkens unless the opacity is 0 or less.
        for (int opacity : {0, 1, 100, 200, 254, 255, 1000, -5}) {
            Bitmap bitmap = test::Noise(60, 40, bpp, 7);
            const Bitmap before = bitmap->Clone();
            ASSERT_EQ(DarkenCorner(*bitmap, 0.6, opacity), 1);
            // Well inside the ellipse of semi-axes 18 x 12.
            EXPECT_EQ(test::Pixels(*bitmap->GetBitmapDataFromRect(18, 12, 24, 16)),
                      test::Pixels(*before->GetBitmapDataFromRect(18, 12, 24, 16)));
            EXPECT_EQ(test::PixelAt(*bitmap, 0, 0) != test::PixelAt(*before, 0, 0), opacity > 0)
                << opacity;
        }
    }
}

TEST(DarkenCorner, RatioOneBlackensTheCornersAndLeavesTheCentreLines) {
    // Ratio 1: corners black at full opacity; the centre lines stay.
    Bitmap bitmap = test::Constant(40, 30, TiRGBBpp, {255, 255, 255});
    ASSERT_EQ(DarkenCorner(*bitmap, 1.0, 255), 1);
    for (auto [x, y] : {std::pair{0, 0}, {39, 0}, {0, 29}, {39, 29}})
        EXPECT_EQ(test::PixelAt(*bitmap, x, y), (Rgba{0, 0, 0, 0}));
    for (int x = 0; x < 40; ++x) EXPECT_EQ(bitmap->GetPixel(x, 15)[0], 255) << x;
    for (int y = 0; y < 30; ++y) EXPECT_EQ(bitmap->GetPixel(20, y)[0], 255) << y;
}

// The serial passes the banded random-number filters must match: draws in
// scan order, one pixel after another.
void SerialGrain(TiBitmapData& bitmap, int amount, bool colour) {
    const int b = TiTrunc(amount * 7.6), h = b / 2;
    const int bpp = bitmap.GetBpp(), channels = bpp == 4 ? 3 : bpp;
    for (int y = 0; y < bitmap.GetHeight(); ++y) {
        for (int x = 0; x < bitmap.GetWidth(); ++x) {
            std::uint8_t* p = bitmap.GetPixel(x, y);
            const int mono = colour && channels == 3 ? 0 : static_cast<int>(random() % b) - h;
            for (int c = 0; c < channels; ++c) {
                const int offset =
                    colour && channels == 3 ? static_cast<int>(random() % b) - h : mono;
                p[c] = static_cast<std::uint8_t>(std::clamp(p[c] + offset, 0, 255));
            }
        }
    }
}

void SerialDiffuse(TiBitmapData& bitmap, int spacing, int radius) {
    const Bitmap copy = bitmap.Clone();
    const int w = bitmap.GetWidth(), h = bitmap.GetHeight(), bpp = bitmap.GetBpp();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const long p = random(), q = random(), s = random(), t = random();
            const long sx = x + (p % radius + spacing) * (s % 2 ? -1 : 1);
            const long sy = y + (q % radius + spacing) * (t % 2 ? -1 : 1);
            if (sx >= 1 && sx < w && sy >= 1 && sy < h)
                std::memcpy(bitmap.GetPixel(x, y), copy->GetPixel(sx, sy), bpp == 4 ? 3 : bpp);
        }
    }
}

struct RandomFilterCase {
    std::string name;
    int bpp;
    std::function<void(TiBitmapData&)> banded, serial;
};

// Grain in colour and mono over every pixel size, clamped at both ends, and
// diffusion near and far; each draws in scan order.
std::vector<RandomFilterCase> RandomFilterCases() {
    std::vector<RandomFilterCase> cases;
    struct Grain {
        int bpp, amount;
        bool colour;
    };
    for (Grain g : {Grain{4, 1, true},
                    {4, 9, true},
                    {3, 40, true},
                    {1, 2, true},
                    {4, 6, false},
                    {3, 30, false},
                    {1, 40, false}}) {
        cases.push_back({(g.colour ? "colour_grain_" : "mono_grain_") + std::to_string(g.amount),
                         g.bpp, [=](TiBitmapData& b) { AddNoise(b, g.amount, g.colour); },
                         [=](TiBitmapData& b) { SerialGrain(b, g.amount, g.colour); }});
    }
    struct Scatter {
        int bpp, spacing, radius;
    };
    for (Scatter s : {Scatter{4, 1, 6}, {3, 40, 1000}, {1, 0, 3}, {4, 2, 1}, {3, 1, 5}}) {
        cases.push_back({"diffuse_" + std::to_string(s.spacing) + "_" + std::to_string(s.radius),
                         s.bpp, [=](TiBitmapData& b) { Diffuse(b, s.spacing, s.radius); },
                         [=](TiBitmapData& b) { SerialDiffuse(b, s.spacing, s.radius); }});
    }
    return cases;
}

class RandomFilterState : public testing::TestWithParam<RandomFilterCase> {};

// A small picture and one large enough to be split into bands; the pass must
// give the serial picture and leave the generator where the serial pass
// leaves it, so that the next draws are the same. The generator is also
// switched to other types (a linear congruential one, a longer additive
// one), which the bands must follow too.
TEST_P(RandomFilterState, BandsGiveTheSerialPictureAndTheSerialNextDraws) {
    const RandomFilterCase& run = GetParam();
    alignas(8) char congruential[8], additive63[256];
    char* const original = initstate(1, congruential, sizeof congruential);
    setstate(original);
    for (char* state : {original, congruential, additive63}) {
        if (state != original) initstate(1, state, state == congruential ? 8 : 256);
        setstate(state);
        for (auto [width, height, seed] :
             {std::tuple{17, 12, 7u}, {613, 457, 1u}, {613, 457, 977u}}) {
            Bitmap banded = test::Noise(width, height, run.bpp, seed);
            Bitmap serial = banded->Clone();
            std::vector<long> expectedNext, next;
            srandom(seed);
            run.serial(*serial);
            for (int i = 0; i < 100; ++i) expectedNext.push_back(random());
            srandom(seed);
            run.banded(*banded);
            for (int i = 0; i < 100; ++i) next.push_back(random());
            EXPECT_EQ(test::Pixels(*banded), test::Pixels(*serial)) << width << " " << seed;
            EXPECT_EQ(next, expectedNext) << width << " " << seed;
        }
    }
    setstate(original);
}

INSTANTIATE_TEST_SUITE_P(Filters, RandomFilterState, testing::ValuesIn(RandomFilterCases()),
                         [](const testing::TestParamInfo<RandomFilterCase>& info) {
                             return info.param.name;
                         });

// The random-number filters give the same picture in every fresh process: the
// program never seeds random(). The test runs this binary again, twice, as a
// child that applies the filters before anything else draws.
constexpr const char kOutputVariable[] = "VANTREL_FRESH_PROCESS_OUTPUT";

Bytes ApplyRandomFilters() {
    Bitmap bitmap = test::Gradient(23, 17, TiRGBABpp);
    AddNoise(*bitmap, 5, true);
    AddNoise(*bitmap, 3, false);
    Diffuse(*bitmap, 1, 3);
    return test::Pixels(*bitmap);
}

// In the child, this runs before main, writes the picture and ends the
// process, so that nothing else has drawn a number first.
const bool kChildWroteAndExited = [] {
    const char* path = std::getenv(kOutputVariable);
    if (!path) return false;
    const Bytes pixels = ApplyRandomFilters();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(pixels.data()), pixels.size());
    std::_Exit(0);
}();

Bytes RunFreshProcess(const std::string& output) {
    char self[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (length <= 0) return {};
    std::remove(output.c_str());
    const std::string command = std::string(kOutputVariable) + "='" + output + "' '" +
                                std::string(self, length) + "' > /dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return {};
    std::ifstream in(output, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(RandomFilters, AFreshProcessAlwaysGivesTheSamePicture) {
    ASSERT_FALSE(kChildWroteAndExited);
    const std::string output =
        testing::TempDir() + "vantrel_fresh_process_" + std::to_string(getpid());
    const Bytes first = RunFreshProcess(output), second = RunFreshProcess(output);
    std::remove(output.c_str());
    ASSERT_EQ(first.size(), 23u * 17u * 4u) << "the child wrote no picture";
    EXPECT_EQ(first, second);
    EXPECT_NE(first, test::Pixels(*test::Gradient(23, 17, TiRGBABpp)));
    // An unseeded random() runs as if seeded with 1; here too the filters
    // must give the child's picture, so they never seed it themselves.
    srandom(1);
    EXPECT_EQ(ApplyRandomFilters(), first);
}

}  // namespace
}  // namespace vantrel
