// Exact values of the blend tables and passes, the normal blend, gradient
// palettes, masks and overlays; what the passes owe their caller is swept in
// tests/Core/ContractTest.cpp, their preconditions in PreconditionTest.cpp.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <tuple>
#include <vector>

#include "Core/base/BlendMode.h"
#include "Core/base/GradientMask.h"
#include "Core/base/GradientPalette.h"
#include "Core/base/NormalBlend.h"
#include "Core/global/TiMemory.h"
#include "support/Assertions.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;
using Bytes = std::vector<std::uint8_t>;
using Rgb = std::vector<int>;
const float kInf = std::numeric_limits<float>::infinity();

std::vector<unsigned char> Table(int mode, double opacity) {
    std::vector<unsigned char> table(kBlendTableSize);
    GenerateLookupTable(table.data(), mode, opacity);
    return table;
}

int Entry(const std::vector<unsigned char>& table, int a, int b) {
    return table[a * 256 + b];
}

// Expected entries come from a separate reference of the formulas (exact
// single-precision rounding where the colour burn asks for it). The entries
// at opacity 0.3 / 0.55 / 0.7 include ones that come out differently when the
// mix, or a real-valued mode, is computed in single precision, or when the
// colour burn is computed in double or truncated before the mix: e.g.
// Multiply(3, 255) at 0.3 is 2, since 3 * 0.7 + 3 * 0.3 is just below 3 in
// double.
TEST(BlendTable, EntriesOfEveryModeMatchTheReference) {
    struct Case {
        int mode, base, blend;
        double opacity;
        int expected;
    };
    // clang-format off
    const Case cases[] = {
        {1, 90, 200, 1.0, 90}, {1, 200, 90, 1.0, 90}, {1, 200, 90, 0.3, 167},
        {2, 90, 200, 1.0, 200}, {2, 200, 90, 1.0, 200}, {2, 90, 200, 0.7, 167},
        {3, 200, 100, 1.0, 78}, {3, 3, 255, 0.3, 2}, {3, 11, 24, 0.3, 7},
        {4, 200, 100, 1.0, 222}, {4, 30, 60, 0.7, 67}, {4, 77, 0, 1.0, 77},
        {5, 100, 200, 1.0, 255}, {5, 10, 254, 1.0, 255}, {5, 100, 255, 0.3, 146}, {5, 60, 128, 0.55, 93},
        {6, 100, 200, 1.0, 57}, {6, 200, 30, 1.0, 0}, {6, 80, 225, 0.3, 72}, {6, 45, 245, 0.7, 39},
        {7, 100, 200, 1.0, 255}, {7, 40, 60, 1.0, 100}, {7, 40, 60, 0.3, 58},
        {8, 100, 200, 1.0, 45}, {8, 40, 60, 1.0, 0}, {8, 200, 180, 0.7, 147},
        {9, 100, 200, 1.0, 156}, {9, 200, 100, 1.0, 189}, {9, 34, 15, 0.3, 24}, {9, 102, 240, 0.7, 164},
        {10, 17, 15, 1.0, 3}, {10, 51, 65, 1.0, 30}, {10, 200, 220, 1.0, 218}, {10, 51, 65, 0.3, 44},
        {10, 170, 75, 0.3, 162},
        {11, 100, 200, 1.0, 189}, {11, 200, 100, 1.0, 156}, {11, 2, 223, 0.3, 58}, {11, 2, 193, 0.7, 92},
        {12, 100, 60, 1.0, 0}, {12, 200, 60, 1.0, 138}, {12, 100, 200, 1.0, 231}, {12, 1, 251, 0.3, 9},
        {12, 1, 251, 0.7, 22}, {12, 3, 129, 0.3, 2},
        {13, 100, 200, 1.0, 245}, {13, 100, 60, 1.0, 0}, {13, 100, 150, 0.3, 113},
        {14, 145, 200, 1.0, 145}, {14, 20, 200, 1.0, 145}, {14, 250, 60, 1.0, 120}, {14, 20, 200, 0.7, 107},
        {15, 100, 155, 1.0, 255}, {15, 100, 154, 1.0, 0}, {15, 100, 155, 0.3, 146},
        {16, 100, 200, 1.0, 255}, {16, 40, 60, 1.0, 100}, {16, 40, 60, 0.7, 82},
        {17, 100, 30, 1.0, 0}, {17, 30, 100, 1.0, 70}, {17, 30, 100, 0.3, 42},
        {18, 30, 100, 1.0, 70}, {18, 100, 30, 1.0, 70}, {18, 30, 100, 0.7, 58},
        {19, 100, 200, 1.0, 144}, {19, 128, 128, 1.0, 128}, {19, 100, 200, 0.3, 113},
        {20, 100, 200, 1.0, 222}, {20, 128, 128, 1.0, 192}, {20, 100, 200, 0.7, 185},
        // On the lower bound; overlay and hard light at the top.
        {14, 145, 200, 1.0, 145}, {9, 128, 255, 1.0, 255}, {11, 255, 128, 1.0, 255},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(Entry(Table(c.mode, c.opacity), c.base, c.blend), c.expected)
            << "mode " << c.mode << " (" << c.base << ", " << c.blend << ") at " << c.opacity;
    }
}

