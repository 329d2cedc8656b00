#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <filesystem>
#include <optional>

#include "Core/global/TiMemory.h"
#include "platform/PngCodec.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

using test::Rgba;

// ---- Writing test files with libpng directly, in any PNG kind ----

struct PngSpec {
    int width = 1;
    int height = 1;
    int bitDepth = 8;
    int colourType = PNG_COLOR_TYPE_RGB;
    bool interlaced = false;
    std::vector<std::uint8_t> samples;  // raw rows, packed as the PNG kind stores them
    std::vector<png_color> palette;
    std::vector<std::uint8_t> paletteAlpha;
    std::optional<png_color_16> keyColour;
    std::vector<std::uint8_t> exif;
};

void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

bool WritePngInto(const PngSpec& shape, png_bytep* rows, std::vector<unsigned char>* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, Append, nullptr);
    png_set_IHDR(png, info, shape.width, shape.height, shape.bitDepth, shape.colourType,
                 shape.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!shape.palette.empty()) {
        png_set_PLTE(png, info, shape.palette.data(), static_cast<int>(shape.palette.size()));
    }
    if (!shape.paletteAlpha.empty() || shape.keyColour) {
        png_color_16 key = shape.keyColour.value_or(png_color_16{});
        png_set_tRNS(png, info, shape.paletteAlpha.data(),
                     static_cast<int>(shape.paletteAlpha.size()), shape.keyColour ? &key : nullptr);
    }
    if (!shape.exif.empty()) {
        png_set_eXIf_1(png, info, static_cast<png_uint_32>(shape.exif.size()),
                       const_cast<png_bytep>(shape.exif.data()));
    }
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

std::vector<unsigned char> WritePng(PngSpec shape) {
    const std::size_t rowBytes = shape.samples.size() / shape.height;
    std::vector<png_bytep> rows;
    for (int y = 0; y < shape.height; ++y) rows.push_back(shape.samples.data() + y * rowBytes);
    std::vector<unsigned char> out;
    EXPECT_TRUE(WritePngInto(shape, rows.data(), &out));
    return out;
}

std::uint32_t BigEndian32(const unsigned char* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

void PutBigEndian32(unsigned char* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(value >> (24 - 8 * i));
}

// A valid file whose header claims width x height (its CRC mended).
std::vector<unsigned char> ClaimingSize(std::uint32_t width, std::uint32_t height) {
    PngSpec shape;
    shape.samples = {1, 2, 3};
    std::vector<unsigned char> file = WritePng(shape);
    PutBigEndian32(&file[16], width);
    PutBigEndian32(&file[20], height);
    PutBigEndian32(&file[29], static_cast<std::uint32_t>(crc32(0, &file[12], 17)));
    return file;
}

std::vector<std::string> PngSuiteFiles(bool corrupt) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(test::TestDataPath("pngsuite"))) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".png") continue;
        if ((name[0] == 'x') == corrupt) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool HasChunk(const std::vector<unsigned char>& file, const char* type) {
    for (std::size_t at = 8; at + 8 <= file.size(); at += 12 + BigEndian32(&file[at])) {
        if (std::memcmp(&file[at + 4], type, 4) == 0) return true;
    }
    return false;
}

// ---- The conformance suite ----

TEST(PngSuite, EveryConformingFileDecodesAtItsSizeWithValidPremultipliedPixels) {
    const std::vector<std::string> names = PngSuiteFiles(false);
    ASSERT_GT(names.size(), 150u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::vector<unsigned char> file = test::ReadTestData("pngsuite/" + name);
        const Result<Picture> decoded = DecodePng(file);
        ASSERT_TRUE(decoded.ok()) << decoded.error();
        const Picture& picture = decoded.value();
        EXPECT_EQ(picture.width(), static_cast<int>(BigEndian32(&file[16])));
        EXPECT_EQ(picture.height(), static_cast<int>(BigEndian32(&file[20])));
        const int colourType = file[25];
        const bool transparent = (colourType & PNG_COLOR_MASK_ALPHA) || HasChunk(file, "tRNS");
        int belowOpaque = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const Rgba p = test::PixelOf(picture, x, y);
                ASSERT_TRUE(p[0] <= p[3] && p[1] <= p[3] && p[2] <= p[3]) << x << "," << y;
                belowOpaque += p[3] < 255;
            }
        }
        if (!transparent) {
            EXPECT_EQ(belowOpaque, 0);
        }
        if (HasChunk(file, "tRNS")) {
            EXPECT_GT(belowOpaque, 0);
        }
    }
}

