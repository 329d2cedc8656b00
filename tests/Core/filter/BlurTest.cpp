// The tent blur, sharpening and glow, the radial blur and bokeh against
// their definitions; what they owe their caller is swept in
// tests/Core/ContractTest.cpp, their preconditions in PreconditionTest.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <tuple>
#include <vector>

#include "Core/base/BlendMode.h"
#include "Core/base/BrightnessContrast.h"
#include "Core/base/GrayInvert.h"
#include "Core/base/Levels.h"
#include "Core/filter/Bokeh.h"
#include "Core/filter/GasBlur.h"
#include "Core/filter/RadialBlur.h"
#include "Core/filter/Sketch.h"
#include "Core/filter/Unsharp.h"
#include "Core/global/Numeric.h"
#include "Core/global/TiMemory.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;
using test::Rgba;
using Bytes = std::vector<std::uint8_t>;

// The tent blur of one line straight from its definition: edge samples
// replicated, weights r - |k|, floor(r^2/2) added once, integer division.
Bytes TentLine(const Bytes& s, int r) {
    if (r <= 1) return s;
    const int n = static_cast<int>(s.size());
    const std::int64_t rr = std::int64_t{r} * r;
    Bytes out(n);
    for (int x = 0; x < n; ++x) {
        std::int64_t sum = rr / 2;
        for (int k = -(r - 1); k <= r - 1; ++k)
            sum += (r - std::abs(k)) * std::int64_t{s[std::clamp(x + k, 0, n - 1)]};
        out[x] = static_cast<std::uint8_t>(sum / rr);
    }
    return out;
}

// Rows with radiusH, then columns with radiusV, channel by channel; alpha never.
void ReferenceBlur(TiBitmapData& bitmap, int radiusH, int radiusV) {
    const int w = bitmap.GetWidth(), h = bitmap.GetHeight(), bpp = bitmap.GetBpp();
    for (int c = 0; c < (bpp == TiRGBABpp ? 3 : bpp); ++c) {
        for (int y = 0; y < h; ++y) {
            Bytes line(w);
            for (int x = 0; x < w; ++x) line[x] = bitmap.GetPixel(x, y)[c];
            line = TentLine(line, radiusH);
            for (int x = 0; x < w; ++x) bitmap.GetPixel(x, y)[c] = line[x];
        }
        for (int x = 0; x < w; ++x) {
            Bytes line(h);
            for (int y = 0; y < h; ++y) line[y] = bitmap.GetPixel(x, y)[c];
            line = TentLine(line, radiusV);
            for (int y = 0; y < h; ++y) bitmap.GetPixel(x, y)[c] = line[y];
        }
    }
}

// A filter and its definition, applied to copies of one noise picture.
struct Defined {
    test::Operation filter;
    std::function<void(TiBitmapData&)> definition;
    int width = 47, height = 33;
};

// Every row on pictures of each pixel size: the filter gives what its definition gives.
void ExpectAsDefined(const std::vector<Defined>& rows, std::initializer_list<int> sizes) {
    for (int bpp : sizes) {
        for (size_t i = 0; i < rows.size(); ++i) {
            Bitmap bitmap = test::Noise(rows[i].width, rows[i].height, bpp, 1000 + i);
            Bitmap expected = bitmap->Clone();
            rows[i].definition(*expected);
            ASSERT_EQ(rows[i].filter(*bitmap), 1);
            ASSERT_EQ(test::Pixels(*bitmap), test::Pixels(*expected)) << "row " << i << ", " << bpp;
        }
    }
}

// Sizes chosen to leave partial strips and partial row blocks, and radii
// below, at and beyond the line lengths, both sides of the 32-bit limit.
TEST(GasBlur, RunningSumsMatchTheClosedFormula) {
    const std::pair<int, int> sizes[] = {{1, 1},   {1, 9},   {11, 1}, {2, 3},
                                         {17, 23}, {70, 33}, {130, 6}};
    const std::pair<int, int> radii[] = {{0, 0},     {1, 1},  {2, 0},       {0, 2},
                                         {3, 3},     {4, 7},  {16, 5},      {64, 65},
                                         {200, 131}, {-5, 9}, {2896, 2897}, {5000, 3}};
    std::vector<Defined> rows;
    for (auto [width, height] : sizes) {
        for (auto [h, v] : radii) {
            rows.push_back({[h = h, v = v](TiBitmapData& b) { return GasBlur(b, h, v); },
                            [h = h, v = v](TiBitmapData& e) { ReferenceBlur(e, h, v); }, width,
                            height});
        }
    }
    ExpectAsDefined(rows, {1, 3, 4});
    Bitmap peak = test::MakeBitmap(5, 1, 1, [](int x, int, int) { return x == 2 ? 255 : 0; });
    ASSERT_EQ(GasBlur(*peak, 2, 0), 1);
    EXPECT_EQ(test::Pixels(*peak), (Bytes{0, 64, 128, 64, 0}));
}

