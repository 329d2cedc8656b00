// Flips, quarter turns, rotation and zoom against pixel-by-pixel references;
// what the flips owe their caller is swept in tests/Core/ContractTest.cpp,
// the preconditions in PreconditionTest.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <vector>

#include "Core/base/Flip.h"
#include "Core/base/QuarterTurn.h"
#include "Core/base/Rotate.h"
#include "Core/base/Zoom.h"
#include "Core/global/TiMemory.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;
using Bytes = std::vector<std::uint8_t>;

// Odd and even sizes, thin ones, and one large enough to run in bands.
TEST(Flip, MirrorsEveryByte) {
    for (int bpp : {1, 3, 4}) {
        for (auto [width, height] : {std::pair{3, 2}, {4, 5}, {1, 7}, {7, 1}, {1, 1}, {600, 501}}) {
            Bitmap source = test::Noise(width, height, bpp, height);
            for (auto [h, v] : {std::pair{true, false}, {false, true}, {true, true}}) {
                Bitmap bitmap = source->Clone();
                ASSERT_EQ(FlipBitmap(*bitmap, h, v), 1);
                Bitmap mirrored = test::MakeBitmap(
                    width, height, bpp,
                    [&, h = h, v = v, width = width, height = height](int x, int y, int k) {
                        return source->GetPixel(h ? width - 1 - x : x, v ? height - 1 - y : y)[k];
                    });
                EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*mirrored))
                    << width << "x" << height << " h" << h;
            }
        }
    }
}

Bitmap Turn(const TiBitmapData& source, int turns) {
    Bitmap turned = RotateQuarterTurns(source, turns);
    if (!turned) {
        ADD_FAILURE() << "no bitmap";
    } else {
        EXPECT_EQ(turned->GetPitch(), turned->GetWidth() * turned->GetBpp());
    }
    return turned;
}

//   0 1 2        counter-clockwise: 2 5     half: 5 4 3     clockwise: 3 0
//   3 4 5                           1 4           2 1 0                4 1
//                                   0 3                                5 2
TEST(QuarterTurn, TurnsCounterClockwiseAndComposesAsRotationsDo) {
    for (int bpp : {1, 3, 4}) {
        Bitmap numbered =
            test::MakeBitmap(3, 2, bpp, [](int x, int y, int k) { return y * 3 + x + 40 * k; });
        for (auto [turns, order] : {std::pair{1, Bytes{2, 5, 1, 4, 0, 3}},
                                    {2, Bytes{5, 4, 3, 2, 1, 0}},
                                    {3, Bytes{3, 0, 4, 1, 5, 2}}}) {
            Bitmap turned = Turn(*numbered, turns);
            Bytes expected;
            for (std::uint8_t n : order)
                for (int k = 0; k < bpp; ++k) expected.push_back(n + 40 * k);
            EXPECT_EQ(test::Pixels(*turned), expected) << turns << " turns, " << bpp << " bytes";
            EXPECT_EQ(turned->GetWidth(), turns % 2 ? 2 : 3);
        }
        // Sizes that leave partial tiles, one that runs in bands, thin ones.
        for (auto [width, height] : {std::pair{130, 67}, {700, 500}, {1, 9}, {9, 1}, {64, 64}}) {
            Bitmap source = test::Noise(width, height, bpp, width);
            const Bytes pixels = test::Pixels(*source);
            Bitmap once = Turn(*source, 1), twice = Turn(*once, 1), thrice = Turn(*twice, 1);
            EXPECT_EQ(test::Pixels(*Turn(*thrice, 1)), pixels) << "4 x 90";
            EXPECT_EQ(test::Pixels(*Turn(*once, 3)), pixels) << "90 then 270";
            EXPECT_EQ(test::Pixels(*twice), test::Pixels(*Turn(*source, 2))) << "2 x 90 = 180";
            EXPECT_EQ(test::Pixels(*thrice), test::Pixels(*Turn(*source, -1))) << "3 x 90 = -90";
            EXPECT_EQ(test::Pixels(*once), test::Pixels(*Turn(*source, 5)));
            EXPECT_EQ(test::Pixels(*Turn(*source, 0)), pixels);
            FlipBitmap(*source, true, true);
            EXPECT_EQ(test::Pixels(*twice), test::Pixels(*source)) << "180 = both flips";
        }
        // A view is read by its pitch.
        Bitmap parent = test::Noise(90, 80, bpp);
        auto region = parent->GetBitmapDataFromRect(7, 5, 70, 66);
        for (int turns = 0; turns < 4; ++turns) {
            EXPECT_EQ(test::Pixels(*Turn(*region, turns)),
                      test::Pixels(*Turn(*region->Clone(false), turns)));
        }
    }
    Bitmap source = test::Noise(6, 4, 4);
    for (int turns = 0; turns < 4; ++turns) {
        TiMemoryTestHook::FailAllocation(1);
        EXPECT_EQ(RotateQuarterTurns(*source, turns), nullptr);
        TiMemoryTestHook::Reset();
    }
}

