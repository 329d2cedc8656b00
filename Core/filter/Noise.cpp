#include "Core/filter/Noise.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "Core/global/Numeric.h"
#include "Core/global/ParallelRows.h"
#include "Core/global/RandomDraws.h"
#include "Core/global/TargetClones.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/filter/Noise";

// ---- AddNoise -------------------------------------------------------------

// Pixels are taken a piece of a row at a time: their draws first, then the
// offsets (draw mod width) - width / 2, then the pixels.
constexpr int kGrainPiece = 256;

struct Grain {
    TiModulus width;
    int half;
};

// In place: each draw becomes its remainder (the offset plus half). A loop
// of its own, without byte stores, so that it runs in vector lanes.
TI_TARGET_CLONES void Remainders(const TiModulus& modulus, std::uint32_t* values, int count) {
    const TiModulus local = modulus;
    for (int i = 0; i < count; ++i) values[i] = local.Of(values[i]);
}

// Rows [rowBegin, rowEnd), drawing from a stream that starts at the first
// pixel of rowBegin: Draws offsets per pixel, one for each of Channels
// colour bytes (Draws == Channels) or one for them all (Draws == 1).
template <int Bpp, int Channels, int Draws>
void AddGrainRows(TiBitmapData& bitmap, int rowBegin, int rowEnd, const Grain& grain,
                  TiRandomStream& draws) {
    const int width = bitmap.GetWidth();
    const int half = grain.half;
    std::uint32_t remainders[kGrainPiece * Draws];
    for (int y = rowBegin; y < rowEnd; ++y) {
        std::uint8_t* p = bitmap.GetData() + static_cast<std::ptrdiff_t>(y) * bitmap.GetPitch();
        for (int x = 0; x < width; x += kGrainPiece) {
            const int pixels = std::min(kGrainPiece, width - x);
            draws.Fill(remainders, pixels * Draws);
            Remainders(grain.width, remainders, pixels * Draws);
            const std::uint32_t* r = remainders;
            for (int i = 0; i < pixels; ++i, p += Bpp, r += Draws) {
                for (int c = 0; c < Channels; ++c) {
                    const int offset = static_cast<int>(r[Draws == 1 ? 0 : c]) - half;
                    p[c] = TiClampByte(p[c] + offset);
                }
            }
        }
    }
}

void AddGrainRows(TiBitmapData& bitmap, int rowBegin, int rowEnd, const Grain& grain, bool colour,
                  TiRandomStream& draws) {
    switch (bitmap.GetBpp()) {
        case TiRGBABpp:
            return colour ? AddGrainRows<4, 3, 3>(bitmap, rowBegin, rowEnd, grain, draws)
                          : AddGrainRows<4, 3, 1>(bitmap, rowBegin, rowEnd, grain, draws);
        case TiRGBBpp:
            return colour ? AddGrainRows<3, 3, 3>(bitmap, rowBegin, rowEnd, grain, draws)
                          : AddGrainRows<3, 3, 1>(bitmap, rowBegin, rowEnd, grain, draws);
        default:  // gray: one draw per pixel either way
            return AddGrainRows<1, 1, 1>(bitmap, rowBegin, rowEnd, grain, draws);
    }
}

// The draws follow scan order; each band starts its own stream at the index
// of its first pixel's first draw, so the bands give the serial result.
void AddGrain(TiBitmapData& bitmap, int width, bool colour) {
    const int perPixel = colour && bitmap.GetBpp() != 1 ? 3 : 1;
    const std::int64_t perRow = static_cast<std::int64_t>(bitmap.GetWidth()) * perPixel;
    const Grain grain{TiModulus(static_cast<std::uint32_t>(width)), width / 2};
    const TiRandomDraws draws(perRow * bitmap.GetHeight());
    const auto band = [&](int rowBegin, int rowEnd) {
        TiRandomStream stream = draws.StreamAt(perRow * rowBegin);
        AddGrainRows(bitmap, rowBegin, rowEnd, grain, perPixel == 3, stream);
    };
    if (draws.Parallel()) {
        ParallelRows(bitmap.GetHeight(), perRow, band);
    } else {
        band(0, bitmap.GetHeight());
    }
}

// ---- ReduceNoise ----------------------------------------------------------