TEST(PngSuite, CorruptFilesFailWithAMessage) {
    const std::vector<std::string> names = PngSuiteFiles(true);
    ASSERT_GE(names.size(), 14u);
    for (const std::string& name : names) {
        const Result<Picture> decoded = DecodePng(test::ReadTestData("pngsuite/" + name));
        EXPECT_FALSE(decoded.ok()) << name;
        EXPECT_TRUE(decoded.value().empty()) << name;
        EXPECT_NE(decoded.error().find("PNG"), std::string::npos)
            << name << ": " << decoded.error();
    }
}

TEST(PngSuite, InterlacedFilesDecodeToTheSamePixelsAsTheirPlainTwins) {
    int pairs = 0;
    for (const std::string& name : PngSuiteFiles(false)) {
        const bool basic = name.rfind("basi", 0) == 0;
        const bool sized = name[0] == 's' && name[3] == 'i';
        if (!basic && !sized) continue;
        std::string twin = name;
        twin[3] = 'n';
        const Result<Picture> interlaced = DecodePng(test::ReadTestData("pngsuite/" + name));
        const Result<Picture> plain = DecodePng(test::ReadTestData("pngsuite/" + twin));
        ASSERT_TRUE(interlaced.ok() && plain.ok()) << name;
        EXPECT_EQ(test::BytesOf(interlaced.value()), test::BytesOf(plain.value())) << name;
        ++pairs;
    }
    EXPECT_GE(pairs, 30);
}

// ---- Exact sample conversions ----

TEST(PngDecode, SixteenBitGrayIsScaledToTheNearestByte) {
    PngSpec shape;
    shape.width = 256;
    shape.height = 256;
    shape.bitDepth = 16;
    shape.colourType = PNG_COLOR_TYPE_GRAY;
    for (int v = 0; v < 65536; ++v) {
        shape.samples.push_back(static_cast<std::uint8_t>(v >> 8));
        shape.samples.push_back(static_cast<std::uint8_t>(v));
    }
    const Result<Picture> decoded = DecodePng(WritePng(shape));
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    for (int v = 0; v < 65536; ++v) {
        const Rgba p = test::PixelOf(decoded.value(), v % 256, v / 256);
        const int nearest = (2 * v + 257) / 514;  // v * 255 / 65535, rounded
        ASSERT_EQ(p,
                  (Rgba{std::uint8_t(nearest), std::uint8_t(nearest), std::uint8_t(nearest), 255}))
            << v;
    }
}

TEST(PngDecode, SixteenBitAlphaIsScaledThenPremultiplied) {
    PngSpec shape;
    shape.width = 3;
    shape.bitDepth = 16;
    shape.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    // gray 0xC8C8 -> 200 with alpha 0x8080 -> 128; gray 0x00FF -> 1 (not 0) opaque;
    // gray 0xFFFF with alpha 0 -> nothing left.
    shape.samples = {0xC8, 0xC8, 0x80, 0x80, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00};
    const Result<Picture> decoded = DecodePng(WritePng(shape));
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    EXPECT_EQ(test::PixelOf(decoded.value(), 0, 0), (Rgba{100, 100, 100, 128}));
    EXPECT_EQ(test::PixelOf(decoded.value(), 1, 0), (Rgba{1, 1, 1, 255}));
    EXPECT_EQ(test::PixelOf(decoded.value(), 2, 0), (Rgba{0, 0, 0, 0}));
}

