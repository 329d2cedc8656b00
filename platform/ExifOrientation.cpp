#include "platform/ExifOrientation.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vantrel {
namespace {

constexpr unsigned kOrientationTag = 0x0112;
constexpr unsigned kTypeShort = 3;
constexpr std::size_t kEntryBytes = 12;

// Reads 16- and 32-bit numbers in the TIFF block's byte order, refusing any
// read that would pass the block's end.
class TiffReader {
public:
    TiffReader(const unsigned char* data, std::size_t size, bool bigEndian)
        : m_data(data), m_size(size), m_bigEndian(bigEndian) {}

    bool U16(std::size_t offset, unsigned& value) const {
        if (offset > m_size || m_size - offset < 2) return false;
        const unsigned b0 = m_data[offset], b1 = m_data[offset + 1];
        value = m_bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0);
        return true;
    }

    bool U32(std::size_t offset, std::uint32_t& value) const {
        unsigned first = 0, second = 0;
        if (!U16(offset, first) || !U16(offset + 2, second)) return false;
        value = m_bigEndian ? (std::uint32_t{first} << 16 | second)
                            : (std::uint32_t{second} << 16 | first);
        return true;
    }

private:
    const unsigned char* m_data;
    std::size_t m_size;
    bool m_bigEndian;
};

// Where stored pixel (0, 0) of the upright picture's first row comes from,
// and how far (in stored pixels) one step right and one step down move in
// the stored picture.
struct Walk {
    std::ptrdiff_t origin;
    std::ptrdiff_t stepX;
    std::ptrdiff_t stepY;
};

Walk WalkFor(int orientation, std::ptrdiff_t w, std::ptrdiff_t h) {
    switch (orientation) {
        case 2:
            return {w - 1, -1, w};
        case 3:
            return {(h - 1) * w + w - 1, -1, -w};
        case 4:
            return {(h - 1) * w, 1, -w};
        case 5:
            return {0, w, 1};
        case 6:
            return {(h - 1) * w, -w, 1};
        case 7:
            return {(h - 1) * w + w - 1, -w, -1};
        case 8:
            return {w - 1, w, -1};
        default:
            return {0, 1, w};
    }
}

// Copies in square tiles so that the column walks of the turning
// orientations stay within a few cache lines of each source row.
void CopyWalked(const unsigned char* stored, const Walk& walk, int width, int height,
                unsigned char* upright) {
    constexpr int kTile = 64;
    for (int ty = 0; ty < height; ty += kTile) {
        const int yEnd = std::min(height, ty + kTile);
        for (int tx = 0; tx < width; tx += kTile) {
            const int xEnd = std::min(width, tx + kTile);
            for (int y = ty; y < yEnd; ++y) {
                std::ptrdiff_t source = walk.origin + y * walk.stepY + tx * walk.stepX;
                unsigned char* target = upright + (static_cast<std::size_t>(y) * width + tx) * 4;
                for (int x = tx; x < xEnd; ++x, source += walk.stepX, target += 4) {
                    std::memcpy(target, stored + source * 4, 4);
                }
            }
        }
    }
}

}  // namespace

int ExifOrientationFromTiff(const unsigned char* tiff, std::size_t size) {
    if (!tiff || size < 8) return 1;
    bool bigEndian = false;
    if (std::memcmp(tiff, "II*\0", 4) == 0) {
        bigEndian = false;
    } else if (std::memcmp(tiff, "MM\0*", 4) == 0) {
        bigEndian = true;
    } else {
        return 1;
    }
    const TiffReader reader(tiff, size, bigEndian);
    std::uint32_t ifd = 0;
    unsigned entries = 0;
    if (!reader.U32(4, ifd) || !reader.U16(ifd, entries)) return 1;
    for (unsigned i = 0; i < entries; ++i) {
        const std::size_t entry = std::size_t{ifd} + 2 + i * kEntryBytes;
        unsigned tag = 0, type = 0, value = 0;
        std::uint32_t count = 0;
        if (!reader.U16(entry, tag) || !reader.U16(entry + 2, type) ||
            !reader.U32(entry + 4, count) || !reader.U16(entry + 8, value)) {
            return 1;
        }
        if (tag != kOrientationTag) continue;
        if (type != kTypeShort || count != 1 || value < 1 || value > 8) return 1;
        return static_cast<int>(value);
    }
    return 1;
}

int ExifOrientationFromApp1(const unsigned char* payload, std::size_t size) {
    static const unsigned char kExif[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (!payload || size < sizeof kExif || std::memcmp(payload, kExif, sizeof kExif) != 0) {
        return 1;
    }
    return ExifOrientationFromTiff(payload + sizeof kExif, size - sizeof kExif);
}

bool OrientationSwapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

Picture UprightPicture(const Picture& stored, int orientation) {
    if (stored.empty() || orientation < 2 || orientation > 8) return stored;
    const bool swap = OrientationSwapsSides(orientation);
    const int width = swap ? stored.height() : stored.width();
    const int height = swap ? stored.width() : stored.height();
    PixelBuffer upright = PixelBuffer::Allocate(width, height);
    if (upright.empty()) return Picture();
    CopyWalked(stored.data(), WalkFor(orientation, stored.width(), stored.height()), width, height,
               upright.data());
    return upright.Finish();
}

}  // namespace vantrel
