// RadialBlur: a zoom blur toward the picture's centre.
//
// Every pixel is averaged with 8, 12 or 18 samples taken along the line
// through it and the centre (width / 2, height / 2), at offsets that grow
// with its distance from the centre, so the picture seems to rush toward the
// middle. Samples falling outside take the nearest edge pixel.
//
// The pass runs in scan order (rows top to bottom, pixels left to right) and
// its samples read the picture as it is being rewritten: rows above and
// pixels to the left already hold their results. That makes it serial on
// purpose. The pixel's own contribution is always its original value (it is
// still unwritten when read), and the centre pixel keeps its value.
//
// Pixel contract: 3- or 4-byte pixels; bytes 0..2 (R, G, B) are rewritten,
// alpha never is. Works in place on a bitmap or a view (rows stepped by the
// pitch). Its work memory is the band of rows the samples can reach, eight
// bytes a pixel (every row when the reach can't be bounded).
//
// Failure contract: 1-byte bitmaps fail the precondition (TiAssertionError).
// Returns 0, bitmap unchanged, for a quality other than 1, 2 or 3 and when
// the work memory can't be had; else 1.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// quality picks the samples: 1 (8), 2 (12) or 3 (18), at fractions t of up
// to +-0.09 of the sampling distance. A sample lies t * amount * 4 * d *
// scale / width pixels from the pixel along its line, d being the pixel's
// distance from the centre: amount and scale both stretch the blur. Wild
// values (scale 0 or NaN, huge or negative amounts) sample somewhere inside
// the picture, never outside it.
int RadialBlur(TiBitmapData& bitmap, int amount, float scale, int quality);

}  // namespace vantrel
