#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "Core/filter/Diffuse.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

TEST(Diffuse, DrawsFourNumbersPerPixelInScanOrder) {
    for (int bpp : {1, 3, 4}) {
        for (auto [spacing, radius] : {std::pair{0, 3}, std::pair{2, 1}, std::pair{1, 5}}) {
            Bitmap bitmap = test::Noise(17, 12, bpp, 7);
            const Bitmap before = bitmap->Clone();
            const int channels = bpp == TiRGBABpp ? 3 : bpp;
            // The expected picture, from the same draws: p, q for the
            // distances, s, t for their signs.
            Bitmap expected = bitmap->Clone();
            srandom(77);
            for (int y = 0; y < 12; ++y) {
                for (int x = 0; x < 17; ++x) {
                    const long p = random(), q = random(), s = random(), t = random();
                    const long dx = (p % radius + spacing) * (s % 2 ? -1 : 1);
                    const long dy = (q % radius + spacing) * (t % 2 ? -1 : 1);
                    if (x + dx >= 1 && x + dx < 17 && y + dy >= 1 && y + dy < 12)
                        std::memcpy(expected->GetPixel(x, y), before->GetPixel(x + dx, y + dy),
                                    channels);
                }
            }
            const long next = random();
            srandom(77);
            ASSERT_EQ(Diffuse(*bitmap, spacing, radius), 1);
            EXPECT_EQ(random(), next) << "not four draws per pixel";
            EXPECT_EQ(test::Pixels(*bitmap), test::Pixels(*expected))
                << "bpp " << bpp << " spacing " << spacing << " radius " << radius;
        }
    }
}

TEST(Diffuse, NeverTakesColourFromTheFirstRowOrColumn) {
    Bitmap bitmap = test::MakeBitmap(20, 20, TiRGBBpp, [](int x, int y, int) {
        return static_cast<std::uint8_t>(x == 0 || y == 0 ? 255 : 0);
    });
    ASSERT_EQ(Diffuse(*bitmap, 0, 4), 1);
    for (int y = 1; y < 20; ++y)
        for (int x = 1; x < 20; ++x) ASSERT_EQ(bitmap->GetPixel(x, y)[0], 0) << x << "," << y;
}

TEST(Diffuse, QuietCasesChangeNothing) {
    // Radius below 1 draws nothing; spacing 0 with radius 1 moves nothing;
    // spacings beyond the picture find no source.
    struct Case {
        int spacing, radius;
        bool draws;
    };
    for (Case c : {Case{0, 0, false}, Case{5, -2, false}, Case{0, 1, true}, Case{INT_MAX, 7, true},
                   Case{INT_MIN, 7, true}}) {
        Bitmap bitmap = test::Noise(11, 9, TiRGBABpp, 2);
        const auto before = test::Pixels(*bitmap);
        srandom(5);
        ASSERT_EQ(Diffuse(*bitmap, c.spacing, c.radius), 1);
        const long next = random();
        srandom(5);
        if (!c.draws) {
            EXPECT_EQ(next, random()) << c.spacing << "," << c.radius;
        }
        EXPECT_EQ(test::Pixels(*bitmap), before) << c.spacing << "," << c.radius;
    }
}

TEST(Diffuse, KeepsAlphaHonoursViewsAndRefuses) {
    Bitmap bitmap = test::Noise(30, 20, TiRGBABpp, 9);
    const Bitmap before = bitmap->Clone();
    ASSERT_EQ(Diffuse(*bitmap, 1, 3), 1);
    test::ExpectAlphaUnchanged(*before, *bitmap);

    auto make = [] { return test::Noise(30, 20, TiRGBABpp, 9); };
    test::ExpectViewMatchesPackedCopy(make, 2, 3, 25, 14, [](TiBitmapData& b) {
        srandom(31);
        return Diffuse(b, 1, 4);
    });
    EXPECT_EQ(test::ExpectRefusalsLeaveBitmapUnchanged(
                  make, [](TiBitmapData& b) { return Diffuse(b, 1, 4); }),
              1);
}

}  // namespace
}  // namespace vantrel
