// Exposure: brightening or darkening weighted by each channel's histogram.
//
// Pixel contract: 3- or 4-byte bitmaps or views (bytes R, G, B, A), rows
// stepped by pitch; red, green and blue each go through a 256-entry table
// built from that channel's own histogram; alpha is never read or written.
//
// Failure: 1 when done; a 1-byte bitmap is refused (0, unchanged).
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// exposure above 0 lifts a value by (1 + share·exposure/5), share being the
// part of the image at or below it; below 0 scales it by
// share / (|exposure| + share), so rare dark values fall furthest. 0 and NaN
// leave the bitmap as it is.
int AdjustExposure(TiBitmapData& bitmap, float exposure);

}  // namespace vantrel
