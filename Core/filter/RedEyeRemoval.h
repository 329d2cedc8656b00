// RedEyeRemoval: lowers the red of strongly red pixels to the level of green
// and blue. It has no eye detection: it acts on the whole bitmap it gets, so
// callers hand it a view of the region around the eyes.
//
// Pixel contract: bytes R, G, B of 3- or 4-byte pixels; only byte 0 (red)
// is ever written. A 1-byte bitmap has no red to lower and stays unchanged.
//
// Failure contract: always returns 1; no working memory.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// threshold 0..100 (the panel's range; any value is safe): margin
// m = 100 - 2 * threshold. With r = trunc(R * 0.5133333) and
// b = trunc(B * 0.1933333), a pixel with r >= G + m and r >= b + m gets
// R = trunc((G + b) / 1.0266666) clamped to 0..255. 50 gives m = 0; lower
// thresholds change fewer pixels, higher ones more.
int RedEyeRemoval(TiBitmapData& bitmap, int threshold);

}  // namespace vantrel
