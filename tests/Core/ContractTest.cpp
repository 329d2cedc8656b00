// What every in-place imaging operation owes its caller, one row per
// operation: views changed exactly as a packed copy of their region would be,
// the pixel sizes it takes treated alike, alpha untouched where it must be,
// failed work memory refused with the pixels unchanged (each allocation in
// turn), other pixel sizes refused unchanged, bitmaps without pixels done,
// and, for passes split into bands of rows, a large picture done as its small
// tile is. Each colour kernel compilation is held to the same.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "Core/base/BlendMode.h"
#include "Core/base/BrightnessContrast.h"
#include "Core/base/ChannelMixer.h"
#include "Core/base/ColorBalance.h"
#include "Core/base/Curve.h"
#include "Core/base/Equalize.h"
#include "Core/base/Exposure.h"
#include "Core/base/Flip.h"
#include "Core/base/GradientMask.h"
#include "Core/base/GrayInvert.h"
#include "Core/base/HSL.h"
#include "Core/base/Levels.h"
#include "Core/base/NormalBlend.h"
#include "Core/base/Posterize.h"
#include "Core/base/Rotate.h"
#include "Core/base/SelectiveColor.h"
#include "Core/filter/Bokeh.h"
#include "Core/filter/Diffuse.h"
#include "Core/filter/Emboss.h"
#include "Core/filter/GasBlur.h"
#include "Core/filter/Lomo.h"
#include "Core/filter/Mosaics.h"
#include "Core/filter/Noise.h"
#include "Core/filter/Painting.h"
#include "Core/filter/RadialBlur.h"
#include "Core/filter/RedEyeRemoval.h"
#include "Core/filter/Retinex.h"
#include "Core/filter/ShadowHighlight.h"
#include "Core/filter/Sketch.h"
#include "Core/filter/Unsharp.h"
#include "support/ColorChecks.h"

