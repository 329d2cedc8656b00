// Sharpen and glow: two filters that lay a tent-blurred copy of the picture
// against the picture itself.
//
// Unsharp pushes every colour byte away from its blurred value, through a
// 256 x 256 table of (byte, blurred byte) built once per call; differences
// smaller than the threshold are left alone. SoftGlow brightens and
// contrasts a copy, blurs it and lays it over the picture in soft-light mode.
//
// Pixel contract: 3- or 4-byte pixels; bytes 0..2 (R, G, B) are rewritten,
// alpha never is. Works in place on a bitmap or a view (rows stepped by the
// pitch); the working copy is packed.
//
// Failure contract: Unsharp asserts its arguments (TiAssertionError); both
// return 0, bitmap unchanged, when the working copy, the blur's line buffers
// or their table can't be had, and SoftGlow also for a 1-byte bitmap.
// Otherwise 1.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// amount: percent (0 or more) of the difference from the blurred value that
// is added; radius: the tent blur's radius in pixels (0 or more; 0 and 1 blur
// nothing, so nothing changes); threshold: 0 or more, differences of smaller
// magnitude keep the byte (256 and more change nothing).
int Unsharp(TiBitmapData& bitmap, int amount, int radius, int threshold);

// radius: the tent blur's radius in pixels; brightness and sharpness: -1..1,
// the brightness and contrast given to the copy before it is blurred (values
// outside leave the copy as it is and the glow goes on).
int SoftGlow(TiBitmapData& bitmap, int radius, float brightness, float sharpness);

}  // namespace vantrel