// Unsharp from its definition: the blurred copy, then each colour byte i with
// blurred value j pushed by amount / 100 * (i - j) in double.
void SharpenedByDefinition(TiBitmapData& bitmap, int amount, int radius, int threshold) {
    Bitmap blurred = bitmap.Clone(false);
    GasBlur(*blurred, radius);
    for (int y = 0; y < bitmap.GetHeight(); ++y) {
        for (int x = 0; x < bitmap.GetWidth(); ++x) {
            for (int c = 0; c < 3; ++c) {
                std::uint8_t& byte = bitmap.GetPixel(x, y)[c];
                const int d = byte - blurred->GetPixel(x, y)[c];
                if (std::abs(d) < threshold) continue;
                const double v = byte + (amount / 100.0) * d;
                byte = v < 0 ? 0 : (v > 255 ? 255 : static_cast<std::uint8_t>(v));
            }
        }
    }
}

// The centre of a strip whose neighbours pull its tent-blurred value (radius
// 3 on five pixels: 1-2-3-2-1 over 9).
int SharpenedCentre(int centre, int neighbours, int amount, int threshold) {
    const Rgba n{static_cast<std::uint8_t>(neighbours), 0, 0, 255},
        c{static_cast<std::uint8_t>(centre), 0, 0, 255};
    return test::Applied(TiRGBABpp, {n, n, c, n, n},
                         [&](TiBitmapData& b) { return Unsharp(b, amount, 3, threshold); })[2][0];
}

TEST(Unsharp, PushesAwayFromTheBlurInDouble) {
    // Neighbours 250 around 100 blur the centre to (6 * 250 + 300 + 4) / 9 =
    // 200. 100 + 0.55 * -100 is 44.99999999999999 in double, 45 in float;
    // 100 + 0.54 * -100 is 46 in double, 45.999996 in float; clamped below;
    // the threshold compares |i - j| = 100 strictly. Neighbours 0 around 250
    // blur it to (750 + 4) / 9 = 83; + 5 * 167, clamped.
    for (auto [centre, neighbours, amount, threshold, expected] : {std::tuple{100, 250, 55, 0, 44},
                                                                   {100, 250, 54, 0, 46},
                                                                   {100, 250, 200, 0, 0},
                                                                   {100, 250, 50, 100, 50},
                                                                   {100, 250, 50, 101, 100},
                                                                   {250, 0, 500, 0, 255}}) {
        EXPECT_EQ(SharpenedCentre(centre, neighbours, amount, threshold), expected)
            << amount << " " << threshold;
    }
}

std::vector<float> Offsets(int quality) {
    if (quality == 1) return {-0.09f, -0.065f, -0.04f, -0.02f, 0.02f, 0.04f, 0.065f, 0.09f};
    if (quality == 2)
        return {-0.09f, -0.08f, -0.07f, -0.06f, -0.04f, -0.02f,
                0.02f,  0.04f,  0.06f,  0.07f,  0.08f,  0.09f};
    std::vector<float> offsets;
    for (int i = -9; i <= 9; ++i) {
        if (i != 0) offsets.push_back(static_cast<float>(i / 100.0));
    }
    return offsets;
}

