#include "Core/base/Rotate.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

#include "Core/global/Numeric.h"
#include "Core/global/ParallelRows.h"

namespace vantrel {
namespace {

// Channel lanes are picked by shifts of a pixel's 32-bit word: red in bits
// 0-7 and alpha in bits 24-31 hold only where bytes R, G, B, A load
// little-endian.
static_assert(std::endian::native == std::endian::little);

// 16.16 fixed point, the integer part above bit 16. Held in 64 bits so that
// no sum can overflow; within the 32-bit range the values are the same.
using Fixed = std::int64_t;
constexpr Fixed kOne = 65536;

// No picture reaches coordinates this far out; refusing them keeps every
// fixed-point sum far from the 64-bit limit.
constexpr double kReachLimit = 1073741824.0;

Fixed ToFixed(double value) {
    return TiTrunc64(value * 65536.0);
}

// Source coordinate of destination pixel (x, y):
// origin + x * perColumn + y * perRow.
struct Mapping {
    Fixed originX, originY;
    Fixed columnX, columnY;
    Fixed rowX, rowY;
};

std::optional<Mapping> MakeMapping(const TiRotateSurface& destination,
                                   const TiRotateSurface& source, double angle, double zoomX,
                                   double zoomY, double moveX, double moveY) {
    const double cosine = std::cos(angle);
    const double sine = std::sin(angle);
    const double ax = cosine / zoomX;
    const double ay = sine / zoomX;
    const double bx = -sine / zoomY;
    const double by = cosine / zoomY;
    const double halfWidth = source.width / 2.0;
    const double halfHeight = source.height / 2.0;
    const double u = -(halfWidth + moveX) / zoomX;
    const double v = (halfHeight + moveY) / zoomY;
    const double cx = u * cosine + v * sine + halfWidth;
    const double cy = u * sine - v * cosine + halfHeight;

    const double reachX =
        std::fabs(cx) + std::fabs(ax) * destination.width + std::fabs(bx) * destination.height;
    const double reachY =
        std::fabs(cy) + std::fabs(ay) * destination.width + std::fabs(by) * destination.height;
    if (!(reachX < kReachLimit && reachY < kReachLimit)) return std::nullopt;
    return Mapping{ToFixed(cx), ToFixed(cy), ToFixed(ax), ToFixed(ay), ToFixed(bx), ToFixed(by)};
}

// Destination columns [begin, end); empty when begin >= end.
struct Span {
    int begin;
    int end;
    bool Empty() const { return begin >= end; }
};

Fixed FloorDiv(Fixed a, Fixed b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}  // b > 0
Fixed CeilDiv(Fixed a, Fixed b) {
    return -FloorDiv(-a, b);
}  // b > 0

// The columns x in [0, count) with low <= start + x * step < high.
Span SolveSpan(Fixed start, Fixed step, Fixed low, Fixed high, int count) {
    Fixed first = 0;
    Fixed last = count - 1;
    if (step > 0) {
        first = CeilDiv(low - start, step);
        last = CeilDiv(high - start, step) - 1;
    } else if (step < 0) {
        first = FloorDiv(start - high, -step) + 1;
        last = FloorDiv(start - low, -step);
    } else if (!(low <= start && start < high)) {
        return {0, 0};
    }
    first = std::max<Fixed>(first, 0);
    last = std::min<Fixed>(last, count - 1);
    if (first > last) return {0, 0};
    return {static_cast<int>(first), static_cast<int>(last + 1)};
}

Span Intersect(Span a, Span b) {
    const Span both{std::max(a.begin, b.begin), std::min(a.end, b.end)};
    return both.Empty() ? Span{0, 0} : both;
}

// A row's pixels that touch the source (inner and border) and, within them,
// the inner ones; the border pixels lie on either side of the inner run.
struct RowRuns {
    Span touched;
    Span inner;
};

RowRuns RunsOfRow(const Mapping& map, const TiRotateSurface& source, int width, int y) {
    const Fixed startX = map.originX + y * map.rowX;
    const Fixed startY = map.originY + y * map.rowY;
    const Fixed w = source.width;
    const Fixed h = source.height;
    const Span touched = Intersect(SolveSpan(startX, map.columnX, -kOne, (w + 1) * kOne, width),
                                   SolveSpan(startY, map.columnY, -kOne, (h + 1) * kOne, width));
    const Span inner = Intersect(SolveSpan(startX, map.columnX, kOne, (w - 1) * kOne, width),
                                 SolveSpan(startY, map.columnY, kOne, (h - 1) * kOne, width));
    return {touched, Intersect(inner, touched)};
}

std::uint32_t LoadPixel(const unsigned char* p) {
    std::uint32_t word;
    std::memcpy(&word, p, 4);
    return word;
}

void StorePixel(unsigned char* p, std::uint32_t word) {
    std::memcpy(p, &word, 4);
}

constexpr std::uint32_t kLanes = 0x00FF00FF;

// Bilinear mix with 8-bit fractions u, v: red and blue in one multiply's
// 16-bit lanes, green and alpha in another's. A lane's sum is at most
// 255 * 256, so no lane carries into the next.
std::uint32_t MixFour(std::uint32_t p00, std::uint32_t p10, std::uint32_t p01, std::uint32_t p11,
                      std::uint32_t u, std::uint32_t v) {
    const std::uint32_t uv = (u * v) >> 8;
    const std::uint32_t w00 = 256 - u - v + uv;
    const std::uint32_t w10 = u - uv;
    const std::uint32_t w01 = v - uv;
    const std::uint32_t rb =
        (p00 & kLanes) * w00 + (p10 & kLanes) * w10 + (p01 & kLanes) * w01 + (p11 & kLanes) * uv;
    const std::uint32_t ga = (p00 >> 8 & kLanes) * w00 + (p10 >> 8 & kLanes) * w10 +
                             (p01 >> 8 & kLanes) * w01 + (p11 >> 8 & kLanes) * uv;
    return (rb >> 8 & kLanes) | (ga & ~kLanes);
}

// Each channel: (mix * a + old * (255 - a)) >> 8, a being the mix's alpha.
std::uint32_t BlendByCoverage(std::uint32_t mix, std::uint32_t old) {
    const std::uint32_t a = mix >> 24;
    const std::uint32_t rb = ((mix & kLanes) * a + (old & kLanes) * (255 - a)) >> 8 & kLanes;
    const std::uint32_t ga = ((mix >> 8 & kLanes) * a + (old >> 8 & kLanes) * (255 - a)) & ~kLanes;
    return rb | ga;
}

std::uint32_t Fraction(Fixed coordinate) {
    return static_cast<std::uint32_t>(coordinate >> 8 & 255);
}

struct RowWalk {
    const TiRotateSurface& source;
    unsigned char* out;
    Fixed sx;
    Fixed sy;
    Fixed stepX;
    Fixed stepY;
};

// Locals rather than the walk's fields: a store through a byte pointer could
// alias them and would force a reload of each on every pixel.
void DrawInner(RowWalk& walk, int begin, int end) {
    const unsigned char* const data = walk.source.data;
    const std::ptrdiff_t pitch = walk.source.pitch;
    const Fixed stepX = walk.stepX;
    const Fixed stepY = walk.stepY;
    Fixed sx = walk.sx;
    Fixed sy = walk.sy;
    unsigned char* out = walk.out + static_cast<std::ptrdiff_t>(begin) * 4;
    for (int x = begin; x < end; ++x, sx += stepX, sy += stepY, out += 4) {
        const unsigned char* top = data + (sy >> 16) * pitch + (sx >> 16) * 4;
        StorePixel(out, MixFour(LoadPixel(top), LoadPixel(top + 4), LoadPixel(top + pitch),
                                LoadPixel(top + pitch + 4), Fraction(sx), Fraction(sy)));
    }
    walk.sx = sx;
    walk.sy = sy;
}

// A neighbour read clamped into the source, its alpha replaced by whether it
// lies inside.
std::uint32_t ReadEdgeNeighbour(const TiRotateSurface& source, Fixed x, Fixed y) {
    const bool inside = x >= 0 && x < source.width && y >= 0 && y < source.height;
    const Fixed cx = std::clamp<Fixed>(x, 0, source.width - 1);
    const Fixed cy = std::clamp<Fixed>(y, 0, source.height - 1);
    const std::uint32_t word = LoadPixel(source.data + cy * source.pitch + cx * 4);
    return (word & 0x00FFFFFF) | (inside ? 0xFF000000u : 0u);
}

void DrawBorder(RowWalk& walk, int begin, int end) {
    for (int x = begin; x < end; ++x, walk.sx += walk.stepX, walk.sy += walk.stepY) {
        const Fixed left = walk.sx >> 16;
        const Fixed top = walk.sy >> 16;
        const std::uint32_t mixed = MixFour(ReadEdgeNeighbour(walk.source, left, top),
                                            ReadEdgeNeighbour(walk.source, left + 1, top),
                                            ReadEdgeNeighbour(walk.source, left, top + 1),
                                            ReadEdgeNeighbour(walk.source, left + 1, top + 1),
                                            Fraction(walk.sx), Fraction(walk.sy));
        unsigned char* pixel = walk.out + static_cast<std::ptrdiff_t>(x) * 4;
        StorePixel(pixel, BlendByCoverage(mixed, LoadPixel(pixel)));
    }
}

// A row's three runs of destination columns: border, inner, border.
struct RowPlan {
    Span left;
    Span inner;
    Span right;
};

RowPlan PlanOfRow(const Mapping& map, const TiRotateSurface& source, int width, int y) {
    const RowRuns runs = RunsOfRow(map, source, width, y);
    const Span touched = runs.touched;
    const Span inner = runs.inner.Empty() ? Span{touched.end, touched.end} : runs.inner;
    return {{touched.begin, inner.begin}, inner, {inner.end, touched.end}};
}

// The walk of row y from column x: the coordinates are exact integers, so
// starting anywhere gives what accumulating from the row's start gives.
RowWalk WalkFrom(const TiRotateSurface& destination, const TiRotateSurface& source,
                 const Mapping& map, int y, int x) {
    return {source,
            destination.data + static_cast<std::ptrdiff_t>(y) * destination.pitch,
            map.originX + y * map.rowX + x * map.columnX,
            map.originY + y * map.rowY + x * map.columnY,
            map.columnX,
            map.columnY};
}

// The columns [from, to) of row y.
void DrawRowPart(const TiRotateSurface& destination, const TiRotateSurface& source,
                 const Mapping& map, int y, const RowPlan& plan, int from, int to) {
    const Span left = Intersect(plan.left, {from, to});
    const Span inner = Intersect(plan.inner, {from, to});
    const Span right = Intersect(plan.right, {from, to});
    if (!left.Empty()) {
        RowWalk walk = WalkFrom(destination, source, map, y, left.begin);
        DrawBorder(walk, left.begin, left.end);
    }
    if (!inner.Empty()) {
        RowWalk walk = WalkFrom(destination, source, map, y, inner.begin);
        DrawInner(walk, inner.begin, inner.end);
    }
    if (!right.Empty()) {
        RowWalk walk = WalkFrom(destination, source, map, y, right.begin);
        DrawBorder(walk, right.begin, right.end);
    }
}

// Rows are drawn in tiles of kTileRows by kTileColumns pixels: a row's walk
// crosses the source diagonally, onto a new source row (and often a new
// page) at nearly every pixel, and the rows of a tile read the same few
// source rows while they are still cached.
constexpr int kTileRows = 32;
constexpr int kTileColumns = 32;

void DrawRows(const TiRotateSurface& destination, const TiRotateSurface& source, const Mapping& map,
              int first, int end) {
    RowPlan plans[kTileRows];
    for (int top = first; top < end; top += kTileRows) {
        const int rows = std::min(kTileRows, end - top);
        int from = destination.width;
        int to = 0;
        for (int i = 0; i < rows; ++i) {
            plans[i] = PlanOfRow(map, source, destination.width, top + i);
            if (plans[i].left.begin < plans[i].right.end) {
                from = std::min(from, plans[i].left.begin);
                to = std::max(to, plans[i].right.end);
            }
        }
        for (int x = from; x < to; x += kTileColumns) {
            const int tileEnd = std::min(to, x + kTileColumns);
            for (int i = 0; i < rows; ++i) {
                DrawRowPart(destination, source, map, top + i, plans[i], x, tileEnd);
            }
        }
    }
}

// The rows drawn: from the centre row down to the first row that touches
// nothing, and from the row above it up likewise.
Span RowsToDraw(const TiRotateSurface& destination, const TiRotateSurface& source,
                const Mapping& map) {
    const int centre = destination.height / 2;
    int last = centre;
    while (last < destination.height &&
           !RunsOfRow(map, source, destination.width, last).touched.Empty()) {
        ++last;
    }
    int first = centre - 1;
    while (first >= 0 && !RunsOfRow(map, source, destination.width, first).touched.Empty()) {
        --first;
    }
    return {first + 1, last};
}

}  // namespace

void RotateBitmap(const TiRotateSurface& destination, const TiRotateSurface& source, double angle,
                  double zoomX, double zoomY, double moveX, double moveY) {
    if (std::fabs(source.width * zoomX) < 0.0001 || std::fabs(source.height * zoomY) < 0.0001) {
        return;
    }
    if (source.width <= 0 || source.height <= 0) return;
    if (destination.width <= 0 || destination.height <= 0) return;
    const std::optional<Mapping> map =
        MakeMapping(destination, source, angle, zoomX, zoomY, moveX, moveY);
    if (!map) return;
    const Span rows = RowsToDraw(destination, source, *map);
    // Each row writes only its own destination row and reads only the
    // source, so bands of rows give the serial result.
    ParallelRows(rows.end - rows.begin, destination.width, [&](int bandBegin, int bandEnd) {
        DrawRows(destination, source, *map, rows.begin + bandBegin, rows.begin + bandEnd);
    });
}

int RotateBitmap(TiBitmapData& destination, const TiBitmapData& source, double angle, double zoomX,
                 double zoomY, double moveX, double moveY) {
    if (destination.GetBpp() != TiRGBABpp || source.GetBpp() != TiRGBABpp) return 0;
    const TiRotateSurface to{destination.GetData(), destination.GetPitch(), destination.GetWidth(),
                             destination.GetHeight()};
    const TiRotateSurface from{source.GetData(), source.GetPitch(), source.GetWidth(),
                               source.GetHeight()};
    RotateBitmap(to, from, angle, zoomX, zoomY, moveX, moveY);
    return 1;
}

}  // namespace vantrel
