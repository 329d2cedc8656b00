#include "Core/filter/ShadowHighlight.h"

#include <array>
#include <cstdint>

#include "Core/base/Curve.h"
#include "Core/global/Numeric.h"
#include "Core/global/PixelPass.h"

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

// Everything that depends on one channel value or one hue, once per value:
// a byte's share of 255, and by the largest channel of a pixel its
// saturation factor and its new value; by hue the sector and the fraction
// within it.
struct ShadowTables {
    std::array<float, 256> share;
    std::array<float, 256> saturation;
    std::array<float, 256> value;
    std::array<int, 361> sector;
    std::array<float, 361> fraction;

    ShadowTables(const unsigned char* curve, float shadows, float highlights) {
        for (int b = 0; b < 256; ++b) {
            const float v = static_cast<float>(b) / 255.0f;
            share[b] = v;
            const float w = curve[TiTrunc(v * 99.0f)] / 100.0f * shadows;
            saturation[b] = 1.0f - 0.4f * w;
            value[b] = Lift(v, w);
            const float wh = curve[TiTrunc((1.0f - v) * 99.0f)] / 100.0f * highlights;
            if (wh > 0.0f) value[b] = 1.0f - Lift(1.0f - value[b], wh);
        }
        for (int h = 0; h <= 360; ++h) {
            float h6 = static_cast<float>(h) / 360.0f * 6.0f;
            if (h6 == 6.0f) h6 = 0.0f;
            sector[h] = TiTrunc(h6);
            fraction[h] = h6 - static_cast<float>(sector[h]);
        }
    }
};

// Hue in whole degrees 0..360 of a colour with value v and spread d > 0.
int HueOf(float r, float g, float b, float v, float d) {
    const float halfSpread = d / 2.0f;
    const float dr = ((v - r) / 6.0f + halfSpread) / d;
    const float dg = ((v - g) / 6.0f + halfSpread) / d;
    const float db = ((v - b) / 6.0f + halfSpread) / d;
    float h;
    if (r == v) {
        h = db - dg;
    } else if (g == v) {
        h = 1.0f / 3.0f + dr - db;
    } else {
        h = 2.0f / 3.0f + dg - dr;
    }
    if (h < 0.0f) h += 1.0f;
    if (h > 1.0f) h -= 1.0f;
    return TiTrunc(h * 360.0f);
}

unsigned char ChannelByte(float c) {
    const float scaled = c * 255.0f;
    return scaled > 255.0f ? 255 : (scaled < 0.0f ? 0 : static_cast<unsigned char>(scaled));
}

void AdjustPixel(const ShadowTables& t, unsigned char* p) {
    const unsigned char maxByte = p[0] > p[1] ? (p[0] > p[2] ? p[0] : p[2]) : (p[1] > p[2] ? p[1] : p[2]);
    const float r = t.share[p[0]];
    const float g = t.share[p[1]];
    const float b = t.share[p[2]];
    const float v = t.share[maxByte];
    const float low = r < g ? (r < b ? r : b) : (g < b ? g : b);
    const float spread = v - low;
    const float value = t.value[maxByte];
    if (spread == 0.0f) {
        p[0] = p[1] = p[2] = ChannelByte(value);
        return;
    }
    const int hue = HueOf(r, g, b, v, spread);
    const float s = spread / v * t.saturation[maxByte];
    const float f = t.fraction[hue];
    const float pv = value * (1.0f - s);
    const float qv = value * (1.0f - s * f);
    const float tv = value * (1.0f - s * (1.0f - f));
    const float rgb[6][3] = {{value, tv, pv}, {qv, value, pv}, {pv, value, tv},
                             {pv, qv, value}, {tv, pv, value}, {value, pv, qv}};
    const float* out = rgb[t.sector[hue]];
    p[0] = ChannelByte(out[0]);
    p[1] = ChannelByte(out[1]);
    p[2] = ChannelByte(out[2]);
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
    ForEachColorPixel(bitmap, [&tables](unsigned char* p) { AdjustPixel(tables, p); });
    return 1;
}

}  // namespace vantrel
