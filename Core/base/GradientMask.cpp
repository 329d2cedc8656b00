#include "Core/base/GradientMask.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>

#include "Core/base/BlendMode.h"
#include "Core/base/GradientRamp.h"
#include "Core/global/Numeric.h"
#include "Core/global/ParallelRows.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/base/GradientMask";

constexpr float kPi = 3.14159265358979323846f;

// Below this many pixels evaluating each one costs less than building the
// change points.
constexpr long kRampMinimumPixels = 1L << 14;

// Length of the line through the centre at `angle` degrees, edge to edge.
float Extent(int angle, int width, int height, float slope, float radians) {
    if (angle == 0 || angle == 180) return static_cast<float>(width);
    if (angle == 90 || angle == 270) return static_cast<float>(height);
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    if (std::fabs(slope) < h / w) return std::fabs(w / std::cos(radians));
    return std::fabs(h / std::sin(radians));
}

GradientGeometry MakeGeometry(const GradientPalette& palette, int style, int degrees, float scale,
                              bool reverse, int width, int height) {
    GradientGeometry g;
    g.angle = degrees % 360;
    if (g.angle < 0) g.angle += 360;
    const float radians = static_cast<float>(g.angle) * kPi / 180.0f;
    g.slope = std::tan(radians);
    g.slopeNorm = 1.0f + g.slope * g.slope;
    const float extent = Extent(g.angle, width, height, g.slope, radians);
    // The centred styles measure from the centre, so half the scale spans
    // the same length as the linear style's whole.
    const bool centred = style != kGradientLinear;
    const float reach = centred ? scale * 0.5f : scale;
    g.offset = centred ? 0.0f : 0.5f;
    g.fold = centred;
    g.reverse = reverse;
    g.divisor = extent * reach - 1.0f;
    if (style == kGradientRadial) {
        g.keyKind = KeyKind::kSquaredRadius;
    } else if (g.angle == 0 || g.angle == 180) {
        g.keyKind = KeyKind::kAlongX;
    } else if (g.angle == 90 || g.angle == 270) {
        g.keyKind = KeyKind::kAlongY;
    } else {
        g.keyKind = KeyKind::kProjected;
    }
    g.points = palette.points().data();
    g.pointCount = palette.size();
    return g;
}

struct Canvas {
    unsigned char* data;
    std::ptrdiff_t pitch;
    int width;
    int height;
    int bpp;
    int centerX;
    int centerY;

    unsigned char* Row(int j) const { return data + j * pitch; }
    // Offsets from the centre, y growing upward; in 64 bits so that no
    // centre can overflow.
    float X(int i) const { return static_cast<float>(std::int64_t{i} - centerX); }
    float Y(int j) const { return static_cast<float>(std::int64_t{centerY} - j); }
};

template <int Bpp>
void Put(unsigned char* p, std::uint32_t color) {
    if constexpr (Bpp == 1) {
        p[0] = static_cast<unsigned char>(color >> 24);
    } else {
        p[0] = static_cast<unsigned char>(color);
        p[1] = static_cast<unsigned char>(color >> 8);
        p[2] = static_cast<unsigned char>(color >> 16);
        if constexpr (Bpp == 4) p[3] = 255;  // the whole buffer starts out 255
    }
}

// Calls body with the bytes per pixel as a compile-time constant.
template <typename Body>
void WithBpp(int bpp, Body body) {
    if (bpp == 1) return body(std::integral_constant<int, 1>{});
    if (bpp == 3) return body(std::integral_constant<int, 3>{});
    body(std::integral_constant<int, 4>{});
}

template <int Bpp>
void RenderRowsPerPixel(const Canvas& c, const GradientGeometry& g, int rowBegin, int rowEnd) {
    for (int j = rowBegin; j < rowEnd; ++j) {
        unsigned char* p = c.Row(j);
        const float y = c.Y(j);
        for (int i = 0; i < c.width; ++i, p += Bpp) Put<Bpp>(p, g.Value(g.Key(c.X(i), y)).color);
    }
}

// Vertical directions: one colour per row.
template <int Bpp>
void RenderRowsAlongY(const Canvas& c, const GradientGeometry& g, int rowBegin, int rowEnd) {
    for (int j = rowBegin; j < rowEnd; ++j) {
        const std::uint32_t color = g.Value(g.Key(0, c.Y(j))).color;
        unsigned char* p = c.Row(j);
        for (int i = 0; i < c.width; ++i, p += Bpp) Put<Bpp>(p, color);
    }
}