// The radial blur as laid out, one pixel at a time in scan order: samples
// read from the picture being rewritten, the pixel's own bytes from an
// untouched copy, positions in float, the average in double.
void RadialByDefinition(TiBitmapData& bitmap, int amount, float scale, int quality) {
    std::vector<float> taps = Offsets(quality);
    for (float& t : taps) t = static_cast<float>(t * (amount * 4.0));
    const float weight = static_cast<float>(1.0 / (taps.size() + 1));
    const Bitmap copy = bitmap.Clone(false);
    const int w = bitmap.GetWidth(), h = bitmap.GetHeight();
    const float f = static_cast<float>(w) / scale;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const float vx = static_cast<float>(w / 2 - x), vy = static_cast<float>(h / 2 - y);
            const float len = std::sqrt(vx * vx + vy * vy);
            int sum[3];
            for (int c = 0; c < 3; ++c) sum[c] = copy->GetPixel(x, y)[c];
            if (len > 0) {
                const float ux = vx / len, uy = vy / len, k = len / f;
                for (float t : taps) {
                    const float ax = ux * t, ay = uy * t;
                    const float px = x + ax * k, py = y + ay * k;
                    const std::uint8_t* s =
                        bitmap.GetPixel(std::clamp(TiTrunc(px + 0.5f), 0, w - 1),
                                        std::clamp(TiTrunc(py + 0.5f), 0, h - 1));
                    for (int c = 0; c < 3; ++c) sum[c] += s[c];
                }
                for (int& s : sum) s = TiTrunc(s * static_cast<double>(weight));
            }
            for (int c = 0; c < 3; ++c)
                bitmap.GetPixel(x, y)[c] = static_cast<std::uint8_t>(sum[c]);
        }
    }
}

TEST(RadialBlur, SmallStripsByHand) {
    // Seven pixels (37x, 11x, 5x), amount 75, scale 0.5, twelve samples.
    // Pixel 2 reads pixels 0 and 1 after they were rewritten (from the
    // originals it would be 74, 22, 10), and its sample places in float (in
    // double one of them moves over and it would be 100, 29, 13).
    std::vector<Rgba> pixels;
    for (int x = 0; x < 7; ++x) {
        pixels.push_back({static_cast<std::uint8_t>(37 * x), static_cast<std::uint8_t>(11 * x),
                          static_cast<std::uint8_t>(5 * x), 255});
    }
    EXPECT_EQ(test::Applied(TiRGBABpp, pixels,
                            [](TiBitmapData& b) { return RadialBlur(b, 75, 0.5f, 2); }),
              (std::vector<Rgba>{{68, 20, 9, 255},
                                 {96, 28, 13, 255},
                                 {98, 29, 13, 255},
                                 {111, 33, 15, 255},
                                 {154, 45, 20, 255},
                                 {167, 49, 22, 255},
                                 {168, 50, 22, 255}}));
    // A column 90, 0, 50, 200, 10 (eight samples, amount 1, scale 2): the
    // bottom pixel averages itself with the rewritten 124 above it (73 from
    // the original 200); the centre keeps its value.
    const Bytes reds = {90, 0, 50, 200, 10};
    Bitmap column =
        test::MakeBitmap(1, 5, TiRGBBpp, [&](int, int y, int c) { return c == 0 ? reds[y] : 0; });
    ASSERT_EQ(RadialBlur(*column, 1, 2.0f, 1), 1);
    EXPECT_EQ(test::Pixels(*column), (Bytes{60, 0, 0, 24, 0, 0, 50, 0, 0, 124, 0, 0, 48, 0, 0}));
}

