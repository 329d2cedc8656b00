#include "Core/base/Curve.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "Core/global/Numeric.h"
#include "Core/global/PixelPass.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/base/Curve";

constexpr int kCurveTableSize = 256;
constexpr int kCurveSamples = 200;

// The selector check belongs to AdjustCurve; the operations built on it make
// it up front so that nothing is computed for a selector that will fail.
void RequireCurveChannel(int channel) {
    if (channel < 0 || channel > 3) TiAssertFail("false", "AdjustCurve", kTiSourceFile, 89);
}

void AdjustOneChannel(TiBitmapData& bitmap, const unsigned char* table, int byteIndex) {
    ForEachColorPixel(bitmap, [table, byteIndex](unsigned char* pixel) {
        pixel[byteIndex] = table[pixel[byteIndex]];
    });
}

// Writes into a sampled table: indices clamp into the table, values saturate
// to a byte.
class TableWriter {
public:
    TableWriter(unsigned char* table, int size) : m_table(table), m_size(size) {}

    void Write(std::int64_t index, int value) const { m_table[Clamp(index)] = TiClampByte(value); }
    unsigned char Read(std::int64_t index) const { return m_table[Clamp(index)]; }
    int Size() const { return m_size; }

private:
    std::int64_t Clamp(std::int64_t index) const {
        return std::clamp<std::int64_t>(index, 0, m_size - 1);
    }

    unsigned char* m_table;
    int m_size;
};

// Output range of the sampler; low = high = 0 means no clamping.
struct OutputRange {
    int low;
    int high;
    bool Clamps() const { return !(low == 0 && high == 0); }
    float Clamp(float y) const {
        if (!Clamps()) return y;
        if (y < static_cast<float>(low)) y = static_cast<float>(low);
        if (y > static_cast<float>(high)) y = static_cast<float>(high);
        return y;
    }
    int Clamp(int value) const {
        if (!Clamps()) return value;
        return value < low ? low : (value > high ? high : value);
    }
};

// The straight piece from (prevX, prevY) to (x, y) written over entries
// next..b. Entries left of 0 all land on entry 0 and the last of them wins,
// so the walk starts no further left than it has to.
void WriteStraightPiece(const TableWriter& writer, const OutputRange& range, float prevX,
                        float prevY, float x, float y, std::int64_t next, int b) {
    const float slope = (y - prevY) / (x - prevX);
    const float intercept = prevY - slope * prevX;
    for (std::int64_t j = std::max<std::int64_t>(next, std::min(b, 0)); j <= b; ++j) {
        const float value = static_cast<float>(j) * slope + intercept;
        writer.Write(j, range.Clamp(TiTrunc(value)));
    }
}

// Entry next - 1 takes the last point's output; everything after it repeats
// its left neighbour.
void FinishTable(const TableWriter& writer, std::int64_t next, const Vec3& last) {
    writer.Write(next - 1, TiTrunc(last.y));
    for (std::int64_t j = std::max<std::int64_t>(next, 1); j < writer.Size(); ++j) {
        writer.Write(j, writer.Read(j - 1));
    }
}

}  // namespace

void AdjustCurve(TiBitmapData& bitmap, const unsigned char* table, int channel) {
    RequireCurveChannel(channel);
    if (!IsColorBitmap(bitmap)) return;
    if (channel == 0) {
        AdjustCurveChannels(bitmap, table, table, table);
    } else {
        AdjustOneChannel(bitmap, table, channel - 1);
    }
}

bool CurveSpline::AppendPoint(const Vec3& point) {
    if (m_count == m_capacity) {
        if (m_capacity > (1 << 29)) return false;
        const int capacity = m_capacity == 0 ? 8 : m_capacity * 2;
        TiBuffer<Vec3> grown(static_cast<std::size_t>(capacity));
        if (!grown) return false;
        if (m_count > 0) {
            std::memcpy(grown.get(), m_points.get(), sizeof(Vec3) * static_cast<size_t>(m_count));
        }
        m_points = std::move(grown);
        m_capacity = capacity;
    }
    m_points[m_count++] = point;
    m_segment = 1.0f / static_cast<float>(m_count);
    return true;
}

