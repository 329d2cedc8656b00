// Hue, saturation and lightness: the integer HSL model, hue-range weights,
// the HSL adjustment and the tint.
//
// The model: hue in whole degrees 0..359, saturation and lightness 0..255,
// converted from and to bytes in 32-bit float and truncated. Colour balance
// and selective colour build on the same conversions.
//
// Pixel contract: AdjustHSL and TintHSL take bitmaps of TiRGBBpp or TiRGBABpp
// bytes per pixel (R, G, B[, A]), views included; they rewrite bytes 0..2 of
// every pixel and never alpha. An empty bitmap is left as it is.
//
// Failure contract: a bitmap of another format fails the bytes-per-pixel
// precondition (TiAssertionError); otherwise both operations return 1. They
// take no work memory: their tables live on the stack or are built once per
// process.
#pragma once

#include "Core/global/BitmapData.h"
#include "Core/global/Records.h"

namespace vantrel {

struct TiHSLColor {
    int hue = 0;         // degrees
    int saturation = 0;  // 0..255
    int lightness = 0;   // 0..255
    bool operator==(const TiHSLColor&) const = default;
};

struct TiRGBColor {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const TiRGBColor&) const = default;
};

// (R, G, B) bytes to (H 0..359, S 0..255, L 0..255). A gray has hue and
// saturation 0. Channels outside 0..255 are clamped into it first.
TiHSLColor RGBToHSL(int red, int green, int blue);

// (H, S, L) back to bytes 0..255. The hue may be any integer: each channel's
// hue is brought back by one turn at most, so hues within -360..720 of the
// wheel behave as their place on it. Saturation 0 gives the gray L; a
// negative saturation goes through the same arithmetic, swapping the two
// levels the channels move between (the opposite hue, as it were).
TiRGBColor HSLToRGB(int hue, int saturation, int lightness);

// The lightness of (R, G, B) rounded to the nearest integer: (max + min) / 2
// plus one half, truncated.
int GetLightness(int red, int green, int blue);

// The shift scaled by the weight of `range` at `hue`: 1 in the range's
// centre, fading toward its two ends, 0 outside. A fade of no width (a
// degenerate range) weighs 0.
TinyHSL GetHueRangeWeight(int hue, const HueRange& range, const TinyHSL& shift);

// Shifts hue, saturation and lightness per hue range (the six groups of
// `hslData`, each weighted by its range of `hueRangeData` at the pixel's
// hue) and for the whole picture (`all`). Every pixel goes through the HSL
// model even when nothing is shifted, and saturation never ends below 1.
// Sums of shifts are held within +-2^30. Returns 1.
int AdjustHSL(TiBitmapData& bitmap, const HSLData& hslData, const HueRangeData& hueRangeData);

// Colourises: every pixel gets hue `hue` (held in 0..360) and saturation
// `saturation` and keeps its rounded lightness plus `lightness` (then held
// in 0..255). Only the hue is held: a negative saturation goes through the
// conversion as it is; one above 255 is held at 255 (the panel sends at
// most that, and the conversion assumes it). Returns 1.
int TintHSL(TiBitmapData& bitmap, int hue, int saturation, int lightness);

}  // namespace vantrel