// Sharpening, the radial blur and the filters made of other operations, each
// against its definition or steps. Radial blur widths lie around the 64-pixel
// chunks of the sample places; scales and amounts run from a gentle zoom to
// samples far outside the picture; tall pictures have rows within reach that
// take fewer slots than the picture has rows. The sketch is gray, a copy
// inverted and blurred, colour dodge at full opacity, levels 150..255; the
// glow is brightness and contrast on a copy, its blur, then soft light over
// the picture at full opacity ((0, 0) still glows; 1.5 is refused by the
// adjustment and the glow goes on); bokeh blends its own blurred copy.
TEST(Filters, GiveWhatTheirDefinitionsGive) {
    std::vector<Defined> rows;
    struct Sharpening {
        int amount, radius, threshold;
    };
    for (Sharpening s :
         {Sharpening{50, 10, 5}, {150, 2, 0}, {500, 7, 40}, {29, 3, 0}, {1, 30, 1}}) {
        rows.push_back({ON(Unsharp(b, s.amount, s.radius, s.threshold)), [=](TiBitmapData& e) {
                            SharpenedByDefinition(e, s.amount, s.radius, s.threshold);
                        }});
    }
    const struct {
        int width, height, amount;
        float scale;
        int quality;
    } radial[] = {{37, 23, 50, 2.0f, 2},  {64, 9, 100, 9.99f, 1}, {130, 7, 20, 0.7f, 3},
                  {65, 40, 300, 3.0f, 2}, {1, 17, 40, 2.0f, 1},   {19, 1, 200, 2.0f, 3},
                  {50, 31, -60, 1.3f, 2}, {40, 150, 10, 2.0f, 2}, {70, 301, 5, 4.0f, 3},
                  {3, 90, 30, 1.0f, 1}};
    for (const auto& r : radial) {
        rows.push_back(
            {ON(RadialBlur(b, r.amount, r.scale, r.quality)),
             [=](TiBitmapData& e) { RadialByDefinition(e, r.amount, r.scale, r.quality); }, r.width,
             r.height});
    }
    for (int radius : {0, 1, 2, 5, 20}) {
        rows.push_back({ON(Sketch(b, radius)), [radius](TiBitmapData& e) {
                            ConvertToGray(e);
                            Bitmap copy = e.Clone(false);
                            InvertColor(*copy);
                            GasBlur(*copy, radius);
                            BlendMode(e, 0, *copy, 0, kBlendColorDodge, 1.0);
                            AdjustLevels(e, 150, 255, 1.0, 0);
                        }});
    }
    for (std::array<float, 3> c :
         {std::array{6.0f, 0.0f, 0.0f}, {3, 0.4f, 0.2f}, {10, -0.3f, 0.7f}, {4, 1.5f, 0}}) {
        const int radius = static_cast<int>(c[0]);
        rows.push_back({ON(SoftGlow(b, radius, c[1], c[2])), [=](TiBitmapData& e) {
                            Bitmap glow = e.Clone(false);
                            AdjustBrightnessContrast(*glow, c[1], c[2]);
                            GasBlur(*glow, radius);
                            BlendMode(e, 0, *glow, 0, kBlendSoftLight, 1.0);
                        }});
    }
    for (std::array<int, 6> c : {std::array{20, 14, 5, 0, 6, 8},
                                 {3, 30, 9, 45, 2, 20},
                                 {-50, 99, 2, -120, 10, 0},
                                 {15, 10, 6, 0, 0, 0}}) {
        rows.push_back(
            {ON(BokehFilter(b, c[0], c[1], c[2], c[3], c[4], c[5])), [c](TiBitmapData& e) {
                 Bitmap blurred = e.Clone(false);
                 GasBlur(*blurred, c[2]);
                 BlendBokeh(e, *blurred, c[0], c[1], c[3], c[4], c[5]);
             }});
    }
    ExpectAsDefined(rows, {3, 4});
}

TEST(RadialBlur, WildParametersStayInsideThePicture) {
    const float nan = std::numeric_limits<float>::quiet_NaN(),
                inf = std::numeric_limits<float>::infinity();
    for (int amount : {50, INT_MAX, INT_MIN}) {
        for (float scale : {0.0f, -0.0f, nan, inf, -inf, 1e30f, -3.0f}) {
            Bitmap bitmap = test::Noise(21, 13, TiRGBABpp, 2);
            const Bitmap before = bitmap->Clone();
            EXPECT_EQ(RadialBlur(*bitmap, amount, scale, 3), 1);
            test::ExpectAlphaUnchanged(*before, *bitmap);
            EXPECT_EQ(test::PixelAt(*bitmap, 10, 6), test::PixelAt(*before, 10, 6))
                << "the centre keeps its value";
        }
    }
}