struct Motion {
    double angle;
    double zoomX = 1.0, zoomY = 1.0, moveX = 0.0, moveY = 0.0;
};

int Rotate(TiBitmapData& destination, const TiBitmapData& source, const Motion& m) {
    return RotateBitmap(destination, source, m.angle, m.zoomX, m.zoomY, m.moveX, m.moveY);
}

// The rotation written pixel by pixel and channel by channel: 16.16
// coordinates computed afresh for each pixel, each pixel classified on its
// own, rows from the centre down then up while a row has a pixel that is not
// outside.
void ReferenceRotate(TiBitmapData& destination, const TiBitmapData& source, const Motion& m) {
    const int sw = source.GetWidth(), sh = source.GetHeight();
    const int dw = destination.GetWidth(), dh = destination.GetHeight();
    if (std::fabs(sw * m.zoomX) < 0.0001 || std::fabs(sh * m.zoomY) < 0.0001) return;
    const double c = std::cos(m.angle), s = std::sin(m.angle);
    const double u = -(sw / 2.0 + m.moveX) / m.zoomX, v = (sh / 2.0 + m.moveY) / m.zoomY;
    auto fixed = [](double value) { return static_cast<std::int64_t>(value * 65536.0); };
    const std::int64_t ax = fixed(c / m.zoomX), ay = fixed(s / m.zoomX);
    const std::int64_t bx = fixed(-s / m.zoomY), by = fixed(c / m.zoomY);
    const std::int64_t cx = fixed(u * c + v * s + sw / 2.0), cy = fixed(u * s - v * c + sh / 2.0);
    enum Kind { kOutside, kBorder, kInner };
    auto classify = [&](std::int64_t sx, std::int64_t sy) {
        const std::int64_t x = sx >> 16, y = sy >> 16;
        if (sx >= 65536 && x < sw - 1 && sy >= 65536 && y < sh - 1) return kInner;
        if (sx >= -65536 && x < sw + 1 && sy >= -65536 && y < sh + 1) return kBorder;
        return kOutside;
    };
    auto rowTouches = [&](int y) {
        for (int x = 0; x < dw; ++x) {
            if (classify(cx + x * ax + y * bx, cy + x * ay + y * by) != kOutside) return true;
        }
        return false;
    };
    auto neighbour = [&](std::int64_t x, std::int64_t y, int k, bool edge) -> int {
        const bool inside = x >= 0 && x < sw && y >= 0 && y < sh;
        if (edge && k == 3) return inside ? 255 : 0;
        return source.GetPixel(static_cast<int>(std::clamp<std::int64_t>(x, 0, sw - 1)),
                               static_cast<int>(std::clamp<std::int64_t>(y, 0, sh - 1)))[k];
    };
    auto drawRow = [&](int y) {
        for (int x = 0; x < dw; ++x) {
            const std::int64_t sx = cx + x * ax + y * bx, sy = cy + x * ay + y * by;
            const Kind kind = classify(sx, sy);
            if (kind == kOutside) continue;
            const int u8 = static_cast<int>((sx >> 8) & 255),
                      v8 = static_cast<int>((sy >> 8) & 255);
            const int uv = u8 * v8 / 256;
            const int w00 = 256 - u8 - v8 + uv, w10 = u8 - uv, w01 = v8 - uv, w11 = uv;
            const std::int64_t x0 = sx >> 16, y0 = sy >> 16;
            const bool edge = kind == kBorder;
            int mix[4];
            for (int k = 0; k < 4; ++k) {
                mix[k] = (neighbour(x0, y0, k, edge) * w00 + neighbour(x0 + 1, y0, k, edge) * w10 +
                          neighbour(x0, y0 + 1, k, edge) * w01 +
                          neighbour(x0 + 1, y0 + 1, k, edge) * w11) >>
                         8;
            }
            unsigned char* pixel = destination.GetPixel(x, y);
            for (int k = 0; k < 4; ++k) {
                pixel[k] = static_cast<unsigned char>(
                    edge ? (mix[k] * mix[3] + pixel[k] * (255 - mix[3])) >> 8 : mix[k]);
            }
        }
    };
    for (int y = dh / 2; y < dh && rowTouches(y); ++y) drawRow(y);
    for (int y = dh / 2 - 1; y >= 0 && rowTouches(y); --y) drawRow(y);
}

