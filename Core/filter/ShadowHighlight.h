// ShadowHighlight: lifts dark areas and, on request, tones down bright ones,
// in the hue / saturation / value space.
//
// Both sides read one weight curve, a Catmull-Rom spline through (0, 100),
// (20, 75), (40, 50), (57.5, 25), (75, 0) sampled into 100 entries: full at
// 0 %, nothing from 75 % on.
//
// Shadows: w = curve[trunc(V * 99)] / 100 * shadows, V the pixel's value
// (its largest channel / 255); saturation * (1 - 0.4 w); value / (1 - 0.75 w)
// in double, at most 1. A pixel whose largest channel is 194 or more gets
// w = 0, black stays black.
//
// Highlights, the mirror image read from the top: w' = curve[trunc((1 - V) *
// 99)] / 100 * highlights, with V the value before the shadow step; the
// distance from white, 1 - value, is divided by (1 - 0.75 w') the same way
// (in double, at most 1), pulling bright pixels down. Saturation is left as
// it is: darkening already lowers the colour's strength (value times
// saturation), where lifting shadows raised it. White stays white; a pixel
// whose largest channel is 61 or less gets w' = 0. With highlights 0 the
// step is skipped, so the shadow side alone decides the output.
//
// Every pixel goes through RGB -> HSV -> RGB, hue in whole degrees and
// channels truncated, so a channel can come out one lower even where both
// weights are 0.
//
// Pixel contract: 3- or 4-byte pixels; bytes 0..2 (R, G, B) are rewritten,
// alpha never is. Works in place on a bitmap or a view.
//
// Failure contract: 0, picture unchanged, when shadows or highlights lies
// outside 0..1 (or is NaN), for 1-byte pixels, and when the curve's memory
// can't be had; else 1.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// shadows, highlights: strengths 0..1.
int ShadowHighlight(TiBitmapData& bitmap, float shadows, float highlights);

}  // namespace vantrel
