// Grain: AddNoise adds uniform random noise, ReduceNoise takes the median of
// every 3 x 3 neighbourhood.
//
// Pixel contract: bytes 0, 1, 2 (R, G, B) change, byte 3 (alpha) never does.
// Both work in place on a bitmap or a view of it (rows stepped by the pitch).
//
// Random numbers: AddNoise draws from the C library's random(), which the
// program never seeds, so a fresh process gives the same grain every time and
// successive calls continue the sequence. It takes the draws of scan order
// (rows top to bottom, pixels left to right); row bands start their draws at
// their own place in that order (TiRandomDraws), so they run side by side and
// leave the generator where a serial scan would.
//
// Failure contract: AddNoise always returns 1. ReduceNoise asserts 3 or 4
// bytes per pixel and returns 0, bitmap unchanged, when its working rows
// can't be had.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// Noise width b = trunc(amount * 7.6); offsets (random() mod b) - b/2.
// bColor true: an independent offset for each of R, G, B (three draws per
// pixel); false: one draw, the same offset for all three (gray stays gray
// until clamping). Results are clamped to 0..255. b < 1 draws nothing and
// changes nothing. A 1-byte bitmap gets one draw per pixel in both modes.
int AddNoise(TiBitmapData& bitmap, int amount, bool bColor);

// Every colour byte becomes the median of the samples of its 3 x 3
// neighbourhood that lie inside the picture (rank n / 2 of n = 9, 6 or 4),
// all read from the unchanged picture. `mode` is carried; every mode gives
// the same median.
int ReduceNoise(TiBitmapData& bitmap, int mode);

}  // namespace vantrel
