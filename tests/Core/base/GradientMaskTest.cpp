#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include "Core/base/BlendMode.h"
#include "Core/base/GradientMask.h"
#include "Core/global/TiMemory.h"
#include "support/Assertions.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

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

std::vector<std::uint8_t> Px(const TiBitmapData& b, int x, int y) {
    const unsigned char* p = b.GetPixel(x, y);
    return std::vector<std::uint8_t>(p, p + b.GetBpp());
}

using Bytes = std::vector<std::uint8_t>;

TEST(GradientMask, LinearRunsFromTheFirstStopToTheLast) {
    const auto row = Rendered(101, 1, 1, {});
    EXPECT_EQ(Px(*row, 0, 0), Bytes{0});
    EXPECT_EQ(Px(*row, 50, 0), Bytes{127});
    EXPECT_EQ(Px(*row, 100, 0), Bytes{255});
    const auto reversed = Rendered(101, 1, 1, {.reverse = true});
    EXPECT_EQ(Px(*reversed, 0, 0), Bytes{255});
    EXPECT_EQ(Px(*reversed, 50, 0), Bytes{127});
    EXPECT_EQ(Px(*reversed, 100, 0), Bytes{0});
    // Reversing takes 1 - v, which is not always the mirror pixel's v to the
    // last bit: 1 - (0.5 - 10 / 100) truncates to 101, 0.5 + 10 / 100 to 102.
    EXPECT_EQ(Px(*reversed, 40, 0), Bytes{153});
    EXPECT_EQ(Px(*reversed, 60, 0), Bytes{101});
    EXPECT_EQ(Px(*row, 40, 0), Bytes{102});
    const auto backward = Rendered(101, 1, 1, {.degrees = 180});
    EXPECT_EQ(Px(*backward, 0, 0), Bytes{255});
    EXPECT_EQ(Px(*backward, 100, 0), Bytes{0});
    EXPECT_EQ(test::Pixels(*Rendered(101, 1, 1, {.degrees = -360})), test::Pixels(*row));

    // 90 degrees runs from the bottom up; every row is one colour.
    const auto up = Rendered(7, 101, 1, {.degrees = 90});
    for (int x = 0; x < 7; ++x) {
        EXPECT_EQ(Px(*up, x, 100), Bytes{0});
        EXPECT_EQ(Px(*up, x, 50), Bytes{127});
        EXPECT_EQ(Px(*up, x, 0), Bytes{255});
    }
    const auto down = Rendered(7, 101, 1, {.degrees = 270});
    EXPECT_EQ(Px(*down, 3, 0), Bytes{0});
    EXPECT_EQ(Px(*down, 3, 100), Bytes{255});
    // Scale 2 stretches about the centre: the ends reach about a quarter in
    // (positions 0.5 -+ 50 / 201).
    const auto wide = Rendered(101, 1, 1, {.scale = 2.0f});
    EXPECT_EQ(Px(*wide, 0, 0), Bytes{64});
    EXPECT_EQ(Px(*wide, 100, 0), Bytes{190});
}

TEST(GradientMask, RadialHasTheFirstStopAtTheCentre) {
    // Extent 101 at 0 degrees; half of it, less one, is 49.5 pixels.
    const auto disc = Rendered(101, 101, 1, {.style = kGradientRadial});
    EXPECT_EQ(Px(*disc, 50, 50), Bytes{0});
    EXPECT_EQ(Px(*disc, 99, 50), Bytes{252});  // 49 / 49.5 of the way
    EXPECT_EQ(Px(*disc, 1, 50), Bytes{252});
    EXPECT_EQ(Px(*disc, 50, 100), Bytes{255});
    EXPECT_EQ(Px(*disc, 0, 0), Bytes{255});
    const auto wide = Rendered(101, 101, 1, {.style = kGradientRadial, .scale = 2.0f});
    EXPECT_EQ(Px(*wide, 100, 50), Bytes{127});

    // Symmetry folds a linear gradient about the centre line.
    const auto folded = Rendered(101, 3, 1, {.style = kGradientSymmetry});
    EXPECT_EQ(Px(*folded, 50, 1), Bytes{0});
    EXPECT_EQ(Px(*folded, 0, 1), Bytes{255});
    EXPECT_EQ(Px(*folded, 100, 1), Bytes{255});
}

