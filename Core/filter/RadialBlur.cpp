#include "Core/filter/RadialBlur.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "Core/global/Numeric.h"
#include "Core/global/PixelPass.h"
#include "Core/global/TargetClones.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/filter/RadialBlur";

// Sample offsets by quality, as fractions of the sampling distance.
constexpr float kQuality1[] = {-0.09f, -0.065f, -0.04f, -0.02f, 0.02f, 0.04f, 0.065f, 0.09f};
constexpr float kQuality2[] = {-0.09f, -0.08f, -0.07f, -0.06f, -0.04f, -0.02f,
                               0.02f,  0.04f,  0.06f,  0.07f,  0.08f,  0.09f};
constexpr float kQuality3[] = {-0.09f, -0.08f, -0.07f, -0.06f, -0.05f, -0.04f,
                               -0.03f, -0.02f, -0.01f, 0.01f,  0.02f,  0.03f,
                               0.04f,  0.05f,  0.06f,  0.07f,  0.08f,  0.09f};

constexpr int kMaxTaps = 18;
// The sum of a pixel and its samples is at most this, under 2^16.
constexpr int kMaxSum = (kMaxTaps + 1) * 255;

// Pixels whose sample places are worked out together.
constexpr int kChunk = 64;

// A pixel spread out for summing: red, green and blue in 16-bit lanes of
// one word, so that the sums of a pixel and all its samples are plain adds.
using Spread = std::uint64_t;

// An index 0..last from a sample position already shifted by 0.5: truncated
// toward zero, negatives and NaN to 0, positions past the end to the last.
class SampleIndex {
public:
    explicit SampleIndex(int size) : m_last(size - 1), m_lastFloat(static_cast<float>(m_last)) {
        // The largest float not above the last index, so that every position
        // up to it converts inside the range.
        if (static_cast<double>(m_lastFloat) > m_last) {
            m_lastFloat = std::nextafter(m_lastFloat, 0.0f);
        }
    }
    int operator()(float position) const {
        const float p = position > 0.0f ? position : 0.0f;
        return p > m_lastFloat ? m_last : static_cast<int>(p);
    }

private:
    int m_last;
    float m_lastFloat;
};

// The rows that samples can reach, spread out: row r lives in slot r & mask
// (mask -1 when every row has its own slot). Rows above the one being blurred
// hold their results, rows from it downward their original values.
struct SpreadRows {
    Spread* slots;
    int width;
    int mask;
    Spread* Row(int r) const { return slots + static_cast<std::ptrdiff_t>(r & mask) * width; }
};

struct RadialPass {
    std::uint8_t* data;
    std::ptrdiff_t pitch;
    int bpp;
    int width;
    int height;
    int centerX;
    int centerY;
    float reach;  // width / scale: a sample's offset t moves it t * distance / reach
    int tapCount;
    float taps[kMaxTaps];  // the offsets times amount * 4
    SampleIndex column;
    SampleIndex row;
    SpreadRows spread;
    std::array<std::uint8_t, kMaxSum + 1> average;  // low byte of trunc(sum * weight)
};

template <typename Offset>
using ChunkOffsets = Offset[kMaxTaps][kChunk];

using Float4 = float __attribute__((vector_size(16)));

// Four IEEE square roots at once. std::sqrt keeps a branch for errno, which
// stops the compiler from doing this itself; the arguments here are never
// negative.
Float4 SquareRoots(Float4 v) {
#if defined(__x86_64__) && defined(__GNUC__)
    return __builtin_ia32_sqrtps(v);
#else
    return Float4{std::sqrt(v[0]), std::sqrt(v[1]), std::sqrt(v[2]), std::sqrt(v[3])};
#endif
}

// Per pixel of a chunk: the unit vector toward the centre and the factor k
// = distance / reach, four lanes at a time; lanes past `count` are worked
// out and never used, the centre pixel's NaNs neither.
struct ChunkGeometry {
    alignas(16) float ux[kChunk];
    alignas(16) float uy[kChunk];
    alignas(16) float k[kChunk];
};

void MeasureChunk(const RadialPass& pass, int x0, int y, int count, ChunkGeometry& g) {
    const float vy = static_cast<float>(pass.centerY - y);
    const Float4 vy4 = {vy, vy, vy, vy};
    const Float4 reach4 = {pass.reach, pass.reach, pass.reach, pass.reach};
    const int base = pass.centerX - x0;
    for (int i = 0; i < count; i += 4) {
        const Float4 vx = {static_cast<float>(base - i), static_cast<float>(base - i - 1),
                           static_cast<float>(base - i - 2), static_cast<float>(base - i - 3)};
        const Float4 len = SquareRoots(vx * vx + vy4 * vy4);
        const Float4 ux = vx / len;
        const Float4 uy = vy4 / len;
        const Float4 k = len / reach4;
        std::memcpy(g.ux + i, &ux, sizeof ux);
        std::memcpy(g.uy + i, &uy, sizeof uy);
        std::memcpy(g.k + i, &k, sizeof k);
    }
}

