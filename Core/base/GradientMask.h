// Gradient rendering and the gradient-overlay operation.
//
// CreateGradientMask fills a bitmap from a palette along a direction
// (linear), around a centre (radial) or mirrored about the centre line
// (symmetry). GradientOverlay renders such a gradient at the photo's size and
// blends it onto the photo with a blend mode.
//
// Pixel contract: the renderer writes every pixel of a 1-, 3- or 4-byte
// bitmap: one-byte pixels get (R + G + B) / 3, others R, G, B and, with four
// bytes, alpha 255. Rows are stepped by m_pitch. GradientOverlay changes
// bytes 0..2 of a 3- or 4-byte bitmap (views work) and leaves alpha alone.
//
// Failure contract: preconditions (bytes per pixel, style 0..2, two palette
// stops, and those of BlendMode) throw TiAssertionError before any pixel is
// written. GradientOverlay returns 0, with the bitmap unchanged, when its
// gradient buffer or blend table can't be had or the bitmap has one byte per
// pixel; CreateGradientPresetBitmap
// returns null when its pixels can't be had. Wild angles, scales, centres and
// palettes give some gradient, never undefined behaviour.
#pragma once

#include <memory>

#include "Core/base/GradientPalette.h"
#include "Core/global/BitmapData.h"
#include "Core/global/Records.h"

namespace vantrel {

enum GradientStyle : int { kGradientLinear = 0, kGradientRadial = 1, kGradientSymmetry = 2 };

// Fills `bitmap` from `palette` (at least two stops). `degrees` is the
// direction, counter-clockwise from the positive x axis, any integer;
// `scale` stretches the gradient about the centre (centerX, centerY), a pixel
// position; `reverse` swaps its ends. A linear gradient at 0 degrees and
// scale 1 runs from the first stop at the left edge to the last at the right
// edge; a radial one has the first stop at the centre and reaches the last at
// half the extent times the scale. Returns 1.
int CreateGradientMask(TiBitmapData& bitmap, const GradientPalette& palette, int style, int degrees,
                       float scale, bool reverse, int centerX, int centerY);

// Renders into `buffer`, a packed width x height picture of bpp (1, 3 or 4)
// bytes per pixel, centred at (width / 2, height / 2), from a copy of the
// palette. Returns 0 when width * bpp does not fit a row pitch, else 1.
int RenderGradient(const GradientPalette& palette, unsigned char* buffer, int width, int height,
                   int bpp, int style, int degrees, float scale, bool reverse);

// Renders the gradient of `stops` (stopCount of them, in the order given) at
// the bitmap's size into a temporary RGB buffer, with the degrees truncated
// to an integer, and blends it onto the bitmap with BlendMode (channel 0 on
// both sides) in `blendMode` (1..20) at `opacity` (0..1).
int GradientOverlay(TiBitmapData& bitmap, int blendMode, int style, const RGBPoint* stops,
                    int stopCount, float degrees, float scale, float opacity, bool reverse);

// The picture of preset palette `type` (0..12) for the gradient chooser: a new
// packed RGBA bitmap of width x height, linear at -45 degrees, scale 1, not
// reversed. Null when width or height is not positive or memory can't be had;
// a type outside 0..12 has no stops and fails the palette's assertion.
std::unique_ptr<TiBitmapData> CreateGradientPresetBitmap(int type, int width, int height);

namespace detail {
// CreateGradientMask evaluating every pixel through the whole computation,
// without the change-point walk: the reference the fast path is checked
// against. Slow.
int CreateGradientMaskPerPixel(TiBitmapData& bitmap, const GradientPalette& palette, int style,
                               int degrees, float scale, bool reverse, int centerX, int centerY);
}  // namespace detail

}  // namespace vantrel
