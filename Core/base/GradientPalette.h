// Gradient palettes: colour stops along a gradient and the colour at any
// position between them, plus the thirteen preset palettes.
//
// Failure contract: a palette lookup needs at least two stops; fewer throw
// TiAssertionError. Everything else is total: positions and midpoints from
// outside (NaN, infinities, stops out of order) give some colour, never
// undefined behaviour.
#pragma once

#include <cstddef>
#include <vector>

#include "Core/global/Records.h"

namespace vantrel {

// Stops in the order added; they are never sorted, so callers add them in
// rising position.
class GradientPalette {
public:
    // Appends a stop: its colour, position (0..1 along the gradient) and
    // midpoint (0..1: where between this stop and the next the colour is
    // half-way).
    void AddPoint(TinyRGB color, float position, float midpoint);

    const std::vector<RGBPoint>& points() const { return m_points; }
    std::size_t size() const { return m_points.size(); }

private:
    std::vector<RGBPoint> m_points;
};

// The colour at `position`: the first stop's at or below 0 (and for NaN);
// the stop reached when the position lies on or beyond it with no later stop
// between; otherwise between the last stop at or below the position (A) and
// the stop after it (B), with f = (position - A) / (B - A) in double and
// m = A's midpoint: g = f / m below m, else (f - m) / (1 - m) + 1, and each
// channel A + g * (B - A) * 0.5 clamped to 0..255 and truncated.
TinyRGB GetRGBatPosition(const GradientPalette& palette, float position);

// GetRGBatPosition together with the piece of the palette it came from.
// Within one piece every channel is monotone in the position, and each piece
// covers one interval of positions, so two positions with equal pieces and
// colours have that colour everywhere between them. Needs two stops.
struct PaletteSample {
    TinyRGB color;
    int piece;
};
PaletteSample SamplePalette(const RGBPoint* points, std::size_t count, float position);

// Whether the pieces of SamplePalette are monotone, as the fast renderer needs: every
// position and midpoint finite and no midpoint exactly 1 (where the colour
// spikes to black at the segment's end).
bool PaletteIsMonotone(const GradientPalette& palette);

constexpr int kGradientPresetCount = 13;

// Preset palette `type` (0..12); any other type gives an empty palette.
GradientPalette GradientPreset(int type);

}  // namespace vantrel
