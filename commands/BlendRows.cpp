// Dispatcher rows of layer blending and gradients.
#include <string>
#include <vector>

#include "Core/base/BlendMode.h"
#include "Core/base/GradientMask.h"
#include "commands/DispatchRows.h"

namespace vantrel::rows {
namespace {

bool OutOfRange(const CommandRun& run, const char* key, int low, int high, int value) {
    return FailCommand(std::string(run.name) + ": \"" + key + "\" must be " + std::to_string(low) +
                       " to " + std::to_string(high) + ", not " + std::to_string(value));
}

}  // namespace

// The stop count is what the command holds, which may be fewer than its
// "pointsNum" says. The blend mode and the style come from outside: one
// outside its range is refused by name here rather than left to the core's
// preconditions, whose text ("false") names nothing.
bool GradientOverlay(const ActionCommand_GRADIENT_OVERLAY& command, CommandRun& run) {
    if (const int mode = command.getBlendMode(); mode < kBlendDarken || mode > kBlendSoftGlow) {
        return OutOfRange(run, "blendMode", kBlendDarken, kBlendSoftGlow, mode);
    }
    if (const int style = command.getStyle();
        style < kGradientLinear || style > kGradientSymmetry) {
        return OutOfRange(run, "style", kGradientLinear, kGradientSymmetry, style);
    }
    const std::vector<RGBPoint> points = command.getPoints();
    return OperationResult(vantrel::GradientOverlay(
                               run.view, command.getBlendMode(), command.getStyle(), points.data(),
                               static_cast<int>(points.size()), command.getDegrees(),
                               command.getScale(), command.getOpacity(), command.getReverse()),
                           run);
}

}  // namespace vantrel::rows
