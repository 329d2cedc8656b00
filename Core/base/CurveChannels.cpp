// AdjustCurveChannels: the pass every table-driven colour operation ends in.
#include <bit>
#include <cstdint>
#include <cstring>

#include "Core/base/Curve.h"
#include "Core/global/PixelPass.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

// Below this many pixels building the pair tables costs more than it saves.
constexpr std::int64_t kPairTablesMinimumPixels = std::int64_t{1} << 16;

// Neighbouring bytes mapped two at a time: red and green through one table,
// blue and alpha through the other (alpha kept as it is). Each is indexed by
// the two bytes read as one 16-bit value, so a 4-byte pixel costs two lookups
// instead of three.
struct PairTables {
    std::uint16_t redGreen[65536];
    std::uint16_t blueAlpha[65536];
};

std::uint16_t PackBytes(unsigned char first, unsigned char second) {
    const unsigned char bytes[2] = {first, second};
    std::uint16_t packed;
    std::memcpy(&packed, bytes, 2);
    return packed;
}

void BuildPairTables(const unsigned char* red, const unsigned char* green,
                     const unsigned char* blue, PairTables& tables) {
    for (int first = 0; first < 256; ++first) {
        for (int second = 0; second < 256; ++second) {
            const auto a = static_cast<unsigned char>(first);
            const auto b = static_cast<unsigned char>(second);
            const std::uint16_t index = PackBytes(a, b);
            tables.redGreen[index] = PackBytes(red[a], green[b]);
            tables.blueAlpha[index] = PackBytes(blue[a], b);
        }
    }
}

void MapByPairs(const TiBitmapData& bitmap, const PairTables& tables, const unsigned char* blue) {
    const std::uint16_t* redGreen = tables.redGreen;
    const std::uint16_t* blueAlpha = tables.blueAlpha;
    if (bitmap.GetBpp() == TiRGBABpp && std::endian::native == std::endian::little) {
        ForEachColorPixel(bitmap, [redGreen, blueAlpha](unsigned char* pixel) {
            std::uint32_t word;
            std::memcpy(&word, pixel, 4);
            word = redGreen[word & 0xFFFFu] | static_cast<std::uint32_t>(blueAlpha[word >> 16])
                                                  << 16;
            std::memcpy(pixel, &word, 4);
        });
        return;
    }
    ForEachColorPixel(bitmap, [redGreen, blue](unsigned char* pixel) {
        std::uint16_t pair;
        std::memcpy(&pair, pixel, 2);
        pair = redGreen[pair];
        const unsigned char b = blue[pixel[2]];
        std::memcpy(pixel, &pair, 2);
        pixel[2] = b;
    });
}

void MapByBytes(const TiBitmapData& bitmap, const unsigned char* red, const unsigned char* green,
                const unsigned char* blue) {
    ForEachColorPixel(bitmap, [red, green, blue](unsigned char* pixel) {
        // All three reads before the writes: the compiler need not assume a
        // store into the pixel changed a table.
        const unsigned char r = red[pixel[0]];
        const unsigned char g = green[pixel[1]];
        const unsigned char b = blue[pixel[2]];
        pixel[0] = r;
        pixel[1] = g;
        pixel[2] = b;
    });
}

}  // namespace

void AdjustCurveChannels(TiBitmapData& bitmap, const unsigned char* red, const unsigned char* green,
                         const unsigned char* blue) {
    if (!IsColorBitmap(bitmap)) return;
    if (PixelCount(bitmap) >= kPairTablesMinimumPixels) {
        // The pair tables only speed the pass up; without memory for them
        // the byte tables do the same work.
        const TiBuffer<PairTables> tables(1);
        if (tables) {
            BuildPairTables(red, green, blue, tables[0]);
            MapByPairs(bitmap, tables[0], blue);
            return;
        }
    }
    MapByBytes(bitmap, red, green, blue);
}

}  // namespace vantrel
