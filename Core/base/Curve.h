// Tone curves: the 256-entry table applier, the Catmull-Rom curve spline and
// its sampler, and the curve made from control points.
//
// Pixel contract: 3- or 4-byte bitmaps or views (bytes R, G, B, A), rows
// stepped by pitch; only the colour bytes a channel selector names are
// rewritten, alpha never. A 1-byte bitmap is left as it is.
//
// Channel selector: 0 = red, green and blue each through the same table;
// 1 = red only, 2 = green only, 3 = blue only. Any other selector is a
// precondition violation (TiAssertionError "false" from AdjustCurve), raised
// before a pixel is written.
//
// Failure: AdjustCurveBySplinePoints returns 0, bitmap unchanged, when the
// spline's memory can't be had or the bitmap has 1 byte per pixel.
#pragma once

#include "Core/global/BitmapData.h"
#include "Core/global/Records.h"
#include "Core/global/TiMemory.h"

namespace vantrel {

// Maps the selected colour byte(s) of every pixel through `table` (256 bytes).
void AdjustCurve(TiBitmapData& bitmap, const unsigned char* table, int channel);

// Maps red, green and blue of every pixel through their own 256-byte tables.
void AdjustCurveChannels(TiBitmapData& bitmap, const unsigned char* red, const unsigned char* green,
                         const unsigned char* blue);

// A Catmull-Rom spline through curve points in the order appended. The
// parameter range 0..1 is cut into one segment of length 1/n per point; the
// curve passes through the points, repeating the first before it and the last
// after it.
class CurveSpline {
public:
    CurveSpline() = default;
    CurveSpline(const CurveSpline&) = delete;
    CurveSpline& operator=(const CurveSpline&) = delete;

    // Copies `point` to the end; false (spline unchanged) when memory can't
    // be had.
    bool AppendPoint(const Vec3& point);

    // The curve point at parameter u (0..1), coordinate by coordinate in
    // 32-bit float; the zero point when the spline is empty.
    Vec3 Evaluate(float u) const;

    int GetPointCount() const { return m_count; }
    const Vec3& GetPoint(int index) const { return m_points[index]; }

private:
    TiBuffer<Vec3> m_points;
    int m_count = 0;
    int m_capacity = 0;
    float m_segment = 0;  // 1 / m_count
};

// Fills table[0 .. tableSize - 1] from `sampleCount` evenly spaced samples of
// the spline, joined by straight pieces: entry i is the curve's output y at
// input x = i. Inputs left of the first point take the first point's output,
// inputs right of the last point the last point's. Outputs are clamped into
// low..high, except that low = high = 0 leaves them unclamped; either way a
// stored value outside 0..255 saturates to the byte range. An empty spline
// leaves the table as it is.
void SampleCurveTable(const CurveSpline& spline, unsigned char* table, int tableSize,
                      int sampleCount, int low, int high);

// The unclamped form (low = high = 0).
void SampleCurveTable(const CurveSpline& spline, unsigned char* table, int tableSize,
                      int sampleCount);

// The curve through `points` (x input, y output, both 0..255), sampled 200
// times into a 256-entry table clamped to 0..255 and applied on `channel`.
// No points leaves the bitmap unchanged. Returns 1 done, 0 (unchanged) when
// memory can't be had or the bitmap has 1 byte per pixel.
int AdjustCurveBySplinePoints(TiBitmapData& bitmap, const Vec3* points, int pointCount,
                              int channel);

}  // namespace vantrel
