// Gray, invert and complement colour: per-pixel colour operations with no
// parameters.
//
// Pixel contract: 3- or 4-byte bitmaps or views (bytes R, G, B, A), rows
// stepped by pitch; bytes 0..2 are rewritten, alpha is never read or written.
//
// Failure: each returns 1 when done; a 1-byte bitmap is refused (0,
// unchanged). An empty bitmap is done at once.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// Writes the display gray R·0.2126 + G·0.7152 + B·0.0722 (double, rounded
// half up, at most 255) to red, green and blue.
int ConvertToGray(TiBitmapData& bitmap);

// Every colour byte v becomes 255 - v.
int InvertColor(TiBitmapData& bitmap);

// Every colour byte v becomes max(R, G, B) + min(R, G, B) - v: the hue turns
// half way round while the pixel's own range stays the same.
int ComplementColor(TiBitmapData& bitmap);

}  // namespace vantrel
