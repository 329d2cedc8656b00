#include "Core/filter/ShadowHighlight.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "Core/base/Curve.h"
#include "Core/global/Numeric.h"
#include "Core/global/ParallelRows.h"
#include "Core/global/PixelPass.h"
#include "Core/global/TargetClones.h"

namespace vantrel {
namespace {

constexpr int kCurveSize = 100;

// The weight curve, 100 at 0 % down to 0 from 75 % on. False when the
// spline's memory can't be had.
bool SampleWeightCurve(unsigned char* curve) {
    static constexpr Vec3 kPoints[] = {
        {0, 100, 0}, {20, 75, 0}, {40, 50, 0}, {57.5f, 25, 0}, {75, 0, 0}};
    CurveSpline spline;
    for (const Vec3& point : kPoints) {
        if (!spline.AppendPoint(point)) return false;
    }
    SampleCurveTable(spline, curve, kCurveSize, kCurveSize, 0, 0);
    return true;
}

// v / (1 - 0.75 w) in double, rounded to a float, at most 1.
float Lift(float v, float w) {
    const float lifted = static_cast<float>(v / (1.0 - 0.75 * w));
    return lifted > 1.0f ? 1.0f : lifted;
}

// By the largest channel of a pixel, once per value: its saturation factor
// and its new value.
struct ShadowTables {
    std::array<float, 256> saturation;
    std::array<float, 256> value;

