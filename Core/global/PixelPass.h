// Passes over every pixel of a bitmap or view, rows stepped by m_pitch and
// split into bands on the machine's threads (ParallelRows).
//
// ForEachColorRowBand is the one split of a 3- or 4-byte bitmap's rows into
// bands, each handed to its body with the pixel size as a compile-time
// constant; the pixel loops below and the colour passes of Core/base are
// built on it.
//
// Only for bodies that touch nothing but the pixel they are handed, so that
// the result is bit-identical to a serial scan. Reductions give each band its
// own partial result and merge the partials one at a time; use them only
// where merging is exact (integer counts and sums).
//
// A bitmap with a width or height of 0 or less has no pixels: the body is
// never called.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <type_traits>

#include "Core/global/BitmapData.h"
#include "Core/global/ParallelRows.h"

namespace vantrel {

// Number of pixels, 0 for a bitmap with no rows or no columns.
inline std::int64_t PixelCount(const TiBitmapData& bitmap) {
    if (bitmap.GetWidth() <= 0 || bitmap.GetHeight() <= 0) return 0;
    return static_cast<std::int64_t>(bitmap.GetWidth()) * bitmap.GetHeight();
}

// True for the formats the colour operations accept: 3 or 4 bytes per pixel.
inline bool IsColorBitmap(const TiBitmapData& bitmap) {
    return bitmap.GetBpp() == TiRGBBpp || bitmap.GetBpp() == TiRGBABpp;
}

// Splits the rows of a 3- or 4-byte bitmap into bands and calls
// rows(bpp, rowBegin, rowEnd) for each, `bpp` a std::integral_constant of
// TiRGBBpp or TiRGBABpp; nothing for a bitmap without pixels. rowWork is the
// rough cost of one row (ParallelRows), by default its pixel count.
template <typename Rows>
void ForEachColorRowBand(const TiBitmapData& bitmap, const Rows& rows, long rowWork = 0) {
    if (PixelCount(bitmap) == 0) return;
    const bool fourBytes = bitmap.GetBpp() == TiRGBABpp;
    ParallelRows(bitmap.GetHeight(), rowWork > 0 ? rowWork : bitmap.GetWidth(),
                 [&](int rowBegin, int rowEnd) {
                     if (fourBytes) {
                         rows(std::integral_constant<int, TiRGBABpp>{}, rowBegin, rowEnd);
                     } else {
                         rows(std::integral_constant<int, TiRGBBpp>{}, rowBegin, rowEnd);
                     }
                 });
}

// Calls body(pixel) for the pixels of rows [rowBegin, rowEnd).
template <int Bpp, typename Body>
void ForEachPixelInRows(const TiBitmapData& bitmap, int rowBegin, int rowEnd, const Body& body) {
    const std::ptrdiff_t pitch = bitmap.GetPitch();
    const int width = bitmap.GetWidth();
    unsigned char* row = bitmap.GetData() + rowBegin * pitch;
    for (int y = rowBegin; y < rowEnd; ++y, row += pitch) {
        unsigned char* pixel = row;
        for (int x = 0; x < width; ++x, pixel += Bpp) body(pixel);
    }
}

// Calls body(pixel) once for every pixel of a 3- or 4-byte bitmap; pixel
// points at its red byte. Other formats are the caller's to refuse.
template <typename Body>
void ForEachColorPixel(const TiBitmapData& bitmap, const Body& body) {
    ForEachColorRowBand(bitmap, [&](auto bpp, int rowBegin, int rowEnd) {
        ForEachPixelInRows<decltype(bpp)::value>(bitmap, rowBegin, rowEnd, body);
    });
}

// A reduction over every pixel of a 3- or 4-byte bitmap: each band starts
// from a value-initialised Partial, calls add(partial, pixel) for its pixels,
// and hands the partial to merge(total, partial) under a lock.
template <typename Partial, typename Total, typename Add, typename Merge>
void ReduceColorPixels(const TiBitmapData& bitmap, Total& total, const Add& add,
                       const Merge& merge) {
    std::mutex lock;
    ForEachColorRowBand(bitmap, [&](auto bpp, int rowBegin, int rowEnd) {
        Partial partial{};
        auto body = [&partial, &add](const unsigned char* pixel) { add(partial, pixel); };
        ForEachPixelInRows<decltype(bpp)::value>(bitmap, rowBegin, rowEnd, body);
        std::lock_guard<std::mutex> guard(lock);
        merge(total, partial);
    });
}

}  // namespace vantrel
