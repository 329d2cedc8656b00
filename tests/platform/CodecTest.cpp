// The picture codecs: what both formats owe their caller swept over one table
// (round trips, cut and damaged files, claimed sizes refused before any pixel
// memory, short memory, nothing to write), then each format's own kinds and
// exact sample conversions, the orientation a file carries, the front door
// that tells the formats apart, and files made to cost memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>

// clang-format off
#include <jpeglib.h>
// clang-format on
#include <png.h>
#include <zlib.h>

#include "Core/global/TiMemory.h"
#include "platform/ExifOrientation.h"
#include "platform/JpegCodec.h"
#include "platform/PictureCodec.h"
#include "platform/PngCodec.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

using test::Bytes;
using test::PngChunk;
using test::PngFile;
using test::Rgba;

// ---- JPEG files written with libjpeg directly, in any kind ----

struct JpegShape {
    int width = 16, height = 16, components = 3;
    J_COLOR_SPACE space = JCS_RGB;
    bool progressive = false, adobeSegment = true;
    int quality = 100;
    std::vector<std::uint8_t> samples{};
};

Bytes WriteJpeg(JpegShape shape) {
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
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = shape.samples.data() + cinfo.next_scanline *
                                                  static_cast<std::size_t>(shape.width) *
                                                  shape.components;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

std::uint32_t BigEndian32(const unsigned char* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

Picture Smooth(int width, int height, int alpha = 255) {
    return test::MakePicture(width, height, [=](int x, int y) {
        return Rgba{std::uint8_t(x * alpha / (width - 1)), std::uint8_t(y * alpha / (height - 1)),
                    std::uint8_t((x + y) * alpha / (width + height)), std::uint8_t(alpha)};
    });
}

// ---- What both formats owe their caller ----

struct Format {
    const char* name;
    std::function<Result<Bytes>(const Picture&)> encode;
    std::function<Result<Picture>(std::span<const unsigned char>, std::int64_t)> decode;
    // A valid file whose header claims width x height.
    std::function<Bytes(std::uint32_t, std::uint32_t)> claiming;
    std::size_t endBytes;  // what may be cut off the end and still decode: the end chunk or marker
    int tolerance;         // what a round trip of a smooth opaque picture may change per byte
};

std::vector<Format> Formats() {
    auto png =
        Format{"Png",
               [](const Picture& p) { return EncodePng(p); },
               [](std::span<const unsigned char> b, std::int64_t m) { return DecodePng(b, m); },
               [](std::uint32_t width, std::uint32_t height) {
                   return test::PngFile(width, height, 8, PNG_COLOR_TYPE_RGB, {1, 2, 3});
               },
               12,
               0};
    auto jpeg =
        Format{"Jpeg",
               [](const Picture& p) { return EncodeJpeg(p, 95); },
               [](std::span<const unsigned char> b, std::int64_t m) { return DecodeJpeg(b, m); },
               [](std::uint32_t width, std::uint32_t height) {
                   Bytes file = EncodeJpeg(Smooth(16, 16), 90).value();
                   std::size_t frame = 2;
                   while (!(file[frame] == 0xFF && file[frame + 1] == 0xC0)) ++frame;
                   file[frame + 5] = static_cast<unsigned char>(height >> 8);
                   file[frame + 6] = static_cast<unsigned char>(height);
                   file[frame + 7] = static_cast<unsigned char>(width >> 8);
                   file[frame + 8] = static_cast<unsigned char>(width);
                   return file;
               },
               2,
               8};
    return {png, jpeg};
}

class Codec : public testing::TestWithParam<Format> {};

TEST_P(Codec, RoundTripsAndRefusesNothingToWrite) {
    const Format& format = GetParam();
    const Picture picture = Smooth(96, 64);
    const Result<Bytes> file = format.encode(picture);
    ASSERT_TRUE(file.ok()) << file.error();
    const Result<Picture> decoded = format.decode(file.value(), kMaxPicturePixels);
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    ASSERT_EQ(std::pair(decoded.value().width(), decoded.value().height()), std::pair(96, 64));
    const std::vector<std::uint8_t> before = test::BytesOf(picture),
                                    after = test::BytesOf(decoded.value());
    long total = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        const int error = std::abs(int(before[i]) - int(after[i]));
        ASSERT_LE(error, format.tolerance) << i;
        total += error;
    }
    EXPECT_LT(double(total) / before.size(), 1.5);
    EXPECT_FALSE(format.encode(Picture()).ok());
}

TEST_P(Codec, CutDamagedAndHugeClaimedFilesFailBeforeAnyPixelMemory) {
    const Format& format = GetParam();
    const Bytes file = format.encode(Smooth(32, 24)).value();
    ASSERT_TRUE(format.decode(file, kMaxPicturePixels).ok());
    // Every cut before the end chunk or marker loses picture data.
    for (std::size_t size = 0; size + format.endBytes < file.size(); ++size) {
        const Result<Picture> cut = format.decode(std::span(file.data(), size), kMaxPicturePixels);
        ASSERT_FALSE(cut.ok()) << "cut at " << size;
        ASSERT_FALSE(cut.error().empty());
    }
    Bytes garbage = {file[0], file[1], file[2]};
    for (int i = 0; i < 500; ++i) garbage.push_back(static_cast<unsigned char>(i * 37));
    EXPECT_FALSE(format.decode(garbage, kMaxPicturePixels).ok());
    EXPECT_FALSE(format.decode(Bytes(100, file[0]), kMaxPicturePixels).ok());
    // Beyond the pixel limit, beyond the side limit, beyond what the format may hold.
    for (auto [width, height] : {std::pair<std::uint32_t, std::uint32_t>{20000, 20000},
                                 {60000, 60000},
                                 {70000, 1},
                                 {1, 4000000000u}}) {
        if (format.endBytes == 2 && std::max(width, height) > 65535)
            continue;  // beyond what a JPEG frame can say
        const Bytes claim = format.claiming(width, height);
        TiMemoryTestHook::Reset();
        const Result<Picture> decoded = format.decode(claim, kMaxPicturePixels);
        EXPECT_EQ(TiMemoryTestHook::AllocationCount(), 0) << width << " x " << height;
        EXPECT_FALSE(decoded.ok());
        if (height < 100000) {
            EXPECT_NE(decoded.error().find("limit"), std::string::npos) << decoded.error();
        }
    }
    const Bytes small = format.encode(Smooth(16, 16)).value();
    EXPECT_FALSE(format.decode(small, 255).ok());
    EXPECT_TRUE(format.decode(small, 256).ok());
}

TEST_P(Codec, ShortMemoryFailsCleanly) {
    const Format& format = GetParam();
    const Picture picture = Smooth(16, 16, 128);
    const Bytes file = format.encode(picture).value();
    TiMemoryTestHook::FailAllocation(1);
    const Result<Picture> decoded = format.decode(file, kMaxPicturePixels);
    TiMemoryTestHook::Reset();
    EXPECT_FALSE(decoded.ok());
    EXPECT_NE(decoded.error().find("memory"), std::string::npos) << decoded.error();
    TiMemoryTestHook::FailAllocation(1);  // the PNG row being un-premultiplied; JPEG needs none
    const Result<Bytes> encoded = format.encode(picture);
    TiMemoryTestHook::Reset();
    EXPECT_EQ(encoded.ok(), format.endBytes == 2) << (encoded.ok() ? "" : encoded.error());
}

INSTANTIATE_TEST_SUITE_P(Formats, Codec, testing::ValuesIn(Formats()),
                         [](const testing::TestParamInfo<Format>& info) {
                             return info.param.name;
                         });

// ---- PNG ----

std::vector<std::string> PngSuiteFiles(bool corrupt) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(test::TestDataPath("pngsuite"))) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".png" && (name[0] == 'x') == corrupt)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool HasChunk(const Bytes& file, const char* type) {
    for (std::size_t at = 8; at + 8 <= file.size(); at += 12 + BigEndian32(&file[at])) {
        if (std::memcmp(&file[at + 4], type, 4) == 0) return true;
    }
    return false;
}

