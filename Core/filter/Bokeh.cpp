#include "Core/filter/Bokeh.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "Core/base/GradientMask.h"
#include "Core/base/GradientPalette.h"
#include "Core/filter/GasBlur.h"
#include "Core/global/PixelPass.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/filter/Bokeh";

// Fills the width x height mask: 255 at the focus centre, half-way at
// centerRadius, 0 from about centerRadius + extendWidth outward. Without any
// radius there is no focus and the mask is 0 everywhere.
void RenderFocusMask(std::uint8_t* mask, int width, int height, int cx, int cy, int degrees,
                     int centerRadius, int extendWidth) {
    const std::int64_t reach = std::int64_t{centerRadius} + extendWidth;
    if (reach == 0) {
        std::memset(mask, 0, static_cast<std::size_t>(width) * height);
        return;
    }
    GradientPalette palette;
    palette.AddPoint(TinyRGB{255, 255, 255}, 0.0f,
                     static_cast<float>(centerRadius) / static_cast<float>(reach));
    palette.AddPoint(TinyRGB{0, 0, 0}, static_cast<float>(reach / (width * 0.5)), 0.5f);
    TiBitmapData view(mask, width, height, width, 1, false);
    CreateGradientMask(view, palette, kGradientRadial, degrees, 1.0f, false, cx, cy);
}

// a = w / 255 rounded to a float, and 1 - a, for every weight byte w.
struct BlendWeights {
    std::array<float, 256> take;
    std::array<float, 256> keep;
    BlendWeights() {
        for (int w = 0; w < 256; ++w) {
            take[w] = static_cast<float>(w / 255.0);
            keep[w] = 1.0f - take[w];
        }
    }
};

std::uint8_t Mix(std::uint8_t picture, std::uint8_t blurred, float keep, float take) {
    const float v = picture * keep + blurred * take;
    return v > 255.0f ? 255 : (v < 0.0f ? 0 : static_cast<std::uint8_t>(v));
}

template <int Bpp, int BlurredBpp>
void BlendRows(TiBitmapData& bitmap, const TiBitmapData& blurred, const std::uint8_t* mask,
               const BlendWeights& weights, int rowBegin, int rowEnd) {
    const int width = bitmap.GetWidth();
    for (int y = rowBegin; y < rowEnd; ++y) {
        std::uint8_t* d = bitmap.GetData() + static_cast<std::ptrdiff_t>(y) * bitmap.GetPitch();
        const std::uint8_t* b =
            blurred.GetData() + static_cast<std::ptrdiff_t>(y) * blurred.GetPitch();
        const std::uint8_t* m = mask + static_cast<std::ptrdiff_t>(y) * width;
        for (int x = 0; x < width; ++x, d += Bpp, b += BlurredBpp) {
            const int alpha = BlurredBpp == TiRGBABpp ? b[3] : 255;
            const int w = alpha > m[x] ? alpha - m[x] : 0;
            // The ends of the mix are exact in float: t * 1 + b * 0 = t and
            // t * 0 + b * 1 = b. Most pixels lie at one end or the other.
            if (w == 0) continue;
            if (w == 255) {
                d[0] = b[0];
                d[1] = b[1];
                d[2] = b[2];
                continue;
            }
            const float keep = weights.keep[w];
            const float take = weights.take[w];
            d[0] = Mix(d[0], b[0], keep, take);
            d[1] = Mix(d[1], b[1], keep, take);
            d[2] = Mix(d[2], b[2], keep, take);
        }
    }
}

template <int Bpp>
void BlendBand(TiBitmapData& bitmap, const TiBitmapData& blurred, const std::uint8_t* mask,
               const BlendWeights& weights, int rowBegin, int rowEnd) {
    if (blurred.GetBpp() == TiRGBABpp) {
        BlendRows<Bpp, TiRGBABpp>(bitmap, blurred, mask, weights, rowBegin, rowEnd);
    } else {
        BlendRows<Bpp, TiRGBBpp>(bitmap, blurred, mask, weights, rowBegin, rowEnd);
    }
}

// A packed copy of the picture blurred at `radius`, or null.
std::unique_ptr<TiBitmapData> BlurredCopy(const TiBitmapData& bitmap, int radius) {
    auto copy = bitmap.Clone(false);
    if (copy && !GasBlur(*copy, radius)) copy.reset();
    return copy;
}

}  // namespace

int BlendBokeh(TiBitmapData& bitmap, const TiBitmapData& blurred, int cx, int cy, int degrees,
               int centerRadius, int extendWidth) {
    if (!IsColorBitmap(bitmap) || !IsColorBitmap(blurred) ||
        bitmap.GetWidth() != blurred.GetWidth() || bitmap.GetHeight() != blurred.GetHeight()) {
        return 0;
    }
    const int width = bitmap.GetWidth();
    const int height = bitmap.GetHeight();
    if (PixelCount(bitmap) == 0) return 1;
    const TiBuffer<std::uint8_t> mask(TiByteCount(width, height));
    if (!mask) return 0;
    RenderFocusMask(mask.get(), width, height, cx, cy, degrees, centerRadius, extendWidth);

    const BlendWeights weights;
    ForEachColorRowBand(bitmap, [&](auto bpp, int rowBegin, int rowEnd) {
        BlendBand<decltype(bpp)::value>(bitmap, blurred, mask.get(), weights, rowBegin, rowEnd);
    });
    return 1;
}

int BokehFilter(TiBitmapData& bitmap, int cx, int cy, int blurRadius, int degrees, int centerRadius,
                int extendWidth) {
    if (!IsColorBitmap(bitmap)) return 0;
    const auto blurred = BlurredCopy(bitmap, blurRadius);
    if (!blurred) return 0;
    return BlendBokeh(bitmap, *blurred, cx, cy, degrees, centerRadius, extendWidth);
}

Bokeher::Bokeher(TiBitmapData* bitmap, int cx, int cy, int blurRadius, int degrees,
                 int centerRadius, int extendWidth, bool ownsBitmap)
    : m_ownsBitmap(ownsBitmap),
      m_params{cx, cy, blurRadius, degrees, centerRadius, extendWidth},
      m_bitmap(bitmap) {
    TI_ASSERT(bitmap, "bitmap", 103);
}

Bokeher::~Bokeher() {
    if (m_ownsBitmap) delete m_bitmap;
}

int Bokeher::PrepareBlur() {
    m_blurred.reset();
    if (!m_bitmap) return 0;
    m_blurred = BlurredCopy(*m_bitmap, m_params.blurRadius);
    return m_blurred ? 1 : 0;
}

int Bokeher::Run() {
    TI_ASSERT(m_bitmap, "m_bitmap", 155);
    const bool blurFits = m_blurred && m_blurred->GetWidth() == m_bitmap->GetWidth() &&
                          m_blurred->GetHeight() == m_bitmap->GetHeight();
    if (!blurFits && !PrepareBlur()) return 0;
    return BlendBokeh(*m_bitmap, *m_blurred, m_params.cx, m_params.cy, m_params.degrees,
                      m_params.centerRadius, m_params.extendWidth);
}

void Bokeher::SetBitmap(TiBitmapData* bitmap, bool ownsBitmap) {
    if (m_ownsBitmap && m_bitmap != bitmap) delete m_bitmap;
    m_bitmap = bitmap;
    m_ownsBitmap = ownsBitmap;
}

void Bokeher::SetParams(const BokehParams& params) {
    if (params.blurRadius != m_params.blurRadius) m_blurred.reset();
    m_params = params;
}

}  // namespace vantrel
