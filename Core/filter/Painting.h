// Painting: an oil-paint look. Every pixel takes the mean colour of the most
// common intensity level in the square window around it.
//
// Pixel contract: 3- or 4-byte pixels; R, G, B are rewritten, alpha stays.
// Works in place on a bitmap or a view; the window reads an unchanged copy.
//
// Failure contract: asserts radius >= 0 and smoothness in 1..256 (the
// per-level sums hold 256 levels); the assertions throw, so a bad command
// fails and the program goes on. Returns 0, picture unchanged, for 1-byte
// pixels (no colour to paint) and when its working copy (colours and levels) can't
// be had; else 1.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// radius: the window is the square of side 2 * radius + 1 centred on the
// pixel, clipped to the picture. smoothness: the number of intensity levels;
// a pixel's level is trunc(I * (smoothness / 256)) in float, with intensity
// I = (19661 R + 38666 G + 7209 B) >> 16. The winning level has the highest
// count in the window, the lowest level among equal counts; the pixel gets
// that level's mean R, G, B (integer division).
int Painting(TiBitmapData& bitmap, int radius, int smoothness);

}  // namespace vantrel