TEST(BlendTable, BoundariesIdentityAtZeroOpacityAndTheIndexMap) {
    const auto multiply = Table(kBlendMultiply, 1.0), screen = Table(kBlendScreen, 1.0);
    const auto burn = Table(kBlendColorBurn, 1.0), vivid = Table(kBlendVividLight, 1.0);
    for (int a = 0; a < 256; ++a) {
        EXPECT_EQ((Rgb{Entry(multiply, a, 255), Entry(screen, a, 0), Entry(burn, a, 0),
                       Entry(vivid, a, 0), Entry(burn, 255, a == 0 ? 1 : a)}),
                  (Rgb{a, a, 0, 0, 255}));
    }
    EXPECT_EQ(Table(kBlendAdd, 0.6), Table(kBlendLinearDodge, 0.6));
    for (int mode = 1; mode <= 20; ++mode) {
        const auto table = Table(mode, 0.0);
        for (int a = 0; a < 256; ++a)
            for (int b = 0; b < 256; b += 17) ASSERT_EQ(Entry(table, a, b), a) << "mode " << mode;
    }
    std::vector<unsigned char> table(kBlendTableSize, 7);
    EXPECT_THROW(GenerateLookupTable(table.data(), 0, 0.5), TiAssertionError);
    EXPECT_EQ(Entry(table, 200, 3), 200) << "the identity is written before the checks";
    EXPECT_EQ((Rgb{ConvertRGBIndex(1), ConvertRGBIndex(4)}), (Rgb{0, 3}));
}

Bytes Blended(Bytes pixel, int channel, Bytes layer, int layerChannel, int mode, double opacity,
              int result = 1) {
    Bitmap target = test::Constant(1, 1, static_cast<int>(pixel.size()), pixel);
    Bitmap blend = test::Constant(1, 1, static_cast<int>(layer.size()), layer);
    EXPECT_EQ(BlendMode(*target, channel, *blend, layerChannel, mode, opacity), result);
    return test::Pixels(*target);
}

