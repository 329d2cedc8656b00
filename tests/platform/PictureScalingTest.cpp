#include <gtest/gtest.h>

#include "platform/PictureScaling.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

Picture Ramp(int width, int height, int step) {
    return test::MakePicture(width, height, [step](int x, int y) {
        return test::Rgba{static_cast<std::uint8_t>(x * step), static_cast<std::uint8_t>(y * 10), 7,
                          255};
    });
}

TEST(ScalePicture, ReductionsAverageTheAreaEachPixelCovers) {
    // Whole pixels: 2 x 2 blocks.
    const Picture halved = ScalePicture(Ramp(4, 2, 60), 2, 1);
    EXPECT_EQ(test::PixelOf(halved, 0, 0), (test::Rgba{30, 5, 7, 255}));
    EXPECT_EQ(test::PixelOf(halved, 1, 0), (test::Rgba{150, 5, 7, 255}));
    // Fractional edges: 3 pixels into 2, the middle one shared.
    const Picture thirds = ScalePicture(Ramp(3, 1, 90), 2, 1);
    EXPECT_EQ(test::PixelOf(thirds, 0, 0), (test::Rgba{30, 0, 7, 255}));
    EXPECT_EQ(test::PixelOf(thirds, 1, 0), (test::Rgba{150, 0, 7, 255}));
}

TEST(ScalePicture, OpaquePicturesStayOpaqueAndColourStaysWithinAlpha) {
    const Picture source = test::MakePicture(1601, 1203, [](int x, int y) {
        const auto alpha = static_cast<std::uint8_t>(x < 800 ? 255 : (x * 3 + y) % 256);
        return test::Rgba{static_cast<std::uint8_t>(alpha * ((x * 7) % 255) / 255),
                          static_cast<std::uint8_t>(alpha * ((y * 5) % 255) / 255), alpha, alpha};
    });
    const Picture scaled = ScalePicture(source, 903, 679);
    ASSERT_EQ(scaled.width(), 903);
    for (int y = 0; y < scaled.height(); ++y) {
        for (int x = 0; x < scaled.width(); ++x) {
            const test::Rgba pixel = test::PixelOf(scaled, x, y);
            ASSERT_LE(pixel[0], pixel[3]);
            ASSERT_LE(pixel[1], pixel[3]);
            if (x < 440) {
                ASSERT_EQ(pixel[3], 255) << x << ", " << y;
            }
        }
    }
    EXPECT_EQ(ScalePicture(source, 1601, 1203).data(), source.data());
    EXPECT_TRUE(ScalePicture(source, 0, 5).empty());
    EXPECT_EQ(ScalePicture(Ramp(2, 2, 10), 4, 3).width(), 4);  // enlarged
}

}  // namespace
}  // namespace vantrel