TEST(GradientMask, PixelFormats) {
    const Gradient g{.preset = 2, .style = kGradientRadial, .degrees = 30};
    const auto rgb = Rendered(40, 30, 3, g);
    const auto rgba = Rendered(40, 30, 4, g);
    const auto gray = Rendered(40, 30, 1, g);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const Bytes c = Px(*rgb, x, y);
            ASSERT_EQ(Px(*rgba, x, y), (Bytes{c[0], c[1], c[2], 255}));
            ASSERT_EQ(Px(*gray, x, y)[0], (c[0] + c[1] + c[2]) / 3);
        }
    }
    EXPECT_EQ(Px(*rgb, 20, 15), (Bytes{41, 10, 89}));
}

// Pixels whose bytes differ when the renderer's steps are taken in double
// instead of single precision; expected values from a separate
// single-precision reference of the steps.
TEST(GradientMask, StepsAreSinglePrecision) {
    struct Case {
        int preset, style, degrees;
        float scale;
        int x, y;
        Bytes expected;
    };
    const Case cases[] = {
        {12, kGradientLinear, 30, 1.3f, 67, 111, {0, 25, 255}},
        {12, kGradientLinear, 90, 1.0f, 0, 102, {255, 0, 249}},
        {12, kGradientLinear, 200, 1.0f, 157, 34, {255, 0, 34}},
        {12, kGradientRadial, 135, 1.3f, 62, 8, {0, 255, 235}},
        {12, kGradientSymmetry, 30, 1.0f, 36, 4, {255, 0, 187}},
        {2, kGradientSymmetry, 315, 1.0f, 98, 42, {41, 10, 88}},
    };
    for (const Case& c : cases) {
        const auto b = Rendered(160, 120, 3, {c.preset, c.style, c.degrees, c.scale, false});
        EXPECT_EQ(Px(*b, c.x, c.y), c.expected)
            << "preset " << c.preset << " style " << c.style << " at " << c.degrees << " degrees";
    }
}

GradientPalette Scrambled() {
    GradientPalette p;
    p.AddPoint(TinyRGB{10, 200, 30}, 0.1f, 0.3f);
    p.AddPoint(TinyRGB{250, 20, 90}, 0.7f, 0.8f);
    p.AddPoint(TinyRGB{0, 0, 255}, 0.4f, 0.05f);
    p.AddPoint(TinyRGB{255, 255, 0}, 1.2f, 0.5f);
    return p;
}

// The change-point walk against evaluating every pixel, over directions,
// styles, scales, centres, pixel sizes and palettes, out-of-order stops too.
TEST(GradientMask, TheChangePointWalkMatchesEveryPixel) {
    const GradientPalette palettes[] = {GradientPreset(0), GradientPreset(7), GradientPreset(12),
                                        Scrambled()};
    int compared = 0;
    for (const GradientPalette& palette : palettes) {
        for (int style : {kGradientLinear, kGradientRadial, kGradientSymmetry}) {
            for (int degrees : {0, 17, 45, 90, 135, 200, 270, 301, -45, 1000}) {
                for (float scale : {1.0f, 0.37f, 2.5f, -0.8f}) {
                    const bool reverse = (degrees + style) % 2 == 1;
                    const int bpp = compared % 3 == 0 ? 1 : (compared % 3 == 1 ? 3 : 4);
                    const int cx = compared % 5 == 0 ? -30 : 83;
                    const int cy = compared % 7 == 0 ? 200 : 41;
                    auto fast = test::Constant(170, 110, bpp, {1, 2, 3, 4});
                    auto slow = test::Constant(170, 110, bpp, {1, 2, 3, 4});
                    CreateGradientMask(*fast, palette, style, degrees, scale, reverse, cx, cy);
                    detail::CreateGradientMaskPerPixel(*slow, palette, style, degrees, scale,
                                                       reverse, cx, cy);
                    ASSERT_EQ(test::Pixels(*fast), test::Pixels(*slow))
                        << "style " << style << " at " << degrees << " degrees, scale " << scale;
                    ++compared;
                }
            }
        }
    }
    // A picture large enough to be rendered in bands on several threads.
    auto fast = test::Constant(900, 700, 4, {0, 0, 0, 0});
    auto slow = test::Constant(900, 700, 4, {0, 0, 0, 0});
    CreateGradientMask(*fast, GradientPreset(12), kGradientSymmetry, 33, 0.9f, true, 450, 350);
    detail::CreateGradientMaskPerPixel(*slow, GradientPreset(12), kGradientSymmetry, 33, 0.9f, true,
                                       450, 350);
    EXPECT_EQ(test::Pixels(*fast), test::Pixels(*slow));

    // Without memory for the change points every pixel is evaluated instead.
    for (long n = 1; n <= 3; ++n) {
        auto bare = test::Constant(200, 150, 3, {0, 0, 0});
        auto full = test::Constant(200, 150, 3, {0, 0, 0});
        TiMemoryTestHook::FailAllocation(n);
        EXPECT_EQ(
            CreateGradientMask(*bare, GradientPreset(5), kGradientRadial, 0, 1, false, 90, 80), 1);
        TiMemoryTestHook::Reset();
        CreateGradientMask(*full, GradientPreset(5), kGradientRadial, 0, 1, false, 90, 80);
        EXPECT_EQ(test::Pixels(*bare), test::Pixels(*full)) << "allocation " << n << " refused";
    }
}