// The ways of pairing channel selectors, with Add, so that re-reading a
// rewritten byte shows: red as base for all three becomes 200 first and green
// and blue read that new red; green as base, red reads the old green and blue
// the new one.
TEST(BlendModePass, ChannelSelectorsAndSelfBlending) {
    const Bytes pixel = {100, 50, 20, 9}, layer = {100, 10, 30};
    EXPECT_EQ(Blended(pixel, 0, layer, 0, kBlendAdd, 1), (Bytes{200, 60, 50, 9}));
    EXPECT_EQ(Blended(pixel, 1, layer, 0, kBlendAdd, 1), (Bytes{200, 210, 230, 9}));
    EXPECT_EQ(Blended(pixel, 2, layer, 0, kBlendAdd, 1), (Bytes{150, 60, 90, 9}));
    EXPECT_EQ(Blended(pixel, 0, layer, 3, kBlendAdd, 1), (Bytes{130, 80, 50, 9}));
    EXPECT_EQ(Blended(pixel, 4, layer, 2, kBlendAdd, 1), (Bytes{100, 50, 20, 19}));
    // Refused: no alpha to blend, a layer without alpha, no colour bytes; one byte is enough.
    EXPECT_EQ(Blended({1, 2, 3}, 4, {1, 2, 3, 4}, 0, kBlendScreen, 1, 0), (Bytes{1, 2, 3}));
    EXPECT_EQ(Blended({1, 2, 3}, 0, {1, 2, 3}, 4, kBlendScreen, 1, 0), (Bytes{1, 2, 3}));
    EXPECT_EQ(Blended({9}, 0, {9}, 0, kBlendScreen, 1, 0), (Bytes{9}));
    EXPECT_EQ(Blended({9}, 1, {9}, 1, kBlendScreen, 1), (Bytes{18}));
    // A bitmap blends with itself; red burnt by itself, as a negative-film look does.
    Bitmap bitmap = test::Constant(1, 1, 4, {200, 100, 40, 255});
    ASSERT_EQ(BlendMode(*bitmap, 0, *bitmap, 0, kBlendMultiply, 1.0), 1);
    EXPECT_EQ(test::Pixels(*bitmap), (Bytes{156, 39, 6, 255}));
    Bitmap burnt = test::Constant(1, 1, 4, {100, 50, 20, 255});
    ASSERT_EQ(BlendMode(*burnt, 1, *burnt, 1, kBlendColorBurn, 1.0), 1);
    EXPECT_EQ(test::Pixels(*burnt), (Bytes{0, 50, 20, 255}));
}

// Every pairing of pixel sizes, large enough to be split across threads,
// against one table lookup per byte.
TEST(BlendModePass, EveryColourByteIsOneLookupForEveryPairOfSizes) {
    const auto table = Table(kBlendSoftLight, 0.8);
    for (auto [dstBpp, srcBpp] : {std::pair{3, 3}, {3, 4}, {4, 3}, {4, 4}}) {
        const auto before = test::Noise(640, 480, dstBpp, 3);
        const auto layer = test::Noise(640, 480, srcBpp, 4);
        const auto expected = test::MakeBitmap(640, 480, dstBpp, [&](int x, int y, int n) {
            const unsigned char was = before->GetPixel(x, y)[n];
            return n < 3 ? Entry(table, was, layer->GetPixel(x, y)[n]) : was;
        });
        auto bitmap = before->Clone();
        ASSERT_EQ(BlendMode(*bitmap, 0, *layer, 0, kBlendSoftLight, 0.8), 1);
        EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*expected)) << dstBpp << srcBpp;
    }
}

TEST(BlendGrayMask, BlendsTheMaskIntoTheNamedBytes) {
    const std::vector<unsigned char> mask = {0, 128, 255, 64};
    const auto masked = [&](Bytes pixel, int channel, int mode, double opacity, int result = 1) {
        Bitmap bitmap = test::Constant(2, 2, static_cast<int>(pixel.size()), pixel);
        EXPECT_EQ(BlendGrayMask(*bitmap, channel, mask.data(), mode, opacity), result);
        return test::Pixels(*bitmap);
    };
    EXPECT_EQ(masked({200, 100, 50, 33}, 0, kBlendMultiply, 1),
              (Bytes{0, 0, 0, 33, 100, 50, 25, 33, 200, 100, 50, 33, 50, 25, 12, 33}));
    EXPECT_EQ(masked({200, 100, 50}, 2, kBlendScreen, 1),
              (Bytes{200, 100, 50, 200, 178, 50, 200, 255, 50, 200, 139, 50}));
    EXPECT_EQ(masked({1, 2, 3, 100}, 4, kBlendAdd, 0.5),
              (Bytes{1, 2, 3, 100, 1, 2, 3, 164, 1, 2, 3, 177, 1, 2, 3, 132}));
    EXPECT_EQ(masked({10}, 1, kBlendLighten, 1), (Bytes{10, 128, 255, 64}));
    EXPECT_EQ(masked({1, 2, 3}, 4, kBlendScreen, 1, 0),
              (Bytes{1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3}));
}

