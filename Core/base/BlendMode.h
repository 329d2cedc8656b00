// Photographic blend modes through a 256 x 256 lookup table.
//
// For a mode and an opacity, GenerateLookupTable fills a table whose entry
// [a * 256 + b] is the blended byte for base value a (the byte already in the
// destination) and blend value b (the byte laid over it). Blending a bitmap is
// then one table lookup per byte, so its cost does not depend on the mode.
//
// Pixel contract: BlendMode and BlendGrayMask work in place on 3- or 4-byte
// bitmaps (1-byte ones where a single channel is named), rows stepped by
// m_pitch, so views work. Channel selectors: 0 = the three colour bytes,
// 1..4 = red, green, blue, alpha (byte 0..3). Alpha is written only when a
// selector names channel 4.
//
// Failure contract: preconditions (sizes, opacity 0..1, mode 1..20, channel
// 0..4) throw TiAssertionError. A call returns 0, with the bitmap unchanged,
// when its 64 KB table can't be allocated or a named byte does not exist in a
// bitmap's pixels (e.g. alpha of a 3-byte bitmap); otherwise 1.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// Blend mode ids as the gradient panel and the recipes number them.
enum BlendModeId : int {
    kBlendDarken = 1,
    kBlendLighten = 2,
    kBlendMultiply = 3,
    kBlendScreen = 4,
    kBlendColorDodge = 5,
    kBlendColorBurn = 6,
    kBlendLinearDodge = 7,
    kBlendLinearBurn = 8,
    kBlendOverlay = 9,
    kBlendSoftLight = 10,
    kBlendHardLight = 11,
    kBlendVividLight = 12,
    kBlendLinearLight = 13,
    kBlendPinLight = 14,
    kBlendHardMix = 15,
    kBlendAdd = 16,
    kBlendSub = 17,
    kBlendDifference = 18,
    kBlendExclusion = 19,
    kBlendSoftGlow = 20,
};

constexpr int kBlendTableSize = 256 * 256;

// Fills `table` (kBlendTableSize bytes) for `mode` (1..20) at `opacity`
// (0..1): entry = truncate(a * (1 - opacity) + F(a, b) * opacity) in double.
// The table first holds the identity, so it is defined even when a
// precondition fails.
void GenerateLookupTable(unsigned char* table, int mode, double opacity);

// The per-mode generators behind GenerateLookupTable; each fills every entry.
void GLT_Darken(unsigned char* table, double opacity);
void GLT_Lighten(unsigned char* table, double opacity);
void GLT_Multiply(unsigned char* table, double opacity);
void GLT_Screen(unsigned char* table, double opacity);
void GLT_ColorDodge(unsigned char* table, double opacity);
void GLT_ColorBurn(unsigned char* table, double opacity);
void GLT_LinearDodge(unsigned char* table, double opacity);
void GLT_LinearBurn(unsigned char* table, double opacity);
void GLT_Overlay(unsigned char* table, double opacity);
void GLT_SoftLight(unsigned char* table, double opacity);
void GLT_HardLight(unsigned char* table, double opacity);  // opacity checked by its caller
void GLT_VividLight(unsigned char* table, double opacity);
void GLT_LinearLight(unsigned char* table, double opacity);
void GLT_PinLight(unsigned char* table, double opacity);
void GLT_HardMix(unsigned char* table, double opacity);
void GLT_Add(unsigned char* table, double opacity);
void GLT_Sub(unsigned char* table, double opacity);
void GLT_Difference(unsigned char* table, double opacity);
void GLT_Exclusion(unsigned char* table, double opacity);
void GLT_SoftGlow(unsigned char* table, double opacity);

// Channel selector 1..4 as the byte index 0..3.
int ConvertRGBIndex(int channel);

// Blends `blendBitmap` (same width and height; only read; it may be `bitmap`
// itself) onto `bitmap` with `mode` at `opacity` (0..1). With d the
// destination pixel, s the blend pixel and T the table:
//   channel 0, blendChannel 0: d[n] = T[d[n]][s[n]] for n = 0, 1, 2;
//   channel k, blendChannel 0: d[n] = T[d[i]][s[n]] for n = 0, 1, 2, reading
//     d[i] afresh each time (once d[i] is rewritten the rest see its new value);
//   channel 0, blendChannel k: d[n] = T[d[n]][s[j]] for n = 0, 1, 2;
//   both named: d[i] = T[d[i]][s[j]] only.
// The two bitmaps may differ in bytes per pixel (an RGBA bitmap takes an RGB
// layer).
int BlendMode(TiBitmapData& bitmap, int channel, const TiBitmapData& blendBitmap, int blendChannel,
              int mode, double opacity);

// The pixel pass of BlendMode with a ready table.
int AdjustBlendModeCurve(TiBitmapData& bitmap, int channel, const TiBitmapData& blendBitmap,
                         int blendChannel, const unsigned char* table);

// Blends a one-byte mask (bitmap width x height bytes, rows packed) into
// `bitmap`: channel 0: d[n] = T[d[n]][m] for n = 0, 1, 2; channel 1..4: only
// that byte. A null mask is refused (0).
int BlendGrayMask(TiBitmapData& bitmap, int channel, const unsigned char* mask, int mode,
                  double opacity);

}  // namespace vantrel
