// The colour of a gradient pixel as a function of one number, its key, and a
// table of the exact keys at which that colour changes.
//
// The renderer's per-pixel computation (project onto the direction, square
// root, divide, fold, reverse, palette lookup) depends on the pixel only
// through a single float: x for the horizontal directions, y for the vertical
// ones, x + tan(a) * y for the other directions (all of the projection
// follows from it) and x * x + y * y for the radial style (its fold makes the
// side of the centre irrelevant). Along a row that key only grows, or for the
// radial style only grows away from the centre column, so a row can be
// rendered by walking a sorted list of change points instead of evaluating
// every pixel.
//
// The list is exact: within one cell (sign of the key, side of the centre
// line) the gradient position is monotone in the key, within one palette
// piece each channel is monotone in the position, and cells and pieces cover
// intervals of keys. So when two keys give the same cell, piece and colour,
// every key between them gives that colour too, and bisecting on the float
// ordering finds every change point with no pixel left unchecked.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Core/base/GradientPalette.h"
#include "Core/global/TiMemory.h"

namespace vantrel {

// The value of a key: colour (R, G, B, and (R + G + B) / 3 for one-byte
// output, in bytes 0..3 of `color`) and the cell and piece it came from.
struct RampValue {
    std::uint32_t color;
    int region;

    bool operator==(const RampValue&) const = default;
};

enum class KeyKind { kAlongX, kAlongY, kProjected, kSquaredRadius };

// Everything of CreateGradientMask that does not depend on the pixel.
struct GradientGeometry {
    int angle = 0;  // 0..359
    KeyKind keyKind = KeyKind::kAlongX;
    float slope = 0;      // tan of the angle, single precision
    float slopeNorm = 1;  // 1 + slope * slope
    float offset = 0;     // 0.5 for linear, 0 for the centred styles
    float divisor = 1;    // extent * scale - 1
    bool fold = false;
    bool reverse = false;
    const RGBPoint* points = nullptr;
    std::size_t pointCount = 0;

    // The key of pixel offset (x, y) from the centre, y growing upward.
    float Key(float x, float y) const {
        switch (keyKind) {
            case KeyKind::kAlongX:
                return x;
            case KeyKind::kAlongY:
                return y;
            case KeyKind::kProjected:
                return x + slope * y;
            case KeyKind::kSquaredRadius:
                break;
        }
        return x * x + y * y;
    }

    // The colour of a key, through every step of the per-pixel computation.
    RampValue Value(float key) const;
};

// The change points of Value over the keys keyLo..keyHi: segment 0 runs from
// keyLo, segment k + 1 from the k-th change key; all keys of a segment share its
// colour.
class GradientRamp {
public:
    GradientRamp() = default;
    GradientRamp(const GradientRamp&) = delete;
    GradientRamp& operator=(const GradientRamp&) = delete;

    // False when work memory ran out; the ramp is then unusable and the
    // caller evaluates pixels one by one.
    bool Build(const GradientGeometry& geometry, float keyLo, float keyHi);

    // The change points as plain arrays, for walks that keep them in
    // registers: keys[0..changes), colors[0..changes].
    struct Segments {
        const float* keys;
        const std::uint32_t* colors;
        std::size_t changes;
    };
    Segments View() const { return Segments{m_keys.get(), m_colors.get(), m_count}; }

    // The segment holding `key`: the number of change points at or below it.
    std::size_t SegmentOf(float key) const;

private:
    bool Append(float key, std::uint32_t color);

    TiBuffer<float> m_keys;
    TiBuffer<std::uint32_t> m_colors;  // one more than keys: segment 0 first
    std::size_t m_count = 0;
    std::size_t m_capacity = 0;
};

}  // namespace vantrel