// Every conforming file decodes at its size with valid premultiplied pixels,
// interlaced ones to the pixels of their plain twins; corrupt files fail
// with a message.
TEST(PngSuite, ConformingFilesDecodeAndCorruptOnesFail) {
    const std::vector<std::string> names = PngSuiteFiles(false);
    ASSERT_GT(names.size(), 150u);
    int twins = 0;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const Bytes file = test::ReadTestData("pngsuite/" + name);
        const Result<Picture> decoded = DecodePng(file);
        ASSERT_TRUE(decoded.ok()) << decoded.error();
        const Picture& picture = decoded.value();
        EXPECT_EQ(picture.width(), static_cast<int>(BigEndian32(&file[16])));
        EXPECT_EQ(picture.height(), static_cast<int>(BigEndian32(&file[20])));
        int belowOpaque = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const Rgba p = test::PixelOf(picture, x, y);
                ASSERT_TRUE(p[0] <= p[3] && p[1] <= p[3] && p[2] <= p[3]) << x << "," << y;
                belowOpaque += p[3] < 255;
            }
        }
        // Kinds without alpha stay opaque, unless a tRNS chunk makes a colour transparent.
        if (!(file[25] & PNG_COLOR_MASK_ALPHA) || HasChunk(file, "tRNS")) {
            EXPECT_EQ(belowOpaque > 0, HasChunk(file, "tRNS"));
        }
        if (name.rfind("basi", 0) == 0 || (name[0] == 's' && name[3] == 'i')) {
            std::string twin = name;
            twin[3] = 'n';
            EXPECT_EQ(test::BytesOf(DecodePng(test::ReadTestData("pngsuite/" + twin)).value()),
                      test::BytesOf(picture));
            ++twins;
        }
    }
    EXPECT_GE(twins, 30);
    const std::vector<std::string> corrupt = PngSuiteFiles(true);
    ASSERT_GE(corrupt.size(), 14u);
    for (const std::string& name : corrupt) {
        const Result<Picture> decoded = DecodePng(test::ReadTestData("pngsuite/" + name));
        EXPECT_FALSE(decoded.ok()) << name;
        EXPECT_TRUE(decoded.value().empty()) << name;
        EXPECT_NE(decoded.error().find("PNG"), std::string::npos)
            << name << ": " << decoded.error();
    }
    Bytes damaged = test::ReadTestData("pngsuite/basn6a08.png");
    damaged[damaged.size() / 2] ^= 0x40;  // inside the pixel data: its checksum fails
    EXPECT_FALSE(DecodePng(damaged).ok());
}

