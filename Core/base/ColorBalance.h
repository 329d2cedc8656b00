// Colour balance: shifting one tonal range of a picture along the axes
// cyan-red, magenta-green and yellow-blue.
//
// Pixel contract: bitmaps of TiRGBBpp or TiRGBABpp bytes per pixel, views
// included; bytes 0..2 change, alpha never. Other formats and empty bitmaps
// are left as they are.
//
// Failure contract: shifts outside -100..100 fail a precondition
// (TiAssertionError). No work memory is taken: the transfer curves are built
// once per process (thread-safe), the per-call tables live on the stack.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// Tonal ranges of BalanceColor.
constexpr int TiToneShadows = 0;
constexpr int TiToneMidtones = 1;
constexpr int TiToneHighlights = 2;

// Shifts the tonal range `tone` (shadows, midtones or highlights; any other
// value shifts no range) by `cyan` (cyan-red, positive toward red),
// `magenta` (magenta-green, positive toward green) and `yellow`
// (yellow-blue, positive toward blue), each -100..100. With
// `preserveLuminosity` each pixel keeps its rounded lightness and takes the
// hue and saturation of its shifted colour.
void BalanceColor(TiBitmapData& bitmap, int cyan, int magenta, int yellow, int tone,
                  bool preserveLuminosity);

}  // namespace vantrel