TEST(GradientMask, DegenerateAndWildParameters) {
    // Extent 4 at scale 0.25: the divisor is 0. The centre pixel's position
    // is 0 / 0, taken as the first stop, the others lie at -inf and +inf.
    EXPECT_EQ(test::Pixels(*Rendered(4, 1, 1, {.scale = 0.25f})), (Bytes{0, 0, 0, 255}));

    const float inf = std::numeric_limits<float>::infinity();
    GradientPalette odd;
    odd.AddPoint(TinyRGB{0, 0, 0}, 0.0f, 1.0f);
    odd.AddPoint(TinyRGB{255, 9, 9}, std::nanf(""), 0.5f);
    odd.AddPoint(TinyRGB{9, 255, 9}, 0.9f, 0.0f);
    odd.AddPoint(TinyRGB{9, 9, 255}, inf, 0.5f);
    for (const GradientPalette& palette : {GradientPreset(4), odd}) {
        for (float scale : {0.0f, std::nanf(""), inf, -inf, 1e-30f, 3e38f}) {
            for (int degrees : {INT_MIN, INT_MAX, 90, 45}) {
                for (int center : {INT_MIN, INT_MAX, 70}) {
                    auto fast = test::Constant(150, 120, 3, {1, 2, 3});
                    auto slow = test::Constant(150, 120, 3, {1, 2, 3});
                    CreateGradientMask(*fast, palette, kGradientRadial, degrees, scale, false,
                                       center, ~center);
                    detail::CreateGradientMaskPerPixel(*slow, palette, kGradientRadial, degrees,
                                                       scale, false, center, ~center);
                    ASSERT_EQ(test::Pixels(*fast), test::Pixels(*slow));
                    CreateGradientMask(*fast, palette, kGradientSymmetry, degrees, scale, true,
                                       center, center);
                    detail::CreateGradientMaskPerPixel(*slow, palette, kGradientSymmetry, degrees,
                                                       scale, true, center, center);
                    ASSERT_EQ(test::Pixels(*fast), test::Pixels(*slow));
                }
            }
        }
    }
    auto empty = test::Constant(0, 0, 4, {0, 0, 0, 0});
    EXPECT_EQ(CreateGradientMask(*empty, GradientPreset(0), kGradientRadial, 0, 1, false, 0, 0), 1);
    unsigned char byte = 0;
    EXPECT_EQ(RenderGradient(GradientPreset(0), &byte, INT_MAX, 1, 4, 0, 0, 1, false), 0);
}

TEST(GradientMask, RefusalsComeBeforeAnyPixel) {
    auto bitmap = test::Gradient(6, 5, 3);
    const auto original = test::Pixels(*bitmap);
    const char* file = "Core/base/GradientMask";
    test::ExpectAssertion(
        [&] { CreateGradientMask(*bitmap, GradientPreset(0), 3, 0, 1, false, 3, 2); }, "false",
        "CreateGradientMask", file, 333);
    GradientPalette one;
    one.AddPoint(TinyRGB{1, 2, 3}, 0, 0.5f);
    test::ExpectAssertion([&] { CreateGradientMask(*bitmap, one, 0, 0, 1, false, 3, 2); },
                          "points.size() >= 2", "GetRGBatPosition", "Core/base/GradientPalette",
                          47);
    bitmap->m_bpp = 2;  // a record the constructor would refuse
    test::ExpectAssertion(
        [&] { CreateGradientMask(*bitmap, GradientPreset(0), 0, 0, 1, false, 3, 2); },
        "bpp == TiRGBBpp || bpp == TiRGBABpp || bpp == 1", "CreateGradientMask", file, 246);
    bitmap->m_bpp = 3;
    EXPECT_EQ(test::Pixels(*bitmap), original);
}

TEST(GradientMask, ViewsAreRenderedAboutTheirOwnCentre) {
    test::ExpectViewMatchesPackedCopy([] { return test::Noise(200, 150, 4, 1); }, 20, 10, 150, 120,
                                      [](TiBitmapData& b) {
                                          return CreateGradientMask(b, GradientPreset(9),
                                                                    kGradientLinear, 61, 1.1f,
                                                                    false, b.GetWidth() / 2, 40);
                                      });
}

