#include "Core/filter/GasBlur.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "Core/global/ParallelRows.h"
#include "Core/global/TargetClones.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

// The second-order sums reach 256 r^2: 32-bit ints hold them up to this radius.
constexpr int kMaxInt32Radius = 2896;
constexpr int kMaxRadius = 1 << 24;

// One run of the recurrence filters Lanes independent lanes side by side:
// 64 / bpp rows interleaved pixel by pixel for the row pass, a 256-byte strip
// of every row for the column pass. Whole lanes keep the inner loops free of
// branches, so the compiler turns them into vector code.
constexpr int kRowLanes = 64;
constexpr int kColumnLanes = 256;

// floor(n / d) for 0 <= n < 2^31 by one multiply and one shift: with
// l = ceil(log2 d) and m = ceil(2^(31+l) / d), (n * m) >> (31 + l) is exact
// over that whole range, and m fits 32 bits.
class Int32Divider {
public:
    using Sum = std::int32_t;
    explicit Int32Divider(std::uint32_t divisor) {
        int log = 0;
        while ((std::uint64_t{1} << log) < divisor) ++log;
        m_shift = 31 + log;
        m_multiplier =
            static_cast<std::uint32_t>(((std::uint64_t{1} << m_shift) + divisor - 1) / divisor);
    }
    std::uint8_t operator()(Sum n) const {
        const std::uint64_t product =
            static_cast<std::uint64_t>(static_cast<std::uint32_t>(n)) * m_multiplier;
        return static_cast<std::uint8_t>(product >> m_shift);
    }

private:
    std::uint32_t m_multiplier;
    int m_shift;
};

// Radii beyond the 32-bit range: plain 64-bit sums and division.
class Int64Divider {
public:
    using Sum = std::int64_t;
    explicit Int64Divider(std::int64_t divisor) : m_divisor(divisor) {}
    std::uint8_t operator()(Sum n) const { return static_cast<std::uint8_t>(n / m_divisor); }

private:
    std::int64_t m_divisor;
};

// The sums as they stand before output 0: second = floor(r^2/2) plus the
// tent-weighted samples around 0, first = (samples 0 .. r-1) - r * e(0), the
// box difference that steps the second-order sum from 0 to 1. Samples past
// the end are the last one; those tails are summed in closed form, so
// starting costs min(r, steps) steps rather than r.
template <int Lanes, typename Sum>
void StartSums(const std::uint8_t* src, int steps, int r, Sum* first, Sum* second) {
    const Sum half = static_cast<Sum>(r) * r / 2;
    const Sum headWeight = static_cast<Sum>(r) * (r + 1) / 2;
    for (int i = 0; i < Lanes; ++i) {
        second[i] = half + headWeight * src[i];
        first[i] = -static_cast<Sum>(r) * src[i];
    }
    for (int k = 1; k <= std::min(r - 1, steps - 1); ++k) {
        const std::uint8_t* row = src + static_cast<std::size_t>(k) * Lanes;
        const Sum weight = r - k;
        for (int i = 0; i < Lanes; ++i) second[i] += weight * row[i];
    }
    for (int j = 0; j < std::min(r, steps); ++j) {
        const std::uint8_t* row = src + static_cast<std::size_t>(j) * Lanes;
        for (int i = 0; i < Lanes; ++i) first[i] += row[i];
    }
    if (r > steps) {
        const std::uint8_t* last = src + static_cast<std::size_t>(steps - 1) * Lanes;
        const Sum tailWeight = static_cast<Sum>(r - steps) * (r - steps + 1) / 2;
        const Sum tailCount = r - steps;
        for (int i = 0; i < Lanes; ++i) {
            second[i] += tailWeight * last[i];
            first[i] += tailCount * last[i];
        }
    }
}

// 0xFF for the lanes that hold alpha, 0 for colour lanes.
template <int Lanes, int Bpp>
constexpr std::array<std::uint8_t, Lanes> AlphaLanes() {
    std::array<std::uint8_t, Lanes> keep{};
    for (int i = 0; i < Lanes; ++i) keep[i] = Bpp == TiRGBABpp && i % 4 == 3 ? 0xFF : 0;
    return keep;
}

