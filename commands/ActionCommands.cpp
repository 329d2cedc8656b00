#include "commands/ActionCommands.h"

#include <algorithm>
#include <cstdint>

namespace vantrel {

std::unique_ptr<ActionCommand_COLORBALANCE> ActionCommand_COLORBALANCE::commandWithTransferColors(
    std::span<const TransferColor, 3> transferColors, bool preserveLuminosity) {
    Array tColors;
    for (const TransferColor& color : transferColors) {
        tColors.push_back(Value(dataWithTransferColor(color)));
    }
    return build<ActionCommand_COLORBALANCE>(tColors, preserveLuminosity);
}

void ActionCommand_COLORBALANCE::getTransferColors(
    std::span<TransferColor, 3> transferColors) const {
    const Array& tColors = recordParam<0>();
    for (std::size_t i = 0; i < transferColors.size(); ++i) {
        const Value* entry = tColors.at(i);
        const Array* packed = entry ? entry->array() : nullptr;
        transferColors[i] = packed ? getTransferColor(*packed) : TransferColor{};
    }
}

std::unique_ptr<ActionCommand_GRADIENT_OVERLAY>
ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(int blendMode, int style,
                                                     std::span<const RGBPoint> points,
                                                     int pointsNum, float degrees, float scale,
                                                     float opacity, bool reverse) {
    const std::size_t count =
        std::min(static_cast<std::size_t>(std::max(pointsNum, 0)), points.size());
    Array packed;
    for (const RGBPoint& point : points.first(count)) {
        packed.push_back(Value(dataWithRGBPoint(point)));
    }
    return build<ActionCommand_GRADIENT_OVERLAY>(blendMode, style, packed, static_cast<int>(count),
                                                 degrees, scale, opacity, reverse);
}

std::vector<RGBPoint> ActionCommand_GRADIENT_OVERLAY::getPoints() const {
    const Array& packed = recordParam<2>();
    const std::size_t count =
        std::min(static_cast<std::size_t>(std::max(getPointsNum(), 0)), packed.size());
    std::vector<RGBPoint> points(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Array* stop = packed[i].array();
        if (stop) points[i] = getRGBPoint(*stop);
    }
    return points;
}

bool ActionCommand_GRADIENT_OVERLAY::getReverse() const {
    static_assert(param<7>().kind == ParamKind::Boolean);
    // The stored flag is read as an integer and kept as one byte.
    return static_cast<std::uint8_t>(intForKey(param<7>().key)) != 0;
}

}  // namespace vantrel
