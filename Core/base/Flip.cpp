#include "Core/base/Flip.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "Core/global/ParallelRows.h"

namespace vantrel {
namespace {

// Pixels of the common sizes move as one fixed-size copy; other sizes
// (Bpp 0) byte by byte.
template <int Bpp>
void SwapPixels(unsigned char* a, unsigned char* b, int bpp) {
    if constexpr (Bpp > 0) {
        unsigned char held[Bpp];
        std::memcpy(held, a, Bpp);
        std::memcpy(a, b, Bpp);
        std::memcpy(b, held, Bpp);
    } else {
        std::swap_ranges(a, a + bpp, b);
    }
}

// Swaps pixel x of `a` with pixel count - 1 - x of `b` for x < count. The
// two runs never overlap (two rows, or a row's two halves), which lets the
// compiler move several pixels at a time.
template <int Bpp>
void SwapMirrored(unsigned char* __restrict__ a, unsigned char* __restrict__ b, int count,
                  int bpp) {
    unsigned char* q = b + static_cast<std::ptrdiff_t>(count - 1) * bpp;
    for (int x = 0; x < count; ++x, a += bpp, q -= bpp) SwapPixels<Bpp>(a, q, bpp);
}

// Mirrors one row in place: its left half with its right half.
template <int Bpp>
void MirrorRow(unsigned char* row, int width, int bpp) {
    const int half = width / 2;
    SwapMirrored<Bpp>(row, row + static_cast<std::ptrdiff_t>(width - half) * bpp, half, bpp);
}

template <int Bpp>
void FlipPass(TiBitmapData& bitmap, bool horizontal, bool vertical) {
    const int width = bitmap.GetWidth();
    const int height = bitmap.GetHeight();
    const int bpp = Bpp > 0 ? Bpp : bitmap.GetBpp();
    const std::ptrdiff_t rowBytes = static_cast<std::ptrdiff_t>(width) * bpp;
    auto row = [&bitmap](int y) {
        return bitmap.GetData() + static_cast<std::ptrdiff_t>(y) * bitmap.GetPitch();
    };
    if (!vertical) {
        ParallelRows(height, width, [&](int rowBegin, int rowEnd) {
            for (int y = rowBegin; y < rowEnd; ++y) {
                MirrorRow<Bpp>(row(y), width, bpp);
            }
        });
        return;
    }
    // Rows y and height - 1 - y trade places, mirrored on the way when both
    // flips are asked; each pair is independent of the others.
    const int pairs = height / 2;
    ParallelRows(pairs, width, [&](int rowBegin, int rowEnd) {
        for (int y = rowBegin; y < rowEnd; ++y) {
            unsigned char* upper = row(y);
            unsigned char* lower = row(height - 1 - y);
            if (horizontal) {
                SwapMirrored<Bpp>(upper, lower, width, bpp);
            } else {
                std::swap_ranges(upper, upper + rowBytes, lower);
            }
        }
    });
    if (horizontal && height % 2 == 1) {
        MirrorRow<Bpp>(row(pairs), width, bpp);
    }
}

}  // namespace

int FlipBitmap(TiBitmapData& bitmap, bool horizontal, bool vertical) {
    if (!(horizontal || vertical) || bitmap.GetWidth() <= 0 || bitmap.GetHeight() <= 0 ||
        bitmap.GetBpp() <= 0) {
        return 1;
    }
    switch (bitmap.GetBpp()) {
        case 1:
            FlipPass<1>(bitmap, horizontal, vertical);
            break;
        case TiRGBBpp:
            FlipPass<TiRGBBpp>(bitmap, horizontal, vertical);
            break;
        case TiRGBABpp:
            FlipPass<TiRGBABpp>(bitmap, horizontal, vertical);
            break;
        default:
            FlipPass<0>(bitmap, horizontal, vertical);
            break;
    }
    return 1;
}

}  // namespace vantrel
