#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <numbers>
#include <vector>

#include "Core/base/QuarterTurn.h"
#include "Core/base/Rotate.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

struct Motion {
    double angle;
    double zoomX = 1.0;
    double zoomY = 1.0;
    double moveX = 0.0;
    double moveY = 0.0;
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
        x = std::clamp<std::int64_t>(x, 0, sw - 1);
        y = std::clamp<std::int64_t>(y, 0, sh - 1);
        return source.GetPixel(static_cast<int>(x), static_cast<int>(y))[k];
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

Bitmap Zeroed(int width, int height) {
    return test::Constant(width, height, 4, {0, 0, 0, 0});
}

TEST(RotateBitmap, ByZeroCopiesTheInsideAndBlendsTheOuterRingAtCoverage255) {
    Bitmap source = test::Noise(6, 5, 4);
    Bitmap destination = Zeroed(6, 5);
    ASSERT_EQ(Rotate(*destination, *source, {0.0}), 1);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool ring = x == 0 || y == 0 || x == 5 || y == 4;
            for (int k = 0; k < 4; ++k) {
                const int value = source->GetPixel(x, y)[k];
                const int expected = !ring ? value : ((k == 3 ? 255 : value) * 255) >> 8;
                ASSERT_EQ(destination->GetPixel(x, y)[k], expected) << x << "," << y << "/" << k;
            }
        }
    }

    Bitmap white = test::Constant(4, 4, 4, {255, 255, 255, 255});
    Bitmap copy = Zeroed(4, 4);
    Rotate(*copy, *white, {0.0});
    EXPECT_EQ(copy->GetPixel(0, 2)[0], 254);
    EXPECT_EQ(copy->GetPixel(3, 3)[3], 254);
    EXPECT_EQ(copy->GetPixel(1, 2)[1], 255);
}

// Bounding-box destinations as the command makes them, and others with
// zooms and moves, over a destination that already holds a picture (so that
// blending and the pixels left alone are seen).
TEST(RotateBitmap, MatchesThePixelByPixelRotation) {
    const double pi = std::numbers::pi;
    const double angles[] = {0.0, 0.3, pi / 4, pi / 2, 2.5, pi, -1.1, 3 * pi / 2, 5.0};
    for (const auto& size : {std::pair{7, 5}, std::pair{2, 3}, std::pair{1, 1}, std::pair{16, 9}}) {
        Bitmap source = test::Noise(size.first, size.second, 4, 11);
        for (double angle : angles) {
            int width = 0, height = 0;
            Motion motion = AboutTheCentres(*source, angle, &width, &height);
            Bitmap destination = test::Noise(width, height, 4, 5);
            Bitmap expected = destination->Clone();
            Rotate(*destination, *source, motion);
            ReferenceRotate(*expected, *source, motion);
            EXPECT_EQ(test::Pixels(*destination), test::Pixels(*expected))
                << size.first << "x" << size.second << " by " << angle;

            for (Motion other : {Motion{angle, 1.3, 0.8, 1.5, -2.0}, Motion{angle, 0.6, 0.6, -3, 4},
                                 Motion{angle, -1.0, 2.0, 0.25, 0.75}}) {
                Bitmap canvas = test::Noise(11, 13, 4, 6);
                Bitmap reference = canvas->Clone();
                Rotate(*canvas, *source, other);
                ReferenceRotate(*reference, *source, other);
                EXPECT_EQ(test::Pixels(*canvas), test::Pixels(*reference))
                    << size.first << "x" << size.second << " by " << angle << " zoom "
                    << other.zoomX << "," << other.zoomY;
            }
        }
    }
}

TEST(RotateBitmap, LargePicturesDrawnInBandsMatchToo) {
    Bitmap source = test::Noise(500, 400, 4, 21);
    int width = 0, height = 0;
    const Motion motion = AboutTheCentres(*source, 0.5, &width, &height);
    Bitmap destination = Zeroed(width, height);
    Bitmap expected = Zeroed(width, height);
    Rotate(*destination, *source, motion);
    ReferenceRotate(*expected, *source, motion);
    EXPECT_EQ(test::Pixels(*destination), test::Pixels(*expected));
}

