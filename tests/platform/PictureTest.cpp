#include <gtest/gtest.h>

#include <cmath>

#include "Core/global/TiMemory.h"
#include "platform/Picture.h"
#include "platform/PictureScaling.h"
#include "platform/Premultiply.h"
#include "support/TestImages.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

using test::Rgba;

Picture Sample(int width, int height) {
    return test::MakePicture(width, height, [](int x, int y) {
        const auto a = static_cast<std::uint8_t>(40 + 50 * x + y);
        return Rgba{static_cast<std::uint8_t>(a / 2), static_cast<std::uint8_t>(y), a, a};
    });
}

TEST(PictureSize, RefusesEmptyOversizedAndOverLimitPictures) {
    EXPECT_EQ(PictureSizeError(1, 1), "");
    EXPECT_EQ(PictureSizeError(65535, 1525), "");  // 99.9 megapixels
    EXPECT_NE(PictureSizeError(0, 10), "");
    EXPECT_NE(PictureSizeError(10, -1), "");
    EXPECT_NE(PictureSizeError(65536, 1), "");
    EXPECT_NE(PictureSizeError(10000, 10001), "");
    EXPECT_NE(PictureSizeError(100, 100, 9999), "");
    EXPECT_EQ(PictureSizeError(100, 100, 10000), "");
    // A buffer over the limit is refused without allocating.
    TiMemoryTestHook::Reset();
    EXPECT_TRUE(PixelBuffer::Allocate(20000, 20000).empty());
    EXPECT_TRUE(PixelBuffer::Allocate(70000, 1).empty());
    EXPECT_EQ(TiMemoryTestHook::AllocationCount(), 0);
}

// Copies of a picture share its pixels; its bitmap is an owning packed copy.
TEST(PictureAndBitmap, APictureBecomesAnOwningPackedRgbaBitmapOfTheSameBytes) {
    const Picture picture = Sample(5, 3);
    const Picture copy = picture;
    EXPECT_EQ(copy.data(), picture.data());
    EXPECT_EQ(std::tuple(copy.width(), copy.height(), copy.pitch()), std::tuple(5, 3, 20));
    std::unique_ptr<TiBitmapData> bitmap = BitmapFromPicture(picture);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(
        std::tuple(bitmap->GetWidth(), bitmap->GetHeight(), bitmap->GetPitch(), bitmap->GetBpp()),
        std::tuple(5, 3, 20, TiRGBABpp));
    EXPECT_TRUE(bitmap->OwnsData());
    EXPECT_NE(bitmap->GetData(), picture.data()) << "the bitmap must not write into the picture";
    EXPECT_EQ(test::Pixels(*bitmap), test::BytesOf(picture));

    const Picture back = PictureFromBitmap(*bitmap);
    EXPECT_EQ(test::BytesOf(back), test::BytesOf(picture));
    EXPECT_EQ(std::pair(back.width(), back.height()), std::pair(5, 3));
}

TEST(PictureAndBitmap, OnlyPackedFourByteBitmapsBecomePicturesAndShortMemoryGivesNone) {
    for (int bpp : {1, TiRGBBpp})
        EXPECT_TRUE(PictureFromBitmap(*test::Gradient(4, 4, bpp)).empty());
    test::Bitmap rgba = test::Gradient(4, 4, TiRGBABpp);
    auto view = rgba->GetBitmapDataFromRect(1, 1, 2, 2);
    EXPECT_TRUE(PictureFromBitmap(*view).empty()) << "a view's rows are not packed";
    const Picture packed = PictureFromBitmap(*view->Clone(false));
    EXPECT_EQ(test::BytesOf(packed), test::Pixels(*view));
    // Short memory gives no result rather than a partial one.
    TiMemoryTestHook::FailAllocation(1);
    EXPECT_EQ(BitmapFromPicture(packed), nullptr);
    TiMemoryTestHook::Reset();
    EXPECT_TRUE(BitmapFromPicture(Picture()) == nullptr);
    TiMemoryTestHook::FailAllocation(1);
    EXPECT_TRUE(PictureFromBitmap(*rgba).empty());
    TiMemoryTestHook::Reset();
}

// Every colour and alpha against the rounded real quotients.
TEST(Premultiply, BothDirectionsRoundToNearestAndOpacityIsSeenInEveryPixel) {
    for (int a = 0; a < 256; ++a) {
        for (int c = 0; c < 256; ++c) {
            unsigned char pixel[4] = {static_cast<unsigned char>(c), 0, 255,
                                      static_cast<unsigned char>(a)};
            PremultiplyPixels(pixel, 1);
            ASSERT_EQ(pixel[0], static_cast<int>(std::floor(c * a / 255.0 + 0.5))) << c << " " << a;
            ASSERT_EQ(pixel[2], a);
            ASSERT_EQ(pixel[3], a);

            unsigned char straight[4];
            const unsigned char premultiplied[4] = {static_cast<unsigned char>(c), 0, 0,
                                                    static_cast<unsigned char>(a)};
            UnpremultiplyPixels(premultiplied, straight, 1);
            const int expected =
                a == 0 ? 0 : std::min(255, static_cast<int>(std::floor(c * 255.0 / a + 0.5)));
            ASSERT_EQ(straight[0], expected) << c << " " << a;
            ASSERT_EQ(straight[3], a);
        }
    }
    // Opacity is seen in every pixel.
    unsigned char pixels[12] = {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255};
    EXPECT_TRUE(IsOpaque(pixels, 3));
    pixels[11] = 254;
    EXPECT_FALSE(IsOpaque(pixels, 3));
    EXPECT_TRUE(IsOpaque(pixels, 2));
}

Picture Ramp(int width, int height, int step) {
    return test::MakePicture(width, height, [step](int x, int y) {
        return test::Rgba{static_cast<std::uint8_t>(x * step), static_cast<std::uint8_t>(y * 10), 7,
                          255};
    });
}

TEST(ScalePicture, ReductionsAverageTheAreaEachPixelCoversKeepingOpacity) {
    // Whole pixels: 2 x 2 blocks.
    const Picture halved = ScalePicture(Ramp(4, 2, 60), 2, 1);
    EXPECT_EQ(test::PixelOf(halved, 0, 0), (test::Rgba{30, 5, 7, 255}));
    EXPECT_EQ(test::PixelOf(halved, 1, 0), (test::Rgba{150, 5, 7, 255}));
    // Fractional edges: 3 pixels into 2, the middle one shared.
    const Picture thirds = ScalePicture(Ramp(3, 1, 90), 2, 1);
    EXPECT_EQ(test::PixelOf(thirds, 0, 0), (test::Rgba{30, 0, 7, 255}));
    EXPECT_EQ(test::PixelOf(thirds, 1, 0), (test::Rgba{150, 0, 7, 255}));
    // Opaque pictures stay opaque and colour stays within alpha.
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