// The sample of rank n / 2 among n <= 9 samples.
std::uint8_t MiddleRank(std::uint8_t* s, int n) {
    for (int i = 1; i < n; ++i) {
        const std::uint8_t v = s[i];
        int j = i;
        for (; j > 0 && s[j - 1] > v; --j) s[j] = s[j - 1];
        s[j] = v;
    }
    return s[n / 2];
}

// One pixel from whichever of its neighbours lie inside the picture; above
// and below are null on the picture's top and bottom rows.
template <int Bpp>
void MedianAtEdge(const std::uint8_t* above, const std::uint8_t* row, const std::uint8_t* below,
                  int x, int width, std::uint8_t* out) {
    const bool left = x > 0;
    const bool right = x < width - 1;
    for (int c = 0; c < 3; ++c) {
        std::uint8_t s[9];
        int n = 0;
        for (const std::uint8_t* line : {above, below}) {
            if (!line) continue;
            if (left) s[n++] = line[(x - 1) * Bpp + c];
            if (right) s[n++] = line[(x + 1) * Bpp + c];
            s[n++] = line[x * Bpp + c];
        }
        if (left) s[n++] = row[(x - 1) * Bpp + c];
        if (right) s[n++] = row[(x + 1) * Bpp + c];
        s[n++] = row[x * Bpp + c];
        out[x * Bpp + c] = MiddleRank(s, n);
    }
}

// Working rows of one band of rows.
struct BandRows {
    int begin;
    int end;
    std::uint8_t* above;  // the original row begin - 1
    std::uint8_t* below;  // the original row end
    std::uint8_t* previous;
    std::uint8_t* current;
    std::uint8_t* low;
    std::uint8_t* middle;
    std::uint8_t* high;
};

// Sorts every column of three bytes (the working rows never overlap the
// picture rows, hence restrict).
void SortColumns(const std::uint8_t* __restrict above, const std::uint8_t* __restrict row,
                 const std::uint8_t* __restrict below, int bytes, std::uint8_t* __restrict lo,
                 std::uint8_t* __restrict mid, std::uint8_t* __restrict hi) {
    for (int i = 0; i < bytes; ++i) {
        const std::uint8_t a = above[i], b = row[i], c = below[i];
        const std::uint8_t ab = std::min(a, b), ba = std::max(a, b);
        lo[i] = std::min(ab, c);
        hi[i] = std::max(ba, c);
        mid[i] = std::max(ab, std::min(ba, c));
    }
}

// Interior pixels of a row with neighbours above and below. Each column of
// three is sorted once; the median of nine is then the median of the largest
// low, the middle middle and the smallest high of three neighbouring columns.
// Alpha bytes (0xFF in keep) are copied from the row unchanged.
template <int Bpp>
void MedianInterior(const std::uint8_t* above, const std::uint8_t* row, const std::uint8_t* below,
                    int width, const BandRows& band, const std::uint8_t* keep, std::uint8_t* out) {
    const int bytes = width * Bpp;
    const std::uint8_t* lo = band.low;
    const std::uint8_t* mid = band.middle;
    const std::uint8_t* hi = band.high;
    SortColumns(above, row, below, bytes, band.low, band.middle, band.high);
    for (int i = Bpp; i < bytes - Bpp; ++i) {
        const std::uint8_t l = std::max(std::max(lo[i - Bpp], lo[i]), lo[i + Bpp]);
        const std::uint8_t h = std::min(std::min(hi[i - Bpp], hi[i]), hi[i + Bpp]);
        const std::uint8_t m0 = mid[i - Bpp], m1 = mid[i], m2 = mid[i + Bpp];
        const std::uint8_t m = std::max(std::min(m0, m1), std::min(std::max(m0, m1), m2));
        const std::uint8_t median = std::max(std::min(l, m), std::min(std::max(l, m), h));
        out[i] = static_cast<std::uint8_t>((median & ~keep[i]) | (row[i] & keep[i]));
    }
}

template <int Bpp>
void MedianRow(const std::uint8_t* above, const std::uint8_t* row, const std::uint8_t* below,
               int width, const BandRows& band, const std::uint8_t* keep, std::uint8_t* out) {
    if (above && below && width >= 3) {
        MedianInterior<Bpp>(above, row, below, width, band, keep, out);
        MedianAtEdge<Bpp>(above, row, below, 0, width, out);
        MedianAtEdge<Bpp>(above, row, below, width - 1, width, out);
        return;
    }
    for (int x = 0; x < width; ++x) MedianAtEdge<Bpp>(above, row, below, x, width, out);
}

