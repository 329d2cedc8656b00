// Dispatcher rows of layer blending and gradients.
#include <vector>

#include "Core/base/GradientMask.h"
#include "commands/DispatchRows.h"

namespace vantrel::rows {

// The stop count is what the command holds, which may be fewer than its
// "pointsNum" says.
bool GradientOverlay(const ActionCommand_GRADIENT_OVERLAY& command, CommandRun& run) {
    const std::vector<RGBPoint> points = command.getPoints();
    return OperationResult(vantrel::GradientOverlay(
                               run.view, command.getBlendMode(), command.getStyle(), points.data(),
                               static_cast<int>(points.size()), command.getDegrees(),
                               command.getScale(), command.getOpacity(), command.getReverse()),
                           run);
}

}  // namespace vantrel::rows