// The destination the rotate command makes: the turned picture's bounding
// box, with the source centre on its centre.
Motion AboutTheCentres(const TiBitmapData& source, double angle, int* width, int* height) {
    const double c = std::fabs(std::cos(angle)), s = std::fabs(std::sin(angle));
    *width = static_cast<int>(source.GetWidth() * c + source.GetHeight() * s);
    *height = static_cast<int>(source.GetWidth() * s + source.GetHeight() * c);
    return {angle, 1.0, 1.0, (*width - source.GetWidth()) * 0.5,
            (*height - source.GetHeight()) * 0.5};
}

// By 0 the inside is copied and the outer ring blended by its edge alpha:
// white over clear comes out 255 * 255 >> 8 = 254 there.
TEST(RotateBitmap, ByZeroCopiesTheInsideAndBlendsTheOuterRing) {
    Bitmap white = test::Constant(4, 4, 4, {255, 255, 255, 255});
    Bitmap copy = test::Constant(4, 4, 4, {0, 0, 0, 0});
    Rotate(*copy, *white, {0.0});
    EXPECT_EQ((Bytes{copy->GetPixel(0, 2)[0], copy->GetPixel(3, 3)[3], copy->GetPixel(1, 2)[1]}),
              (Bytes{254, 254, 255}));
}

// Bounding-box destinations as the command makes them, and others with
// zooms and moves, over a destination that already holds a picture (so that
// blending and the pixels left alone are seen); one large enough for bands.
TEST(RotateBitmap, MatchesThePixelByPixelRotation) {
    const double pi = std::numbers::pi;
    for (auto [sw, sh] : {std::pair{7, 5}, {2, 3}, {1, 1}, {16, 9}, {500, 400}}) {
        Bitmap source = test::Noise(sw, sh, 4, 11);
        for (double angle : {0.0, 0.3, pi / 4, pi / 2, 2.5, pi, -1.1, 3 * pi / 2, 5.0}) {
            if (sw == 500 && angle != 0.3 && angle != 2.5 && angle != -1.1) continue;
            int width = 0, height = 0;
            const Motion motion = AboutTheCentres(*source, angle, &width, &height);
            std::vector<Motion> motions = {motion};
            if (sw < 500)
                motions.insert(motions.end(), {{angle, 1.3, 0.8, 1.5, -2.0},
                                               {angle, 0.6, 0.6, -3, 4},
                                               {angle, -1.0, 2.0, 0.25, 0.75}});
            for (const Motion& m : motions) {
                Bitmap canvas = &m == &motions[0] ? test::Noise(width, height, 4, 5)
                                                  : test::Noise(11, 13, 4, 6);
                Bitmap expected = canvas->Clone();
                Rotate(*canvas, *source, m);
                ReferenceRotate(*expected, *source, m);
                ASSERT_EQ(test::Pixels(*canvas), test::Pixels(*expected))
                    << sw << "x" << sh << " by " << angle << " zoom " << m.zoomX << "," << m.zoomY;
            }
        }
    }
}

