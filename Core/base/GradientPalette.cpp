#include "Core/base/GradientPalette.h"

#include <cmath>

#include "Core/global/Numeric.h"
#include "Core/global/TiAssert.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/base/GradientPalette";

// Piece numbers: 0 for positions at or below 0; then three per current stop.
enum PieceKind { kAtOrBeforeStop = 1, kPastLastStop = 2, kBetweenStops = 3 };

int Piece(std::size_t current, PieceKind kind) {
    return static_cast<int>(3 * current) + kind;
}

unsigned char Mix(int from, int to, double g) {
    return TiClampByte(from + g * (to - from) * 0.5);
}

TinyRGB Interpolate(const RGBPoint& a, const RGBPoint& b, float position) {
    const double f = (static_cast<double>(position) - a.position) /
                     (static_cast<double>(b.position) - a.position);
    const double m = a.midpoint;
    // g reaches 1 (the mean of the two colours) at f = m and 2 (B) at f = 1.
    const double g = f < m ? f / m : (f - m) / (1 - m) + 1;
    return TinyRGB{Mix(a.color.m_red, b.color.m_red, g), Mix(a.color.m_green, b.color.m_green, g),
                   Mix(a.color.m_blue, b.color.m_blue, g)};
}

struct PresetStop {
    unsigned char r, g, b;
    float position;
    float midpoint;
};

struct Preset {
    int count;
    PresetStop stops[7];
};

// clang-format off
constexpr Preset kPresets[kGradientPresetCount] = {
    {2, {{0, 0, 0, 0, 0.5f}, {255, 255, 255, 1, 0.5f}}},
    {2, {{225, 0, 25, 0, 0.5f}, {0, 96, 27, 1, 0.5f}}},
    {2, {{41, 10, 89, 0, 0.5f}, {255, 124, 0, 1, 0.5f}}},
    {2, {{255, 145, 0, 0, 0.5f}, {186, 255, 0, 1, 0.5f}}},
    {4,
     {{246, 255, 0, 0.05f, 0.5f},
      {54, 255, 0, 0.35f, 0.5f},
      {255, 222, 0, 0.65f, 0.5f},
      {213, 0, 65, 0.95f, 0.5f}}},
    {3, {{10, 0, 178, 0, 0.5f}, {255, 0, 0, 0.5f, 0.5f}, {255, 252, 0, 1, 0.5f}}},
    {3, {{11, 1, 184, 0.1f, 0.5f}, {253, 250, 3, 0.5f, 0.5f}, {11, 2, 170, 0.9f, 0.5f}}},
    {3, {{255, 110, 2, 0, 0.5f}, {255, 255, 0, 0.5f, 0.47f}, {255, 109, 0, 1, 0.5f}}},
    {3, {{111, 21, 108, 0, 0.5f}, {0, 96, 27, 0.5f, 0.5f}, {253, 124, 0, 1, 0.5f}}},
    {4,
     {{249, 230, 0, 0.05f, 0.5f},
      {111, 21, 108, 0.35f, 0.5f},
      {253, 124, 0, 0.65f, 0.5f},
      {0, 40, 116, 0.95f, 0.5f}}},
    {4,
     {{151, 70, 26, 0, 0.5f},
      {251, 216, 197, 0.3f, 0.5f},
      {108, 46, 22, 0.83f, 0.5f},
      {239, 219, 205, 1, 0.5f}}},
    {5,
     {{41, 137, 204, 0, 0.5f},
      {255, 255, 255, 0.5f, 0.5f},
      {144, 106, 0, 0.52f, 0.5f},
      {217, 159, 0, 0.64f, 0.5f},
      {255, 255, 255, 1, 0.5f}}},
    {7,
     {{255, 0, 0, 0, 0.5f},
      {255, 0, 255, 0.15f, 0.5f},
      {0, 0, 255, 0.33f, 0.5f},
      {0, 255, 255, 0.49f, 0.5f},
      {0, 255, 0, 0.67f, 0.5f},
      {255, 255, 0, 0.84f, 0.5f},
      {255, 0, 0, 1, 0.5f}}},
};
// clang-format on

}  // namespace

void GradientPalette::AddPoint(TinyRGB color, float position, float midpoint) {
    m_points.push_back(RGBPoint{color, position, midpoint});
}

PaletteSample SamplePalette(const RGBPoint* points, std::size_t count, float position) {
    if (!(position > 0)) return {points[0].color, 0};
    std::size_t current = 0;
    for (std::size_t k = 1; k < count; ++k) {
        if (points[k].position <= position) current = k;
    }
    const RGBPoint& a = points[current];
    if (a.position >= position) return {a.color, Piece(current, kAtOrBeforeStop)};
    if (points[count - 1].position <= position) return {a.color, Piece(current, kPastLastStop)};
    // The last stop lies beyond the position, so `a` is not the last stop.
    return {Interpolate(a, points[current + 1], position), Piece(current, kBetweenStops)};
}

TinyRGB GetRGBatPosition(const GradientPalette& palette, float position) {
    TI_ASSERT(palette.size() >= 2, "points.size() >= 2", 47);
    return SamplePalette(palette.points().data(), palette.size(), position).color;
}

bool PaletteIsMonotone(const GradientPalette& palette) {
    for (const RGBPoint& point : palette.points()) {
        if (!std::isfinite(point.position) || !std::isfinite(point.midpoint)) return false;
        if (point.midpoint == 1.0f) return false;
    }
    return true;
}

GradientPalette GradientPreset(int type) {
    GradientPalette palette;
    if (type < 0 || type >= kGradientPresetCount) return palette;
    const Preset& preset = kPresets[type];
    for (int i = 0; i < preset.count; ++i) {
        const PresetStop& s = preset.stops[i];
        palette.AddPoint(TinyRGB{s.r, s.g, s.b}, s.position, s.midpoint);
    }
    return palette;
}

}  // namespace vantrel
