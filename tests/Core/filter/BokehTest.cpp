#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Core/filter/Bokeh.h"
#include "Core/filter/GasBlur.h"
#include "Core/global/TiMemory.h"
#include "support/Assertions.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

constexpr const char kFile[] = "Core/filter/Bokeh";

std::vector<int> RedOfRow(const TiBitmapData& bitmap, int y) {
    std::vector<int> reds;
    for (int x = 0; x < bitmap.GetWidth(); ++x) reds.push_back(bitmap.GetPixel(x, y)[0]);
    return reds;
}

// A 21 x 11 picture of (10, 20, 30) and a "blurred" one of (250, 200, 100),
// both opaque, focus at the centre (10, 5), centre radius 3, extend width 4:
// the mask's stops are white at 0 (midpoint 3 / 7) and black at 7 / 10.5.
TEST(BlendBokeh, FocusMaskAlongTheCentreRow) {
    // At 0 degrees a radius is measured against 21 / 2 - 1 = 9.5 pixels: the
    // mask along the row is 0 0 0 0 11 46 82 117 161 208 255 and mirrored.
    Bitmap picture = test::Constant(21, 11, TiRGBABpp, {10, 20, 30, 255});
    const Bitmap blurred = test::Constant(21, 11, TiRGBABpp, {250, 200, 100, 255});
    ASSERT_EQ(BlendBokeh(*picture, *blurred, 10, 5, 0, 3, 4), 1);
    EXPECT_EQ(RedOfRow(*picture, 5),
              (std::vector<int>{250, 250, 250, 250, 239, 206, 172, 139, 98,  54, 10,
                                54,  98,  139, 172, 206, 239, 250, 250, 250, 250}));
    // At 90 degrees against 11 / 2 - 1 = 4.5: a smaller focus.
    picture = test::Constant(21, 11, TiRGBABpp, {10, 20, 30, 255});
    ASSERT_EQ(BlendBokeh(*picture, *blurred, 10, 5, 90, 3, 4), 1);
    EXPECT_EQ(RedOfRow(*picture, 5),
              (std::vector<int>{250, 250, 250, 250, 250, 250, 250, 250, 180, 104, 10,
                                104, 180, 250, 250, 250, 250, 250, 250, 250, 250}));
    // The focus pixel keeps its value (a = 0), alpha is the picture's own.
    EXPECT_EQ(test::PixelAt(*picture, 10, 5), (test::Rgba{10, 20, 30, 255}));
    EXPECT_EQ(test::PixelAt(*picture, 0, 0), (test::Rgba{250, 200, 100, 255}));
}

// With no radius at all there is no focus: the mask is 0 and each pixel takes
// a = (blurred alpha) / 255.
std::vector<std::uint8_t> Blended(std::uint8_t picture, std::uint8_t blurred, std::uint8_t alpha) {
    Bitmap target = test::Constant(1, 1, TiRGBBpp, {picture, picture, picture});
    const Bitmap layer = test::Constant(1, 1, TiRGBABpp, {blurred, blurred, blurred, alpha});
    EXPECT_EQ(BlendBokeh(*target, *layer, 0, 0, 0, 0, 0), 1);
    return test::Pixels(*target);
}

TEST(BlendBokeh, MixesInFloatWeightedByTheBlurredAlpha) {
    using V = std::vector<std::uint8_t>;
    // 3 * (1 - a) + 156 * a, a = 100 / 255: 63.0 in float, 62.99... in double.
    EXPECT_EQ(Blended(3, 156, 100), (V{63, 63, 63}));
    // 51 * (1 - a), a = 200 / 255: 10.99... in float, 11.0 in double.
    EXPECT_EQ(Blended(51, 0, 200), (V{10, 10, 10}));
    // Equal values can come out one lower where 0 < a < 1.
    EXPECT_EQ(Blended(3, 3, 65), (V{2, 2, 2}));
    EXPECT_EQ(Blended(90, 200, 0), (V{90, 90, 90}));
    EXPECT_EQ(Blended(90, 200, 255), (V{200, 200, 200}));
    // An RGB blurred copy counts as opaque.
    Bitmap target = test::Constant(2, 2, TiRGBABpp, {90, 90, 90, 7});
    const Bitmap layer = test::Constant(2, 2, TiRGBBpp, {200, 100, 0});
    ASSERT_EQ(BlendBokeh(*target, *layer, 0, 0, 0, 5, -5), 1);
    EXPECT_EQ(test::PixelAt(*target, 1, 1), (test::Rgba{200, 100, 0, 7}));
}