// The downward pass starts at the centre row and the upward one above it;
// each stops at the first row that touches nothing of the source, so a
// picture moved off the centre row is not drawn at all. A positive angle
// turns counter-clockwise: by 90 degrees the inner pixels are the quarter
// turn's one row lower, and the first row samples just outside the source.
TEST(RotateBitmap, RowsFromTheCentreCounterClockwise) {
    Bitmap source = test::Noise(6, 4, 4);
    for (double moveY : {7.0, -3.0}) {
        Bitmap destination = test::Noise(10, 10, 4, 2);
        const Bytes before = test::Pixels(*destination);
        Rotate(*destination, *source, {0.0, 1.0, 1.0, 2.0, moveY});
        EXPECT_EQ(test::Pixels(*destination), before) << "moved by " << moveY;
    }
    Bitmap touching = test::Noise(10, 10, 4, 2);
    Rotate(*touching, *source, {0.0, 1.0, 1.0, 2.0, 6.0});
    EXPECT_EQ(0, std::memcmp(touching->GetPixel(4, 8), source->GetPixel(2, 2), 4));
    Bitmap wide = test::Noise(8, 5, 4, 4);
    int width = 0, height = 0;
    const Motion motion = AboutTheCentres(*wide, std::numbers::pi / 2, &width, &height);
    ASSERT_EQ(std::pair(width, height), std::pair(5, 8));
    Bitmap destination = test::Constant(width, height, 4, {0, 0, 0, 0});
    Rotate(*destination, *wide, motion);
    Bitmap turned = RotateQuarterTurns(*wide, 1);
    for (int y = 2; y < 8; ++y)
        for (int x = 1; x < 4; ++x)
            ASSERT_EQ(0, std::memcmp(destination->GetPixel(x, y), turned->GetPixel(x, y - 1), 4));
    for (int x = 0; x < 5; ++x) EXPECT_EQ(destination->GetPixel(x, 0)[3], 0) << x;
}

TEST(RotateBitmap, ViewsWildParametersAndOtherPixelSizes) {
    Bitmap parent = test::Noise(30, 20, 4, 8);
    auto region = parent->GetBitmapDataFromRect(4, 3, 12, 9);
    const Motion motion{0.7, 1.1, 0.9, 1.0, -0.5};
    auto rotate = [&](TiBitmapData& target) { return Rotate(target, *region, motion); };
    test::ExpectViewMatchesPackedCopy([] { return test::Noise(40, 30, 4, 1); }, 10, 5, 15, 14,
                                      rotate);
    Bitmap fromView = test::Noise(15, 14, 4, 1), fromCopy = fromView->Clone();
    Rotate(*fromView, *region, motion);
    Rotate(*fromCopy, *region->Clone(false), motion);
    EXPECT_EQ(test::Pixels(*fromView), test::Pixels(*fromCopy))
        << "a source view is read by its pitch";
    const double nan = std::numeric_limits<double>::quiet_NaN(),
                 inf = std::numeric_limits<double>::infinity();
    Bitmap source = test::Noise(9, 7, 4);
    for (Motion wild : {Motion{0.3, 0.00001, 1.0}, Motion{0.3, 1.0, -0.00001}, Motion{nan},
                        Motion{inf}, Motion{0.3, nan, 1.0}, Motion{0.3, 1.0, 1.0, 1e300, 0.0},
                        Motion{0.3, 1.0, 1.0, 0.0, -inf}, Motion{0.3, 1e-300, 1e-300}}) {
        Bitmap destination = test::Noise(12, 10, 4, 3);
        const Bytes before = test::Pixels(*destination);
        Rotate(*destination, *source, wild);
        EXPECT_EQ(test::Pixels(*destination), before) << wild.angle << " " << wild.zoomX;
    }
    Bitmap destination = test::Noise(12, 10, 4, 3);
    Rotate(*destination, *source, {0.3, inf, inf});  // defined, whatever it draws
}

