// Emboss: a relief from the difference of two bilinear samples placed either
// side of every pixel along the light's direction.
//
// Pixel contract: 4-byte pixels (R, G, B, A); R, G, B are rewritten, alpha
// stays, and pixels with alpha 0 are left alone. Works in place on a bitmap
// or a view; samples come from an unchanged copy.
//
// Failure contract: asserts 4 bytes per pixel; returns 0, picture unchanged,
// when the copy can't be had, else 1.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// degrees: the light's angle (the panel offers -180..180); highDegree: the
// relief's height in pixels; amount: its strength in percent (100 = 1.0).
// With theta = (degrees + 90) * 0.0174532924, the samples lie at
// (x, y) -/+ (sin theta, cos theta) * highDegree / 2, and each channel becomes
// (B - A) * amount / 100 + 128, clamped to 0..255 and truncated. Samples are
// float-weighted sums truncated to bytes, so on a flat picture a sample whose
// four float weights sum just below 1 loses one, and the pixel comes out at
// 128 +/- amount / 100 rather than 128.
int Emboss(TiBitmapData& bitmap, float degrees, int highDegree, int amount);

}  // namespace vantrel