TEST(PngSamples, ExactConversionsBothWays) {
    // 16-bit gray is scaled to the nearest byte: v * 255 / 65535, rounded.
    Bytes gray16;
    for (int v = 0; v < 65536; ++v)
        gray16.insert(gray16.end(), {Bytes::value_type(v >> 8), Bytes::value_type(v)});
    const Result<Picture> decoded = DecodePng(PngFile(256, 256, 16, PNG_COLOR_TYPE_GRAY, gray16));
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    for (int v = 0; v < 65536; ++v) {
        const auto nearest = static_cast<std::uint8_t>((2 * v + 257) / 514);
        ASSERT_EQ(test::PixelOf(decoded.value(), v % 256, v / 256),
                  (Rgba{nearest, nearest, nearest, 255}))
            << v;
    }
    const auto row = [](const Bytes& file) {
        const Result<Picture> picture = DecodePng(file);
        std::vector<Rgba> pixels;
        for (int x = 0; picture.ok() && x < picture.value().width(); ++x)
            pixels.push_back(test::PixelOf(picture.value(), x, 0));
        return pixels;
    };
    // 16-bit alpha is scaled, then premultiplied: gray 0xC8C8 -> 200 with
    // alpha 0x8080 -> 128; gray 0x00FF -> 1 (not 0) opaque; alpha 0 leaves nothing.
    EXPECT_EQ(
        row(PngFile(3, 1, 16, PNG_COLOR_TYPE_GRAY_ALPHA,
                    {0xC8, 0xC8, 0x80, 0x80, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})),
        (std::vector<Rgba>{{100, 100, 100, 128}, {1, 1, 1, 255}, {0, 0, 0, 0}}));
    // Palette transparency is premultiplied; entries without one are opaque.
    EXPECT_EQ(
        row(PngFile(
            5, 1, 8, PNG_COLOR_TYPE_PALETTE, {0, 1, 2, 3, 4},
            {PngChunk("PLTE", {10, 20, 30, 200, 100, 50, 255, 255, 255, 255, 254, 1, 7, 8, 9}),
             PngChunk("tRNS", {0, 128, 255, 64})})),
        (std::vector<Rgba>{{0, 0, 0, 0},
                           {100, 50, 25, 128},
                           {255, 255, 255, 255},
                           {64, 64, 0, 64},
                           {7, 8, 9, 255}}));
    // Low-bit gray is stretched and its colour key becomes transparent.
    EXPECT_EQ(
        row(PngFile(4, 1, 2, PNG_COLOR_TYPE_GRAY, {0b00011011}, {PngChunk("tRNS", {0, 2})})),
        (std::vector<Rgba>{{0, 0, 0, 255}, {85, 85, 85, 255}, {0, 0, 0, 0}, {255, 255, 255, 255}}));
    // The file holds straight alpha (as a reader that knows nothing of
    // premultiplying sees it); every valid premultiplied pixel survives a round
    // trip; opaque pictures drop their alpha.
    std::vector<Rgba> pairs;  // all 32896 pairs of alpha a and colour c <= a
    for (int a = 0; a < 256; ++a)
        for (int c = 0; c <= a; ++c)
            pairs.push_back(
                {std::uint8_t(c), std::uint8_t(a - c), std::uint8_t(c / 2), std::uint8_t(a)});
    const Picture picture =
        test::MakePicture(257, 128, [&](int x, int y) { return pairs[y * 257 + x]; });
    const Bytes file = EncodePng(picture).value();
    EXPECT_EQ(file[25], PNG_COLOR_TYPE_RGB_ALPHA);
    EXPECT_EQ(test::BytesOf(DecodePng(file).value()), test::BytesOf(picture));
    const Bytes half = EncodePng(test::MakePicture(2, 1, [](int x, int) {
                           return x == 0 ? Rgba{50, 100, 128, 128} : Rgba{0, 0, 0, 0};
                       })).value();
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, half.data(), half.size()));
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> samples(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, samples.data(), 0, nullptr));
    // 50 * 255 / 128 = 99.6 and 100 * 255 / 128 = 199.2, rounded.
    EXPECT_EQ(samples, (std::vector<std::uint8_t>{100, 199, 255, 128, 0, 0, 0, 0}));
    EXPECT_EQ(EncodePng(Smooth(3, 2)).value()[25], PNG_COLOR_TYPE_RGB);
}

