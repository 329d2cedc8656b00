// Command lists as effect panels hand them over (each starts with the
// selection in effect), for the edit session's tests. All are deterministic;
// all but the blur keep an opaque picture opaque (the tent blur may leave
// alpha at 254 in places).
#pragma once

#include <array>

#include "commands/ActionCommands.h"
#include "support/CommandLists.h"

namespace vantrel::test {

// `command` after the whole-picture selection.
template <typename Command>
Array Step(const Command& command) {
    return ListOf(Selection(0, 0, 0, 0), command);
}

inline Array CurveStep(float middle = 160) {
    const std::array<Vec3, 3> points{{{0, 0, 0}, {128, middle, 0}, {255, 255, 0}}};
    return Step(ActionCommand_CURVE::commandWithPoints(points, 0));
}
inline Array PosterizeStep(int levels) {
    return Step(ActionCommand_POSTERIZE::commandWithLevels(levels));
}
inline Array BrightnessStep(float brightness, float contrast) {
    return Step(ActionCommand_BRIGHTNESS_CONTRAST::commandWithBrightness(brightness, contrast));
}
// A blur whose radius is given in original-photo pixels.
inline Array BlurStep(int radius) {
    return Step(ActionCommand_GASBLUR::commandWithRadiusH(radius, radius));
}
inline Array QuarterTurnStep() {
    return Step(ActionCommand_ROTATE::commandWithDegrees(90));
}
inline Array FlipStep() {
    return Step(ActionCommand_FLIP::commandWithFlipH(true, false));
}
// A list whose second command fails ("Not find Action!").
inline Array FailingStep() {
    return Step(ActionCommand_CALL_ACTION::commandWithActionName("No such action"));
}

}  // namespace vantrel::test
