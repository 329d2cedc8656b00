// GasBlur: the tent blur of the imaging core.
//
// A separable triangle filter: along a line, output x is
//   floor((floor(r*r/2) + sum_k (r - |k|) * e(x + k)) / (r*r)),  k = -(r-1) .. r-1,
// where e replicates the end samples beyond the line. Radius 1 is the
// identity, radius 2 is 1-2-1 over 4, radius 3 is 1-2-3-2-1 over 9. Rows are
// filtered first, then columns, the columns reading the bytes the rows wrote.
// Running sums make the cost per pixel independent of the radius.
//
// Pixel contract: 4 bytes per pixel filters bytes 0, 1, 2 and never writes
// alpha; 3 or 1 bytes per pixel filter every byte. Works in place on the
// bitmap or a view of it (rows stepped by the pitch).
//
// Failure contract: returns 0, bitmap unchanged, when the line buffers can't
// be had; otherwise 1. A radius of 1 or less skips its direction. Radii above
// 2^24 blur as 2^24 (far wider than any picture, and it keeps the sums in
// 64 bits).
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// radiusH along rows, radiusV along columns, in pixels of this bitmap.
int GasBlur(TiBitmapData& bitmap, int radiusH, int radiusV);

// The same radius in both directions.
int GasBlur(TiBitmapData& bitmap, int radius);

}  // namespace vantrel