// ---- JPEG ----

TEST(JpegDecode, CameraPhotosComeOutUprightByTheirOrientationFlag) {
    for (auto [name, width, height] :
         {std::tuple{"HMD_Nokia_8.3_5G.jpg", 4608, 1976},
          {"canon_hdr_NO.jpg", 1536, 2048},  // stored 2048 x 1536, turned
          {"iphone_hdr_NO.jpg", 3264, 2448}}) {
        const Result<Picture> decoded =
            DecodeJpeg(test::ReadTestData(std::string("photos/") + name));
        ASSERT_TRUE(decoded.ok()) << name << ": " << decoded.error();
        EXPECT_EQ(std::pair(decoded.value().width(), decoded.value().height()),
                  std::pair(width, height))
            << name;
    }
    // Hide the Exif segment from the reader by renaming it.
    Bytes file = test::ReadTestData("photos/canon_hdr_NO.jpg");
    const Result<Picture> upright = DecodeJpeg(file);
    const std::string marker = "Exif";
    *std::search(file.begin(), file.end(), marker.begin(), marker.end()) = 'X';
    const Result<Picture> stored = DecodeJpeg(file);
    EXPECT_EQ(stored.value().width(), 2048);
    EXPECT_EQ(test::BytesOf(UprightPicture(stored.value(), 6)), test::BytesOf(upright.value()));
}

TEST(JpegKinds, ProgressiveGrayAndCmykFilesAndTheEncodersQualityAlphaAndRange) {
    // Progressive files decode to the same pixels as baseline ones.
    JpegShape shape{.width = 45, .height = 37, .quality = 85};
    for (int i = 0; i < 45 * 37 * 3; ++i) shape.samples.push_back(std::uint8_t(i * 7 % 251));
    const Result<Picture> baseline = DecodeJpeg(WriteJpeg(shape));
    shape.progressive = true;
    EXPECT_EQ(test::BytesOf(DecodeJpeg(WriteJpeg(shape)).value()), test::BytesOf(baseline.value()));
    // Gray files become equal red, green and blue.
    JpegShape gray{.width = 64, .height = 8, .components = 1, .space = JCS_GRAYSCALE};
    for (int i = 0; i < 64 * 8; ++i) gray.samples.push_back(std::uint8_t(i % 64 * 4));
    const Picture grayPicture = DecodeJpeg(WriteJpeg(gray)).value();
    for (int x = 0; x < 64; ++x) {
        const Rgba p = test::PixelOf(grayPicture, x, 4);
        EXPECT_TRUE(p[0] == p[1] && p[0] == p[2] && p[3] == 255 && std::abs(p[0] - x * 4) <= 2)
            << x;
    }
    // CMYK inks are multiplied out on white paper, with or without Adobe's inversion.
    const std::vector<std::vector<std::uint8_t>> inks = {
        {255, 0, 0, 0}, {0, 255, 255, 0}, {0, 0, 0, 128}, {0, 0, 0, 0}, {128, 0, 255, 64}};
    const std::vector<Rgba> colours = {{0, 255, 255, 255},
                                       {255, 0, 0, 255},
                                       {127, 127, 127, 255},
                                       {255, 255, 255, 255},
                                       {95, 191, 0, 255}};
    for (bool adobe : {true, false}) {
        JpegShape cmyk{.width = 16 * 5, .components = 4, .space = JCS_CMYK, .adobeSegment = adobe};
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 80; ++x)
                for (std::uint8_t amount : inks[x / 16])
                    cmyk.samples.push_back(adobe ? 255 - amount : amount);
        const Picture picture = DecodeJpeg(WriteJpeg(cmyk)).value();
        for (int i = 0; i < 5; ++i) {
            const Rgba p = test::PixelOf(picture, i * 16 + 8, 8);
            for (int c = 0; c < 4; ++c)
                EXPECT_NEAR(p[c], colours[i][c], 3) << adobe << " ink " << i << " channel " << c;
        }
    }
    // The encoder: a lower quality, a smaller file; alpha dropped, the
    // premultiplied colour kept; qualities 1 to 100 only.
    const Picture picture = Smooth(96, 64);
    EXPECT_LT(EncodeJpeg(picture, 10).value().size(), EncodeJpeg(picture, 95).value().size());
    // Alpha is dropped, the premultiplied colour kept.
    const Picture half = test::MakePicture(16, 16, [](int x, int) {
        return x < 8 ? Rgba{100, 60, 20, 128} : Rgba{0, 0, 0, 0};
    });
    const Picture decoded = DecodeJpeg(EncodeJpeg(half, 100).value()).value();
    for (auto [x, expected] : {std::pair{2, Rgba{100, 60, 20, 255}}, {13, Rgba{0, 0, 0, 255}}}) {
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(test::PixelOf(decoded, x, 8)[c], expected[c], 3);
    }
    for (int quality : {0, 101}) EXPECT_FALSE(EncodeJpeg(picture, quality).ok()) << quality;
    for (int quality : {1, 100}) EXPECT_TRUE(EncodeJpeg(picture, quality).ok()) << quality;
}
// ---- Orientation ----

