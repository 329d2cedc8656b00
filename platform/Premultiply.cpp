#include "platform/Premultiply.h"

#include <mutex>

namespace vantrel {
namespace {

// table[a * 256 + c] for each alpha a and colour c.
struct AlphaTables {
    unsigned char premultiply[256 * 256];
    unsigned char unpremultiply[256 * 256];
};

const AlphaTables& Tables() {
    static AlphaTables tables;
    static std::once_flag built;
    std::call_once(built, [] {
        for (unsigned a = 0; a < 256; ++a) {
            for (unsigned c = 0; c < 256; ++c) {
                tables.premultiply[a * 256 + c] = MultiplyBytes(c, a);
                // Nearest of c * 255 / a: (2 * c * 255 + a) / (2 * a).
                const unsigned straight = a == 0 ? 0 : (c * 510 + a) / (2 * a);
                tables.unpremultiply[a * 256 + c] =
                    static_cast<unsigned char>(straight > 255 ? 255 : straight);
            }
        }
    });
    return tables;
}

void MapColours(const unsigned char* table, const unsigned char* source, unsigned char* target,
                std::size_t pixels) {
    for (std::size_t i = 0; i < pixels; ++i, source += 4, target += 4) {
        const unsigned a = source[3];
        const unsigned char* row = table + a * 256;
        target[0] = row[source[0]];
        target[1] = row[source[1]];
        target[2] = row[source[2]];
        target[3] = static_cast<unsigned char>(a);
    }
}

}  // namespace

void PremultiplyPixels(unsigned char* rgba, std::size_t pixels) {
    MapColours(Tables().premultiply, rgba, rgba, pixels);
}

void UnpremultiplyPixels(const unsigned char* source, unsigned char* target, std::size_t pixels) {
    MapColours(Tables().unpremultiply, source, target, pixels);
}

bool IsOpaque(const unsigned char* rgba, std::size_t pixels) {
    unsigned char all = 255;
    for (std::size_t i = 0; i < pixels; ++i) all &= rgba[i * 4 + 3];
    return all == 255;
}

}  // namespace vantrel
