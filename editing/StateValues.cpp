#include "editing/StateValues.h"

#include <cmath>
#include <cstdio>

#include "Core/global/Numeric.h"
#include "commands/NumberText.h"

namespace vantrel {

Value NumberValue(double number) {
    if (!std::isfinite(number)) return Value();
    std::optional<Decimal> decimal = Decimal::fromText(doubleGeneralText(number));
    return decimal ? Value(*decimal) : Value();
}

Value NumberValue(float number) {
    if (!std::isfinite(number)) return Value();
    std::optional<Decimal> decimal = Decimal::fromText(floatGeneralText(number));
    return decimal ? Value(*decimal) : Value();
}

Value NumberValue(int number) {
    return Value(Decimal::fromInteger(number));
}

Value PointValue(Point point) {
    return Dictionary{{"x", NumberValue(point.x)}, {"y", NumberValue(point.y)}};
}

Value SizeValue(Size size) {
    return Dictionary{{"width", NumberValue(size.width)}, {"height", NumberValue(size.height)}};
}

Value RectValue(const Rect& rect) {
    return Dictionary{{"x", NumberValue(rect.x)},
                      {"y", NumberValue(rect.y)},
                      {"width", NumberValue(rect.width)},
                      {"height", NumberValue(rect.height)}};
}

Value TextsValue(std::span<const std::string_view> texts) {
    Array array;
    for (std::string_view text : texts) array.push_back(Value(text));
    return array;
}

std::string FormatLabel(std::string_view format, double number) {
    // Only the program's own formats reach here; a conversion other than d
    // or f is printed as the format itself rather than passed to printf.
    const std::size_t percent = format.find('%');
    const std::size_t conversion = format.find_first_of("df", percent);
    if (percent == std::string_view::npos || conversion == std::string_view::npos) {
        return std::string(format);
    }
    const std::string text(format);
    char buffer[64];
    if (format[conversion] == 'd') {
        std::snprintf(buffer, sizeof buffer, text.c_str(), TiTrunc(number));
    } else {
        std::snprintf(buffer, sizeof buffer, text.c_str(), number);
    }
    return buffer;
}

}  // namespace vantrel