Vec3 CurveSpline::Evaluate(float u) const {
    if (m_count == 0) return Vec3{};
    const float d = m_segment;
    const int k = TiTrunc(u / d);
    const float t = (u - d * static_cast<float>(k)) / d;
    auto control = [this, k](int offset) -> const Vec3& {
        const std::int64_t index = static_cast<std::int64_t>(k) + offset;
        return m_points[std::clamp<std::int64_t>(index, 0, m_count - 1)];
    };
    const Vec3& p0 = control(-1);
    const Vec3& p1 = control(0);
    const Vec3& p2 = control(1);
    const Vec3& p3 = control(2);

    const float t2 = t * t;
    const float t3 = t2 * t;
    const float w0 = (2.0f * t2 - t3 - t) / 2.0f;
    const float w1 = (3.0f * t3 - 5.0f * t2 + 2.0f) / 2.0f;
    const float w2 = (-3.0f * t3 + 4.0f * t2 + t) / 2.0f;
    const float w3 = (t3 - t2) / 2.0f;
    auto blend = [&](float Vec3::*axis) {
        return w0 * (p0.*axis) + w1 * (p1.*axis) + w2 * (p2.*axis) + w3 * (p3.*axis);
    };
    return Vec3{blend(&Vec3::x), blend(&Vec3::y), blend(&Vec3::z)};
}

void SampleCurveTable(const CurveSpline& spline, unsigned char* table, int tableSize,
                      int sampleCount, int low, int high) {
    const int n = spline.GetPointCount();
    if (n == 0 || tableSize <= 0) return;
    const TableWriter writer(table, tableSize);
    const OutputRange range{low, high};
    const Vec3 first = spline.GetPoint(0);
    const Vec3 last = spline.GetPoint(n - 1);
    const float top = static_cast<float>(tableSize - 1);

    float prevX = first.x;
    float prevY = first.y;
    std::int64_t next = 0;
    for (int i = 0; i < sampleCount && next < tableSize; ++i) {
        Vec3 q = spline.Evaluate(static_cast<float>(i) / static_cast<float>(sampleCount));
        if (q.x < first.x) q = first;
        if (q.x > last.x) q = last;
        // Never left of the previous sample, never past the table.
        float x = q.x;
        if (x < prevX) x = prevX;
        if (x > top) x = top;
        const float y = range.Clamp(q.y);
        const int a = TiTrunc(prevX);
        const int b = TiTrunc(x);
        if (i == 0) {
            for (int j = 0; j <= std::min(a, tableSize - 1); ++j) writer.Write(j, TiTrunc(y));
            next = static_cast<std::int64_t>(a) + 1;
        } else if (b == a) {
            if (b > next) {
                writer.Write(b, TiTrunc(y));
                next = static_cast<std::int64_t>(b) + 1;
            }
        } else if (next <= b) {
            WriteStraightPiece(writer, range, prevX, prevY, x, y, next, b);
            next = static_cast<std::int64_t>(b) + 1;
        }
        prevX = x;
        prevY = y;
    }
    FinishTable(writer, next, last);
}

void SampleCurveTable(const CurveSpline& spline, unsigned char* table, int tableSize,
                      int sampleCount) {
    SampleCurveTable(spline, table, tableSize, sampleCount, 0, 0);
}

int AdjustCurveBySplinePoints(TiBitmapData& bitmap, const Vec3* points, int pointCount,
                              int channel) {
    RequireCurveChannel(channel);
    if (!IsColorBitmap(bitmap)) return 0;
    if (points == nullptr || pointCount <= 0) return 1;
    CurveSpline spline;
    for (int i = 0; i < pointCount; ++i) {
        if (!spline.AppendPoint(points[i])) return 0;
    }
    unsigned char table[kCurveTableSize];
    std::memset(table, 0, sizeof table);
    SampleCurveTable(spline, table, kCurveTableSize, kCurveSamples, 0, 255);
    AdjustCurve(bitmap, table, channel);
    return 1;
}

}  // namespace vantrel
