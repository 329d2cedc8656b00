// Input levels with gamma, and automatic levels.
//
// Pixel contract: 3- or 4-byte bitmaps or views (bytes R, G, B, A), rows
// stepped by pitch; only colour bytes are rewritten, alpha never. Every pixel
// goes through 256-entry tables built once per call.
//
// Failure: a 0 result means nothing was changed. A 1-byte bitmap is refused.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// Maps inputs lo..hi onto 0..255 through the power 1/gamma (gamma 0 lifts
// every value in lo..hi - 1 to 255); below lo gives 0, hi and above 255.
// channel as for AdjustCurve: 0 = red, green and blue, 1..3 one of them.
// Refuses (0) hi <= lo, lo < 0, hi > 255 and a gamma outside 0..10 (NaN
// included). A channel outside 0..3 is AdjustCurve's precondition violation.
int AdjustLevels(TiBitmapData& bitmap, int lowInput, int highInput, double gamma, int channel);

// Stretches each of red, green and blue on its own so that about 0.6 % of
// the pixels end up at each end. A channel that is all 0 or all 255 keeps its
// values. Returns 0 when its work memory can't be had.
int AutoLevels(TiBitmapData& bitmap);

}  // namespace vantrel