// Rows are written in place, so each band keeps the originals it still
// needs: the row above the one being written, and its own neighbours beyond
// both ends (saved before any band starts).
template <int Bpp>
void MedianBand(TiBitmapData& bitmap, BandRows band, const std::uint8_t* keep) {
    const int height = bitmap.GetHeight();
    const std::size_t bytes = static_cast<std::size_t>(bitmap.GetWidth()) * Bpp;
    const std::uint8_t* above = band.begin > 0 ? band.above : nullptr;
    for (int y = band.begin; y < band.end; ++y) {
        std::uint8_t* row = bitmap.GetData() + static_cast<std::ptrdiff_t>(y) * bitmap.GetPitch();
        std::memcpy(band.current, row, bytes);
        const std::uint8_t* below = y + 1 >= height    ? nullptr
                                    : y + 1 < band.end ? row + bitmap.GetPitch()
                                                       : band.below;
        MedianRow<Bpp>(above, band.current, below, bitmap.GetWidth(), band, keep, row);
        std::swap(band.previous, band.current);
        above = band.previous;
    }
}

// Cloned for AVX-512 and AVX2: byte minima and maxima, 64 or 32 at a time.
TI_TARGET_CLONES void RunMedianBand(TiBitmapData& bitmap, const BandRows& band,
                                    const std::uint8_t* keep) {
    if (bitmap.GetBpp() == TiRGBABpp)
        MedianBand<TiRGBABpp>(bitmap, band, keep);
    else
        MedianBand<TiRGBBpp>(bitmap, band, keep);
}

// Splits the rows into bands, each with seven working rows, and saves the
// originals each band reads beyond its ends.
BandRows MakeBand(const TiBitmapData& bitmap, int band, int bands, std::uint8_t* memory,
                  std::size_t rowBytes) {
    const int height = bitmap.GetHeight();
    std::uint8_t* rows = memory + rowBytes * 7 * band;
    const TiBand edges = TiBandOf(height, band, bands);
    BandRows b{edges.begin,         edges.end,           rows,
               rows + rowBytes,     rows + 2 * rowBytes, rows + 3 * rowBytes,
               rows + 4 * rowBytes, rows + 5 * rowBytes, rows + 6 * rowBytes};
    if (b.begin > 0) std::memcpy(b.above, bitmap.GetPixel(0, b.begin - 1), rowBytes);
    if (b.end < height) std::memcpy(b.below, bitmap.GetPixel(0, b.end), rowBytes);
    return b;
}

}  // namespace

int AddNoise(TiBitmapData& bitmap, int amount, bool bColor) {
    const int width = TiTrunc(amount * 7.6);
    if (width < 1) return 1;
    if (bitmap.GetWidth() <= 0 || bitmap.GetHeight() <= 0) return 1;
    AddGrain(bitmap, width, bColor);
    return 1;
}

int ReduceNoise(TiBitmapData& bitmap, int mode) {
    static_cast<void>(mode);  // every mode is the 3 x 3 median
    TI_ASSERT(bitmap.GetBpp() == TiRGBABpp || bitmap.GetBpp() == TiRGBBpp,
              "bitmap.GetBpp() == TiRGBABpp || bitmap.GetBpp() == TiRGBBpp", 146);
    const int width = bitmap.GetWidth();
    const int height = bitmap.GetHeight();
    if (width <= 0 || height <= 0) return 1;

    const int bands = TiBandCount(height, 64);
    const auto rowBytes = TiByteCount(width, bitmap.GetBpp());
    const TiBuffer<std::uint8_t> memory(rowBytes ? TiByteCount(*rowBytes, 7 * bands + 1)
                                                 : std::nullopt);
    if (!memory) return 0;

    std::uint8_t* keep = memory.get() + *rowBytes * 7 * bands;
    for (std::size_t i = 0; i < *rowBytes; ++i) {
        keep[i] = bitmap.GetBpp() == TiRGBABpp && i % 4 == 3 ? 0xFF : 0;
    }
    BandRows band[64];
    for (int b = 0; b < bands; ++b) band[b] = MakeBand(bitmap, b, bands, memory.get(), *rowBytes);
    ParallelRows(bands, static_cast<long>(width) * height / bands, [&](int first, int end) {
        for (int b = first; b < end; ++b) RunMedianBand(bitmap, band[b], keep);
    });
    return 1;
}

}  // namespace vantrel