using Px = std::array<unsigned char, 4>;

Px Normal(Px bg, Px fg, int opacity) {
    Px dst{1, 2, 3, 77};
    Blend(bg.data(), fg.data(), dst.data(), opacity);
    return dst;
}

TEST(NormalBlend, WeighsForegroundAlphaTimesOpacityAgainstTheRest) {
    // Weights 200 and 55: (fg * 200 + bg * 55) / 255; alpha 128 at 200 rounds
    // to a weight of 100 (the sum is 155); wild opacities act as the nearest
    // of 0 and 255; a transparent layer pixel at full opacity keeps the
    // background (both weights 0 once turned it black).
    const Px bg{10, 100, 250, 255}, fg{200, 0, 60, 255}, half{200, 0, 60, 128},
        clear{200, 0, 60, 0};
    for (auto [layer, opacity, expected] : {std::tuple{fg, 255, Px{200, 0, 60, 77}},
                                            {fg, 0, Px{10, 100, 250, 77}},
                                            {clear, 200, Px{10, 100, 250, 77}},
                                            {fg, 200, Px{159, 21, 100, 77}},
                                            {half, 200, Px{132, 35, 127, 77}},
                                            {fg, 1000, Px{200, 0, 60, 77}},
                                            {fg, -7, Px{10, 100, 250, 77}},
                                            {clear, 255, Px{10, 100, 250, 77}}}) {
        EXPECT_EQ(Normal(bg, layer, opacity), expected) << opacity;
    }
    Px inPlace{10, 100, 250, 9};
    Blend(inPlace.data(), fg.data(), inPlace.data(), 200);
    EXPECT_EQ(inPlace, (Px{159, 21, 100, 9}));
}

// The layer pass divides by a multiplication: it must agree with Blend on
// every foreground alpha, at every kind of opacity.
TEST(BlendLayerMask, EveryPixelIsTheBlendOfOnePixel) {
    const auto layer = test::Noise(256, 96, 4, 11);
    for (int bpp : {3, 4}) {
        for (int opacity : {0, 1, 77, 128, 200, 254, 255, 400}) {
            const auto before = test::Noise(300, 110, bpp, 12);
            auto bitmap = before->Clone();
            ASSERT_EQ(BlendLayerMask(*bitmap, layer->GetData(), 30, 7, 256, 96, opacity), 1);
            for (int y = 0; y < 110; ++y) {
                for (int x = 0; x < 300; ++x) {
                    Px expected{};
                    std::copy_n(before->GetPixel(x, y), bpp, expected.begin());
                    if (x >= 30 && x < 286 && y >= 7 && y < 103) {
                        Blend(expected.data(), layer->GetPixel(x - 30, y - 7), expected.data(),
                              opacity);
                    }
                    ASSERT_EQ(0, std::memcmp(bitmap->GetPixel(x, y), expected.data(), bpp))
                        << x << "," << y << " at opacity " << opacity;
                }
            }
        }
    }
}

Rgb At(const GradientPalette& palette, float position) {
    const TinyRGB c = GetRGBatPosition(palette, position);
    return Rgb{c.m_red, c.m_green, c.m_blue};
}

Rgb Gray(int v) {
    return Rgb{v, v, v};
}

GradientPalette Palette(std::initializer_list<std::tuple<int, float, float>> stops) {
    GradientPalette palette;
    for (auto [v, position, midpoint] : stops) {
        const auto byte = static_cast<unsigned char>(v);
        palette.AddPoint(TinyRGB{byte, byte, byte}, position, midpoint);
    }
    return palette;
}

