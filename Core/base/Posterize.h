// Posterize and threshold: colour bytes reduced to a few levels.
//
// Pixel contract: 3- or 4-byte bitmaps or views (bytes R, G, B, A), rows
// stepped by pitch; bytes 0..2 are rewritten, alpha is never read or written.
//
// Failure: 0 (bitmap unchanged) for a 1-byte bitmap and for posterize levels
// below 2; otherwise 1.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// Each colour byte falls into one of `levels` equal bands of 0..255, and each
// band maps to an evenly spaced output from 0 to 255. Fewer than 2 levels is
// refused.
int Posterize(TiBitmapData& bitmap, int levels);

// Pixels whose integer luma (306·R + 601·G + 117·B + 512) >> 10 is below
// `level` become black, the others white. Any level is accepted: 0 or less
// makes everything white, above 255 everything black.
int Threshold(TiBitmapData& bitmap, int level);

}  // namespace vantrel