namespace vantrel {
namespace {

using test::Bitmap;
using Run = std::function<int(TiBitmapData&)>;

// The pixel sizes an operation takes; the others it refuses (returns 0 and
// leaves the pixels) unless it asserts on them (tests/Core/PreconditionTest).
enum Sizes : unsigned {
    kGray = 1 << 1,
    kRgb = 1 << 3,
    kRgba = 1 << 4,
    kColour = kRgb | kRgba,
    kAll = kGray | kColour
};

// How an operation departs from the common case: a colour pass that never
// touches alpha, refuses the pixel sizes it does not take, is done on a
// bitmap without pixels and draws no random numbers.
enum Flags : unsigned {
    kPerPixel = 1,        // depends on the pixel and value shares alone
    kSeeded = 2,          // draws random numbers: reseeded before each run
    kWritesAlpha = 4,     // moves or writes alpha
    kReadsAlpha = 8,      // alpha weighs the colours
    kAssertsOthers = 16,  // other pixel sizes fail a precondition (PreconditionTest)
    kLeavesOthers = 32,   // other pixel sizes are done, untouched
    kEmptyAsserts = 64,   // a bitmap without pixels fails a precondition
};

struct Operation {
    std::string name;
    Run run;
    unsigned sizes = kColour;
    int allocations = 0;  // work allocations one run makes, each refusable
    unsigned flags = 0;
    bool Has(Flags flag) const { return (flags & flag) != 0; }
    bool Takes(int bpp) const { return (sizes & (1u << bpp)) != 0; }
};

void PrintTo(const Operation& operation, std::ostream* out) {
    *out << operation.name;
}

// A layer, mask or surround of the bitmap's size (malloc, not work memory).
Bitmap Layer(const TiBitmapData& bitmap, int bpp, std::uint32_t seed) {
    return test::Noise(bitmap.GetWidth(), bitmap.GetHeight(), bpp, seed);
}

// A Retinex surround of the bitmap's size and pixel size, the same colours
// whatever the pixel size.
Bitmap Surround(const TiBitmapData& bitmap) {
    return test::MakeBitmap(
        bitmap.GetWidth(), bitmap.GetHeight(), bitmap.GetBpp(),
        [](int x, int y, int c) { return std::uint8_t(x * 7 + y * 13 + c * 50); });
}

const Vec3 kThreePoints[] = {{0, 0, 0}, {128, 200, 0}, {255, 255, 0}};
const Vec3 kTwelvePoints[] = {{0, 255, 0},  {23, 232, 0},  {46, 209, 0},  {69, 186, 0},
                              {92, 163, 0}, {115, 140, 0}, {138, 117, 0}, {161, 94, 0},
                              {184, 71, 0}, {207, 48, 0},  {230, 25, 0},  {253, 2, 0}};
const TinyChannelMixer kMixer = {{0.5f, 0.6f, -0.2f}, {0.3f, 0.9f, 0.1f}, {-0.4f, 0.2f, 1.3f}};
const RGBPoint kStops[] = {
    {{30, 30, 30}, 0, 0.5f}, {{220, 20, 90}, 0.6f, 0.5f}, {{90, 90, 90}, 1, 0.5f}};

HSLData Shifts() {
    HSLData data;
    data.yellow = {-40, 60, 20};
    data.all = {10, -20, 5};
    return data;
}

ComplementScaleSet Inks() {
    ComplementScaleSet set;
    set.reds = {0.55f, 0, 0.31f, 0};
    set.yellows = {-0.01f, -0.07f, -0.76f, -0.33f};
    set.greens = {0.2f, -0.4f, 0.1f, 0};
    set.whites = {0.3f, 0.1f, -0.2f, 0.05f};
    set.neutrals = {-0.25f, 0.15f, 0.4f, 0};
    set.blacks = {0, 0.19f, 0.53f, 0.02f};
    return set;
}

// clang-format off
std::vector<Operation> Operations() {
    const unsigned tone = kPerPixel;
    return {
        // Curves, levels and the point colour operations.
        {"CurveAll", ON(AdjustCurveBySplinePoints(b, kThreePoints, 3, 0)), kColour, 1, tone},
        {"CurveGreen", ON(AdjustCurveBySplinePoints(b, kThreePoints, 3, 2)), kColour, 1, tone},
        {"CurveTwelvePoints", ON(AdjustCurveBySplinePoints(b, kTwelvePoints, 12, 0)), kColour, 2, tone},
        {"LevelsAll", ON(AdjustLevels(b, 30, 220, 1.7, 0)), kColour, 0, tone},
        {"LevelsBlue", ON(AdjustLevels(b, 10, 140, 0.6, 3)), kColour, 0, tone},
        {"AutoLevels", AutoLevels, kColour, 1, tone},
        {"Gray", ConvertToGray, kColour, 0, tone},
        {"Invert", InvertColor, kColour, 0, tone},
        {"Complement", ComplementColor, kColour, 0, tone},
        {"BrighterHarder", ON(AdjustBrightnessContrast(b, 0.2f, 0.4f)), kColour, 0, tone},
        {"DarkerSofter", ON(AdjustBrightnessContrast(b, -0.3f, -0.5f)), kColour, 0, tone},
        {"ExposureUp", ON(AdjustExposure(b, 1.3f)), kColour, 0, tone},
        {"ExposureDown", ON(AdjustExposure(b, -2.0f)), kColour, 0, tone},
        {"Posterize", ON(Posterize(b, 5)), kColour, 0, tone},
        {"Threshold", ON(Threshold(b, 100)), kColour, 0, tone},
        {"EqualizeStretch", ON(Equalize(b, 0)), kColour, 0, tone},
        {"EqualizeClassic", ON(Equalize(b, 1)), kColour, 0, tone},
        {"MixChannels", ON(MixChannels(b, kMixer)), kColour, 1, tone},
        {"MixToGray", ON(MixChannelsToGray(b, {0.4f, 0.4f, 0.2f})), kColour, 1, tone},
        {"SelectiveColor", ON(SelectiveColor(b, Inks())), kColour, 0, tone},
        {"ShadowHighlight", ON(ShadowHighlight(b, 0.7f, 0.4f)), kColour, 1, tone},
        {"AdjustHSL", ON(AdjustHSL(b, Shifts(), kStandardHueRanges)), kColour, 0, tone | kAssertsOthers},
        {"TintHSL", ON(TintHSL(b, 130, 28, 0)), kColour, 0, tone | kAssertsOthers},
        {"BalanceShadows", ON((BalanceColor(b, -30, 45, 70, 0, false), 1)), kColour, 0, tone | kLeavesOthers},
        {"BalanceLuminosity", ON((BalanceColor(b, -30, 45, 70, 0, true), 1)), kColour, 0, tone | kLeavesOthers},
        {"RedEye", ON(RedEyeRemoval(b, 80)), kColour, 0, tone | kLeavesOthers},
        // Blending and gradients, with a layer or mask of the bitmap's size.
        {"BlendOverlay", ON(BlendMode(b, 0, *Layer(b, 3, 9), 0, kBlendOverlay, 0.6)), kColour, 1},
        {"BlendGreenOnAll", ON(BlendMode(b, 2, *Layer(b, 4, 4), 0, kBlendScreen, 1)), kColour, 1},
        {"GrayMask", ON(BlendGrayMask(b, 0, Layer(b, 1, 5)->GetData(), kBlendColorDodge, 0.7)), kColour, 1},
        {"LayerMask", ON(BlendLayerMask(b, Layer(b, 4, 5)->GetData(), 0, 0, b.GetWidth(), b.GetHeight(), 180)), kColour, 0, kEmptyAsserts},
        {"GradientMask", ON(CreateGradientMask(b, GradientPreset(9), 0, 61, 1.1f, false, b.GetWidth() / 2, 4)), kAll, 0, kWritesAlpha},
        {"GradientOverlay", ON(GradientOverlay(b, kBlendMultiply, 2, kStops, 3, 90, 1, 0.75f, true)), kColour, 2},
        {"FlipH", ON(FlipBitmap(b, true, false)), kAll, 0, kWritesAlpha},
        {"FlipV", ON(FlipBitmap(b, false, true)), kAll, 0, kWritesAlpha},
        {"FlipBoth", ON(FlipBitmap(b, true, true)), kAll, 0, kWritesAlpha},
        // Blurs and filters.
        {"GasBlur", ON(GasBlur(b, 6, 9)), kAll, 1},
        {"Unsharp", ON(Unsharp(b, 120, 4, 3)), kColour, 3, kAssertsOthers},
        {"SoftGlow", ON(SoftGlow(b, 5, 0.2f, 0.1f)), kColour, 3},
        {"RadialBlur", ON(RadialBlur(b, 80, 2.0f, 2)), kColour, 1, kAssertsOthers},
        {"Bokeh", ON(BokehFilter(b, 12, 9, 4, 0, 5, 6)), kColour, 3, kReadsAlpha},
        {"Diffuse", ON(Diffuse(b, 1, 4)), kAll, 1, kSeeded},
        {"Emboss", ON(Emboss(b, 60.0f, 4, 120)), kRgba, 1, kAssertsOthers},
        {"Mosaics", ON(Mosaics(b, 6)), kAll, 1, kWritesAlpha},
        {"Dot", ON(Dot(b, 6)), kAll, 2},
        {"Painting", ON(Painting(b, 3, 8)), kColour, 1},
        {"Sketch", ON(Sketch(b, 5)), kColour, 3},
        {"AddNoise", ON(AddNoise(b, 8, true)), kAll, 0, kSeeded},
        {"ReduceNoise", ON(ReduceNoise(b, 0)), kColour, 1, kAssertsOthers},
        {"Retinex", ON(retinex(b, *Surround(b), 2, 0, 2.0f)), kColour, 1, kAssertsOthers},
        {"Vignette", ON(DarkenCorner(b, 0.4, 200)), kColour, 3},
    };
}
// clang-format on

class Contract : public testing::TestWithParam<Operation> {
protected:
    int RunOn(TiBitmapData& bitmap) const {
        if (GetParam().Has(kSeeded)) srandom(31);
        return GetParam().run(bitmap);
    }
};

TEST_P(Contract, ViewChangesOnlyItsRegionAsAPackedCopyWould) {
    test::ForEachKernelCompilation([&] {
        for (int bpp : {1, TiRGBBpp, TiRGBABpp}) {
            if (!GetParam().Takes(bpp)) continue;
            SCOPED_TRACE(bpp);
            // A region off the chunk and row boundaries, large enough to be split into bands.
            test::ExpectViewMatchesPackedCopy([bpp] { return test::Noise(301, 47, bpp, 11); }, 5, 3,
                                              283, 41,
                                              [this](TiBitmapData& b) { return RunOn(b); });
        }
    });
}

TEST_P(Contract, ChangesColourAndAlphaOnlyAsItMust) {
    Bitmap bitmap = test::Noise(37, 29, TiRGBABpp, 7);
    const Bitmap before = bitmap->Clone(false);
    ASSERT_EQ(RunOn(*bitmap), 1);
    EXPECT_NE(test::Pixels(*bitmap), test::Pixels(*before)) << "the operation did nothing";
    if (!GetParam().Has(kWritesAlpha)) test::ExpectAlphaUnchanged(*before, *bitmap);
}

// Colour operations give 3- and 4-byte pixels the same colours.
TEST_P(Contract, ThreeAndFourBytePixelsGetTheSameColours) {
    const unsigned alpha = kWritesAlpha | kReadsAlpha;
    if ((GetParam().sizes & kColour) != kColour || (GetParam().flags & alpha)) return;
    test::ForEachKernelCompilation([&] {
        Bitmap rgba = test::Noise(290, 23, TiRGBABpp, 3);
        Bitmap rgb = test::WithoutAlpha(*rgba);
        ASSERT_EQ(RunOn(*rgba), 1);
        ASSERT_EQ(RunOn(*rgb), 1);
        EXPECT_EQ(test::Pixels(*test::WithoutAlpha(*rgba)), test::Pixels(*rgb));
    });
}

// Large enough for the pass to be split into bands: a picture tiled from a
// small one has the same value shares, so a pass of the pixel alone must give
// the tiled small result.
TEST_P(Contract, BandedPassOverALargePictureMatchesTheSmallOne) {
    if (!GetParam().Has(kPerPixel)) return;
    test::ForEachKernelCompilation([&] {
        constexpr int kTileWidth = 8, kTileHeight = 4, kRepeat = 100;
        Bitmap tile = test::Noise(kTileWidth, kTileHeight, TiRGBABpp, 5);
        Bitmap large = test::MakeBitmap(
            kTileWidth * kRepeat, kTileHeight * kRepeat, TiRGBABpp, [&tile](int x, int y, int c) {
                return tile->GetPixel(x % kTileWidth, y % kTileHeight)[c];
            });
        ASSERT_EQ(RunOn(*tile), 1);
        ASSERT_EQ(RunOn(*large), 1);
        for (int y = 0; y < large->GetHeight(); ++y)
            for (int x = 0; x < large->GetWidth(); ++x)
                ASSERT_EQ(test::PixelAt(*large, x, y),
                          test::PixelAt(*tile, x % kTileWidth, y % kTileHeight))
                    << x << "," << y;
    });
}

TEST_P(Contract, FailedWorkMemoryAndOtherPixelSizesAreRefusedUnchanged) {
    const int bpp = GetParam().Takes(TiRGBABpp) ? TiRGBABpp : 1;
    const int refused =
        test::ExpectRefusalsLeaveBitmapUnchanged([bpp] { return test::Noise(40, 30, bpp, 4); },
                                                 [this](TiBitmapData& b) { return RunOn(b); });
    EXPECT_EQ(refused, GetParam().allocations);
    if (GetParam().Has(kAssertsOthers)) return;
    for (int other : {1, TiRGBBpp, TiRGBABpp}) {
        if (GetParam().Takes(other)) continue;
        Bitmap bitmap = test::Noise(9, 5, other, 2);
        const std::vector<std::uint8_t> before = test::Pixels(*bitmap);
        EXPECT_EQ(RunOn(*bitmap), GetParam().Has(kLeavesOthers) ? 1 : 0) << other << " bytes";
        EXPECT_EQ(test::Pixels(*bitmap), before);
    }
}

TEST_P(Contract, BitmapsWithoutPixelsAreDone) {
    if (GetParam().Has(kEmptyAsserts)) return;
    unsigned char byte = 7;
    for (int bpp : {1, TiRGBBpp, TiRGBABpp}) {
        if (!GetParam().Takes(bpp)) continue;
        TiBitmapData empty(&byte, 0, 0, 0, bpp, false);
        TiBitmapData noRows(&byte, 5, 0, 20, bpp, false);
        EXPECT_EQ(RunOn(empty), 1);
        EXPECT_EQ(RunOn(noRows), 1);
    }
    EXPECT_EQ(byte, 7);
}

INSTANTIATE_TEST_SUITE_P(Core, Contract, testing::ValuesIn(Operations()),
                         [](const testing::TestParamInfo<Operation>& info) {
                             return info.param.name;
                         });

// Parameters that refuse the call (result 0) or leave nothing to do (1): the
// pixels stay as they were, and no random number is drawn unless `draws`.
struct Idle {
    std::string name;
    Run run;
    int result;
    bool draws = false;
    int width = 23, height = 17;
};

// clang-format off
std::vector<Idle> IdleCalls() {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    ComplementScaleSet unset;
    for (ComplementScale* scale : {&unset.reds, &unset.cyans, &unset.neutrals, &unset.blacks})
        *scale = {nan, nan, nan, nan};
    std::vector<Idle> rows = {
        {"no brightness or contrast", ON(AdjustBrightnessContrast(b, 0, 0)), 1},
        {"no flip", ON(FlipBitmap(b, false, false)), 1},
        {"identity mixer", ON(MixChannels(b, TinyChannelMixer{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}})), 1},
        {"no curve points", ON(AdjustCurveBySplinePoints(b, nullptr, 0, 0)), 1},
        {"negative point count", ON(AdjustCurveBySplinePoints(b, kThreePoints, -3, 0)), 1},
        {"levels 100..100", ON(AdjustLevels(b, 100, 100, 1.0, 0)), 0},
        {"levels 120..80", ON(AdjustLevels(b, 120, 80, 1.0, 0)), 0},
        {"levels from -1", ON(AdjustLevels(b, -1, 200, 1.0, 0)), 0},
        {"levels to 256", ON(AdjustLevels(b, 0, 256, 1.0, 0)), 0},
        {"gamma -0.01", ON(AdjustLevels(b, 0, 255, -0.01, 0)), 0},
        {"gamma 10.01", ON(AdjustLevels(b, 0, 255, 10.01, 0)), 0},
        {"gamma NaN", ON(AdjustLevels(b, 0, 255, std::nan(""), 0)), 0},
        {"gamma infinite", ON(AdjustLevels(b, 0, 255, inf, 0)), 0},
        {"no selective colour", ON(SelectiveColor(b, ComplementScaleSet{})), 1},
        {"selective colour NaN", ON(SelectiveColor(b, unset)), 1},
        {"no grain", ON(AddNoise(b, 0, true)), 1},
        {"negative grain", ON(AddNoise(b, -4, false)), 1},
        {"diffuse radius 0", ON(Diffuse(b, 0, 0)), 1},
        {"diffuse radius -2", ON(Diffuse(b, 5, -2)), 1},
        {"diffuse nowhere", ON(Diffuse(b, 0, 1)), 1, true},
        {"diffuse past the right", ON(Diffuse(b, INT_MAX, 7)), 1, true},
        {"diffuse past the left", ON(Diffuse(b, INT_MIN, 7)), 1, true},
        {"radial blur scale 0", ON(RadialBlur(b, 80, 0.0f, 2)), 1},
        {"gray mask missing", ON(BlendGrayMask(b, 0, nullptr, kBlendScreen, 1.0)), 0},
        {"bokeh blur a row short", ON(BlendBokeh(b, *test::Noise(23, 16, 4), 5, 4, 0, 2, 2)), 0},
        {"bokeh blur of gray", ON(BlendBokeh(b, *Layer(b, 1, 1), 5, 4, 0, 2, 2)), 0},
        {"surround a column wider", ON(retinex(b, *test::Noise(24, 17, b.GetBpp()), 2, 0, 2.0f)), 0},
        {"rotate from another pixel size", ON(RotateBitmap(b, *test::Noise(5, 5, 7 - b.GetBpp()), 0.2, 1, 1, 0, 0)), 0},
    };
    for (std::pair<float, float> p : {std::pair{0.0f, 1.5f}, {-1.01f, 0.0f}, {nan, 0.0f}, {0.0f, nan}})
        rows.push_back({"brightness and contrast refused", ON(AdjustBrightnessContrast(b, p.first, p.second)), 0});
    for (std::pair<float, float> p : {std::pair{1.2f, 0.0f}, {-0.1f, 0.0f}, {nan, 0.0f}, {0.0f, 1.5f}, {0.0f, -0.01f}, {0.5f, nan}})
        rows.push_back({"shadows and highlights refused", ON(ShadowHighlight(b, p.first, p.second)), 0});
    for (float exposure : {0.0f, -0.0f, nan}) rows.push_back({"no exposure", ON(AdjustExposure(b, exposure)), 1});
    // Nothing changes without blur, amount or a reachable threshold.
    for (std::array<int, 3> u : {std::array{300, 0, 0}, {300, 1, 0}, {0, 9, 0}, {300, 9, 256}, {300, 9, 1 << 30}})
        rows.push_back({"no sharpening", ON(Unsharp(b, u[0], u[1], u[2])), 1});
    // Amount 0 lands every sample on the pixel itself; the float weight is just
    // above 1 / (samples + 1), so the average is the value. An unknown quality
    // is refused.
    for (int quality : {1, 2, 3, 0, 4, -1}) {
        const bool known = quality >= 1 && quality <= 3;
        rows.push_back({"radial blur amount 0 or refused", ON(RadialBlur(b, known ? 0 : 50, 2.0f, quality)), known});
    }
    // Quadrants of one pixel: the corner is no farther than the centre, so
    // there is nothing to normalise over and nothing darkens.
    for (auto [width, height] : {std::pair{2, 2}, {3, 3}, {1, 9}, {9, 1}})
        rows.push_back({"vignette of one-pixel quadrants", ON(DarkenCorner(b, 0.0, 255)), 1, false, width, height});
    for (int tone : {TiToneShadows, TiToneMidtones, TiToneHighlights, 3, -1}) {
        rows.push_back({"balance by nothing", ON((BalanceColor(b, 0, 0, 0, tone, false), 1)), 1});
        if (tone >= 3 || tone < 0)
            rows.push_back({"balance no tone", ON((BalanceColor(b, 100, -100, 50, tone, false), 1)), 1});
    }
    for (int grid : {0, 1, -3, INT_MIN}) {
        rows.push_back({"mosaic grid " + std::to_string(grid), ON(Mosaics(b, grid)), 1});
        rows.push_back({"dot grid " + std::to_string(grid), ON(Dot(b, grid)), 1});
    }
    for (int levels : {1, 0, -7, INT_MIN})
        rows.push_back({"posterize " + std::to_string(levels), ON(Posterize(b, levels)), 0});
    return rows;
}
// clang-format on

TEST(IdleCalls, LeaveThePixelsAndDrawNothing) {
    const std::vector<Idle> rows = IdleCalls();
    for (size_t i = 0; i < rows.size(); ++i) {
        const Idle& row = rows[i];
        for (int bpp : {TiRGBBpp, TiRGBABpp}) {
            SCOPED_TRACE("row " + std::to_string(i) + ", " + row.name + ", " + std::to_string(bpp) +
                         " bytes");
            Bitmap bitmap = test::Noise(row.width, row.height, bpp, 6);
            const std::vector<std::uint8_t> before = test::Pixels(*bitmap);
            srandom(21);
            const long next = random();
            srandom(21);
            EXPECT_EQ(row.run(*bitmap), row.result);
            EXPECT_EQ(test::Pixels(*bitmap), before);
            if (!row.draws) {
                EXPECT_EQ(random(), next) << "drew numbers";
            }
        }
    }
}

}  // namespace
}  // namespace vantrel
