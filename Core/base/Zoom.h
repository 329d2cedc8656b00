// Bilinear resampling of a bitmap to a new size.
//
// ImageZoom fills a destination from a source of 3 or 4 bytes per pixel (the
// destination has the source's bytes per pixel). Every channel, alpha
// included, is a bilinear mix of four source pixels in 32-bit float,
// truncated to a byte. Sample positions are clamped to width - 2 and
// height - 2, so the right and lower neighbours always exist and the source's
// last column and last row never contribute.
//
// A source one pixel wide (or high) has no second neighbour: its only column
// (row) serves as both, so every destination column (row) repeats it.
//
// Pixel contract: bytes R, G, B(, A); source and destination rows are stepped
// by their own m_pitch, so either may be a view; they must not overlap.
//
// Failure contract: preconditions throw TiAssertionError. ImageZoom returns 0
// with the destination unchanged when the source is empty or its work memory
// can't be had; CreateImageZoom returns null when its bitmap can't be made.
#pragma once

#include <memory>

#include "Core/global/BitmapData.h"

namespace vantrel {

// Fills `destination` over its own width and height, sampling `source` at
// steps of source width / widthZoom and source height / heightZoom.
// Requires a source of 3 or 4 bytes per pixel, widthZoom > 0, heightZoom > 0
// and a destination with the source's bytes per pixel. Returns 1, or 0 as above.
int ImageZoom(const TiBitmapData& source, TiBitmapData& destination, int widthZoom, int heightZoom);

// A new owning, packed bitmap of widthZoom x heightZoom with the source's
// bytes per pixel, filled by ImageZoom; null when it can't be made.
std::unique_ptr<TiBitmapData> CreateImageZoom(const TiBitmapData& source, int widthZoom,
                                              int heightZoom);

// The same at the size truncate(width * ratio) x truncate(height * ratio),
// each product in 32-bit float.
std::unique_ptr<TiBitmapData> CreateImageZoom(const TiBitmapData& source, float ratio);

}  // namespace vantrel