RGBPoint Stop(unsigned char v, float position) {
    return RGBPoint{TinyRGB{v, v, v}, position, 0.5f};
}

TEST(GradientOverlay, BlendsTheRenderedGradientOntoThePhoto) {
    // The gradient of a 5-pixel row at 0 degrees is 0, 63, 127, 191, 255;
    // multiplied onto 200, 100 and 50.
    const RGBPoint stops[] = {Stop(0, 0), Stop(255, 1)};
    for (float degrees : {0.0f, 0.9f, -0.9f, 360.5f}) {
        auto photo = test::Constant(5, 1, 4, {200, 100, 50, 77});
        ASSERT_EQ(GradientOverlay(*photo, kBlendMultiply, kGradientLinear, stops, 2, degrees, 1.0f,
                                  1.0f, false),
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
    EXPECT_EQ(Px(*photo, 0, 0), (Bytes{200, 100, 50}));
    EXPECT_EQ(Px(*photo, 4, 0), (Bytes{100, 50, 25}));
}

TEST(GradientOverlay, RefusalsViewsAndMissingMemory) {
    const RGBPoint stops[] = {Stop(30, 0), Stop(220, 0.6f), Stop(90, 1)};
    const auto overlay = [&](TiBitmapData& b) {
        return GradientOverlay(b, kBlendMultiply, kGradientSymmetry, stops, 3, 90, 1, 0.75f, true);
    };
    EXPECT_EQ(
        test::ExpectRefusalsLeaveBitmapUnchanged([] { return test::Noise(9, 7, 4, 3); }, overlay),
        2)
        << "the gradient buffer and the blend table";
    test::ExpectViewMatchesPackedCopy([] { return test::Noise(30, 20, 4, 4); }, 3, 4, 20, 12,
                                      overlay);

    auto photo = test::Noise(9, 7, 3, 1);
    const auto original = test::Pixels(*photo);
    test::ExpectAssertion(
        [&] { GradientOverlay(*photo, kBlendScreen, 0, stops, 3, 0, 1, 1.5f, false); },
        "opacity >= 0 && opacity <= 1.0", "BlendMode", "Core/base/BlendMode", 20);
    test::ExpectAssertion([&] { GradientOverlay(*photo, 21, 0, stops, 3, 0, 1, 1, false); },
                          "false", "GenerateLookupTable", "Core/base/BlendMode", 161);
    for (int count : {1, 0, -4}) {
        test::ExpectAssertion([&] { GradientOverlay(*photo, 1, 0, stops, count, 0, 1, 1, false); },
                              "points.size() >= 2", "GetRGBatPosition", "Core/base/GradientPalette",
                              47);
    }
    test::ExpectAssertion([&] { GradientOverlay(*photo, 1, 0, nullptr, 3, 0, 1, 1, false); },
                          "points.size() >= 2", "GetRGBatPosition", "Core/base/GradientPalette",
                          47);
    EXPECT_EQ(test::Pixels(*photo), original);
}

TEST(GradientPresetBitmap, DrawsThePresetDownAndToTheRight) {
    const auto swatch = CreateGradientPresetBitmap(0, 64, 48);
    ASSERT_TRUE(swatch);
    EXPECT_EQ(swatch->GetBpp(), TiRGBABpp);
    EXPECT_EQ(swatch->GetPitch(), 64 * 4);
    EXPECT_EQ(Px(*swatch, 0, 0), (Bytes{0, 0, 0, 255}));
    EXPECT_EQ(Px(*swatch, 63, 47), (Bytes{255, 255, 255, 255}));
    for (int i = 1; i < 48; ++i) {
        EXPECT_GE(swatch->GetPixel(i, i)[0], swatch->GetPixel(i - 1, i - 1)[0]);
        EXPECT_EQ(swatch->GetPixel(i, i)[3], 255);
    }
    EXPECT_FALSE(CreateGradientPresetBitmap(0, 0, 10));
    EXPECT_FALSE(CreateGradientPresetBitmap(0, 10, -1));
    TiMemoryTestHook::FailAllocation(1);
    EXPECT_FALSE(CreateGradientPresetBitmap(3, 10, 10));
    TiMemoryTestHook::Reset();
    test::ExpectAssertion([] { CreateGradientPresetBitmap(13, 8, 8); }, "points.size() >= 2",
                          "GetRGBatPosition", "Core/base/GradientPalette", 47);
}

}  // namespace
}  // namespace vantrel
