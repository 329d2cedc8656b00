#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "platform/JpegCodec.h"
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "Core/global/TiMemory.h"
#include "platform/ExifOrientation.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

using test::Rgba;

// ---- Writing test files with libjpeg directly, in kinds our encoder never writes ----

struct JpegSpec {
    int width = 16;
    int height = 16;
    int components = 3;
    J_COLOR_SPACE space = JCS_RGB;
    bool progressive = false;
    bool adobeSegment = true;
    int quality = 100;
    std::vector<std::uint8_t> samples;
};

std::vector<unsigned char> WriteJpeg(JpegSpec shape) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr error{};
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = shape.width;
    cinfo.image_height = shape.height;
    cinfo.input_components = shape.components;
    cinfo.in_color_space = shape.space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, shape.quality, TRUE);
    if (shape.progressive) jpeg_simple_progression(&cinfo);
    if (shape.space == JCS_CMYK) cinfo.write_Adobe_marker = shape.adobeSegment ? TRUE : FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t rowBytes = static_cast<std::size_t>(shape.width) * shape.components;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = shape.samples.data() + cinfo.next_scanline * rowBytes;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<unsigned char> file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

// Samples of 16 x 16 blocks of solid colours, `components` bytes each.
std::vector<std::uint8_t> Blocks(const std::vector<std::vector<std::uint8_t>>& colours, int across,
                                 int down) {
    std::vector<std::uint8_t> samples;
    for (int y = 0; y < down * 16; ++y)
        for (int x = 0; x < across * 16; ++x) {
            const auto& colour = colours[(y / 16) * across + x / 16];
            samples.insert(samples.end(), colour.begin(), colour.end());
        }
    return samples;
}

void ExpectNear(const Rgba& actual, const Rgba& expected, int tolerance) {
    for (int c = 0; c < 4; ++c) {
        EXPECT_NEAR(actual[c], expected[c], tolerance)
            << "channel " << c << " of " << int(actual[0]) << "," << int(actual[1]) << ","
            << int(actual[2]) << "," << int(actual[3]);
    }
}

Picture Smooth(int width, int height) {
    return test::MakePicture(width, height, [=](int x, int y) {
        return Rgba{std::uint8_t(x * 255 / (width - 1)), std::uint8_t(y * 255 / (height - 1)),
                    std::uint8_t((x + y) * 255 / (width + height)), 255};
    });
}

// ---- Real photos ----

TEST(JpegDecode, CameraPhotosComeOutUprightAndOpaque) {
    struct Photo {
        const char* name;
        int width, height;
    };
    for (const Photo& photo : {Photo{"HMD_Nokia_8.3_5G.jpg", 4608, 1976},
                               Photo{"canon_hdr_NO.jpg", 1536, 2048},  // stored 2048 x 1536, turned
                               Photo{"iphone_hdr_NO.jpg", 3264, 2448}}) {
        const Result<Picture> decoded =
            DecodeJpeg(test::ReadTestData(std::string("photos/") + photo.name));
        ASSERT_TRUE(decoded.ok()) << photo.name << ": " << decoded.error();
        EXPECT_EQ(decoded.value().width(), photo.width) << photo.name;
        EXPECT_EQ(decoded.value().height(), photo.height) << photo.name;
        const Picture& p = decoded.value();
        for (int y = 0; y < p.height(); y += 97) {
            for (int x = 0; x < p.width(); x += 89) ASSERT_EQ(p.pixel(x, y)[3], 255);
        }
    }
}

TEST(JpegDecode, ThePhotosOrientationFlagIsWhatTurnsIt) {
    std::vector<unsigned char> file = test::ReadTestData("photos/canon_hdr_NO.jpg");
    const Result<Picture> upright = DecodeJpeg(file);
    // Hide the Exif segment from the reader by renaming it.
    const std::string marker = "Exif";
    const auto at = std::search(file.begin(), file.end(), marker.begin(), marker.end());
    ASSERT_NE(at, file.end());
    *at = 'X';
    const Result<Picture> stored = DecodeJpeg(file);
    ASSERT_TRUE(upright.ok() && stored.ok());
    EXPECT_EQ(stored.value().width(), 2048);
    EXPECT_EQ(test::BytesOf(UprightPicture(stored.value(), 6)), test::BytesOf(upright.value()));
}