// The bilinear zoom written step by step, one channel at a time, all in
// 32-bit float (sources of at least 2 x 2 pixels).
Bitmap ReferenceZoom(const TiBitmapData& source, int width, int height) {
    const int sw = source.GetWidth(), sh = source.GetHeight();
    const float rx = static_cast<float>(sw) / static_cast<float>(width);
    const float ry = static_cast<float>(sh) / static_cast<float>(height);
    auto at = [&](int x, int y, int k) { return static_cast<float>(source.GetPixel(x, y)[k]); };
    auto place = [](int i, float ratio, int extent, int& base) {
        float s = static_cast<float>(i) * ratio;
        if (static_cast<double>(s) <= 1e-8) s = 0;
        if (s > static_cast<float>(extent - 2)) s = static_cast<float>(extent - 2);
        base = static_cast<int>(s);
        return s - static_cast<float>(base);
    };
    return test::MakeBitmap(width, height, source.GetBpp(), [&](int i, int j, int k) {
        int x0 = 0, y0 = 0;
        const float fx = place(i, rx, sw, x0), fy = place(j, ry, sh, y0);
        const float value = at(x0, y0, k) * (1 - fx) * (1 - fy) +
                            at(x0 + 1, y0, k) * fx * (1 - fy) + at(x0, y0 + 1, k) * (1 - fx) * fy +
                            at(x0 + 1, y0 + 1, k) * fx * fy;
        return static_cast<std::uint8_t>(static_cast<int>(value));
    });
}

Bytes Reds(const TiBitmapData& bitmap, int x0, int y0, int dx, int dy, int count) {
    Bytes reds;
    for (int i = 0; i < count; ++i) reds.push_back(bitmap.GetPixel(x0 + i * dx, y0 + i * dy)[0]);
    return reds;
}

TEST(Zoom, MatchesTheStepByStepFloatZoom) {
    for (int bpp : {TiRGBBpp, TiRGBABpp}) {
        // 3 x 3 to 6 x 6: positions 0, 0.5, 1, then clamped to 1; the third
        // column and row never contribute.
        const std::uint8_t red[3][3] = {{10, 21, 200}, {40, 61, 200}, {90, 90, 90}};
        Bitmap small = test::MakeBitmap(
            3, 3, bpp, [&](int x, int y, int k) { return k == 3 ? 255 : red[y][x] + k; });
        Bitmap six = CreateImageZoom(*small, 6, 6);
        ASSERT_TRUE(six);
        EXPECT_EQ(six->GetPitch(), 6 * bpp);
        EXPECT_EQ(Reds(*six, 0, 0, 1, 0, 6), (Bytes{10, 15, 21, 21, 21, 21}));
        EXPECT_EQ(Reds(*six, 0, 0, 0, 1, 6), (Bytes{10, 25, 40, 40, 40, 40}));
        EXPECT_EQ(Reds(*six, 1, 1, 1, 1, 5), (Bytes{33, 61, 61, 61, 61}));
        EXPECT_EQ(six->GetPixel(4, 3)[bpp - 1], bpp == 4 ? 255 : 61 + 2);
        // Sizes up and down, odd ratios, and one large enough to run in bands.
        const int sizes[][4] = {{2, 2, 1, 1},  {2, 2, 5, 3},        {3, 4, 9, 2},
                                {5, 3, 12, 7}, {17, 11, 6, 4},      {17, 11, 40, 29},
                                {16, 9, 8, 3}, {9, 16, 7, 13},      {64, 48, 51, 37},
                                {7, 5, 7, 5},  {300, 200, 700, 450}};
        for (const auto& size : sizes) {
            Bitmap source = test::Noise(size[0], size[1], bpp, size[2]);
            Bitmap zoomed = CreateImageZoom(*source, size[2], size[3]);
            ASSERT_TRUE(zoomed);
            EXPECT_EQ(test::Pixels(*zoomed),
                      test::Pixels(*ReferenceZoom(*source, size[2], size[3])))
                << size[0] << "x" << size[1] << " to " << size[2] << "x" << size[3];
        }
        // The weights 1 - f and f are float: for 3 -> 9 columns, 1 - 0.33333334f
        // rounds so that white mixes to 254.99998 (254); for 3 -> 7 the float
        // mix reaches 255 where a double one stays below it.
        Bitmap white = test::Constant(3, 2, bpp, Bytes(bpp, 255));
        Bitmap nine = CreateImageZoom(*white, 9, 2), seven = CreateImageZoom(*white, 7, 2);
        EXPECT_EQ((Bytes{nine->GetPixel(0, 0)[0], nine->GetPixel(1, 0)[0],
                         nine->GetPixel(1, 1)[bpp - 1], seven->GetPixel(1, 0)[0]}),
                  (Bytes{255, 254, 254, 255}));
        // A source one pixel wide or high repeats its only column or row.
        Bitmap column = test::MakeBitmap(1, 3, bpp, [](int, int y, int k) {
            return (y == 0 ? 10 : y == 1 ? 21 : 40) + k;
        });
        Bitmap tall = CreateImageZoom(*column, 3, 6);
        EXPECT_EQ(Reds(*tall, 2, 0, 0, 1, 6), (Bytes{10, 15, 21, 21, 21, 21}));
        EXPECT_EQ(tall->GetPixel(1, 1)[bpp - 1], 15 + bpp - 1);
        Bitmap dot = test::Constant(1, 1, bpp, {7, 8, 9, 10});
        EXPECT_EQ(test::Pixels(*CreateImageZoom(*dot, 4, 3)),
                  test::Pixels(*test::Constant(4, 3, bpp, {7, 8, 9, 10})));
        Bitmap row = test::Noise(5, 1, bpp);
        Bitmap shrunk = CreateImageZoom(*row, 2, 2);
        EXPECT_EQ(test::Row(*shrunk, 1), test::Row(*shrunk, 0));
        EXPECT_EQ(test::PixelAt(*shrunk, 0, 0), test::PixelAt(*row, 0, 0));
    }
}

