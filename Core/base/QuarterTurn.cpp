#include "Core/base/QuarterTurn.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <new>

#include "Core/global/ParallelRows.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

// Side of the square tiles an odd turn copies: the source column a tile's
// row walks down then stays in cache for the rows after it.
constexpr int kTile = 32;

// Destination pixel (x, y) comes from source byte origin + x * stepX + y * stepY.
struct TurnMap {
    std::ptrdiff_t origin;
    std::ptrdiff_t stepX;
    std::ptrdiff_t stepY;
};

TurnMap MapForTurns(const TiBitmapData& source, int turns) {
    const std::ptrdiff_t bpp = source.GetBpp();
    const std::ptrdiff_t pitch = source.GetPitch();
    const std::ptrdiff_t lastColumn = (source.GetWidth() - 1) * bpp;
    const std::ptrdiff_t lastRow = (source.GetHeight() - 1) * pitch;
    switch (turns) {
        case 1:
            return {lastColumn, pitch, -bpp};  // (x, y) <- (W-1-y, x)
        case 2:
            return {lastRow + lastColumn, -bpp, -pitch};  // (x, y) <- (W-1-x, H-1-y)
        case 3:
            return {lastRow, -pitch, bpp};  // (x, y) <- (y, H-1-x)
        default:
            return {0, bpp, pitch};
    }
}

template <int Bpp>
void CopyStrided(unsigned char* out, const unsigned char* in, std::ptrdiff_t step, int count) {
    for (int i = 0; i < count; ++i, out += Bpp, in += step) std::memcpy(out, in, Bpp);
}

struct TurnPass {
    const TiBitmapData& source;
    TiBitmapData& result;
    TurnMap map;
    int tileWidth;
    int tileHeight;
};

// Destination rows [rowBegin, rowEnd), tile column by tile column.
template <int Bpp>
void TurnRows(const TurnPass& pass, int rowBegin, int rowEnd) {
    constexpr int bpp = Bpp;
    const int width = pass.result.GetWidth();
    for (int x0 = 0; x0 < width; x0 += pass.tileWidth) {
        const int count = std::min(pass.tileWidth, width - x0);
        for (int y = rowBegin; y < rowEnd; ++y) {
            unsigned char* out = pass.result.GetData() +
                                 static_cast<std::ptrdiff_t>(y) * pass.result.GetPitch() +
                                 static_cast<std::ptrdiff_t>(x0) * bpp;
            const unsigned char* in =
                pass.source.GetData() + pass.map.origin + x0 * pass.map.stepX + y * pass.map.stepY;
            if (pass.map.stepX == bpp) {
                std::memcpy(out, in, static_cast<std::size_t>(count) * bpp);
            } else {
                CopyStrided<Bpp>(out, in, pass.map.stepX, count);
            }
        }
    }
}

template <int Bpp>
void RunTurnPass(const TurnPass& pass) {
    const int tiles = (pass.result.GetHeight() + pass.tileHeight - 1) / pass.tileHeight;
    const long tileWork = static_cast<long>(pass.result.GetWidth()) * pass.tileHeight;
    ParallelRows(tiles, tileWork, [&pass](int tileBegin, int tileEnd) {
        const int rowEnd = std::min(pass.result.GetHeight(), tileEnd * pass.tileHeight);
        TurnRows<Bpp>(pass, tileBegin * pass.tileHeight, rowEnd);
    });
}

}  // namespace

std::unique_ptr<TiBitmapData> RotateQuarterTurns(const TiBitmapData& source, int turns) {
    const int bpp = source.GetBpp();
    if (bpp != 1 && bpp != TiRGBBpp && bpp != TiRGBABpp) return nullptr;
    const int quarter = (turns % 4 + 4) % 4;
    const bool odd = quarter % 2 == 1;
    const int width = odd ? source.GetHeight() : source.GetWidth();
    const int height = odd ? source.GetWidth() : source.GetHeight();
    std::unique_ptr<TiBitmapData> result = NewPackedBitmap(width, height, bpp);
    if (!result || width <= 0 || height <= 0) return result;

    // Only an odd turn walks source columns; even turns copy whole rows.
    const int tileWidth = odd ? kTile : width;
    const TurnPass pass{source, *result, MapForTurns(source, quarter), tileWidth, odd ? kTile : 1};
    switch (bpp) {
        case 1:
            RunTurnPass<1>(pass);
            break;
        case TiRGBBpp:
            RunTurnPass<TiRGBBpp>(pass);
            break;
        default:
            RunTurnPass<TiRGBABpp>(pass);
            break;
    }
    return result;
}

}  // namespace vantrel
