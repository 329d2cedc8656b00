#include "Core/base/GradientRamp.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

// More change points than this means a palette far beyond any real one; the
// caller then evaluates pixels one by one instead.
constexpr std::size_t kMaxChanges = std::size_t{1} << 22;

// Whether a signed distance is negative: the side of the centre line facing
// away from the gradient's direction.
bool OnFarSide(int angle, float x, float y) {
    if (angle == 0) return x <= 0;
    if (angle == 180) return x >= 0;
    return angle < 180 ? y <= 0 : y >= 0;
}

std::uint32_t PackColor(TinyRGB c) {
    const unsigned gray = (c.m_red + c.m_green + c.m_blue) / 3u;
    return c.m_red | c.m_green << 8 | c.m_blue << 16 | gray << 24;
}

// Floats in their numeric order as integers: adjacent floats are adjacent
// ordinals (both zeros share ordinal 0).
std::int64_t Ordinal(float value) {
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    return bits >> 31 ? -static_cast<std::int64_t>(bits & 0x7FFFFFFFu) : bits;
}

float FromOrdinal(std::int64_t ordinal) {
    if (ordinal >= 0) return std::bit_cast<float>(static_cast<std::uint32_t>(ordinal));
    return std::bit_cast<float>(static_cast<std::uint32_t>(-ordinal) | 0x80000000u);
}

}  // namespace

RampValue GradientGeometry::Value(float key) const {
    float x = 0;
    float y = 0;
    switch (keyKind) {
        case KeyKind::kAlongX:
            x = key;
            break;
        case KeyKind::kAlongY:
            y = key;
            break;
        case KeyKind::kProjected:  // the foot of the perpendicular on y = slope * x
            x = key / slopeNorm;
            y = slope * x;
            break;
        case KeyKind::kSquaredRadius:
            break;
    }
    const bool radial = keyKind == KeyKind::kSquaredRadius;
    const float d = radial ? std::sqrt(key) : std::sqrt(x * x + y * y);
    // The radial style folds an offset-free position, so the side of the
    // centre only flips a sign that the fold removes.
    const bool far = !radial && OnFarSide(angle, x, y);
    float v = offset + (far ? -d : d) / divisor;
    if (fold) v = std::fabs(v);
    if (reverse) v = 1.0f - v;
    const PaletteSample sample = SamplePalette(points, pointCount, v);
    const int sign = key > 0 ? 2 : (key < 0 ? 0 : 1);
    return RampValue{PackColor(sample.color), sample.piece * 6 + (far ? 3 : 0) + sign};
}

bool GradientRamp::Append(float key, std::uint32_t color) {
    if (m_colors[m_count] == color) return true;  // a new piece of the same colour
    if (m_count == m_capacity) {
        if (m_capacity >= kMaxChanges) return false;
        const std::size_t capacity = std::max<std::size_t>(1024, m_capacity * 2);
        TiBuffer<float> keys(capacity);
        TiBuffer<std::uint32_t> colors(capacity + 1);
        if (!keys || !colors) return false;
        if (m_count > 0) std::memcpy(keys.get(), m_keys.get(), m_count * sizeof(float));
        std::memcpy(colors.get(), m_colors.get(), (m_count + 1) * sizeof(std::uint32_t));
        m_keys = std::move(keys);
        m_colors = std::move(colors);
        m_capacity = capacity;
    }
    m_keys[m_count] = key;
    m_colors[++m_count] = color;
    return true;
}

bool GradientRamp::Build(const GradientGeometry& geometry, float keyLo, float keyHi) {
    m_keys = TiBuffer<float>();
    m_count = m_capacity = 0;
    m_colors = TiBuffer<std::uint32_t>(1);
    if (!m_colors) return false;

    const RampValue first = geometry.Value(keyLo);
    m_colors[0] = first.color;
    // Depth-first bisection between keys of different values, lower half
    // first, so that change points come out in rising order. Each level
    // halves an ordinal range of at most 2^32, so 40 levels always suffice.
    struct Range {
        std::int64_t lo, hi;
        RampValue loValue, hiValue;
    };
    Range stack[80];
    int depth = 0;
    stack[depth++] = Range{Ordinal(keyLo), Ordinal(keyHi), first, geometry.Value(keyHi)};
    while (depth > 0) {
        const Range r = stack[--depth];
        if (r.loValue == r.hiValue) continue;
        if (r.hi - r.lo <= 1) {
            if (!Append(FromOrdinal(r.hi), r.hiValue.color)) return false;
            continue;
        }
        const std::int64_t mid = r.lo + (r.hi - r.lo) / 2;
        const RampValue midValue = geometry.Value(FromOrdinal(mid));
        stack[depth++] = Range{mid, r.hi, midValue, r.hiValue};
        stack[depth++] = Range{r.lo, mid, r.loValue, midValue};
    }
    return true;
}

std::size_t GradientRamp::SegmentOf(float key) const {
    if (m_count == 0) return 0;
    return static_cast<std::size_t>(std::upper_bound(m_keys.get(), m_keys.get() + m_count, key) -
                                    m_keys.get());
}

}  // namespace vantrel