// ---- Kinds of JPEG ----

TEST(JpegDecode, ProgressiveFilesDecodeToTheSamePixelsAsBaselineOnes) {
    JpegSpec shape;
    shape.width = 45;
    shape.height = 37;
    shape.quality = 85;
    for (int i = 0; i < shape.width * shape.height * 3; ++i)
        shape.samples.push_back(std::uint8_t(i * 7 % 251));
    const Result<Picture> baseline = DecodeJpeg(WriteJpeg(shape));
    shape.progressive = true;
    const Result<Picture> progressive = DecodeJpeg(WriteJpeg(shape));
    ASSERT_TRUE(baseline.ok() && progressive.ok()) << progressive.error();
    EXPECT_EQ(test::BytesOf(progressive.value()), test::BytesOf(baseline.value()));
}

TEST(JpegDecode, GrayFilesBecomeEqualRedGreenAndBlue) {
    JpegSpec shape;
    shape.width = 64;
    shape.height = 8;
    shape.components = 1;
    shape.space = JCS_GRAYSCALE;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 64; ++x) shape.samples.push_back(std::uint8_t(x * 4));
    const Result<Picture> decoded = DecodeJpeg(WriteJpeg(shape));
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    for (int x = 0; x < 64; ++x) {
        const Rgba p = test::PixelOf(decoded.value(), x, 4);
        EXPECT_EQ(p[0], p[1]);
        EXPECT_EQ(p[0], p[2]);
        EXPECT_NEAR(p[0], x * 4, 2) << x;
        EXPECT_EQ(p[3], 255);
    }
}

TEST(JpegDecode, CmykInksAreMultipliedOutWithOrWithoutAdobeInversion) {
    // Ink amounts C, M, Y, K and the colour they leave on white paper.
    const std::vector<std::vector<std::uint8_t>> inks = {
        {255, 0, 0, 0}, {0, 255, 255, 0}, {0, 0, 0, 128}, {0, 0, 0, 0}, {128, 0, 255, 64}};
    const std::vector<Rgba> colours = {{0, 255, 255, 255},
                                       {255, 0, 0, 255},
                                       {127, 127, 127, 255},
                                       {255, 255, 255, 255},
                                       {95, 191, 0, 255}};
    for (bool adobe : {true, false}) {
        SCOPED_TRACE(adobe ? "Adobe, inverted" : "plain");
        std::vector<std::vector<std::uint8_t>> stored = inks;
        if (adobe) {
            for (auto& ink : stored)
                for (auto& amount : ink) amount = 255 - amount;
        }
        JpegSpec shape;
        shape.width = 16 * 5;
        shape.components = 4;
        shape.space = JCS_CMYK;
        shape.adobeSegment = adobe;
        shape.samples = Blocks(stored, 5, 1);
        const Result<Picture> decoded = DecodeJpeg(WriteJpeg(shape));
        ASSERT_TRUE(decoded.ok()) << decoded.error();
        for (int i = 0; i < 5; ++i)
            ExpectNear(test::PixelOf(decoded.value(), i * 16 + 8, 8), colours[i], 3);
    }
}

// ---- Writing ----

TEST(JpegEncode, ARoundTripStaysCloseAndQualityTradesSizeForFidelity) {
    const Picture picture = Smooth(96, 64);
    const Result<std::vector<unsigned char>> fine = EncodeJpeg(picture, 95);
    const Result<std::vector<unsigned char>> coarse = EncodeJpeg(picture, 10);
    ASSERT_TRUE(fine.ok() && coarse.ok()) << fine.error();
    EXPECT_LT(coarse.value().size(), fine.value().size());
    const Result<Picture> decoded = DecodeJpeg(fine.value());
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    ASSERT_EQ(decoded.value().width(), 96);
    ASSERT_EQ(decoded.value().height(), 64);
    long totalError = 0;
    int worst = 0;
    const std::vector<std::uint8_t> before = test::BytesOf(picture);
    const std::vector<std::uint8_t> after = test::BytesOf(decoded.value());
    for (std::size_t i = 0; i < before.size(); ++i) {
        const int error = std::abs(int(before[i]) - int(after[i]));
        totalError += error;
        worst = std::max(worst, error);
    }
    EXPECT_LT(double(totalError) / before.size(), 1.5);
    EXPECT_LE(worst, 8);
}