    ShadowTables(const unsigned char* curve, float shadows, float highlights) {
        for (int b = 0; b < 256; ++b) {
            const float v = static_cast<float>(b) / 255.0f;
            const float w = curve[TiTrunc(v * 99.0f)] / 100.0f * shadows;
            saturation[b] = 1.0f - 0.4f * w;
            value[b] = Lift(v, w);
            const float wh = curve[TiTrunc((1.0f - v) * 99.0f)] / 100.0f * highlights;
            if (wh > 0.0f) value[b] = 1.0f - Lift(1.0f - value[b], wh);
        }
    }
};

// Eight pixels at a time in the lanes of GCC vector types, every lane going
// through the same float steps as one pixel would (both branches of each
// choice are worked out, then selected).
constexpr int kLanes = 8;
using Floats = float __attribute__((vector_size(4 * kLanes)));
using Ints = std::int32_t __attribute__((vector_size(4 * kLanes)));

// Hue in whole degrees 0..360 (0 where the spread is 0).
void HuesOf(const Floats& r, const Floats& g, const Floats& b, const Floats& v,
            const Floats& spread, Ints& hue) {
    const Floats half = spread / 2.0f;
    const Floats dr = ((v - r) / 6.0f + half) / spread;
    const Floats dg = ((v - g) / 6.0f + half) / spread;
    const Floats db = ((v - b) / 6.0f + half) / spread;
    const Floats zero = {};
    Floats h = r == v ? db - dg : (g == v ? 1.0f / 3.0f + dr - db : 2.0f / 3.0f + dg - dr);
    h = h < zero ? h + 1.0f : h;
    h = h > zero + 1.0f ? h - 1.0f : h;
    h = spread == zero ? zero : h;
    hue = __builtin_convertvector(h * 360.0f, Ints);
}

// A channel's byte: times 255, clamped, truncated.
void ChannelBytes(const Floats& c, Ints& out) {
    const Floats scaled = c * 255.0f;
    const Floats zero = {};
    const Floats top = zero + 255.0f;
    out = __builtin_convertvector(scaled > top ? top : (scaled < zero ? zero : scaled), Ints);
}

// `count` (1..8) pixels from p: RGB -> HSV, the weights' changes, HSV -> RGB.
template <int Bpp>
void AdjustLanes(const ShadowTables& t, unsigned char* p, int count) {
    Ints red = {}, green = {}, blue = {}, top = {};
    Floats saturation = {}, value = {};
    for (int lane = 0; lane < count; ++lane) {
        const unsigned char* q = p + lane * Bpp;
        red[lane] = q[0];
        green[lane] = q[1];
        blue[lane] = q[2];
        top[lane] = std::max({q[0], q[1], q[2]});
        saturation[lane] = t.saturation[top[lane]];
        value[lane] = t.value[top[lane]];
    }
    const Ints bottom = red < green ? (red < blue ? red : blue) : (green < blue ? green : blue);
    const Floats r = __builtin_convertvector(red, Floats) / 255.0f;
    const Floats g = __builtin_convertvector(green, Floats) / 255.0f;
    const Floats b = __builtin_convertvector(blue, Floats) / 255.0f;
    const Floats v = __builtin_convertvector(top, Floats) / 255.0f;
    const Floats spread = v - __builtin_convertvector(bottom, Floats) / 255.0f;
    Ints hue;
    HuesOf(r, g, b, v, spread, hue);

    const Floats s = spread / v * saturation;
    Floats h6 = __builtin_convertvector(hue, Floats) / 360.0f * 6.0f;
    const Floats zero = {};
    h6 = h6 == zero + 6.0f ? zero : h6;
    const Ints sector = __builtin_convertvector(h6, Ints);
    const Floats f = h6 - __builtin_convertvector(sector, Floats);
    const Floats pv = value * (1.0f - s);
    const Floats qv = value * (1.0f - s * f);
    const Floats tv = value * (1.0f - s * (1.0f - f));
    // (V, t, p), (q, V, p), (p, V, t), (p, q, V), (t, p, V), (V, p, q) by sector.
    const Ints flat = spread == zero;
    Floats out[3];
    out[0] = sector == 1 ? qv : (sector == 2 || sector == 3 ? pv : (sector == 4 ? tv : value));
    out[1] = sector == 0 ? tv : (sector == 3 ? qv : (sector >= 4 ? pv : value));
    out[2] = sector <= 1 ? pv : (sector == 2 ? tv : (sector == 5 ? qv : value));
    for (int c = 0; c < 3; ++c) {
        Ints bytes;
        ChannelBytes(flat ? value : out[c], bytes);
        for (int lane = 0; lane < count; ++lane)
            p[lane * Bpp + c] = static_cast<unsigned char>(bytes[lane]);
    }
}

template <int Bpp>
void AdjustRows(const ShadowTables& t, TiBitmapData& bitmap, int rowBegin, int rowEnd) {
    const int width = bitmap.GetWidth();
    for (int y = rowBegin; y < rowEnd; ++y) {
        unsigned char* row = bitmap.GetData() + static_cast<std::ptrdiff_t>(y) * bitmap.GetPitch();
        for (int x = 0; x < width; x += kLanes) {
            AdjustLanes<Bpp>(t, row + static_cast<std::ptrdiff_t>(x) * Bpp,
                             width - x < kLanes ? width - x : kLanes);
        }
    }
}

// Cloned for AVX-512 and AVX2, where the eight lanes are one register; IEEE
// float steps without contraction, so every version gives the same bytes.
TI_TARGET_CLONES void AdjustBand(const ShadowTables& t, TiBitmapData& bitmap, int rowBegin,
                                 int rowEnd) {
    if (bitmap.GetBpp() == TiRGBABpp) {
        AdjustRows<TiRGBABpp>(t, bitmap, rowBegin, rowEnd);
    } else {
        AdjustRows<TiRGBBpp>(t, bitmap, rowBegin, rowEnd);
    }
}

}  // namespace

int ShadowHighlight(TiBitmapData& bitmap, float shadows, float highlights) {
    if (!(shadows >= 0.0f && shadows <= 1.0f && highlights >= 0.0f && highlights <= 1.0f)) {
        return 0;
    }
    if (!IsColorBitmap(bitmap)) return 0;
    unsigned char curve[kCurveSize];
    if (!SampleWeightCurve(curve)) return 0;
    const ShadowTables tables(curve, shadows, highlights);
    if (PixelCount(bitmap) == 0) return 1;
    ParallelRows(bitmap.GetHeight(), bitmap.GetWidth(),
                 [&](int rowBegin, int rowEnd) { AdjustBand(tables, bitmap, rowBegin, rowEnd); });
    return 1;
}

}  // namespace vantrel