// Walks keys that never decrease from column `from` to `to` (exclusive),
// stepping `step` columns; key(i) gives the key of column i.
template <int Bpp, typename KeyOf>
void WalkRun(unsigned char* row, const GradientRamp& ramp, int from, int to, int step, KeyOf key) {
    if (from == to) return;
    const GradientRamp::Segments s = ramp.View();
    constexpr float kNoMore = std::numeric_limits<float>::infinity();
    std::size_t segment = ramp.SegmentOf(key(from));
    // Only the next change key and the current colour stay live per pixel.
    float next = segment < s.changes ? s.keys[segment] : kNoMore;
    std::uint32_t color = s.colors[segment];
    for (int i = from; i != to; i += step) {
        const float k = key(i);
        if (k >= next) {
            while (segment < s.changes && k >= s.keys[segment]) ++segment;
            next = segment < s.changes ? s.keys[segment] : kNoMore;
            color = s.colors[segment];
        }
        Put<Bpp>(row + static_cast<std::ptrdiff_t>(i) * Bpp, color);
    }
}

template <int Bpp>
void RenderRowsFromRamp(const Canvas& c, const GradientGeometry& g, const GradientRamp& ramp,
                        int rowBegin, int rowEnd) {
    const std::int64_t centerX = c.centerX;
    const auto offsetX = [centerX](int i) { return static_cast<float>(i - centerX); };
    for (int j = rowBegin; j < rowEnd; ++j) {
        const float y = c.Y(j);
        if (g.keyKind == KeyKind::kProjected) {
            const float shift = g.slope * y;
            WalkRun<Bpp>(c.Row(j), ramp, 0, c.width, 1,
                         [offsetX, shift](int i) { return offsetX(i) + shift; });
            continue;
        }
        // x * x + y * y grows away from the centre column on either side.
        const float yy = y * y;
        const auto key = [offsetX, yy](int i) {
            const float x = offsetX(i);
            return x * x + yy;
        };
        const int split = static_cast<int>(std::clamp<std::int64_t>(centerX, 0, c.width));
        WalkRun<Bpp>(c.Row(j), ramp, split, c.width, 1, key);
        WalkRun<Bpp>(c.Row(j), ramp, split - 1, -1, -1, key);
    }
}

// The smallest and largest key of any pixel; float addition is monotone, so
// the extremes of the terms give the extremes of the sums.
void KeyRange(const Canvas& c, const GradientGeometry& g, float& lo, float& hi) {
    lo = std::numeric_limits<float>::infinity();
    hi = -lo;
    if (g.keyKind == KeyKind::kProjected) {
        for (int j = 0; j < c.height; ++j) {
            const float shift = g.slope * c.Y(j);
            lo = std::min(lo, c.X(0) + shift);
            hi = std::max(hi, c.X(c.width - 1) + shift);
        }
        return;
    }
    float xxLo = lo, xxHi = hi, yyLo = lo, yyHi = hi;
    for (int i = 0; i < c.width; ++i) {
        const float x = c.X(i);
        xxLo = std::min(xxLo, x * x);
        xxHi = std::max(xxHi, x * x);
    }
    for (int j = 0; j < c.height; ++j) {
        const float y = c.Y(j);
        yyLo = std::min(yyLo, y * y);
        yyHi = std::max(yyHi, y * y);
    }
    lo = xxLo + yyLo;
    hi = xxHi + yyHi;
}

// Whether the change-point walk reproduces every pixel: it needs a palette
// whose pieces are monotone and a finite, non-zero divisor (positions are
// then finite).
bool RampApplies(const GradientGeometry& g, const GradientPalette& palette) {
    return std::isfinite(g.divisor) && g.divisor != 0 && PaletteIsMonotone(palette);
}

void RenderPerPixel(const Canvas& c, const GradientGeometry& g) {
    ParallelRows(c.height, c.width, [&](int rowBegin, int rowEnd) {
        WithBpp(c.bpp, [&](auto bpp) { RenderRowsPerPixel<bpp()>(c, g, rowBegin, rowEnd); });
    });
}

// Horizontal directions: every row equals the first.
void RenderAlongX(const Canvas& c, const GradientGeometry& g) {
    WithBpp(c.bpp, [&](auto bpp) { RenderRowsPerPixel<bpp()>(c, g, 0, 1); });
    const std::size_t rowBytes = static_cast<std::size_t>(c.width) * c.bpp;
    ParallelRows(c.height - 1, c.width, [&](int rowBegin, int rowEnd) {
        for (int j = rowBegin + 1; j < rowEnd + 1; ++j) std::memcpy(c.Row(j), c.Row(0), rowBytes);
    });
}

void Render(const Canvas& c, const GradientGeometry& g, const GradientPalette& palette) {
    if (c.width <= 0 || c.height <= 0) return;
    if (g.keyKind == KeyKind::kAlongX) return RenderAlongX(c, g);
    if (g.keyKind == KeyKind::kAlongY) {
        return ParallelRows(c.height, c.width, [&](int rowBegin, int rowEnd) {
            WithBpp(c.bpp, [&](auto bpp) { RenderRowsAlongY<bpp()>(c, g, rowBegin, rowEnd); });
        });
    }
    GradientRamp ramp;
    float keyLo = 0;
    float keyHi = 0;
    const long pixels = static_cast<long>(c.width) * c.height;
    if (pixels < kRampMinimumPixels || !RampApplies(g, palette)) return RenderPerPixel(c, g);
    KeyRange(c, g, keyLo, keyHi);
    if (!ramp.Build(g, keyLo, keyHi)) return RenderPerPixel(c, g);
    ParallelRows(c.height, c.width, [&](int rowBegin, int rowEnd) {
        WithBpp(c.bpp, [&](auto bpp) { RenderRowsFromRamp<bpp()>(c, g, ramp, rowBegin, rowEnd); });
    });
}