// A 21 x 11 picture of (10, 20, 30) and a "blurred" one of (250, 200, 100),
// focus at the centre (10, 5), centre radius 3, extend width 4: the mask's
// stops are white at 0 (midpoint 3 / 7) and black at 7 / 10.5. At 0 degrees
// a radius is measured against 21 / 2 - 1 = 9.5 pixels, at 90 against 4.5.
TEST(BlendBokeh, FocusMaskAndTheFloatMix) {
    const Bitmap blurred = test::Constant(21, 11, TiRGBABpp, {250, 200, 100, 255});
    const auto redRow = [&](int degrees) {
        Bitmap picture = test::Constant(21, 11, TiRGBABpp, {10, 20, 30, 255});
        EXPECT_EQ(BlendBokeh(*picture, *blurred, 10, 5, degrees, 3, 4), 1);
        EXPECT_EQ(test::PixelAt(*picture, 10, 5), (Rgba{10, 20, 30, 255}))
            << "the focus keeps its value";
        Bytes reds;
        for (const Rgba& p : test::Row(*picture, 5)) reds.push_back(p[0]);
        return reds;
    };
    EXPECT_EQ(redRow(0), (Bytes{250, 250, 250, 250, 239, 206, 172, 139, 98,  54, 10,
                                54,  98,  139, 172, 206, 239, 250, 250, 250, 250}));
    EXPECT_EQ(redRow(90), (Bytes{250, 250, 250, 250, 250, 250, 250, 250, 180, 104, 10,
                                 104, 180, 250, 250, 250, 250, 250, 250, 250, 250}));
    // With no radius there is no focus: a = (blurred alpha) / 255. 3 * (1 -
    // a) + 156 * a at a = 100 / 255 is 63.0 in float, 62.99... in double; 51 *
    // (1 - a) at a = 200 / 255 is 10.99... in float, 11.0 in double; equal
    // values can come out one lower where 0 < a < 1.
    for (auto [value, blur, alpha, expected] : {std::tuple{3, 156, 100, 63},
                                                {51, 0, 200, 10},
                                                {3, 3, 65, 2},
                                                {90, 200, 0, 90},
                                                {90, 200, 255, 200}}) {
        Bitmap target = test::Constant(1, 1, TiRGBBpp, Bytes(3, value));
        Bytes layerPixel(3, blur);
        layerPixel.push_back(static_cast<std::uint8_t>(alpha));
        const Bitmap layer = test::Constant(1, 1, TiRGBABpp, layerPixel);
        ASSERT_EQ(BlendBokeh(*target, *layer, 0, 0, 0, 0, 0), 1);
        EXPECT_EQ(test::Pixels(*target), Bytes(3, expected))
            << value << " " << blur << " " << alpha;
    }
    // An RGB blurred copy counts as opaque.
    Bitmap target = test::Constant(2, 2, TiRGBABpp, {90, 90, 90, 7});
    ASSERT_EQ(BlendBokeh(*target, *test::Constant(2, 2, TiRGBBpp, {200, 100, 0}), 0, 0, 0, 5, -5),
              1);
    EXPECT_EQ(test::PixelAt(*target, 1, 1), (Rgba{200, 100, 0, 7}));
}

TEST(Bokeher, BlursOnceFollowsTheFocusAndOwnsWhatItIsGiven) {
    const Bitmap photo = test::Noise(36, 28, TiRGBABpp, 12);
    auto viaFilter = [&](const BokehParams& p) {
        Bitmap b = photo->Clone();
        BokehFilter(*b, p.cx, p.cy, p.blurRadius, p.degrees, p.centerRadius, p.extendWidth);
        return test::Pixels(*b);
    };
    Bitmap target = photo->Clone();
    Bokeher bokeher(target.get(), 10, 12, 5, 0, 4, 6, false);
    EXPECT_FALSE(bokeher.HasBlur());
    ASSERT_EQ(bokeher.Run(), 1);
    EXPECT_EQ(test::Pixels(*target), viaFilter(bokeher.GetParams()));
    // A new focus on a fresh copy: only the mask is allocated.
    Bitmap second = photo->Clone();
    bokeher.SetBitmap(second.get(), false);
    bokeher.SetParams({25, 5, 5, 30, 8, 3});
    TiMemoryTestHook::Reset();
    ASSERT_EQ(bokeher.Run(), 1);
    EXPECT_EQ(TiMemoryTestHook::AllocationCount(), 1);
    EXPECT_EQ(test::Pixels(*second), viaFilter(bokeher.GetParams()));
    // A new blur radius blurs again.
    Bitmap third = photo->Clone();
    bokeher.SetBitmap(third.get(), false);
    bokeher.SetParams({25, 5, 9, 30, 8, 3});
    EXPECT_FALSE(bokeher.HasBlur());
    ASSERT_EQ(bokeher.Run(), 1);
    EXPECT_EQ(test::Pixels(*third), viaFilter(bokeher.GetParams()));
    // The copy, its blur's line buffer and the mask can each fail.
    EXPECT_EQ(
        test::ExpectRefusalsLeaveBitmapUnchanged([] { return test::Noise(30, 20, TiRGBABpp, 3); },
                                                 [](TiBitmapData& b) {
                                                     Bokeher refused(&b, 9, 9, 4, 0, 5, 5, false);
                                                     return refused.Run();
                                                 }),
        3);
    // Owned pictures go with the object (the sanitizer build checks it).
    Bokeher owner(test::Noise(30, 20, TiRGBABpp).release(), 9, 9, 4, 0, 5, 5, true);
    EXPECT_EQ(owner.PrepareBlur(), 1);
    owner.SetBitmap(test::Noise(30, 20, TiRGBABpp).release(), true);
    EXPECT_EQ(owner.Run(), 1);
}

}  // namespace
}  // namespace vantrel
