#include "Core/base/Histogram.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>

#include "Core/global/ParallelRows.h"
#include "Core/global/TiAssert.h"

namespace vantrel {
namespace {

constexpr const char kHeaderFile[] = "Core/base/Histogram.h";

// The weighted terms of display gray per byte value; summing them per pixel
// in the same order gives the same doubles as the products would.
struct GrayTerms {
    double red[256];
    double green[256];
    double blue[256];

    GrayTerms() {
        for (int v = 0; v < 256; ++v) {
            red[v] = v * 0.2126;
            green[v] = v * 0.7152;
            blue[v] = v * 0.0722;
        }
    }

    int Gray(unsigned r, unsigned g, unsigned b) const {
        const int gray = static_cast<int>(red[r] + green[g] + blue[b] + 0.5);
        return gray > 255 ? 255 : gray;
    }
};

// Counts of one band of rows, in 64 bits so that no band can overflow.
struct BandCounts {
    std::uint64_t counts[4][256];  // red, green, blue, gray

    void Add(const BandCounts& other) {
        for (int c = 0; c < 4; ++c)
            for (int v = 0; v < 256; ++v) counts[c][v] += other.counts[c][v];
    }
};

// Two sets of 32-bit counters taking alternate pixels, so that runs of equal
// values (common in photos) do not wait on one counter's previous increment.
// Flushed into the band's totals before they could overflow.
struct Lanes {
    std::uint32_t counts[2][4][256];
    std::uint64_t pending = 0;

    void Count(const unsigned char* p, const GrayTerms& terms, int lane) {
        ++counts[lane][0][p[0]];
        ++counts[lane][1][p[1]];
        ++counts[lane][2][p[2]];
        ++counts[lane][3][terms.Gray(p[0], p[1], p[2])];
    }

    void FlushInto(BandCounts& band) {
        for (int lane = 0; lane < 2; ++lane)
            for (int c = 0; c < 4; ++c)
                for (int v = 0; v < 256; ++v) band.counts[c][v] += counts[lane][c][v];
        std::memset(counts, 0, sizeof counts);
        pending = 0;
    }
};

template <int Bpp>
void CountRow(const unsigned char* p, int width, const GrayTerms& terms, Lanes& lanes) {
    int x = 0;
    for (; x + 2 <= width; x += 2, p += 2 * Bpp) {
        lanes.Count(p, terms, 0);
        lanes.Count(p + Bpp, terms, 1);
    }
    if (x < width) lanes.Count(p, terms, 0);
}

void CountRows(const TiBitmapData& bitmap, const GrayTerms& terms, int rowBegin, int rowEnd,
               BandCounts& band) {
    const std::uint64_t width = static_cast<std::uint64_t>(std::max(bitmap.GetWidth(), 0));
    Lanes lanes;
    std::memset(lanes.counts, 0, sizeof lanes.counts);
    for (int y = rowBegin; y < rowEnd; ++y) {
        if (lanes.pending + width > UINT32_MAX) lanes.FlushInto(band);
        const unsigned char* p =
            bitmap.GetData() + static_cast<std::ptrdiff_t>(y) * bitmap.GetPitch();
        if (bitmap.GetBpp() == TiRGBABpp) {
            CountRow<4>(p, bitmap.GetWidth(), terms, lanes);
        } else {
            CountRow<3>(p, bitmap.GetWidth(), terms, lanes);
        }
        lanes.pending += width;
    }
    lanes.FlushInto(band);
}

std::int32_t Saturate(std::uint64_t count) {
    return static_cast<std::int32_t>(std::min<std::uint64_t>(count, INT32_MAX));
}

}  // namespace

std::int32_t* TiHistogram::getValues(int channel) {
    switch (channel) {
        case 0:
            return lumCounts;
        case 1:
            return redCounts;
        case 2:
            return greenCounts;
        case 3:
            return blueCounts;
        default:
            TI_ASSERT_IN(kHeaderFile, false, "false", 35);
    }
}

const std::int32_t* TiHistogram::getValues(int channel) const {
    return const_cast<TiHistogram*>(this)->getValues(channel);
}

std::unique_ptr<TiHistogram> ComputeHistogram(const TiBitmapData& bitmap) {
    if (bitmap.GetBpp() != TiRGBBpp && bitmap.GetBpp() != TiRGBABpp) return nullptr;
    std::unique_ptr<TiHistogram> histogram(new (std::nothrow) TiHistogram{});
    if (!histogram) return nullptr;

    static const GrayTerms terms;
    BandCounts total{};
    std::mutex merge;
    ParallelRows(bitmap.GetHeight(), bitmap.GetWidth(), [&](int rowBegin, int rowEnd) {
        BandCounts band{};
        CountRows(bitmap, terms, rowBegin, rowEnd, band);
        const std::lock_guard<std::mutex> lock(merge);
        total.Add(band);
    });

    std::int32_t* arrays[4] = {histogram->redCounts, histogram->greenCounts, histogram->blueCounts,
                               histogram->lumCounts};
    for (int c = 0; c < 4; ++c)
        for (int v = 0; v < 256; ++v) arrays[c][v] = Saturate(total.counts[c][v]);
    for (int channel = 0; channel < 4; ++channel) {
        const std::int32_t* values = histogram->getValues(channel);
        histogram->maxCount[channel] = *std::max_element(values, values + 256);
    }
    return histogram;
}

}  // namespace vantrel