// The tent recurrence along `steps` samples of Lanes lanes. The line buffer
// `line` keeps the unfiltered samples by step (line[step * Lanes + lane]),
// because the results overwrite the bitmap as they are produced:
// fetch(step, slot) copies a step's samples from the bitmap into its slot
// just before their first use, and sink(step, q) receives the Lanes result
// bytes of each step. Lanes marked in kKeep (alpha) pass through unfiltered.
template <int Lanes, int Bpp, typename Divider, typename Fetch, typename Sink>
void TentLanes(std::uint8_t* line, int steps, int r, const Divider& divide, Fetch&& fetch,
               Sink&& sink) {
    using Sum = typename Divider::Sum;
    static constexpr auto kKeep = AlphaLanes<Lanes, Bpp>();
    auto slot = [line](std::int64_t step) { return line + step * Lanes; };
    for (int j = 0; j < std::min(r, steps); ++j) fetch(j, slot(j));
    Sum first[Lanes];
    Sum second[Lanes];
    StartSums<Lanes>(line, steps, r, first, second);
    alignas(64) std::uint8_t q[Lanes];
    for (int x = 0; x < steps; ++x) {
        const std::int64_t incoming = std::int64_t{x} + r;
        if (incoming < steps) fetch(static_cast<int>(incoming), slot(incoming));
        const std::uint8_t* left = slot(std::max(x - r, 0));
        const std::uint8_t* centre = slot(x);
        const std::uint8_t* right = slot(std::min<std::int64_t>(incoming, steps - 1));
        for (int i = 0; i < Lanes; ++i) {
            q[i] = (divide(second[i]) & ~kKeep[i]) | (centre[i] & kKeep[i]);
            first[i] += left[i] - 2 * centre[i] + right[i];
            second[i] += first[i];
        }
        sink(x, q);
    }
}

// Columns: a strip of kColumnLanes bytes of every row.
template <int Bpp, typename Divider>
void BlurColumnStrip(TiBitmapData& bitmap, int byteBegin, int r, const Divider& divide,
                     std::uint8_t* line) {
    const std::ptrdiff_t pitch = bitmap.GetPitch();
    const int bytes = std::min(kColumnLanes, bitmap.GetWidth() * Bpp - byteBegin);
    std::uint8_t* top = bitmap.GetData() + byteBegin;
    auto fetch = [&](int y, std::uint8_t* slot) {
        if (bytes == kColumnLanes) {
            std::memcpy(slot, top + y * pitch, kColumnLanes);
        } else {
            std::memcpy(slot, top + y * pitch, bytes);
            std::memset(slot + bytes, 0, kColumnLanes - bytes);  // idle lanes, defined
        }
    };
    auto sink = [&](int y, const std::uint8_t* q) {
        if (bytes == kColumnLanes)
            std::memcpy(top + y * pitch, q, kColumnLanes);
        else
            std::memcpy(top + y * pitch, q, bytes);
    };
    TentLanes<kColumnLanes, Bpp>(line, bitmap.GetHeight(), r, divide, fetch, sink);
}

// Rows: Rows rows interleaved pixel by pixel (kRowLanes / Bpp for every
// block but the last).
template <int Bpp, int Rows, typename Divider>
void BlurRowsInterleaved(TiBitmapData& bitmap, int rowBegin, int rows, int r, const Divider& divide,
                         std::uint8_t* line) {
    std::uint8_t* row[kRowLanes / Bpp];
    for (int k = 0; k < rows; ++k) {
        row[k] = bitmap.GetData() + static_cast<std::ptrdiff_t>(rowBegin + k) * bitmap.GetPitch();
    }
    const int used = (Rows ? Rows : rows) * Bpp;
    auto fetch = [&](int x, std::uint8_t* slot) {
        for (int k = 0; k < (Rows ? Rows : rows); ++k) {
            std::memcpy(slot + k * Bpp, row[k] + x * Bpp, Bpp);
        }
        if (used < kRowLanes) std::memset(slot + used, 0, kRowLanes - used);  // idle lanes
    };
    auto sink = [&](int x, const std::uint8_t* q) {
        for (int k = 0; k < (Rows ? Rows : rows); ++k) {
            std::memcpy(row[k] + x * Bpp, q + k * Bpp, Bpp);
        }
    };
    TentLanes<kRowLanes, Bpp>(line, bitmap.GetWidth(), r, divide, fetch, sink);
}

template <int Bpp, typename Divider>
void BlurRowBlock(TiBitmapData& bitmap, int rowBegin, int r, const Divider& divide,
                  std::uint8_t* line) {
    constexpr int kRows = kRowLanes / Bpp;
    const int rows = std::min(kRows, bitmap.GetHeight() - rowBegin);
    if (rows == kRows)
        BlurRowsInterleaved<Bpp, kRows>(bitmap, rowBegin, rows, r, divide, line);
    else
        BlurRowsInterleaved<Bpp, 0>(bitmap, rowBegin, rows, r, divide, line);
}

