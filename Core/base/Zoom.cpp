#include "Core/base/Zoom.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>

#include "Core/global/Numeric.h"
#include "Core/global/ParallelRows.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/base/Zoom";

// Reported as ImageZoom's own also when CreateImageZoom checks them before it
// allocates.
void RequireZoomPreconditions(int bpp, int widthZoom, int heightZoom, int saveBpp) {
    if (!(bpp == TiRGBBpp || bpp == TiRGBABpp)) {
        TiAssertFail("bpp == TiRGBBpp || bpp == TiRGBABpp", "ImageZoom", kTiSourceFile, 28);
    }
    if (!(widthZoom > 0 && heightZoom > 0)) {
        TiAssertFail("widthZoom > 0 && heightZoom > 0", "ImageZoom", kTiSourceFile, 29);
    }
    if (!(bpp == saveBpp)) TiAssertFail("bpp == saveBpp", "ImageZoom", kTiSourceFile, 30);
}

// Where one destination column (or row) samples the source: the indices of
// its two neighbours and their weights 1 - f and f.
struct ZoomTap {
    int nearIndex;
    int farIndex;
    float nearWeight;
    float farWeight;
};

ZoomTap MakeTap(int index, float step, int sourceExtent) {
    float position = static_cast<float>(index) * step;
    if (static_cast<double>(position) <= 1e-8) position = 0.0f;
    // With a single source pixel the limit would be -1: clamp to it instead,
    // and let it be its own far neighbour.
    const int limit = sourceExtent >= 2 ? sourceExtent - 2 : 0;
    if (position > static_cast<float>(limit)) position = static_cast<float>(limit);
    const int base = TiTrunc(position);
    const float fraction = position - static_cast<float>(base);
    return {base, sourceExtent >= 2 ? base + 1 : base, 1.0f - fraction, fraction};
}

// Channel offsets of one column's neighbours within a row: the same index
// into a row of bytes and into that row converted to floats.
struct ColumnTap {
    std::ptrdiff_t nearOffset;
    std::ptrdiff_t farOffset;
    float nearWeight;
    float farWeight;
};

// Four float lanes computed lane by lane with the scalar expression's order
// of operations, so each lane rounds exactly as one channel's sum does.
using Float4 = float __attribute__((vector_size(16)));

Float4 LoadFloat4(const float* p) {
    Float4 lanes;
    std::memcpy(&lanes, p, sizeof lanes);
    return lanes;
}

// One destination row as floats from two source rows converted to floats
// (top weighted c, bottom d). A 3-byte pixel's fourth lane reads the next
// pixel's first channel (or a padding 0) and is not kept.
template <int Bpp>
void MixRow(const float* top, const float* bottom, float c, float d, const ColumnTap* columns,
            float* out, int width) {
    for (int i = 0; i < width; ++i, out += Bpp) {
        const ColumnTap& tap = columns[i];
        const float a = tap.nearWeight;
        const float b = tap.farWeight;
        const Float4 value = LoadFloat4(top + tap.nearOffset) * a * c +
                             LoadFloat4(top + tap.farOffset) * b * c +
                             LoadFloat4(bottom + tap.nearOffset) * a * d +
                             LoadFloat4(bottom + tap.farOffset) * b * d;
        std::memcpy(out, &value, Bpp * sizeof(float));
    }
}

void ConvertRow(const unsigned char* in, float* out, std::ptrdiff_t count) {
    for (std::ptrdiff_t k = 0; k < count; ++k) out[k] = static_cast<float>(in[k]);
}

// A mix is at least 0 and below 256 (its weights add up to 1 within a few
// float roundings), so truncation by a plain conversion is exact.
void TruncateRow(const float* in, unsigned char* out, std::ptrdiff_t count) {
    for (std::ptrdiff_t k = 0; k < count; ++k) {
        out[k] = static_cast<unsigned char>(static_cast<int>(in[k]));
    }
}

// When neither the row nor any column has a fraction, the mix is exactly the
// near pixel (its weight is 1, the others' 0): copy it.
void CopyNearest(const unsigned char* top, const ColumnTap* columns, unsigned char* out, int width,
                 int bpp) {
    for (int i = 0; i < width; ++i, out += bpp) std::memcpy(out, top + columns[i].nearOffset, bpp);
}

// A band's work memory: two source rows as floats, kept while successive
// destination rows reuse them, and one destination row of floats.
class RowCache {
public:
    RowCache(float* memory, std::ptrdiff_t sourceFloats)
        : m_slots{memory, memory + sourceFloats}, m_out(memory + 2 * sourceFloats) {}

    // Source row y as floats, converting it into the slot not holding `keep`.
    const float* Fetch(const TiBitmapData& source, int y, int keep) {
        for (int k = 0; k < 2; ++k) {
            if (m_rows[k] == y) return m_slots[k];
        }
        const int k = m_rows[0] == keep ? 1 : 0;
        ConvertRow(source.GetData() + static_cast<std::ptrdiff_t>(y) * source.GetPitch(),
                   m_slots[k], static_cast<std::ptrdiff_t>(source.GetWidth()) * source.GetBpp());
        m_rows[k] = y;
        return m_slots[k];
    }