TEST(GradientPalette, SegmentsMidpointsAndOrderAsAdded) {
    const GradientPalette black = GradientPreset(0);
    for (auto [position, v] : {std::pair{0.5f, 127},
                               {0.25f, 63},
                               {0.75f, 191},
                               {1.0f, 255},
                               {1.2f, 255},
                               {0.0f, 0},
                               {-1.0f, 0},
                               {std::nanf(""), 0}}) {
        EXPECT_EQ(At(black, position), Gray(v)) << position;
    }
    // Preset 7: orange at 0, yellow at 0.5 (midpoint 0.47), orange at 1. At
    // 0.735 the position as a float lands a hair before the half-way point,
    // and the fraction is taken in double: green 181.x, where float gives 182.
    EXPECT_EQ(At(GradientPreset(7), 0.25f), (Rgb{255, 182, 1}));
    EXPECT_EQ(At(GradientPreset(7), 0.5f), (Rgb{255, 255, 0}));
    EXPECT_EQ(At(GradientPreset(7), 0.735f), (Rgb{255, 181, 0}));
    EXPECT_EQ(At(GradientPreset(12), 0.826f), (Rgb{233, 255, 0}));  // 234 in float
    // Each segment uses its first stop's midpoint: half-way at 0.25.
    const GradientPalette early = Palette({{0, 0, 0.25f}, {200, 1, 0.9f}});
    EXPECT_EQ((std::vector<Rgb>{At(early, 0.25f), At(early, 0.625f)}),
              (std::vector<Rgb>{Gray(100), Gray(150)}));
    // Stops are taken in the order added: the last at or below 0.625 is the
    // third (at 0.25) and runs to the fourth, skipping the one at 0.75; below
    // 0.25 the first runs to the second.
    const GradientPalette scrambled =
        Palette({{0, 0, 0.5f}, {40, 0.75f, 0.5f}, {100, 0.25f, 0.5f}, {200, 1, 0.5f}});
    EXPECT_EQ(
        (std::vector<Rgb>{At(scrambled, 0.625f), At(scrambled, 0.25f), At(scrambled, 0.125f)}),
        (std::vector<Rgb>{Gray(150), Gray(100), Gray(6)}));
    const GradientPalette late = Palette({{10, 0.2f, 0.5f}, {90, 0.6f, 0.5f}});
    EXPECT_EQ((std::vector<Rgb>{At(late, 0.1f), At(late, 0.9f)}),
              (std::vector<Rgb>{Gray(10), Gray(90)}));
}

TEST(GradientPalette, WildValuesAndThePresets) {
    EXPECT_EQ(GradientPreset(-1).size(), 0u);
    // Midpoint 1: the segment never passes half-way.
    const GradientPalette wild = Palette({{0, 0, 1}, {255, 1, std::nanf("")}});
    EXPECT_EQ((std::vector<Rgb>{At(wild, 0.5f), At(wild, kInf)}),
              (std::vector<Rgb>{Gray(63), Gray(255)}));
    EXPECT_FALSE(PaletteIsMonotone(wild));
    const GradientPalette nowhere = Palette({{0, -kInf, 0.5f}, {255, kInf, 0.5f}});
    EXPECT_EQ(At(nowhere, 0.5f), Gray(0)) << "an undefined fraction clamps to 0";
    EXPECT_FALSE(PaletteIsMonotone(nowhere));
    EXPECT_TRUE(PaletteIsMonotone(GradientPreset(7)));
    // Every preset the panel offers can be sampled: two stops at least.
    for (int type = 0; type < kGradientPresetCount; ++type)
        EXPECT_GE(GradientPreset(type).size(), 2u) << "preset " << type;
}

struct Gradient {
    int preset = 0;
    int style = kGradientLinear;
    int degrees = 0;
    float scale = 1.0f;
    bool reverse = false;
};

Bitmap Rendered(int width, int height, int bpp, const Gradient& g) {
    auto bitmap = test::Constant(width, height, bpp, {9, 9, 9, 9});
    EXPECT_EQ(RenderGradient(GradientPreset(g.preset), bitmap->GetData(), width, height, bpp,
                             g.style, g.degrees, g.scale, g.reverse),
              1);
    return bitmap;
}

Bytes PixelAt(const TiBitmapData& b, int x, int y) {
    const unsigned char* p = b.GetPixel(x, y);
    return Bytes(p, p + b.GetBpp());
}

// The value of each (x, y) of a gray rendering.
Rgb Values(const TiBitmapData& b, std::initializer_list<std::pair<int, int>> places) {
    Rgb values;
    for (auto [x, y] : places) values.push_back(b.GetPixel(x, y)[0]);
    return values;
}

