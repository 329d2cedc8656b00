#include "commands/RecordPacking.h"

#include <climits>
#include <cstdint>

#include "commands/NumberText.h"

namespace vantrel {
namespace {

Value intElement(int value) {
    return Value(intText(value));
}
Value floatElement(float value) {
    return Value(floatGeneralText(value));
}
Value doubleElement(double value) {
    return Value(doubleGeneralText(value));
}

// Reads the elements of one packed record by position.
class Elements {
public:
    explicit Elements(const Array& data) : m_data(data) {}

    int intAt(std::size_t index) const {
        const Value* value = m_data.at(index);
        return value ? value->intValue() : 0;
    }
    float floatAt(std::size_t index) const {
        const Value* value = m_data.at(index);
        return value ? value->floatValue() : 0.0f;
    }
    double doubleAt(std::size_t index) const {
        const Value* value = m_data.at(index);
        return value ? value->doubleValue() : 0.0;
    }
    const Array& arrayAt(std::size_t index) const {
        static const Array kEmpty;
        const Value* value = m_data.at(index);
        const Array* nested = value ? value->array() : nullptr;
        return nested ? *nested : kEmpty;
    }

private:
    const Array& m_data;
};

void appendComplementScale(Array& data, const ComplementScale& scale) {
    for (float ink : {scale.cyan, scale.magenta, scale.yellow, scale.black}) {
        data.push_back(floatElement(ink));
    }
}

ComplementScale complementScaleAt(const Elements& elements, std::size_t first) {
    return {elements.floatAt(first), elements.floatAt(first + 1), elements.floatAt(first + 2),
            elements.floatAt(first + 3)};
}

}  // namespace

Array dataWithTinyRGB(const TinyRGB& rgb) {
    return {intElement(rgb.m_red), intElement(rgb.m_green), intElement(rgb.m_blue)};
}

TinyRGB getRGB(const Array& data) {
    Elements e(data);
    return {static_cast<std::uint8_t>(e.intAt(0)), static_cast<std::uint8_t>(e.intAt(1)),
            static_cast<std::uint8_t>(e.intAt(2))};
}

Array dataWithRGBPoint(const RGBPoint& point) {
    return {floatElement(point.position), floatElement(point.midpoint),
            Value(dataWithTinyRGB(point.color))};
}

RGBPoint getRGBPoint(const Array& data) {
    Elements e(data);
    RGBPoint point;
    point.position = e.floatAt(0);
    point.midpoint = e.floatAt(1);
    point.color = getRGB(e.arrayAt(2));
    return point;
}

Array dataWithTinyHSL(const TinyHSL& hsl) {
    return {intElement(hsl.m_hue), intElement(hsl.m_saturation), intElement(hsl.m_lightness)};
}

TinyHSL getHSL(const Array& data) {
    Elements e(data);
    return {e.intAt(0), e.intAt(1), e.intAt(2)};
}

Array dataWithHSLData(const HSLData& d) {
    Array data;
    for (const TinyHSL* hsl : {&d.red, &d.yellow, &d.green, &d.cyan, &d.blue, &d.magenta, &d.all}) {
        data.push_back(Value(dataWithTinyHSL(*hsl)));
    }
    return data;
}

HSLData getHSLData(const Array& data) {
    Elements e(data);
    HSLData d;
    TinyHSL* fields[] = {&d.red, &d.yellow, &d.green, &d.cyan, &d.blue, &d.magenta, &d.all};
    for (std::size_t i = 0; i < std::size(fields); ++i) *fields[i] = getHSL(e.arrayAt(i));
    return d;
}

Array dataWithHueRange(const HueRange& range) {
    return {intElement(range.center_left), intElement(range.center_right),
            intElement(range.range_left), intElement(range.range_right)};
}

HueRange getHueRange(const Array& data) {
    Elements e(data);
    return {e.intAt(0), e.intAt(1), e.intAt(2), e.intAt(3)};
}

Array dataWithHueRangeData(const HueRangeData& d) {
    Array data;
    for (const HueRange* range : {&d.red, &d.yellow, &d.green, &d.cyan, &d.blue, &d.magenta}) {
        data.push_back(Value(dataWithHueRange(*range)));
    }
    return data;
}

HueRangeData getHueRangeData(const Array& data) {
    Elements e(data);
    HueRangeData d;
    HueRange* fields[] = {&d.red, &d.yellow, &d.green, &d.cyan, &d.blue, &d.magenta};
    for (std::size_t i = 0; i < std::size(fields); ++i) *fields[i] = getHueRange(e.arrayAt(i));
    return d;
}

Array dataWithTColorLevelData(const TColorLevelData& l) {
    Array data;
    for (int value : {l.BlueLow, l.BlueHigh, l.GreenLow, l.GreenHigh, l.RedLow, l.RedHigh, l.AllLow,
                      l.AllHigh}) {
        data.push_back(intElement(value));
    }
    for (double gamma : {l.RedGamma, l.GreenGamma, l.BlueGamma, l.AllGamma}) {
        data.push_back(doubleElement(gamma));
    }
    return data;
}

TColorLevelData getLevelData(const Array& data) {
    Elements e(data);
    TColorLevelData l;
    std::int32_t* integers[] = {&l.BlueLow, &l.BlueHigh, &l.GreenLow, &l.GreenHigh,
                                &l.RedLow,  &l.RedHigh,  &l.AllLow,   &l.AllHigh};
    for (std::size_t i = 0; i < std::size(integers); ++i) *integers[i] = e.intAt(i);
    double* gammas[] = {&l.RedGamma, &l.GreenGamma, &l.BlueGamma, &l.AllGamma};
    for (std::size_t i = 0; i < std::size(gammas); ++i) *gammas[i] = e.doubleAt(8 + i);
    return l;
}

Array dataWithTransferColor(const TransferColor& color) {
    return {intElement(color.Cyan_Red), intElement(color.Magenta_Green),
            intElement(color.Yellow_Blue)};
}

TransferColor getTransferColor(const Array& data) {
    Elements e(data);
    return {e.intAt(0), e.intAt(1), e.intAt(2)};
}

Array dataWithChannelMixScale(const TinyChannelMixScale& scale) {
    return {floatElement(scale.redScale), floatElement(scale.greenScale),
            floatElement(scale.blueScale)};
}

TinyChannelMixScale getChannelMixScale(const Array& data) {
    Elements e(data);
    return {e.floatAt(0), e.floatAt(1), e.floatAt(2)};
}

Array dataWithChannelMixer(const TinyChannelMixer& mixer) {
    Array data;
    for (const TinyChannelMixScale* scale : {&mixer.red, &mixer.green, &mixer.blue}) {
        for (float weight : {scale->redScale, scale->greenScale, scale->blueScale}) {
            data.push_back(floatElement(weight));
        }
    }
    return data;
}

TinyChannelMixer getChannelMixer(const Array& data) {
    Elements e(data);
    TinyChannelMixer mixer;
    TinyChannelMixScale* scales[] = {&mixer.red, &mixer.green, &mixer.blue};
    for (std::size_t i = 0; i < std::size(scales); ++i) {
        *scales[i] = {e.floatAt(3 * i), e.floatAt(3 * i + 1), e.floatAt(3 * i + 2)};
    }
    return mixer;
}

Array dataWithScaleSet(const ComplementScaleSet& s) {
    Array data;
    for (const ComplementScale* scale : {&s.reds, &s.yellows, &s.greens, &s.cyans, &s.blues,
                                         &s.magentas, &s.whites, &s.neutrals, &s.blacks}) {
        appendComplementScale(data, *scale);
    }
    return data;
}

ComplementScaleSet getScaleSet(const Array& data) {
    Elements e(data);
    ComplementScaleSet s;
    ComplementScale* scales[] = {&s.reds,     &s.yellows, &s.greens,   &s.cyans, &s.blues,
                                 &s.magentas, &s.whites,  &s.neutrals, &s.blacks};
    for (std::size_t i = 0; i < std::size(scales); ++i) *scales[i] = complementScaleAt(e, 4 * i);
    return s;
}

Array dataWithRect(const Rect& rect) {
    return {floatElement(rect.x), floatElement(rect.y), floatElement(rect.width),
            floatElement(rect.height)};
}

Rect getRect(const Array& data) {
    Elements e(data);
    return {e.floatAt(0), e.floatAt(1), e.floatAt(2), e.floatAt(3)};
}

Array dataWithPoint(const Point& point) {
    return {floatElement(point.x), floatElement(point.y)};
}

Point getPoint(const Array& data) {
    Elements e(data);
    return {e.floatAt(0), e.floatAt(1)};
}

Array dataWithPoints(std::span<const Vec3> points) {
    Array data;
    for (const Vec3& point : points) {
        data.push_back(floatElement(point.x));
        data.push_back(floatElement(point.y));
        data.push_back(floatElement(point.z));
    }
    return data;
}

int getPointsNum(const Array& data) {
    const std::size_t count = data.size() / 3;
    return count > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(count);
}

std::vector<Vec3> getVecs3(const Array& data) {
    Elements e(data);
    std::vector<Vec3> points(static_cast<std::size_t>(getPointsNum(data)));
    for (std::size_t i = 0; i < points.size(); ++i) {
        points[i] = {e.floatAt(3 * i), e.floatAt(3 * i + 1), e.floatAt(3 * i + 2)};
    }
    return points;
}

}  // namespace vantrel
