// Normal (alpha) blending of a layer onto a bitmap.
//
// Pixel contract: the layer is RGBA, 4 bytes per pixel, rows packed; its alpha
// byte weighs it against the background. Only bytes 0..2 of the bitmap are
// written; its alpha is untouched. The bitmap has 3 or 4 bytes per pixel and
// is stepped by m_pitch, so views work.
//
// Failure contract: preconditions (non-null pixels, the layer inside the
// bitmap) throw TiAssertionError; BlendLayerMask returns 0, with the bitmap
// unchanged, for a bitmap of 1 byte per pixel, otherwise 1.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// Normal blend of one pixel: the foreground's alpha times the opacity
// (0..255, rounded /255) weighs the foreground, 255 - opacity the background;
// bytes 0..2 of dstColor become the weighted mean. When both weights are 0 (a
// fully transparent foreground at opacity 255) the background is kept.
// dstColor may be bgColor. Its alpha byte is never written. Opacities outside
// 0..255 are clamped into it.
void Blend(const unsigned char* bgColor, const unsigned char* fgColor, unsigned char* dstColor,
           int opacity);

// Lays `mask`, an RGBA layer of maskWidth x maskHeight pixels (rows packed),
// onto `bitmap` with its top-left corner at (maskX, maskY): every covered
// bitmap pixel becomes Blend(itself, the layer pixel, itself, opacity).
int BlendLayerMask(TiBitmapData& bitmap, const unsigned char* mask, int maskX, int maskY,
                   int maskWidth, int maskHeight, int opacity);

}  // namespace vantrel