TEST(Zoom, ViewsMemoryAndSizes) {
    for (int bpp : {TiRGBBpp, TiRGBABpp}) {
        Bitmap parent = test::Noise(20, 15, bpp);
        auto region = parent->GetBitmapDataFromRect(3, 4, 9, 7);
        Bitmap packed = region->Clone(false);
        Bitmap fromView = CreateImageZoom(*region, 13, 5);
        EXPECT_EQ(test::Pixels(*fromView), test::Pixels(*CreateImageZoom(*packed, 13, 5)));
        test::ExpectViewMatchesPackedCopy(
            [bpp] { return test::Noise(30, 12, bpp, 9); }, 5, 2, 13, 5,
            [&](TiBitmapData& target) { return ImageZoom(*packed, target, 13, 5); });
        const int refused = test::ExpectRefusalsLeaveBitmapUnchanged(
            [bpp] { return test::Noise(5, 6, bpp, 3); },
            [&](TiBitmapData& destination) { return ImageZoom(*parent, destination, 5, 6); });
        EXPECT_EQ(refused, 2) << "the column taps and the row cache";
        for (long n = 1; n <= 3; ++n) {
            TiMemoryTestHook::FailAllocation(n);
            EXPECT_EQ(CreateImageZoom(*parent, 0.5f), nullptr) << "allocation " << n;
            TiMemoryTestHook::Reset();
        }
    }
    // Ratio sizes are truncated float products: 10 * 0.7f is 6.9999999 in
    // double but 7 in float.
    Bitmap half = CreateImageZoom(*test::Gradient(101, 51, TiRGBABpp), 0.5f);
    EXPECT_EQ(std::pair(half->GetWidth(), half->GetHeight()), std::pair(50, 25));
    Bitmap seventy = CreateImageZoom(*test::Gradient(10, 10, TiRGBBpp), 0.7f);
    EXPECT_EQ(std::tuple(seventy->GetWidth(), seventy->GetHeight(), seventy->GetBpp()),
              std::tuple(7, 7, TiRGBBpp));
    // Absurd sizes are refused without allocating.
    Bitmap source = test::Gradient(4, 4, TiRGBABpp);
    EXPECT_EQ(CreateImageZoom(*source, 1e30f), nullptr);
    EXPECT_EQ(CreateImageZoom(*source, 1 << 30, 1 << 30), nullptr);
}

}  // namespace
}  // namespace vantrel