TEST(GradientMask, LinearRadialAndSymmetryByHand) {
    // Reversing takes 1 - v, which is not always the mirror pixel's v to the
    // last bit: 1 - (0.5 - 10 / 100) truncates to 101, 0.5 + 10 / 100 to 102.
    const auto row = Rendered(101, 1, 1, {});
    EXPECT_EQ(Values(*row, {{0, 0}, {50, 0}, {100, 0}, {40, 0}}), (Rgb{0, 127, 255, 102}));
    EXPECT_EQ(Values(*Rendered(101, 1, 1, {.reverse = true}),
                     {{0, 0}, {50, 0}, {100, 0}, {40, 0}, {60, 0}}),
              (Rgb{255, 127, 0, 153, 101}));
    EXPECT_EQ(Values(*Rendered(101, 1, 1, {.degrees = 180}), {{0, 0}, {100, 0}}), (Rgb{255, 0}));
    EXPECT_EQ(test::Pixels(*Rendered(101, 1, 1, {.degrees = -360})), test::Pixels(*row));
    // 90 degrees runs from the bottom up, every row one colour; 270 down.
    const auto up = Rendered(7, 101, 1, {.degrees = 90});
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(Values(*up, {{x, 100}, {x, 50}, {x, 0}}), (Rgb{0, 127, 255}));
    EXPECT_EQ(Values(*Rendered(7, 101, 1, {.degrees = 270}), {{3, 0}, {3, 100}}), (Rgb{0, 255}));
    // Scale 2 stretches about the centre: the ends reach about a quarter in.
    EXPECT_EQ(Values(*Rendered(101, 1, 1, {.scale = 2}), {{0, 0}, {100, 0}}), (Rgb{64, 190}));
    // Radial, extent 101 at 0 degrees: half of it less one is 49.5 pixels.
    EXPECT_EQ(Values(*Rendered(101, 101, 1, {.style = kGradientRadial}),
                     {{50, 50}, {99, 50}, {1, 50}, {50, 100}, {0, 0}}),
              (Rgb{0, 252, 252, 255, 255}));
    EXPECT_EQ(Values(*Rendered(101, 101, 1, {.style = kGradientRadial, .scale = 2}), {{100, 50}}),
              (Rgb{127}));
    // Symmetry folds a linear gradient about the centre line.
    EXPECT_EQ(
        Values(*Rendered(101, 3, 1, {.style = kGradientSymmetry}), {{50, 1}, {0, 1}, {100, 1}}),
        (Rgb{0, 255, 255}));
    // Extent 4 at scale 0.25: the divisor is 0; the centre pixel's 0 / 0 is
    // taken as the first stop, the others lie at -inf and +inf.
    EXPECT_EQ(test::Pixels(*Rendered(4, 1, 1, {.scale = 0.25f})), (Bytes{0, 0, 0, 255}));
}

// Pixels whose bytes differ when the renderer's steps are taken in double
// instead of single precision; expected values from a separate
// single-precision reference of the steps.
TEST(GradientMask, PixelFormatsAndSinglePrecisionSteps) {
    const Gradient g{.preset = 2, .style = kGradientRadial, .degrees = 30};
    const auto rgb = Rendered(40, 30, 3, g), rgba = Rendered(40, 30, 4, g),
               gray = Rendered(40, 30, 1, g);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const Bytes c = PixelAt(*rgb, x, y);
            ASSERT_EQ(PixelAt(*rgba, x, y), (Bytes{c[0], c[1], c[2], 255}));
            ASSERT_EQ(PixelAt(*gray, x, y)[0], (c[0] + c[1] + c[2]) / 3);
        }
    }
    EXPECT_EQ(PixelAt(*rgb, 20, 15), (Bytes{41, 10, 89}));
    for (const auto& [gradient, x, y, expected] :
         {std::tuple{Gradient{12, kGradientLinear, 30, 1.3f}, 67, 111, Bytes{0, 25, 255}},
          {Gradient{12, kGradientLinear, 90, 1}, 0, 102, Bytes{255, 0, 249}},
          {Gradient{12, kGradientLinear, 200, 1}, 157, 34, Bytes{255, 0, 34}},
          {Gradient{12, kGradientRadial, 135, 1.3f}, 62, 8, Bytes{0, 255, 235}},
          {Gradient{12, kGradientSymmetry, 30, 1}, 36, 4, Bytes{255, 0, 187}},
          {Gradient{2, kGradientSymmetry, 315, 1}, 98, 42, Bytes{41, 10, 88}}}) {
        EXPECT_EQ(PixelAt(*Rendered(160, 120, 3, gradient), x, y), expected) << gradient.degrees;
    }
}