// A TIFF block whose IFD0 holds `entries` 12-byte entries: (tag, type,
// count, value) with the value left-justified in its field.
struct Entry {
    unsigned tag, type;
    std::uint32_t count;
    unsigned value;
};

std::vector<unsigned char> Tiff(bool bigEndian, const std::vector<Entry>& entries) {
    const unsigned char order = bigEndian ? 'M' : 'I';
    std::vector<unsigned char> out = {order, order};
    const auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(std::uint8_t(value >> 8 * (bigEndian ? bytes - 1 - i : i)));
    };
    put(42, 2);
    put(8, 4);
    put(static_cast<std::uint32_t>(entries.size()), 2);
    for (const Entry& e : entries) {
        put(e.tag, 2);
        put(e.type, 2);
        put(e.count, 4);
        put(e.value, 2);
        put(0, 2);
    }
    put(0, 4);
    return out;
}

std::vector<unsigned char> OrientationTiff(int orientation, bool bigEndian) {
    return Tiff(bigEndian,
                {{0x010F, 2, 4, 0}, {0x0112, 3, 1, unsigned(orientation)}, {0x011A, 5, 1, 0}});
}

TEST(ExifOrientationParser, AnythingMissingOrMalformedMeansUpright) {
    const auto good = OrientationTiff(6, true);
    EXPECT_EQ(ExifOrientationFromTiff(good.data(), good.size()), 6);
    // Every truncation of the block.
    for (std::size_t size = 0; size < good.size(); ++size) {
        const int found = ExifOrientationFromTiff(good.data(), size);
        // The orientation is the second entry, at 22; its value ends at 32.
        EXPECT_EQ(found, size >= 32 ? 6 : 1) << size;
    }
    const std::vector<std::vector<unsigned char>> bad = {
        Tiff(true, {}),                             // no entries
        Tiff(true, {{0x0112, 4, 1, 6}}),            // LONG instead of SHORT
        Tiff(true, {{0x0112, 3, 2, 6}}),            // two values
        Tiff(false, {{0x0112, 3, 1, 0}}),           // out of range
        Tiff(false, {{0x0112, 3, 1, 9}}),           // out of range
        {'M', 'M', 0, 43, 0, 0, 0, 8, 0, 0},        // not TIFF
        {'M', 'M', 0, 42, 0xFF, 0xFF, 0xFF, 0xF0},  // IFD beyond the block
    };
    for (std::size_t i = 0; i < bad.size(); ++i)
        EXPECT_EQ(ExifOrientationFromTiff(bad[i].data(), bad[i].size()), 1) << i;
    // An entry count far beyond the block's end.
    std::vector<unsigned char> counted = Tiff(true, {{0x0100, 3, 1, 1}});
    counted[8] = counted[9] = 0xFF;
    EXPECT_EQ(ExifOrientationFromTiff(counted.data(), counted.size()), 1);
    const std::vector<unsigned char> xmp = {'h', 't', 't', 'p', ':', '/', '/'};
    EXPECT_EQ(ExifOrientationFromApp1(xmp.data(), xmp.size()), 1);
    EXPECT_EQ(ExifOrientationFromApp1(nullptr, 0), 1);
}

