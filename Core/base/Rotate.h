// Rotation by any angle, with anti-aliased edges.
//
// RotateBitmap draws a source turned by `angle` (radians; positive turns the
// picture counter-clockwise on screen), scaled by zoomX, zoomY and moved by
// moveX, moveY, into a destination. Destination pixel (x, y) samples the
// source at 16.16 fixed-point coordinates advanced by constant increments:
//   - inner pixels (1 <= sx, floor(sx) < W - 1, likewise y) are a bilinear
//     mix of four source pixels with 8-bit weights, written over the pixel;
//   - border pixels (within one pixel of the source's edge, inside or out) mix
//     the four neighbours read clamped into the source, each counting as
//     opaque inside the source and transparent outside; that coverage blends
//     the mix onto the destination pixel. So even an angle of 0 blends the
//     source's outer ring at coverage 255, which turns a 255 there into 254;
//     exact quarter turns are RotateQuarterTurns' job;
//   - pixels outside are left as they were.
// Rows are drawn from the one through the destination's centre downward, then
// upward, each direction stopping at the first row that misses the source.
//
// Pixel contract: 4 bytes per pixel, read and written as whole 32-bit words,
// all four channels (alpha too) mixed alike; the source's own alpha is
// replaced by the coverage on border pixels. Rows are stepped by the given
// bytes per row, so either side may be a view. The destination is normally
// zero-filled, so that uncovered pixels stay transparent black.
//
// Failure contract: nothing is drawn when |W * zoomX| or |H * zoomY| is below
// 0.0001, or when a parameter is not finite or sends coordinates beyond any
// real picture. Source and destination must not overlap.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// A plain view of 4-byte pixels.
struct TiRotateSurface {
    unsigned char* data;
    int pitch;  // bytes per row
    int width;
    int height;
};

// angle in radians; zoomX, zoomY scale the drawn picture (1 keeps its size);
// moveX, moveY shift it in destination pixels. With zooms 1 and moves of
// (w - W) / 2, (h - H) / 2 the source's centre lands on the destination's.
void RotateBitmap(const TiRotateSurface& destination, const TiRotateSurface& source, double angle,
                  double zoomX, double zoomY, double moveX, double moveY);

// The same over bitmaps: returns 1, or 0 (drawing nothing) unless both have
// TiRGBABpp bytes per pixel.
int RotateBitmap(TiBitmapData& destination, const TiBitmapData& source, double angle, double zoomX,
                 double zoomY, double moveX, double moveY);

}  // namespace vantrel