TEST(PngDecode, PaletteTransparencyIsPremultipliedAndMissingEntriesAreOpaque) {
    PngSpec shape;
    shape.width = 5;
    shape.colourType = PNG_COLOR_TYPE_PALETTE;
    shape.palette = {{10, 20, 30}, {200, 100, 50}, {255, 255, 255}, {255, 254, 1}, {7, 8, 9}};
    shape.paletteAlpha = {0, 128, 255, 64};  // the fifth entry has none
    shape.samples = {0, 1, 2, 3, 4};
    const Result<Picture> decoded = DecodePng(WritePng(shape));
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    const Picture& p = decoded.value();
    EXPECT_EQ(test::PixelOf(p, 0, 0), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(test::PixelOf(p, 1, 0), (Rgba{100, 50, 25, 128}));
    EXPECT_EQ(test::PixelOf(p, 2, 0), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(test::PixelOf(p, 3, 0), (Rgba{64, 64, 0, 64}));
    EXPECT_EQ(test::PixelOf(p, 4, 0), (Rgba{7, 8, 9, 255}));
}

TEST(PngDecode, LowBitGrayIsStretchedAndItsColourKeyBecomesTransparent) {
    PngSpec shape;
    shape.width = 4;
    shape.bitDepth = 2;
    shape.colourType = PNG_COLOR_TYPE_GRAY;
    shape.samples = {0b00011011};  // 0, 1, 2, 3
    shape.keyColour = png_color_16{0, 0, 0, 0, 2};
    const Result<Picture> decoded = DecodePng(WritePng(shape));
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    EXPECT_EQ(test::PixelOf(decoded.value(), 0, 0), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(test::PixelOf(decoded.value(), 1, 0), (Rgba{85, 85, 85, 255}));
    EXPECT_EQ(test::PixelOf(decoded.value(), 2, 0), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(test::PixelOf(decoded.value(), 3, 0), (Rgba{255, 255, 255, 255}));
}

TEST(PngDecode, AnEXifOrientationTurnsThePictureUpright) {
    PngSpec shape;
    shape.width = 2;
    shape.samples = {1, 1, 1, 2, 2, 2};
    // Big-endian TIFF, one IFD0 entry: orientation (0x0112), SHORT, 1, value 6.
    shape.exif = {'M', 'M', 0, 42, 0, 0, 0, 8, 0, 1, 0x01, 0x12, 0,
                  3,   0,   0, 0,  1, 0, 6, 0, 0, 0, 0,    0,    0};
    const Result<Picture> decoded = DecodePng(WritePng(shape));
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    ASSERT_EQ(decoded.value().width(), 1);
    ASSERT_EQ(decoded.value().height(), 2);
    EXPECT_EQ(test::PixelOf(decoded.value(), 0, 0), (Rgba{1, 1, 1, 255}));
    EXPECT_EQ(test::PixelOf(decoded.value(), 0, 1), (Rgba{2, 2, 2, 255}));
}

// ---- Broken files and limits ----

TEST(PngDecode, TruncatedAndDamagedFilesFail) {
    const std::vector<unsigned char> file = test::ReadTestData("pngsuite/basn6a08.png");
    ASSERT_TRUE(DecodePng(file).ok());
    // Every cut before the closing 12-byte IEND chunk loses picture data.
    for (std::size_t size = 0; size + 12 < file.size(); ++size) {
        const Result<Picture> cut = DecodePng(std::span(file.data(), size));
        ASSERT_FALSE(cut.ok()) << "cut at " << size;
        ASSERT_FALSE(cut.error().empty());
    }
    std::vector<unsigned char> damaged = file;
    damaged[damaged.size() / 2] ^= 0x40;  // inside the pixel data: its checksum fails
    EXPECT_FALSE(DecodePng(damaged).ok());
    EXPECT_FALSE(DecodePng(std::vector<unsigned char>(100, 0x89)).ok());
}

TEST(PngDecode, AHugeClaimedSizeIsRefusedBeforeAnyPixelMemory) {
    // Beyond the pixel limit, beyond the side limit, beyond what a PNG may hold.
    for (const auto& [width, height] :
         {std::pair{20000u, 20000u}, std::pair{70000u, 1u}, std::pair{1u, 4000000000u}}) {
        const std::vector<unsigned char> file = ClaimingSize(width, height);
        TiMemoryTestHook::Reset();
        const Result<Picture> decoded = DecodePng(file);
        EXPECT_EQ(TiMemoryTestHook::AllocationCount(), 0) << width << " x " << height;
        EXPECT_FALSE(decoded.ok());
        if (height < 100000) {
            EXPECT_NE(decoded.error().find("limit"), std::string::npos) << decoded.error();
        }
    }
    const std::vector<unsigned char> small = test::ReadTestData("pngsuite/basn2c08.png");
    EXPECT_FALSE(DecodePng(small, 32 * 32 - 1).ok());
    EXPECT_TRUE(DecodePng(small, 32 * 32).ok());
}

TEST(PngDecode, ShortMemoryFailsCleanly) {
    PngSpec shape;
    shape.width = 2;
    shape.samples = {1, 1, 1, 2, 2, 2};
    shape.exif = {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3,
                  0,   1,   0,  0, 0, 8, 0, 0, 0, 0, 0,    0,    0};
    const std::vector<unsigned char> file = WritePng(shape);
    for (long n = 1; n <= 2; ++n) {  // the pixels, then the turned copy
        TiMemoryTestHook::FailAllocation(n);
        const Result<Picture> decoded = DecodePng(file);
        TiMemoryTestHook::Reset();
        EXPECT_FALSE(decoded.ok()) << n;
        EXPECT_NE(decoded.error().find("memory"), std::string::npos) << decoded.error();
    }
    EXPECT_TRUE(DecodePng(file).ok());
}

// ---- Writing ----

TEST(PngEncode, EveryValidPremultipliedPixelSurvivesARoundTrip) {
    // All 32896 pairs of alpha a and colour c <= a, colour channels varied.
    std::vector<Rgba> pairs;
    for (int a = 0; a < 256; ++a)
        for (int c = 0; c <= a; ++c)
            pairs.push_back(
                {std::uint8_t(c), std::uint8_t(a - c), std::uint8_t(c / 2), std::uint8_t(a)});
    const Picture picture =
        test::MakePicture(257, 128, [&](int x, int y) { return pairs[y * 257 + x]; });
    const Result<std::vector<unsigned char>> file = EncodePng(picture);
    ASSERT_TRUE(file.ok()) << file.error();
    EXPECT_EQ(file.value()[25], PNG_COLOR_TYPE_RGB_ALPHA);
    const Result<Picture> decoded = DecodePng(file.value());
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    EXPECT_EQ(test::BytesOf(decoded.value()), test::BytesOf(picture));
}

// The file's own samples, as a reader that knows nothing of premultiplying sees them.
std::vector<std::uint8_t> StraightSamples(const std::vector<unsigned char>& file) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> samples(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, samples.data(), 0, nullptr)) return {};
    return samples;
}

TEST(PngEncode, TheFileHoldsStraightAlphaAndOpaquePicturesDropTheirAlpha) {
    const Picture half = test::MakePicture(2, 1, [](int x, int) {
        return x == 0 ? Rgba{50, 100, 128, 128} : Rgba{0, 0, 0, 0};
    });
    const Result<std::vector<unsigned char>> halfFile = EncodePng(half);
    ASSERT_TRUE(halfFile.ok()) << halfFile.error();
    // 50 * 255 / 128 = 99.6 and 100 * 255 / 128 = 199.2, rounded.
    EXPECT_EQ(StraightSamples(halfFile.value()),
              (std::vector<std::uint8_t>{100, 199, 255, 128, 0, 0, 0, 0}));

    const Picture opaque = test::MakePicture(3, 2, [](int x, int y) {
        return Rgba{std::uint8_t(x * 80), std::uint8_t(y * 90), 7, 255};
    });
    const Result<std::vector<unsigned char>> file = EncodePng(opaque);
    ASSERT_TRUE(file.ok());
    EXPECT_EQ(file.value()[25], PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(test::BytesOf(DecodePng(file.value()).value()), test::BytesOf(opaque));
}

TEST(PngEncode, NothingToWriteOrShortMemoryFailsCleanly) {
    EXPECT_FALSE(EncodePng(Picture()).ok());
    const Picture half = test::MakePicture(2, 2, [](int, int) { return Rgba{1, 2, 3, 4}; });
    TiMemoryTestHook::FailAllocation(1);  // the row being un-premultiplied
    const Result<std::vector<unsigned char>> file = EncodePng(half);
    TiMemoryTestHook::Reset();
    EXPECT_FALSE(file.ok());
    EXPECT_NE(file.error().find("memory"), std::string::npos) << file.error();
}

}  // namespace
}  // namespace vantrel