TEST(JpegEncode, AlphaIsDroppedAndPremultipliedColourKept) {
    const Picture picture = test::MakePicture(16, 16, [](int x, int) {
        return x < 8 ? Rgba{100, 60, 20, 128} : Rgba{0, 0, 0, 0};
    });
    const Result<Picture> decoded = DecodeJpeg(EncodeJpeg(picture, 100).value());
    ASSERT_TRUE(decoded.ok());
    ExpectNear(test::PixelOf(decoded.value(), 2, 8), {100, 60, 20, 255}, 3);
    ExpectNear(test::PixelOf(decoded.value(), 13, 8), {0, 0, 0, 255}, 3);
}

TEST(JpegEncode, QualityOutsideOneToAHundredAndEmptyPicturesAreRefused) {
    const Picture picture = Smooth(8, 8);
    EXPECT_FALSE(EncodeJpeg(picture, 0).ok());
    EXPECT_FALSE(EncodeJpeg(picture, 101).ok());
    EXPECT_FALSE(EncodeJpeg(Picture(), 90).ok());
    EXPECT_TRUE(EncodeJpeg(picture, 1).ok());
    EXPECT_TRUE(EncodeJpeg(picture, 100).ok());
}

// ---- Broken files and limits ----

TEST(JpegDecode, TruncatedAndCorruptFilesFail) {
    const std::vector<unsigned char> file = EncodeJpeg(Smooth(64, 48), 90).value();
    ASSERT_TRUE(DecodeJpeg(file).ok());
    // Every cut before the last two bytes (the end marker) loses picture data.
    for (std::size_t size = 0; size + 2 < file.size(); size += 3) {
        const Result<Picture> cut = DecodeJpeg(std::span(file.data(), size));
        ASSERT_FALSE(cut.ok()) << "cut at " << size;
        ASSERT_FALSE(cut.error().empty());
    }
    std::vector<unsigned char> garbage = {0xFF, 0xD8, 0xFF};
    for (int i = 0; i < 500; ++i) garbage.push_back(static_cast<unsigned char>(i * 37));
    EXPECT_FALSE(DecodeJpeg(garbage).ok());
    EXPECT_FALSE(DecodeJpeg(std::vector<unsigned char>{}).ok());
}

TEST(JpegDecode, AHugeClaimedSizeIsRefusedBeforeAnyPixelMemory) {
    std::vector<unsigned char> file = EncodeJpeg(Smooth(16, 16), 90).value();
    std::size_t frame = 2;
    while (!(file[frame] == 0xFF && file[frame + 1] == 0xC0)) ++frame;
    file[frame + 5] = file[frame + 7] = 0xEA;  // 60000 x 60000
    file[frame + 6] = file[frame + 8] = 0x60;
    TiMemoryTestHook::Reset();
    const Result<Picture> decoded = DecodeJpeg(file);
    EXPECT_EQ(TiMemoryTestHook::AllocationCount(), 0);
    EXPECT_FALSE(decoded.ok());
    EXPECT_NE(decoded.error().find("limit"), std::string::npos) << decoded.error();

    const std::vector<unsigned char> small = EncodeJpeg(Smooth(16, 16), 90).value();
    EXPECT_FALSE(DecodeJpeg(small, 255).ok());
    EXPECT_TRUE(DecodeJpeg(small, 256).ok());
}

TEST(JpegDecode, ShortMemoryFailsCleanly) {
    const std::vector<unsigned char> file = EncodeJpeg(Smooth(16, 16), 90).value();
    TiMemoryTestHook::FailAllocation(1);
    const Result<Picture> decoded = DecodeJpeg(file);
    TiMemoryTestHook::Reset();
    EXPECT_FALSE(decoded.ok());
    EXPECT_NE(decoded.error().find("memory"), std::string::npos) << decoded.error();
}

}  // namespace
}  // namespace vantrel
