// Mirroring a bitmap in place.
//
// FlipBitmap mirrors left-right (horizontal), top-bottom (vertical) or both
// (which turns the picture by 180 degrees). Every byte of a pixel moves with
// it, alpha included.
//
// Pixel contract: any bytes per pixel (1, 3 or 4); rows are stepped by
// m_pitch, so a view mirrors its own region and nothing beside it.
//
// Failure contract: needs no work memory and always succeeds.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// Mirrors `bitmap` as asked; asking for neither leaves it unchanged. Returns 1.
int FlipBitmap(TiBitmapData& bitmap, bool horizontal, bool vertical);

}  // namespace vantrel