// Where the samples of `count` pixels from (x0, y) lie, as indices into the
// spread rows, and for each pixel how many of its samples fall on its left
// neighbour. Those point at the pixel itself instead: the neighbour was
// rewritten an instant earlier, and its new value is added from a register
// rather than read back from memory. The positions are float steps, lane by
// lane, so every instruction set gives the same places.
template <typename Offset>
void SampleOffsets(const RadialPass& pass, int x0, int y, int count, ChunkOffsets<Offset>& offsets,
                   std::int32_t* leftHits) {
    ChunkGeometry g;
    MeasureChunk(pass, x0, y, count, g);
    const float py0 = static_cast<float>(y);
    const SampleIndex column = pass.column;
    const SampleIndex row = pass.row;
    const Offset width = pass.spread.width;
    const int mask = pass.spread.mask;
    const Offset own = static_cast<Offset>(y & mask) * width + x0;
    for (int i = 0; i < count; ++i) leftHits[i] = 0;
    for (int tap = 0; tap < pass.tapCount; ++tap) {
        const float t = pass.taps[tap];
        Offset* __restrict out = offsets[tap];
        for (int i = 0; i < count; ++i) {
            const int x = x0 + i;
            const float bx = (g.ux[i] * t) * g.k[i];
            const float by = (g.uy[i] * t) * g.k[i];
            const int r = row(py0 + by + 0.5f);
            const int c = column(static_cast<float>(x) + bx + 0.5f);
            const bool left = (r == y) & (c == x - 1);
            leftHits[i] += left;
            out[i] = left ? own + i : static_cast<Offset>(r & mask) * width + c;
        }
    }
}

// Sums a pixel and its samples in the spread lanes and writes the averages
// to the picture and to the spread row, keeping the result for the next
// pixel's left-neighbour samples.
template <int Taps, int Bpp, typename Offset>
void AverageChunk(const RadialPass& pass, const ChunkOffsets<Offset>& offsets,
                  const std::int32_t* leftHits, int x0, int y, int count) {
    const Spread* spread = pass.spread.slots;
    Spread* spreadRow = pass.spread.Row(y) + x0;
    std::uint8_t* p = pass.data + y * pass.pitch + static_cast<std::ptrdiff_t>(x0) * Bpp;
    Spread previous = x0 > 0 ? spreadRow[-1] : 0;
    for (int i = 0; i < count; ++i, p += Bpp) {
        const Spread own = spreadRow[i];
        if (y == pass.centerY && x0 + i == pass.centerX) {
            previous = own;  // the centre keeps its value
            continue;
        }
        Spread sum = own;
        for (int tap = 0; tap < Taps; ++tap) sum += spread[offsets[tap][i]];
        // The sum held that many copies of this pixel in place of its left
        // neighbour; no lane goes below 0, so modular words give exact lanes.
        // Pixels without such samples don't wait for the neighbour at all.
        if (leftHits[i] != 0) sum += static_cast<Spread>(leftHits[i]) * (previous - own);
        const std::uint32_t red = pass.average[sum & 0xFFFF];
        const std::uint32_t green = pass.average[sum >> 16 & 0xFFFF];
        const std::uint32_t blue = pass.average[sum >> 32 & 0xFFFF];
        previous = red | green << 16 | static_cast<Spread>(blue) << 32;
        spreadRow[i] = previous;
        if constexpr (Bpp == TiRGBABpp) {
            const std::uint32_t word =
                red | green << 8 | blue << 16 | static_cast<std::uint32_t>(p[3]) << 24;
            std::memcpy(p, &word, sizeof word);
        } else {
            p[0] = static_cast<std::uint8_t>(red);
            p[1] = static_cast<std::uint8_t>(green);
            p[2] = static_cast<std::uint8_t>(blue);
        }
    }
}

template <int Taps, typename Offset>
void BlurRowWith(const RadialPass& pass, int y) {
    ChunkOffsets<Offset> offsets;
    std::int32_t leftHits[kChunk];
    for (int x0 = 0; x0 < pass.width; x0 += kChunk) {
        const int count = pass.width - x0 < kChunk ? pass.width - x0 : kChunk;
        SampleOffsets<Offset>(pass, x0, y, count, offsets, leftHits);
        if (pass.bpp == TiRGBABpp) {
            AverageChunk<Taps, TiRGBABpp, Offset>(pass, offsets, leftHits, x0, y, count);
        } else {
            AverageChunk<Taps, TiRGBBpp, Offset>(pass, offsets, leftHits, x0, y, count);
        }
    }
}

template <typename Offset>
void BlurRowOf(const RadialPass& pass, int y) {
    switch (pass.tapCount) {
        case 8:
            return BlurRowWith<8, Offset>(pass, y);
        case 12:
            return BlurRowWith<12, Offset>(pass, y);
        default:
            return BlurRowWith<18, Offset>(pass, y);
    }
}

// Cloned for AVX-512 and AVX2, where the sample places are worked out eight
// or sixteen pixels at a time; IEEE float steps without contraction, so
// every version gives the same places.
TI_TARGET_CLONES void BlurRow(const RadialPass& pass, int y, bool narrowOffsets) {
    if (narrowOffsets) {
        BlurRowOf<std::int32_t>(pass, y);
    } else {
        BlurRowOf<std::ptrdiff_t>(pass, y);
    }
}

