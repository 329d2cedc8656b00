// DarkenCorner: the vignette of the lomo looks.
//
// An ellipse centred on the picture, with semi-axes brightRatio times half
// the width and half the height, stays untouched. Outside it a black layer is
// laid over the picture by the normal blend at the given opacity; the layer's
// alpha grows with the square of the normalised "sum of distances to the two
// foci", from 0 on the ellipse to 255 at the picture's corners.
//
// The layer is worked out for one quadrant (half width x half height, halves
// truncated) and mirrored into the four; with an odd width or height the
// last column or row is in no quadrant and stays as it is. A picture so small
// that the corner is no farther than the ellipse gets alpha 0 everywhere.
//
// Pixel contract: 3- or 4-byte pixels; bytes 0..2 (R, G, B) are darkened,
// alpha never changes. A pixel under alpha 0 keeps its value at every
// opacity. Works in place on a bitmap or a view.
//
// Failure contract: a brightRatio outside 0..1 (or NaN) fails its
// precondition (TiAssertionError). Returns 0, picture unchanged, for 1-byte
// pixels and when the work memory can't be had; else 1.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// brightRatio: 0..1, the untouched ellipse relative to the half sizes (0: no
// ellipse, 1: touching the middle of each edge); opacity: 0..255 (values
// outside are taken as the nearest end), the layer's strength.
int DarkenCorner(TiBitmapData& bitmap, double brightRatio, int opacity);

}  // namespace vantrel
