// The parameter records (Core/global/Records.h) packed into arrays of text,
// the form they take inside a command dictionary, and read back.
//
// Packing, in field order unless noted:
//   TinyRGB              [red, green, blue]                     integer text
//   RGBPoint             [position, midpoint, [TinyRGB]]        float text
//   TinyHSL              [hue, saturation, lightness]           integer text
//   HSLData              7 nested TinyHSL arrays
//   HueRange             [center_left, center_right, range_left, range_right]
//   HueRangeData         6 nested HueRange arrays
//   TColorLevelData      flat, 12: the 8 integers in field order ("%d"),
//                        then the 4 gammas (double text)
//   TransferColor        [Cyan_Red, Magenta_Green, Yellow_Blue]  "%d"
//   TinyChannelMixScale  [redScale, greenScale, blueScale]      float text
//   TinyChannelMixer     flat, 9: red's three scales, green's, blue's
//   ComplementScaleSet   flat, 36: the nine ComplementScale records, each as
//                        cyan, magenta, yellow, black               float text
//   Rect                 [x, y, width, height]                  float text
//   Point                [x, y]                                 float text
//   Vec3 sequence        flat, three floats per point
//
// Integer text is "%d"; float text the general form with up to 7 significant
// digits (1 -> "1", 0.25 -> "0.25"); double text the same with up to 16.
//
// Readers take each element by position as the field requires and never
// fail: a missing element, or one that is not the expected kind, reads as
// zero (a missing nested array as an all-zero record). TinyRGB components are
// read as integers and narrowed to a byte.
#pragma once

#include <span>
#include <vector>

#include "Core/global/Records.h"
#include "commands/Value.h"

namespace vantrel {

Array dataWithTinyRGB(const TinyRGB& rgb);
TinyRGB getRGB(const Array& data);

Array dataWithRGBPoint(const RGBPoint& point);
RGBPoint getRGBPoint(const Array& data);

Array dataWithTinyHSL(const TinyHSL& hsl);
TinyHSL getHSL(const Array& data);

Array dataWithHSLData(const HSLData& hslData);
HSLData getHSLData(const Array& data);

Array dataWithHueRange(const HueRange& range);
HueRange getHueRange(const Array& data);

Array dataWithHueRangeData(const HueRangeData& ranges);
HueRangeData getHueRangeData(const Array& data);

Array dataWithTColorLevelData(const TColorLevelData& levels);
TColorLevelData getLevelData(const Array& data);

Array dataWithTransferColor(const TransferColor& color);
TransferColor getTransferColor(const Array& data);

Array dataWithChannelMixScale(const TinyChannelMixScale& scale);
TinyChannelMixScale getChannelMixScale(const Array& data);

Array dataWithChannelMixer(const TinyChannelMixer& mixer);
TinyChannelMixer getChannelMixer(const Array& data);

Array dataWithScaleSet(const ComplementScaleSet& scaleSet);
ComplementScaleSet getScaleSet(const Array& data);

Array dataWithRect(const Rect& rect);
Rect getRect(const Array& data);

Array dataWithPoint(const Point& point);
Point getPoint(const Array& data);

// A sequence of curve points, three floats each.
Array dataWithPoints(std::span<const Vec3> points);
// Element count divided by 3 (integer division).
int getPointsNum(const Array& data);
// getPointsNum(data) points, in order.
std::vector<Vec3> getVecs3(const Array& data);

}  // namespace vantrel