// The change-point walk against evaluating every pixel, over directions,
// styles, scales, centres, pixel sizes and palettes, out-of-order stops too,
// and with wild parameters.
TEST(GradientMask, TheChangePointWalkMatchesEveryPixel) {
    const auto expectSame = [](const GradientPalette& palette, int style, int degrees, float scale,
                               bool reverse, int bpp, int width, int height, int cx, int cy) {
        auto fast = test::Constant(width, height, bpp, {1, 2, 3, 4});
        auto slow = test::Constant(width, height, bpp, {1, 2, 3, 4});
        CreateGradientMask(*fast, palette, style, degrees, scale, reverse, cx, cy);
        detail::CreateGradientMaskPerPixel(*slow, palette, style, degrees, scale, reverse, cx, cy);
        return test::Pixels(*fast) == test::Pixels(*slow);
    };
    GradientPalette scrambled;
    scrambled.AddPoint(TinyRGB{10, 200, 30}, 0.1f, 0.3f);
    scrambled.AddPoint(TinyRGB{250, 20, 90}, 0.7f, 0.8f);
    scrambled.AddPoint(TinyRGB{0, 0, 255}, 0.4f, 0.05f);
    scrambled.AddPoint(TinyRGB{255, 255, 0}, 1.2f, 0.5f);
    int n = 0;
    for (const GradientPalette& palette :
         {GradientPreset(0), GradientPreset(7), GradientPreset(12), scrambled}) {
        for (int style : {kGradientLinear, kGradientRadial, kGradientSymmetry}) {
            for (int degrees : {0, 17, 45, 90, 135, 200, 270, 301, -45, 1000}) {
                for (float scale : {1.0f, 0.37f, 2.5f, -0.8f}) {
                    const int bpp = n % 3 == 0 ? 1 : (n % 3 == 1 ? 3 : 4);
                    ASSERT_TRUE(expectSame(palette, style, degrees, scale,
                                           (degrees + style) % 2 == 1, bpp, 170, 110,
                                           n % 5 == 0 ? -30 : 83, n % 7 == 0 ? 200 : 41))
                        << "style " << style << " at " << degrees << " degrees, scale " << scale;
                    ++n;
                }
            }
        }
    }
    // A picture large enough to be rendered in bands on several threads.
    EXPECT_TRUE(
        expectSame(GradientPreset(12), kGradientSymmetry, 33, 0.9f, true, 4, 900, 700, 450, 350));
    const GradientPalette odd = [] {
        GradientPalette palette;
        palette.AddPoint(TinyRGB{0, 0, 0}, 0.0f, 1.0f);
        palette.AddPoint(TinyRGB{255, 9, 9}, std::nanf(""), 0.5f);
        palette.AddPoint(TinyRGB{9, 255, 9}, 0.9f, 0.0f);
        palette.AddPoint(TinyRGB{9, 9, 255}, kInf, 0.5f);
        return palette;
    }();
    for (const GradientPalette& palette : {GradientPreset(4), odd}) {
        for (float scale : {0.0f, std::nanf(""), kInf, -kInf, 1e-30f, 3e38f}) {
            for (int degrees : {INT_MIN, INT_MAX, 90, 45}) {
                for (int centre : {INT_MIN, INT_MAX, 70}) {
                    ASSERT_TRUE(expectSame(palette, kGradientRadial, degrees, scale, false, 3, 150,
                                           120, centre, ~centre));
                    ASSERT_TRUE(expectSame(palette, kGradientSymmetry, degrees, scale, true, 3, 150,
                                           120, centre, centre));
                }
            }
        }
    }
    unsigned char byte = 0;
    EXPECT_EQ(RenderGradient(GradientPreset(0), &byte, INT_MAX, 1, 4, 0, 0, 1, false), 0);
    // Without memory for the change points every pixel is evaluated instead.
    for (long allocation = 1; allocation <= 3; ++allocation) {
        auto bare = test::Constant(200, 150, 3, {0, 0, 0});
        auto full = test::Constant(200, 150, 3, {0, 0, 0});
        TiMemoryTestHook::FailAllocation(allocation);
        EXPECT_EQ(
            CreateGradientMask(*bare, GradientPreset(5), kGradientRadial, 0, 1, false, 90, 80), 1);
        TiMemoryTestHook::Reset();
        CreateGradientMask(*full, GradientPreset(5), kGradientRadial, 0, 1, false, 90, 80);
        EXPECT_EQ(test::Pixels(*bare), test::Pixels(*full))
            << "allocation " << allocation << " refused";
    }
}