Canvas CanvasOf(TiBitmapData& bitmap, int centerX, int centerY) {
    return Canvas{bitmap.GetData(),
                  bitmap.GetPitch(),
                  bitmap.GetWidth(),
                  bitmap.GetHeight(),
                  bitmap.GetBpp(),
                  centerX,
                  centerY};
}

enum class RenderPath { kChangePoints, kPerPixel };

// Both paths of the public entry points share the checks, all made before
// the first pixel is written.
int CreateGradientMask(TiBitmapData& bitmap, const GradientPalette& palette, int style, int degrees,
                       float scale, bool reverse, int centerX, int centerY, RenderPath path) {
    const int bpp = bitmap.GetBpp();
    TI_ASSERT(bpp == TiRGBBpp || bpp == TiRGBABpp || bpp == 1,
              "bpp == TiRGBBpp || bpp == TiRGBABpp || bpp == 1", 246);
    TI_ASSERT(style >= kGradientLinear && style <= kGradientSymmetry, "false", 333);
    GetRGBatPosition(palette, 0.0f);  // refuses a palette of fewer than two stops
    const GradientGeometry geometry = MakeGeometry(palette, style, degrees, scale, reverse,
                                                   bitmap.GetWidth(), bitmap.GetHeight());
    const Canvas canvas = CanvasOf(bitmap, centerX, centerY);
    if (path == RenderPath::kPerPixel) {
        if (canvas.width > 0 && canvas.height > 0) RenderPerPixel(canvas, geometry);
    } else {
        Render(canvas, geometry, palette);
    }
    return 1;
}

}  // namespace

int CreateGradientMask(TiBitmapData& bitmap, const GradientPalette& palette, int style, int degrees,
                       float scale, bool reverse, int centerX, int centerY) {
    return CreateGradientMask(bitmap, palette, style, degrees, scale, reverse, centerX, centerY,
                              RenderPath::kChangePoints);
}

int detail::CreateGradientMaskPerPixel(TiBitmapData& bitmap, const GradientPalette& palette,
                                       int style, int degrees, float scale, bool reverse,
                                       int centerX, int centerY) {
    return CreateGradientMask(bitmap, palette, style, degrees, scale, reverse, centerX, centerY,
                              RenderPath::kPerPixel);
}

int RenderGradient(const GradientPalette& palette, unsigned char* buffer, int width, int height,
                   int bpp, int style, int degrees, float scale, bool reverse) {
    const std::int64_t pitch = std::int64_t{width} * bpp;
    if (pitch < 0 || pitch > INT_MAX || height < 0) return 0;
    TiBitmapData view(buffer, width, height, static_cast<int>(pitch), bpp, false);
    const GradientPalette copy = palette;
    return CreateGradientMask(view, copy, style, degrees, scale, reverse, width / 2, height / 2);
}

int GradientOverlay(TiBitmapData& bitmap, int blendMode, int style, const RGBPoint* stops,
                    int stopCount, float degrees, float scale, float opacity, bool reverse) {
    const int width = bitmap.GetWidth();
    const int height = bitmap.GetHeight();
    const std::optional<std::size_t> bytes = TiByteCount(width, TiRGBBpp, height);
    if (!bytes || std::int64_t{width} * TiRGBBpp > INT_MAX) return 0;
    const TiBuffer<unsigned char> buffer(*bytes);
    if (!buffer) return 0;

    GradientPalette palette;
    for (int i = 0; stops && i < stopCount; ++i) {
        palette.AddPoint(stops[i].color, stops[i].position, stops[i].midpoint);
    }
    RenderGradient(palette, buffer.get(), width, height, TiRGBBpp, style, TiTrunc(degrees), scale,
                   reverse);
    const TiBitmapData gradient(buffer.get(), width, height, width * TiRGBBpp, TiRGBBpp, false);
    return BlendMode(bitmap, 0, gradient, 0, blendMode, opacity);
}

std::unique_ptr<TiBitmapData> CreateGradientPresetBitmap(int type, int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    // Owning from here, so that a refused palette releases the pixels.
    std::unique_ptr<TiBitmapData> bitmap = NewPackedBitmap(width, height, TiRGBABpp, true);
    if (!bitmap) return nullptr;
    RenderGradient(GradientPreset(type), bitmap->GetData(), width, height, TiRGBABpp,
                   kGradientLinear, -45, 1.0f, false);
    return bitmap;
}

}  // namespace vantrel
