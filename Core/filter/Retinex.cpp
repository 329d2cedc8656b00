#include "Core/filter/Retinex.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "Core/filter/GasBlur.h"
#include "Core/global/Numeric.h"
#include "Core/global/ParallelRows.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiLog.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/filter/Retinex";
constexpr const char kRetinexHeader[] = "Core/filter/Retinex.h";

// The logarithms, once per table entry: log(i + 1) for the ratio to the
// surround, logf((i + 1) * 128) and log(s + 3) for the colour restoration.
struct LogTables {
    const float* ratio;       // 256
    const float* restore;     // 256
    const float* brightness;  // 768, by R + G + B
};

void FillTables(float* memory) {
    for (int i = 0; i < 256; ++i) {
        memory[i] = static_cast<float>(std::log(static_cast<double>(i + 1)));
        memory[256 + i] = std::log(static_cast<float>((i + 1) * 128));
    }
    for (int j = 0; j < 768; ++j) {
        memory[512 + j] = static_cast<float>(std::log(static_cast<double>(j + 3)));
    }
}

// The value of one channel before the stretch (all float): the weighted log
// ratio to the surround, times the channel's log share of the brightness.
float Detail(const LogTables& t, float weight, int target, int surround, int brightness) {
    const float ratio = weight * (t.ratio[target] - t.ratio[surround]);
    return ratio * (t.restore[target] - t.brightness[brightness]);
}

struct Stretch {
    float low;
    float k;
};

const std::uint8_t* RowOf(const TiBitmapData& bitmap, int y) {
    return bitmap.GetData() + static_cast<std::ptrdiff_t>(y) * bitmap.GetPitch();
}

// Mean and deviation of every value, summed in float in scan order: serial,
// because the order of a float sum decides its rounding.
Stretch MeasureStretch(const TiBitmapData& target, const TiBitmapData& surround, const LogTables& t,
                       float weight, float cvar) {
    const int bpp = target.GetBpp();
    float sum = 0.0f;
    float sumsq = 0.0f;
    for (int y = 0; y < target.GetHeight(); ++y) {
        const std::uint8_t* p = RowOf(target, y);
        const std::uint8_t* u = RowOf(surround, y);
        for (int x = 0; x < target.GetWidth(); ++x, p += bpp, u += bpp) {
            const int s = p[0] + p[1] + p[2];
            const float d0 = Detail(t, weight, p[0], u[0], s);
            const float d1 = Detail(t, weight, p[1], u[1], s);
            const float d2 = Detail(t, weight, p[2], u[2], s);
            sum += d0 + d1 + d2;
            sumsq += d0 * d0 + d1 * d1 + d2 * d2;
        }
    }
    const float count =
        static_cast<float>(std::int64_t{3} * target.GetWidth() * target.GetHeight());
    const float mean = sum / count;
    const float deviation = std::sqrt(sumsq / count - mean * mean);
    const float low = mean - cvar * deviation;
    const float range = (mean + cvar * deviation) - low;
    return {low, range == 0.0f ? 255.0f : 255.0f / range};
}

// Each pixel's values again (a pure function of it and its surround, so no
// buffer of them is kept), stretched and written.
void ApplyStretch(TiBitmapData& target, const TiBitmapData& surround, const LogTables& t,
                  float weight, Stretch stretch, int begin, int end) {
    const int bpp = target.GetBpp();
    for (int y = begin; y < end; ++y) {
        std::uint8_t* p = target.GetData() + static_cast<std::ptrdiff_t>(y) * target.GetPitch();
        const std::uint8_t* u = RowOf(surround, y);
        for (int x = 0; x < target.GetWidth(); ++x, p += bpp, u += bpp) {
            const int s = p[0] + p[1] + p[2];
            for (int c = 0; c < 3; ++c) {
                const float d = Detail(t, weight, p[c], u[c], s);
                p[c] = TiClampByte(stretch.k * (d - stretch.low));
            }
        }
    }
}

}  // namespace

int RetinexBlurRadius(int nscales) {
    return TiTrunc(std::ldexp(10.0, nscales / 2));
}

int retinex(TiBitmapData& bitmap, const TiBitmapData& blurred, int nscales, int scales_mode,
            float cvar) {
    TI_ASSERT_IN(kRetinexHeader, bitmap.GetBpp() == TiRGBABpp || bitmap.GetBpp() == TiRGBBpp,
                 "bitmap.GetBpp() == TiRGBABpp || bitmap.GetBpp() == TiRGBBpp", 60);
    TiLog("retinex %d %d %f", scales_mode, nscales, static_cast<double>(cvar));
    if (blurred.GetWidth() != bitmap.GetWidth() || blurred.GetHeight() != bitmap.GetHeight() ||
        blurred.GetBpp() != bitmap.GetBpp()) {
        return 0;
    }
    if (bitmap.GetWidth() <= 0 || bitmap.GetHeight() <= 0) return 1;
    const TiBuffer<float> memory(256 + 256 + 768);
    if (!memory) return 0;
    FillTables(memory.get());
    const LogTables tables{memory.get(), memory.get() + 256, memory.get() + 512};
    // Level 0 has no divisor; it weighs the ratio by 1.
    const float weight = nscales == 0 ? 1.0f : 1.0f / static_cast<float>(nscales);

    const Stretch stretch = MeasureStretch(bitmap, blurred, tables, weight, cvar);
    ParallelRows(bitmap.GetHeight(), bitmap.GetWidth() * 8L, [&](int begin, int end) {
        ApplyStretch(bitmap, blurred, tables, weight, stretch, begin, end);
    });
    return 1;
}

Retinex::Retinex(TiBitmapData* bitmap, int nscales, int scales_mode, float cvar)
    : m_parameter{nscales, scales_mode, cvar}, m_bitmap(bitmap) {
    TI_ASSERT(bitmap, "bitmap", 16);
}

Retinex::~Retinex() = default;

int Retinex::Prepare() {
    m_blurred.reset();
    if (!m_bitmap) return 0;
    auto copy = m_bitmap->Clone(false);
    if (!copy || !GasBlur(*copy, RetinexBlurRadius(m_parameter.nscales))) return 0;
    m_blurred = std::move(copy);
    return 1;
}

int Retinex::Run() {
    TI_ASSERT(m_bitmap, "m_bitmap", 63);
    if (!m_blurred && !Prepare()) return 0;
    return retinex(*m_bitmap, *m_blurred, m_parameter.nscales, m_parameter.scales_mode,
                   m_parameter.cvar);
}

}  // namespace vantrel