TEST(BlendBokeh, RefusesMismatchedOrGrayPicturesUntouched) {
    Bitmap picture = test::Noise(10, 8, TiRGBABpp);
    const auto before = test::Pixels(*picture);
    EXPECT_EQ(BlendBokeh(*picture, *test::Noise(10, 7, TiRGBABpp), 5, 4, 0, 2, 2), 0);
    EXPECT_EQ(BlendBokeh(*picture, *test::Noise(10, 8, 1), 5, 4, 0, 2, 2), 0);
    EXPECT_EQ(test::Pixels(*picture), before);
    Bitmap gray = test::Noise(10, 8, 1);
    EXPECT_EQ(BokehFilter(*gray, 5, 4, 3, 0, 2, 2), 0);
}

class BokehBpp : public ::testing::TestWithParam<int> {};

TEST_P(BokehBpp, BlendsItsOwnBlurredCopy) {
    const int bpp = GetParam();
    const int cases[][6] = {{20, 14, 5, 0, 6, 8}, {3, 30, 9, 45, 2, 20}, {-50, 99, 2, -120, 10, 0}};
    for (const auto& c : cases) {
        Bitmap bitmap = test::Noise(47, 33, bpp, c[2]);
        const Bitmap before = bitmap->Clone();
        Bitmap blurred = bitmap->Clone(false);
        GasBlur(*blurred, c[2]);
        Bitmap expected = bitmap->Clone();
        BlendBokeh(*expected, *blurred, c[0], c[1], c[3], c[4], c[5]);
        ASSERT_EQ(BokehFilter(*bitmap, c[0], c[1], c[2], c[3], c[4], c[5]), 1);
        EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*expected));
        if (bpp == TiRGBABpp) test::ExpectAlphaUnchanged(*before, *bitmap);
    }
}

TEST_P(BokehBpp, WithoutFocusEveryOpaquePixelTakesTheBlur) {
    const int bpp = GetParam();
    Bitmap bitmap = test::Gradient(30, 20, bpp);
    Bitmap blurred = bitmap->Clone(false);
    GasBlur(*blurred, 6);
    ASSERT_EQ(BokehFilter(*bitmap, 15, 10, 6, 0, 0, 0), 1);
    EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*blurred));
}

TEST_P(BokehBpp, ViewsAndRefusals) {
    const int bpp = GetParam();
    auto make = [bpp] { return test::Noise(40, 30, bpp, 6); };
    auto bokeh = [](TiBitmapData& b) { return BokehFilter(b, 12, 9, 4, 0, 5, 6); };
    test::ExpectViewMatchesPackedCopy(make, 6, 4, 30, 22, bokeh);
    // The copy, its blur's line buffer and the mask.
    EXPECT_EQ(test::ExpectRefusalsLeaveBitmapUnchanged(make, bokeh), 3);
}

INSTANTIATE_TEST_SUITE_P(BytesPerPixel, BokehBpp, ::testing::Values(3, 4));

