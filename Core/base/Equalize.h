// Histogram equalization over the channel average.
//
// Pixel contract: 3- or 4-byte bitmaps or views (bytes R, G, B, A), rows
// stepped by pitch; red, green and blue go through one 256-entry table built
// from the histogram of (R + G + B) / 3; alpha is never read or written.
//
// Failure: 1 when done; a 1-byte bitmap is refused (0, unchanged).
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// mode 0: equalize, then stretch the result so that its lowest output becomes
// 0 (an image whose averages are all 0 turns black). Any other mode (1 in the
// panel): the classic equalization only.
int Equalize(TiBitmapData& bitmap, int mode);

}  // namespace vantrel