// The downward pass starts at the centre row and the upward one above it;
// each stops at the first row that touches the source. A picture moved off
// the centre row is therefore not drawn at all.
TEST(RotateBitmap, DrawsOnlyRowsConnectedToTheCentreRow) {
    Bitmap source = test::Noise(6, 4, 4);
    for (double moveY : {7.0, -3.0}) {
        Bitmap destination = test::Noise(10, 10, 4, 2);
        const std::vector<std::uint8_t> before = test::Pixels(*destination);
        Rotate(*destination, *source, {0.0, 1.0, 1.0, 2.0, moveY});
        EXPECT_EQ(test::Pixels(*destination), before) << "moved by " << moveY;
    }
    Bitmap touching = test::Noise(10, 10, 4, 2);
    const std::vector<std::uint8_t> before = test::Pixels(*touching);
    Rotate(*touching, *source, {0.0, 1.0, 1.0, 2.0, 6.0});
    EXPECT_NE(test::Pixels(*touching), before);
    EXPECT_EQ(0, std::memcmp(touching->GetPixel(4, 8), source->GetPixel(2, 2), 4));
}

// A positive angle turns counter-clockwise: by 90 degrees the inner pixels
// are the lossless quarter turn's one row lower, and the first row samples
// just outside the source, so it stays transparent.
TEST(RotateBitmap, PositiveAnglesTurnCounterClockwise) {
    Bitmap source = test::Noise(8, 5, 4, 4);
    int width = 0, height = 0;
    const Motion motion = AboutTheCentres(*source, std::numbers::pi / 2, &width, &height);
    ASSERT_EQ(width, 5);
    ASSERT_EQ(height, 8);
    Bitmap destination = Zeroed(width, height);
    Rotate(*destination, *source, motion);
    Bitmap turned = RotateQuarterTurns(*source, 1);
    ASSERT_TRUE(turned);
    for (int y = 2; y < 8; ++y) {
        for (int x = 1; x < 4; ++x) {
            ASSERT_EQ(0, std::memcmp(destination->GetPixel(x, y), turned->GetPixel(x, y - 1), 4))
                << x << "," << y;
        }
    }
    for (int x = 0; x < 5; ++x) EXPECT_EQ(destination->GetPixel(x, 0)[3], 0) << x;
}

TEST(RotateBitmap, ViewsAreReadAndWrittenByTheirPitch) {
    Bitmap parent = test::Noise(30, 20, 4, 8);
    auto region = parent->GetBitmapDataFromRect(4, 3, 12, 9);
    Bitmap packedSource = region->Clone(false);
    const Motion motion{0.7, 1.1, 0.9, 1.0, -0.5};

    Bitmap canvas = test::Noise(40, 30, 4, 1);
    const Bitmap original = canvas->Clone();
    auto target = canvas->GetBitmapDataFromRect(10, 5, 15, 14);
    Bitmap packedTarget = target->Clone(false);
    Rotate(*target, *region, motion);
    Rotate(*packedTarget, *packedSource, motion);
    EXPECT_EQ(test::Pixels(*target), test::Pixels(*packedTarget));
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (x >= 10 && x < 25 && y >= 5 && y < 19) continue;
            ASSERT_EQ(0, std::memcmp(canvas->GetPixel(x, y), original->GetPixel(x, y), 4))
                << x << "," << y;
        }
    }
}

TEST(RotateBitmap, DrawsNothingForDegenerateOrWildParameters) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    Bitmap source = test::Noise(9, 7, 4);
    for (Motion wild : {Motion{0.3, 0.00001, 1.0}, Motion{0.3, 1.0, -0.00001}, Motion{nan},
                        Motion{inf}, Motion{0.3, nan, 1.0}, Motion{0.3, 1.0, 1.0, 1e300, 0.0},
                        Motion{0.3, 1.0, 1.0, 0.0, -inf}, Motion{0.3, 1e-300, 1e-300}}) {
        Bitmap destination = test::Noise(12, 10, 4, 3);
        const std::vector<std::uint8_t> before = test::Pixels(*destination);
        Rotate(*destination, *source, wild);
        EXPECT_EQ(test::Pixels(*destination), before) << wild.angle << " " << wild.zoomX;
    }
    Bitmap destination = test::Noise(12, 10, 4, 3);
    Rotate(*destination, *source, {0.3, inf, inf});  // defined, whatever it draws
}

TEST(RotateBitmap, RefusesBitmapsThatAreNotFourBytesPerPixel) {
    Bitmap rgb = test::Noise(5, 5, 3);
    Bitmap rgba = test::Noise(5, 5, 4);
    const std::vector<std::uint8_t> before = test::Pixels(*rgba);
    EXPECT_EQ(Rotate(*rgba, *rgb, {0.2}), 0);
    EXPECT_EQ(test::Pixels(*rgba), before);
    EXPECT_EQ(Rotate(*rgb, *rgba, {0.2}), 0);
}

}  // namespace
}  // namespace vantrel
