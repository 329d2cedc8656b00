// Sketch: a pencil drawing. The picture turns gray and is colour-dodged with
// an inverted, blurred copy of itself, so flat areas go white and edges stay
// dark; input levels 150..255 then deepen the strokes.
//
// Pixel contract: 3- or 4-byte pixels; R, G, B are rewritten, alpha stays.
// Works in place on a bitmap or a view.
//
// Failure contract: returns 0, picture unchanged, for 1-byte pixels (no
// colour to draw from) and when the copy, its blur or the blend table can't
// be had; else 1.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// radius: the tent blur's radius over the inverted copy, in pixels of this
// bitmap (1 or less: no blur).
int Sketch(TiBitmapData& bitmap, int radius);

}  // namespace vantrel
