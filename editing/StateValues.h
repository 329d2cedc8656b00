// Small builders of the Value model for the state that panels and editors
// hand to a front end (numbers, points, rectangles), so that every state
// serialises to JSON with the program's own writer.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "Core/global/Records.h"
#include "commands/Value.h"

namespace vantrel {

// A number value: integers exactly, floats in the general form of up to 7
// significant digits (0.01f is 0.01), doubles of up to 16; a value that is
// not finite becomes null.
Value NumberValue(double number);
Value NumberValue(float number);
Value NumberValue(int number);

Value PointValue(Point point);      // {"x", "y"}
Value SizeValue(Size size);         // {"width", "height"}
Value RectValue(const Rect& rect);  // {"x", "y", "width", "height"}
Value TextsValue(std::span<const std::string_view> texts);

// printf of one number with a label format ("%d", "%.2f", "%d%%"): "%d"-like
// formats take `number` truncated toward zero, the others take it as it is.
std::string FormatLabel(std::string_view format, double number);

}  // namespace vantrel
