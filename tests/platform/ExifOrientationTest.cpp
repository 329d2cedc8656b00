#include <gtest/gtest.h>

#include <map>

#include "Core/global/TiMemory.h"
#include "platform/ExifOrientation.h"
#include "platform/JpegCodec.h"
#include "support/TestPictures.h"

namespace vantrel {
namespace {

using test::Rgba;

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

}  // namespace
}  // namespace vantrel