// What each orientation shows of a stored picture laid out as
//   A B C
//   D E F
const std::map<int, std::vector<std::string>> kUpright = {
    {1, {"ABC", "DEF"}},     {2, {"CBA", "FED"}},     {3, {"FED", "CBA"}},
    {4, {"DEF", "ABC"}},     {5, {"AD", "BE", "CF"}}, {6, {"DA", "EB", "FC"}},
    {7, {"FC", "EB", "DA"}}, {8, {"CF", "BE", "AD"}},
};

const std::map<char, Rgba> kColours = {
    {'A', {255, 0, 0, 255}},   {'B', {0, 255, 0, 255}},   {'C', {0, 0, 255, 255}},
    {'D', {255, 255, 0, 255}}, {'E', {255, 0, 255, 255}}, {'F', {0, 255, 255, 255}},
};

// The stored picture in cells of `cell` x `cell` pixels.
Picture Stored(int cell) {
    return test::MakePicture(3 * cell, 2 * cell, [cell](int x, int y) {
        return kColours.at("ABCDEF"[(y / cell) * 3 + x / cell]);
    });
}

// Each orientation places the stored rows and columns, turning the picture
// itself and a JPEG file that carries the flag in either byte order.
TEST(UprightPicture, EachOrientationPlacesTheStoredRowsAndColumns) {
    constexpr int kCell = 16;  // whole chroma blocks, so each cell keeps its colour
    const Picture stored = Stored(1);
    const Result<std::vector<unsigned char>> plain = EncodeJpeg(Stored(kCell), 100);
    ASSERT_TRUE(plain.ok());
    // The JPEG with an APP1 Exif segment right after its start marker.
    const auto decoded = [&](int orientation, bool bigEndian) {
        std::vector<unsigned char> exif = {'E', 'x', 'i', 'f', 0, 0};
        const auto tiff = OrientationTiff(orientation, bigEndian);
        exif.insert(exif.end(), tiff.begin(), tiff.end());
        std::vector<unsigned char> file = test::JpegSegment(0xE1, exif);
        file.insert(file.begin(), plain.value().begin(), plain.value().begin() + 2);
        file.insert(file.end(), plain.value().begin() + 2, plain.value().end());
        const Result<Picture> picture = DecodeJpeg(file);
        EXPECT_TRUE(picture.ok()) << picture.error();
        return picture.value();
    };
    for (const auto& [orientation, rows] : kUpright) {
        SCOPED_TRACE(orientation);
        for (auto [picture, cell, tolerance] :
             {std::tuple{UprightPicture(stored, orientation), 1, 0},
              {decoded(orientation, true), kCell, 6},
              {decoded(orientation, false), kCell, 6}}) {
            ASSERT_EQ(picture.width(), static_cast<int>(rows[0].size()) * cell);
            ASSERT_EQ(picture.height(), static_cast<int>(rows.size()) * cell);
            for (std::size_t r = 0; r < rows.size(); ++r) {
                for (std::size_t c = 0; c < rows[r].size(); ++c) {
                    const Rgba p =
                        test::PixelOf(picture, int(c) * cell + cell / 2, int(r) * cell + cell / 2);
                    for (int k = 0; k < 4; ++k)
                        EXPECT_NEAR(p[k], kColours.at(rows[r][c])[k], tolerance) << rows[r][c];
                }
            }
        }
    }
    EXPECT_EQ(UprightPicture(stored, 0).data(), stored.data()) << "unknown values leave it alone";
    EXPECT_EQ(UprightPicture(stored, 9).data(), stored.data());
}

TEST(UprightPicture, LargeTurnsCrossTileEdgesCorrectly) {
    // Sizes that are not multiples of the copy's tiles.
    const Picture stored = test::MakePicture(131, 70, [](int x, int y) {
        return Rgba{std::uint8_t(x), std::uint8_t(y), std::uint8_t(x ^ y), 255};
    });
    const Picture turned = UprightPicture(stored, 6);
    ASSERT_EQ(turned.width(), 70);
    ASSERT_EQ(turned.height(), 131);
    for (int y = 0; y < 131; ++y)
        for (int x = 0; x < 70; ++x)
            ASSERT_EQ(test::PixelOf(turned, x, y), test::PixelOf(stored, y, 69 - x))
                << x << "," << y;
    TiMemoryTestHook::FailAllocation(1);
    EXPECT_TRUE(UprightPicture(stored, 6).empty());
    TiMemoryTestHook::Reset();
}