// Line buffers, one per band of independent lines, all taken up front so
// that a refusal comes before the first pixel is written.
struct LineBuffers {
    std::uint8_t* data;
    std::size_t bytesEach;
    int count;
};

// One pass (rows or columns at one radius) over a bitmap, split into bands:
// row blocks or column strips, band b taking units [units*b/bands, ...).
struct Pass {
    TiBitmapData* bitmap;
    int radius;
    bool columns;
    int units;
    int bands;
    const LineBuffers* buffers;
};

template <int Bpp, typename Divider>
void RunBandAs(const Pass& pass, int band) {
    const Divider divide(static_cast<typename Divider::Sum>(pass.radius) * pass.radius);
    std::uint8_t* buffer = pass.buffers->data + pass.buffers->bytesEach * band;
    const TiBand units = TiBandOf(pass.units, band, pass.bands);
    for (int unit = units.begin; unit < units.end; ++unit) {
        if (pass.columns) {
            BlurColumnStrip<Bpp>(*pass.bitmap, unit * kColumnLanes, pass.radius, divide, buffer);
        } else {
            BlurRowBlock<Bpp>(*pass.bitmap, unit * (kRowLanes / Bpp), pass.radius, divide, buffer);
        }
    }
}

template <int Bpp>
void RunBandOfBpp(const Pass& pass, int band) {
    if (pass.radius <= kMaxInt32Radius)
        RunBandAs<Bpp, Int32Divider>(pass, band);
    else
        RunBandAs<Bpp, Int64Divider>(pass, band);
}

// Cloned for AVX-512 and AVX2, where the lanes run sixteen or eight at a
// time; integer arithmetic, so every version gives the same bytes.
TI_TARGET_CLONES void RunBand(const Pass& pass, int band) {
    switch (pass.bitmap->GetBpp()) {
        case TiRGBABpp:
            RunBandOfBpp<TiRGBABpp>(pass, band);
            break;
        case TiRGBBpp:
            RunBandOfBpp<TiRGBBpp>(pass, band);
            break;
        default:
            RunBandOfBpp<1>(pass, band);
            break;
    }
}

void RunPass(TiBitmapData& bitmap, int radius, bool columns, const LineBuffers& buffers) {
    const int bpp = bitmap.GetBpp();
    const std::int64_t rowBytes = std::int64_t{bitmap.GetWidth()} * bpp;
    const int rowsPerBlock = kRowLanes / bpp;
    const int units =
        static_cast<int>(columns ? (rowBytes + kColumnLanes - 1) / kColumnLanes
                                 : (bitmap.GetHeight() + rowsPerBlock - 1) / rowsPerBlock);
    const Pass pass{&bitmap, radius, columns, units, std::min(units, buffers.count), &buffers};
    const long bandWork = static_cast<long>(bitmap.GetWidth()) * bitmap.GetHeight() / pass.bands;
    ParallelRows(pass.bands, bandWork, [&pass](int bandBegin, int bandEnd) {
        for (int band = bandBegin; band < bandEnd; ++band) RunBand(pass, band);
    });
}

int BandCount(int width, int height) {
    return TiBandCount(std::max(width, height) / 16 + 1, 64);
}

}  // namespace

int GasBlur(TiBitmapData& bitmap, int radiusH, int radiusV) {
    const int width = bitmap.GetWidth();
    const int height = bitmap.GetHeight();
    radiusH = std::min(radiusH, kMaxRadius);
    radiusV = std::min(radiusV, kMaxRadius);
    if ((radiusH <= 1 && radiusV <= 1) || width <= 0 || height <= 0) return 1;

    LineBuffers buffers{nullptr, 0, BandCount(width, height)};
    const auto bytesEach = TiByteCount(
        std::max(std::int64_t{width} * kRowLanes, std::int64_t{height} * kColumnLanes), 1);
    const TiBuffer<std::uint8_t> memory(bytesEach ? TiByteCount(*bytesEach, buffers.count)
                                                  : std::nullopt);
    if (!memory) return 0;
    buffers.data = memory.get();
    buffers.bytesEach = *bytesEach;

    if (radiusH > 1) RunPass(bitmap, radiusH, false, buffers);
    if (radiusV > 1) RunPass(bitmap, radiusV, true, buffers);
    return 1;
}

int GasBlur(TiBitmapData& bitmap, int radius) {
    return GasBlur(bitmap, radius, radius);
}

}  // namespace vantrel