RGBPoint Stop(unsigned char v, float position) {
    return RGBPoint{TinyRGB{v, v, v}, position, 0.5f};
}

TEST(GradientOverlay, BlendsTheRenderedGradientOntoThePhoto) {
    // The gradient of a 5-pixel row at 0 degrees is 0, 63, 127, 191, 255;
    // multiplied onto 200, 100 and 50 at any angle that truncates to 0.
    const RGBPoint stops[] = {Stop(0, 0), Stop(255, 1)};
    for (float degrees : {0.0f, 0.9f, -0.9f, 360.5f}) {
        auto photo = test::Constant(5, 1, 4, {200, 100, 50, 77});
        ASSERT_EQ(GradientOverlay(*photo, kBlendMultiply, kGradientLinear, stops, 2, degrees, 1, 1,
                                  false),
                  1);
        EXPECT_EQ(test::Pixels(*photo), (Bytes{0,  0,  0,   77, 49, 24, 12,  77,  99, 49,
                                               24, 77, 149, 74, 37, 77, 200, 100, 50, 77}))
            << degrees;
    }
    // Stops are used in the order given; opacity mixes with the photo.
    const RGBPoint backward[] = {Stop(255, 0), Stop(0, 1)};
    auto photo = test::Constant(5, 1, 3, {200, 100, 50});
    ASSERT_EQ(
        GradientOverlay(*photo, kBlendMultiply, kGradientLinear, backward, 2, 0, 1, 0.5f, false),
        1);
    EXPECT_EQ((std::vector<Bytes>{PixelAt(*photo, 0, 0), PixelAt(*photo, 4, 0)}),
              (std::vector<Bytes>{{200, 100, 50}, {100, 50, 25}}));
}

TEST(GradientPresetBitmap, DrawsThePresetDownAndToTheRight) {
    const auto swatch = CreateGradientPresetBitmap(0, 64, 48);
    ASSERT_TRUE(swatch);
    EXPECT_EQ((Rgb{swatch->GetBpp(), swatch->GetPitch()}), (Rgb{TiRGBABpp, 64 * 4}));
    EXPECT_EQ(PixelAt(*swatch, 0, 0), (Bytes{0, 0, 0, 255}));
    EXPECT_EQ(PixelAt(*swatch, 63, 47), (Bytes{255, 255, 255, 255}));
    for (int i = 1; i < 48; ++i) {
        EXPECT_GE(swatch->GetPixel(i, i)[0], swatch->GetPixel(i - 1, i - 1)[0]);
        EXPECT_EQ(swatch->GetPixel(i, i)[3], 255);
    }
    EXPECT_FALSE(CreateGradientPresetBitmap(0, 0, 10));
    EXPECT_FALSE(CreateGradientPresetBitmap(0, 10, -1));
    TiMemoryTestHook::FailAllocation(1);
    EXPECT_FALSE(CreateGradientPresetBitmap(3, 10, 10));
    TiMemoryTestHook::Reset();
}

}  // namespace
}  // namespace vantrel
