#include "Core/filter/Lomo.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "Core/base/NormalBlend.h"
#include "Core/global/Numeric.h"
#include "Core/global/ParallelRows.h"
#include "Core/global/PixelPass.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/filter/Lomo";

// The ellipse and the falloff outside it, in a quadrant's coordinates
// relative to the picture's centre.
struct Falloff {
    int halfWidth;
    int halfHeight;
    double effectWidth;  // semi-axes of the untouched ellipse
    double effectHeight;
    double focus;           // both foci lie this far from the centre
    bool fociAlongX;        // on the x axis when the quadrant is wider than tall
    double mindist;         // sum of the distances to the foci on the ellipse
    double maxdist;         // the same at the quadrant's far corner
    const double* squares;  // i * i
};

double FocalSum(const Falloff& f, int x, int y) {
    if (f.fociAlongX) {
        const double dx1 = x - f.focus;
        const double dx2 = x + f.focus;
        return std::sqrt(dx1 * dx1 + f.squares[y]) + std::sqrt(dx2 * dx2 + f.squares[y]);
    }
    const double dy1 = y - f.focus;
    const double dy2 = y + f.focus;
    return std::sqrt(f.squares[x] + dy1 * dy1) + std::sqrt(f.squares[x] + dy2 * dy2);
}

Falloff MakeFalloff(int halfWidth, int halfHeight, double brightRatio, const double* squares) {
    Falloff f{};
    f.halfWidth = halfWidth;
    f.halfHeight = halfHeight;
    f.effectWidth = halfWidth * brightRatio;
    f.effectHeight = halfHeight * brightRatio;
    f.focus =
        halfWidth == halfHeight
            ? 0.0
            : std::sqrt(std::fabs(f.effectWidth * f.effectWidth - f.effectHeight * f.effectHeight));
    f.fociAlongX = halfWidth > halfHeight;
    f.mindist = 2 * std::max(f.effectWidth, f.effectHeight);
    f.squares = squares;
    // The corner's sum, from the focus offsets directly (the table stops
    // short of the focus-shifted coordinate).
    const double kx = halfWidth - 1;
    const double ky = halfHeight - 1;
    const double fx = f.fociAlongX ? f.focus : 0.0;
    const double fy = f.fociAlongX ? 0.0 : f.focus;
    f.maxdist = std::sqrt((kx - fx) * (kx - fx) + (ky - fy) * (ky - fy)) +
                std::sqrt((kx + fx) * (kx + fx) + (ky + fy) * (ky + fy));
    return f;
}

// Alpha of quadrant pixel (x, y), x and y counted from the centre outward.
std::uint8_t AlphaAt(const Falloff& f, int x, int y) {
    const double ew2 = f.effectWidth * f.effectWidth;
    const double eh2 = f.effectHeight * f.effectHeight;
    const double axes = f.effectWidth * f.effectHeight;
    if (f.squares[x] * eh2 + f.squares[y] * ew2 < axes * axes) return 0;
    // Too small a quadrant to normalise over: no darkening.
    if (!(f.maxdist > f.mindist)) return 0;
    const double s = FocalSum(f, x, y);
    double dist = s > f.mindist ? s : f.mindist;
    if (!(dist < f.maxdist)) dist = f.maxdist;
    const double t = (dist - f.mindist) / (f.maxdist - f.mindist);
    return static_cast<std::uint8_t>(TiTrunc(t * 255 * t));
}

void FillQuadrantAlpha(const Falloff& f, std::uint8_t* alpha) {
    const std::ptrdiff_t width = f.halfWidth;
    ParallelRows(f.halfHeight, f.halfWidth, [&](int rowBegin, int rowEnd) {
        for (int y = rowBegin; y < rowEnd; ++y) {
            std::uint8_t* row = alpha + y * width;
            for (int x = 0; x < f.halfWidth; ++x) row[x] = AlphaAt(f, x, y);
        }
    });
}

// The black RGBA layer of one quadrant, the alpha mirrored so that it grows
// toward the picture's corner: `mirrorX` for the left quadrants, `mirrorY`
// for the top ones.
void FillLayer(const std::uint8_t* alpha, int width, int height, bool mirrorX, bool mirrorY,
               std::uint8_t* layer) {
    ParallelRows(height, width, [&](int rowBegin, int rowEnd) {
        for (int y = rowBegin; y < rowEnd; ++y) {
            const int sourceY = mirrorY ? height - 1 - y : y;
            const std::uint8_t* source = alpha + static_cast<std::ptrdiff_t>(sourceY) * width;
            std::uint8_t* p = layer + static_cast<std::ptrdiff_t>(y) * width * 4;
            for (int x = 0; x < width; ++x, p += 4) {
                p[0] = p[1] = p[2] = 0;
                p[3] = source[mirrorX ? width - 1 - x : x];
            }
        }
    });
}

}  // namespace

int DarkenCorner(TiBitmapData& bitmap, double brightRatio, int opacity) {
    TI_ASSERT(brightRatio <= 1.0 && brightRatio >= 0.0, "brightRatio <= 1.0 && brightRatio >= 0.0",
              259);
    if (!IsColorBitmap(bitmap)) return 0;
    const int hw = bitmap.GetWidth() / 2;
    const int hh = bitmap.GetHeight() / 2;
    // At opacity 0 the layer weighs nothing and every pixel keeps its value.
    if (hw <= 0 || hh <= 0 || opacity <= 0) return 1;

    const std::optional<std::size_t> layerBytes = TiByteCount(hw, hh, 4);
    if (!layerBytes) return 0;
    const TiBuffer<double> squares(static_cast<std::size_t>(std::max(hw, hh)));
    const TiBuffer<std::uint8_t> alpha(*layerBytes / 4);
    const TiBuffer<std::uint8_t> layer(*layerBytes);
    if (!squares || !alpha || !layer) return 0;
    for (int i = 0; i < std::max(hw, hh); ++i) squares[i] = static_cast<double>(i) * i;

    const Falloff falloff = MakeFalloff(hw, hh, brightRatio, squares.get());
    TI_ASSERT(
        falloff.mindist == falloff.effectWidth * 2 || falloff.mindist == falloff.effectHeight * 2,
        "mindist == effectWidth * 2 || mindist == effectHeight * 2", 284);
    FillQuadrantAlpha(falloff, alpha.get());

    // Top-left, top-right, bottom-left, bottom-right.
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        const bool left = quadrant % 2 == 0;
        const bool top = quadrant < 2;
        FillLayer(alpha.get(), hw, hh, left, top, layer.get());
        BlendLayerMask(bitmap, layer.get(), left ? 0 : hw, top ? 0 : hh, hw, hh, opacity);
    }
    return 1;
}

}  // namespace vantrel