// ---- The front door ----

TEST(PictureCodec, FormatsByContentAndNameFilesByExtension) {
    EXPECT_EQ(SniffPictureFormat(test::ReadTestData("pngsuite/basn0g08.png")), PictureFormat::Png);
    EXPECT_EQ(SniffPictureFormat(test::ReadTestData("photos/canon_hdr_NO.jpg")),
              PictureFormat::Jpeg);
    EXPECT_EQ(SniffPictureFormat(Bytes{'G', 'I', 'F', '8', '9', 'a'}), std::nullopt);
    EXPECT_EQ(SniffPictureFormat({}), std::nullopt);
    for (auto [path, format] : {std::pair{"out/Photo.PNG", std::optional(PictureFormat::Png)},
                                {"a.jpg", PictureFormat::Jpeg},
                                {"a.JPEG", PictureFormat::Jpeg},
                                {"a.gif", std::nullopt},
                                {"png", std::nullopt}}) {
        EXPECT_EQ(PictureFormatForPath(path), format) << path;
    }
    EXPECT_FALSE(DecodePicture(Bytes{'G', 'I', 'F'}).ok());
    // Files are written by their extension (the round trips of both formats
    // are the vantrel apply tests'), and read errors name the file.
    test::ScratchFolder folder;
    const Picture picture = Smooth(8, 8);
    EXPECT_FALSE(WritePictureFile(picture, folder.File("a.gif")).ok());
    EXPECT_FALSE(WritePictureFile(picture, folder.File("b.jpg"), 0).ok());
    EXPECT_TRUE(folder.Names().empty());
    for (const std::string& path :
         {folder.File("gone.png"), test::TestDataPath("pngsuite/xcsn0g01.png")}) {
        const Result<Picture> failed = ReadPictureFile(path);
        EXPECT_NE(failed.error().find(std::filesystem::path(path).filename().string()),
                  std::string::npos)
            << failed.error();
    }
}

// ---- Files made to cost memory ----
// Chunks and markers that declare far more than the file holds, or that
// inflate to far more than they hold. The fuzz corpus holds the same files,
// so that the fuzz runs start from them.

constexpr std::size_t kFewMegabytes = std::size_t{4} << 20;

// 44 bytes each: a 1 x 1 header, then a chunk of the type that declares
// nearly 2 GiB and holds three bytes.
TEST(HostilePng, ChunksDeclaringGigabytesFailWithinAFewMegabytes) {
    for (const std::string type : {"tEXt", "zTXt", "iTXt", "sPLT", "iCCP", "eXIf", "pCAL", "sCAL",
                                   "hIST", "tIME", "vpAg", "caNv", "IDAT"}) {
        SCOPED_TRACE(type);
        Bytes file = PngFile(1, 1, 8, PNG_COLOR_TYPE_RGB, {1, 2, 3});
        file.resize(33);
        file.insert(file.end(), {0x7F, 0xFF, 0xFF, 0xF0});
        file.insert(file.end(), type.begin(), type.end());
        file.insert(file.end(), {'a', 'b', 'c'});
        const Result<Picture> decoded = DecodePng(file);
        EXPECT_FALSE(decoded.ok());
        EXPECT_FALSE(decoded.error().empty());
        EXPECT_LT(PngMemoryTestHook::PeakBytesOfLastDecode(), kFewMegabytes);
    }
}