TEST(BokehFilter, TransparentPicturesAndIdentityBlur) {
    // Alpha 0 everywhere: a = 0, nothing changes.
    Bitmap clear = test::MakeBitmap(25, 19, TiRGBABpp, [](int x, int y, int c) {
        return static_cast<std::uint8_t>(c == 3 ? 0 : x * 9 + y * 5 + c);
    });
    const auto before = test::Pixels(*clear);
    ASSERT_EQ(BokehFilter(*clear, 12, 9, 8, 0, 3, 3), 1);
    EXPECT_EQ(test::Pixels(*clear), before);
    // Blur radius 1 blurs nothing: every byte stays or comes out one lower.
    Bitmap photo = test::Noise(25, 19, TiRGBABpp, 5);
    const Bitmap original = photo->Clone();
    ASSERT_EQ(BokehFilter(*photo, 12, 9, 1, 0, 3, 3), 1);
    for (int y = 0; y < 19; ++y) {
        for (int x = 0; x < 25; ++x) {
            for (int c = 0; c < 4; ++c) {
                const int was = original->GetPixel(x, y)[c];
                const int now = photo->GetPixel(x, y)[c];
                ASSERT_TRUE(now == was || (c < 3 && now == was - 1)) << x << "," << y;
            }
        }
    }
}

TEST(Bokeher, BlursOnceAndFollowsTheFocus) {
    const Bitmap photo = test::Noise(36, 28, TiRGBABpp, 12);
    auto fresh = [&photo] { return photo->Clone(); };
    auto viaFilter = [&](const BokehParams& p) {
        Bitmap b = fresh();
        BokehFilter(*b, p.cx, p.cy, p.blurRadius, p.degrees, p.centerRadius, p.extendWidth);
        return test::Pixels(*b);
    };
    Bitmap target = fresh();
    Bokeher bokeher(target.get(), 10, 12, 5, 0, 4, 6, false);
    EXPECT_FALSE(bokeher.HasBlur());
    ASSERT_EQ(bokeher.Run(), 1);
    EXPECT_EQ(test::Pixels(*target), viaFilter(bokeher.GetParams()));

    // A new focus on a fresh copy: only the mask is allocated.
    Bitmap second = fresh();
    bokeher.SetBitmap(second.get(), false);
    bokeher.SetParams({25, 5, 5, 30, 8, 3});
    TiMemoryTestHook::Reset();
    ASSERT_EQ(bokeher.Run(), 1);
    EXPECT_EQ(TiMemoryTestHook::AllocationCount(), 1);
    EXPECT_EQ(test::Pixels(*second), viaFilter(bokeher.GetParams()));

    // A new blur radius blurs again.
    Bitmap third = fresh();
    bokeher.SetBitmap(third.get(), false);
    bokeher.SetParams({25, 5, 9, 30, 8, 3});
    EXPECT_FALSE(bokeher.HasBlur());
    ASSERT_EQ(bokeher.Run(), 1);
    EXPECT_EQ(test::Pixels(*third), viaFilter(bokeher.GetParams()));
}

TEST(Bokeher, RefusalsOwnershipAndPreconditions) {
    auto make = [] { return test::Noise(30, 20, TiRGBABpp, 3); };
    // The copy, its blur's line buffer and the mask.
    EXPECT_EQ(test::ExpectRefusalsLeaveBitmapUnchanged(make,
                                                       [](TiBitmapData& b) {
                                                           Bokeher bokeher(&b, 9, 9, 4, 0, 5, 5,
                                                                           false);
                                                           return bokeher.Run();
                                                       }),
              3);
    {
        // Owned pictures go with the object (the sanitizer build checks it).
        Bokeher owner(make().release(), 9, 9, 4, 0, 5, 5, true);
        EXPECT_EQ(owner.PrepareBlur(), 1);
        owner.SetBitmap(make().release(), true);
        EXPECT_EQ(owner.Run(), 1);
    }
    test::ExpectAssertion([] { Bokeher bokeher(nullptr, 0, 0, 1, 0, 1, 1, false); }, "bitmap",
                          "Bokeher", kFile, 103);
    Bitmap picture = make();
    Bokeher bokeher(picture.get(), 0, 0, 1, 0, 1, 1, false);
    bokeher.SetBitmap(nullptr, false);
    test::ExpectAssertion([&] { bokeher.Run(); }, "m_bitmap", "Run", kFile, 155);
}

}  // namespace
}  // namespace vantrel