// Copies picture row r, spread out, into its slot.
void SpreadRow(const RadialPass& pass, int r) {
    const std::uint8_t* p = pass.data + r * pass.pitch;
    Spread* out = pass.spread.Row(r);
    const int bpp = pass.bpp;
    for (int x = 0; x < pass.width; ++x, p += bpp) {
        out[x] = p[0] | static_cast<Spread>(p[1]) << 16 | static_cast<Spread>(p[2]) << 32;
    }
}

// How many rows above or below a sample can land: the offsets stretched by
// the largest distance factor, with room for float rounding. 0 when no bound
// holds (every row then keeps a slot).
int SampleRowReach(const RadialPass& pass) {
    double largestTap = 0;
    for (int i = 0; i < pass.tapCount; ++i) {
        largestTap = std::fmax(largestTap, std::fabs(static_cast<double>(pass.taps[i])));
    }
    const double dx = std::fmax(pass.centerX, pass.width - 1 - pass.centerX);
    const double dy = std::fmax(pass.centerY, pass.height - 1 - pass.centerY);
    const double largestK = std::sqrt(dx * dx + dy * dy) / std::fabs(pass.reach);
    const double reach = largestTap * largestK * (1 + 1e-5) + 3;
    // Beyond 2^22 rows a float position no longer resolves half a row.
    if (!(reach < pass.height) || pass.height > (1 << 22)) return 0;
    return static_cast<int>(reach);
}

bool SelectTaps(int quality, RadialPass& pass) {
    const float* table = nullptr;
    switch (quality) {
        case 1:
            table = kQuality1;
            pass.tapCount = static_cast<int>(std::size(kQuality1));
            break;
        case 2:
            table = kQuality2;
            pass.tapCount = static_cast<int>(std::size(kQuality2));
            break;
        case 3:
            table = kQuality3;
            pass.tapCount = static_cast<int>(std::size(kQuality3));
            break;
        default:
            return false;
    }
    for (int i = 0; i < pass.tapCount; ++i) pass.taps[i] = table[i];
    return true;
}

// The offsets times amount * 4, and the average of every possible sum.
void ScaleTaps(RadialPass& pass, int amount) {
    const double spread = amount * 4.0;
    for (int i = 0; i < pass.tapCount; ++i) {
        pass.taps[i] = static_cast<float>(pass.taps[i] * spread);
    }
    // The pixel itself counts as one sample.
    const float weight = static_cast<float>(1.0 / (pass.tapCount + 1));
    for (int sum = 0; sum <= kMaxSum; ++sum) {
        pass.average[sum] = static_cast<std::uint8_t>(TiTrunc(sum * static_cast<double>(weight)));
    }
}

// Slots for the rows within reach of the one being blurred: a power of two
// of them, so that a row's slot is its number masked; or one per row where
// that is no more.
int SlotRows(int rowReach, int height, SpreadRows& spread) {
    if (rowReach <= 0) return height;
    int rows = 1;
    while (rows < 2 * rowReach + 1) rows *= 2;
    if (rows >= height) return height;
    spread.mask = rows - 1;
    return rows;
}

}  // namespace

int RadialBlur(TiBitmapData& bitmap, int amount, float scale, int quality) {
    const int bpp = bitmap.GetBpp();
    TI_ASSERT(bpp == TiRGBBpp || bpp == TiRGBABpp, "bpp == TiRGBBpp || bpp == TiRGBABpp", 29);
    const int width = bitmap.GetWidth();
    const int height = bitmap.GetHeight();
    RadialPass pass{.data = bitmap.GetData(),
                    .pitch = bitmap.GetPitch(),
                    .bpp = bpp,
                    .width = width,
                    .height = height,
                    .centerX = width / 2,
                    .centerY = height / 2,
                    .reach = width / scale,
                    .tapCount = 0,
                    .taps = {},
                    .column = SampleIndex(width),
                    .row = SampleIndex(height),
                    .spread = {nullptr, width, -1},
                    .average = {}};
    if (!SelectTaps(quality, pass)) return 0;
    if (PixelCount(bitmap) == 0) return 1;
    ScaleTaps(pass, amount);

    const int rowReach = SampleRowReach(pass);
    const int slotRows = SlotRows(rowReach, height, pass.spread);
    const TiBuffer<Spread> slots(TiByteCount(slotRows, width));
    if (!slots) return 0;
    pass.spread.slots = slots.get();
    const bool narrowOffsets = std::int64_t{slotRows} * width <= INT32_MAX;

    // Serial on purpose: samples read the results of earlier rows and pixels.
    const int ahead = rowReach > 0 ? rowReach : height;
    int spreadRows = 0;
    for (int y = 0; y < height; ++y) {
        for (; spreadRows < height && spreadRows <= y + ahead; ++spreadRows) {
            SpreadRow(pass, spreadRows);
        }
        BlurRow(pass, y, narrowOffsets);
    }
    return 1;
}

}  // namespace vantrel
