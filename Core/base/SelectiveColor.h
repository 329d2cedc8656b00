// Selective colour: more or less cyan, magenta, yellow and black in nine
// colour families (reds, yellows, greens, cyans, blues, magentas by hue;
// whites, neutrals, blacks by tone).
//
// Each pixel is moved by the two hue families whose centres (every 60
// degrees from red) surround its hue, weighted by closeness, then by the
// whites or the blacks when it is light or dark enough, then by the neutrals.
// Cyan acts on red, magenta on green, yellow on blue; a positive amount adds
// the ink, that is, takes the light away. Black is folded into the three
// inks.
//
// Pixel contract: bitmaps of TiRGBBpp or TiRGBABpp bytes per pixel, views
// included; bytes 0..2 change, alpha never.
//
// Failure contract: returns 0 and changes nothing when its work memory (the
// hue and tone weight tables) can't be had or the bitmap has another format;
// otherwise 1.
#pragma once

#include "Core/global/BitmapData.h"
#include "Core/global/Records.h"

namespace vantrel {

// Applies `scaleSet` (each value -1..1; values that are not numbers count as
// 0, and every folded ink is held to -1..1). Returns 1 done, 0 not done.
int SelectiveColor(TiBitmapData& bitmap, ComplementScaleSet scaleSet);

}  // namespace vantrel