    float* Out() const { return m_out; }

private:
    float* m_slots[2];
    int m_rows[2] = {-1, -1};
    float* m_out;
};

struct ZoomPass {
    const TiBitmapData& source;
    TiBitmapData& destination;
    const ColumnTap* columns;
    bool columnsWhole;  // every column's fraction is 0
    float rowStep;
};

template <int Bpp>
void ZoomRows(const ZoomPass& pass, RowCache& cache, int rowBegin, int rowEnd) {
    const TiBitmapData& source = pass.source;
    const int width = pass.destination.GetWidth();
    for (int j = rowBegin; j < rowEnd; ++j) {
        const ZoomTap row = MakeTap(j, pass.rowStep, source.GetHeight());
        unsigned char* out = pass.destination.GetData() +
                             static_cast<std::ptrdiff_t>(j) * pass.destination.GetPitch();
        if (pass.columnsWhole && row.farWeight == 0.0f) {
            const unsigned char* top =
                source.GetData() + static_cast<std::ptrdiff_t>(row.nearIndex) * source.GetPitch();
            CopyNearest(top, pass.columns, out, width, Bpp);
            continue;
        }
        const float* top = cache.Fetch(source, row.nearIndex, row.farIndex);
        const float* bottom = cache.Fetch(source, row.farIndex, row.nearIndex);
        MixRow<Bpp>(top, bottom, row.nearWeight, row.farWeight, pass.columns, cache.Out(), width);
        TruncateRow(cache.Out(), out, static_cast<std::ptrdiff_t>(width) * Bpp);
    }
}

// Rows are split into a fixed number of bands, each with its own cache, so
// that all work memory is had before the first pixel is written.
}  // namespace

int ImageZoom(const TiBitmapData& source, TiBitmapData& destination, int widthZoom,
              int heightZoom) {
    RequireZoomPreconditions(source.GetBpp(), widthZoom, heightZoom, destination.GetBpp());
    if (source.GetWidth() <= 0 || source.GetHeight() <= 0) return 0;
    const int width = destination.GetWidth();
    const int height = destination.GetHeight();
    if (width <= 0 || height <= 0) return 1;

    // Per band: two source rows and one destination row of floats, each with
    // a padding lane for the 3-byte pixels' fourth lane.
    const int bpp = source.GetBpp();
    const int bands = TiBandCount(height, 16);
    const std::ptrdiff_t sourceFloats = static_cast<std::ptrdiff_t>(source.GetWidth()) * bpp + 1;
    const std::ptrdiff_t bandFloats =
        2 * sourceFloats + static_cast<std::ptrdiff_t>(width) * bpp + 1;
    const TiBuffer<ColumnTap> columns(static_cast<std::size_t>(width));
    const TiBuffer<float> floats(TiByteCount(bands, bandFloats), TiBuffer<float>::kZeroed);
    if (!columns || !floats) return 0;

    const float columnStep = static_cast<float>(source.GetWidth()) / static_cast<float>(widthZoom);
    bool columnsWhole = true;
    for (int i = 0; i < width; ++i) {
        const ZoomTap tap = MakeTap(i, columnStep, source.GetWidth());
        columns[i] = {static_cast<std::ptrdiff_t>(tap.nearIndex) * bpp,
                      static_cast<std::ptrdiff_t>(tap.farIndex) * bpp, tap.nearWeight,
                      tap.farWeight};
        columnsWhole = columnsWhole && tap.farWeight == 0.0f;
    }
    const float rowStep = static_cast<float>(source.GetHeight()) / static_cast<float>(heightZoom);
    const ZoomPass pass{source, destination, columns.get(), columnsWhole, rowStep};
    const long bandWork = static_cast<long>(width) * (height / bands + 1);
    ParallelRows(bands, bandWork, [&](int bandBegin, int bandEnd) {
        for (int band = bandBegin; band < bandEnd; ++band) {
            RowCache cache(floats.get() + band * bandFloats, sourceFloats);
            const TiBand rows = TiBandOf(height, band, bands);
            if (bpp == TiRGBABpp) {
                ZoomRows<TiRGBABpp>(pass, cache, rows.begin, rows.end);
            } else {
                ZoomRows<TiRGBBpp>(pass, cache, rows.begin, rows.end);
            }
        }
    });
    return 1;
}

std::unique_ptr<TiBitmapData> CreateImageZoom(const TiBitmapData& source, int widthZoom,
                                              int heightZoom) {
    const int bpp = source.GetBpp();
    RequireZoomPreconditions(bpp, widthZoom, heightZoom, bpp);
    std::unique_ptr<TiBitmapData> zoomed = NewPackedBitmap(widthZoom, heightZoom, bpp);
    if (!zoomed) return nullptr;
    if (!ImageZoom(source, *zoomed, widthZoom, heightZoom)) return nullptr;
    return zoomed;
}

std::unique_ptr<TiBitmapData> CreateImageZoom(const TiBitmapData& source, float ratio) {
    const int width = TiTrunc(static_cast<float>(source.GetWidth()) * ratio);
    const int height = TiTrunc(static_cast<float>(source.GetHeight()) * ratio);
    return CreateImageZoom(source, width, height);
}

}  // namespace vantrel