// Ancillary chunks that are really there cost no memory in proportion
// either: 6 MB of text, compressed text that inflates to 16 MiB, a large
// palette suggestion, thousands of unknown chunks. The picture (2 x 1 in a
// palette with a half-transparent first entry, turned upright by its eXIf
// orientation) decodes as without them.
TEST(HostilePng, AncillaryChunksThatAreReallyThereAreSkippedWithoutTheirMemory) {
    const Bytes zeros(16 << 20, 0);
    Bytes ztxt(compressBound(static_cast<uLong>(zeros.size())));
    uLongf deflatedSize = static_cast<uLongf>(ztxt.size());
    ASSERT_EQ(compress2(ztxt.data(), &deflatedSize, zeros.data(), zeros.size(), 1), Z_OK);
    ztxt.resize(deflatedSize);
    ztxt.insert(ztxt.begin(), {'b', 'o', 'm', 'b', 0, 0});
    Bytes text = {'n', 'o', 't', 'e', 0};
    text.resize(6 << 20, 'x');
    Bytes splt = {'p', 0, 8};
    splt.resize(splt.size() + 6 * 40000, 1);
    std::vector<Bytes> extra = {PngChunk("tEXt", text), PngChunk("zTXt", ztxt),
                                PngChunk("sPLT", splt)};
    for (int i = 0; i < 2000; ++i) extra.push_back(PngChunk("vpAg", Bytes(200, std::uint8_t(i))));
    const auto palettePng = [](std::vector<Bytes> chunks) {
        for (const Bytes& chunk :
             {PngChunk("eXIf", test::OrientationTiff(6)),
              PngChunk("PLTE", {200, 100, 50, 10, 20, 30}), PngChunk("tRNS", {0x80})})
            chunks.push_back(chunk);
        return PngFile(2, 1, 8, PNG_COLOR_TYPE_PALETTE, {0, 1}, chunks);
    };
    const Result<Picture> plain = DecodePng(palettePng({}));
    ASSERT_TRUE(plain.ok()) << plain.error();
    ASSERT_EQ(std::pair(plain.value().width(), plain.value().height()), std::pair(1, 2));
    EXPECT_EQ(test::PixelOf(plain.value(), 0, 0), (Rgba{100, 50, 25, 0x80}));
    EXPECT_EQ(test::PixelOf(plain.value(), 0, 1), (Rgba{10, 20, 30, 255}));
    // The upright copy is the second allocation that short memory can refuse.
    TiMemoryTestHook::FailAllocation(2);
    EXPECT_NE(DecodePng(palettePng({})).error().find("memory"), std::string::npos);
    TiMemoryTestHook::Reset();
    const Result<Picture> decoded = DecodePng(palettePng(extra));
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    EXPECT_EQ(test::BytesOf(decoded.value()), test::BytesOf(plain.value()));
    EXPECT_LT(PngMemoryTestHook::PeakBytesOfLastDecode(), kFewMegabytes);
}

// The memory this process has held at its peak since the peak was reset.
long PeakResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

// Markers declare at most 64 KiB each but a file may hold any number: they
// are read through, the first Exif block's orientation kept, and the memory
// they take does not grow with their number.
TEST(HostileJpeg, ManyMarkersAreReadThroughWithoutKeepingThem) {
    const Bytes plain = EncodeJpeg(Smooth(8, 4), 90).value();
    const Bytes exif = {'E', 'x', 'i', 'f', 0, 0};
    Bytes file(plain.begin(), plain.begin() + 2);
    file.reserve(std::size_t{27} << 20);  // no large buffer freed on the way
    Bytes turn = exif, filler = exif;
    for (auto [payload, orientation] : {std::pair{&turn, 6}, {&filler, 3}}) {
        const Bytes tiff = test::OrientationTiff(orientation);
        payload->insert(payload->end(), tiff.begin(), tiff.end());
    }
    const Bytes first = test::JpegSegment(0xE1, turn);  // a quarter turn clockwise
    file.insert(file.end(), first.begin(), first.end());
    filler.resize(65533, 0x55);  // a half turn, which must not win
    for (int i = 0; i < 400; ++i) {
        // Mostly Exif blocks, with now and then a colour profile or a comment.
        const Bytes segment =
            test::JpegSegment(i % 10 == 0 ? 0xE2 : (i % 10 == 5 ? 0xFE : 0xE1), filler);
        file.insert(file.end(), segment.begin(), segment.end());
    }
    file.insert(file.end(), plain.begin() + 2, plain.end());
    ASSERT_GT(file.size(), std::size_t{25} << 20);

    if (!(std::ofstream("/proc/self/clear_refs") << "5").flush())
        GTEST_SKIP() << "the peak of resident memory can not be reset";
    const long before = PeakResidentKilobytes();
    const Result<Picture> decoded = DecodeJpeg(file);
    const long growth = PeakResidentKilobytes() - before;
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    EXPECT_EQ(std::pair(decoded.value().width(), decoded.value().height()), std::pair(4, 8));
    EXPECT_LT(growth * 1024, static_cast<long>(kFewMegabytes)) << growth << " KiB";
}

TEST(HostileJpeg, MarkersDeclaringMoreThanTheFileHoldsFailCleanly) {
    for (unsigned char marker : {0xE0, 0xE1, 0xE2, 0xED, 0xEE, 0xFE}) {
        const Result<Picture> decoded =
            DecodeJpeg(Bytes{0xFF, 0xD8, 0xFF, marker, 0xFF, 0xFF, 'E', 'x', 'i', 'f', 0, 0});
        EXPECT_FALSE(decoded.ok()) << int(marker);
        EXPECT_FALSE(decoded.error().empty()) << int(marker);
    }
}

}  // namespace
}  // namespace vantrel
