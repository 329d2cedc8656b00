// Diffuse: scatters pixels at random, each pixel taking the colour of a
// random neighbour.
//
// Random numbers: four draws of the C library's random() per pixel, in scan
// order (rows top to bottom, pixels left to right), never seeded by the
// program: a fresh process gives the same picture every time, and
// successive calls continue the sequence. Row bands start their draws at
// their own place in that order (TiRandomDraws), so they run side by side
// and leave the generator where a serial scan would.
//
// Pixel contract: colour bytes only (bytes 0..2 of 4-byte pixels, every
// byte of 3- and 1-byte pixels); alpha stays. Works in place on a bitmap or
// a view; the sources are read from an unchanged copy.
//
// Failure contract: radius < 1 leaves the picture unchanged and returns 1;
// otherwise 0, picture unchanged, when the copy can't be had, else 1.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// For every pixel (x, y) draws p, q, s, t in that order;
// dx = (p mod radius) + spacing, negated when s is odd; dy likewise from q
// and t. When 1 <= x + dx < width and 1 <= y + dy < height the pixel takes
// the colour at (x + dx, y + dy) of the unchanged picture; otherwise it keeps
// its own (column 0 and row 0 are never sources).
int Diffuse(TiBitmapData& bitmap, int spacing, int radius);

}  // namespace vantrel
