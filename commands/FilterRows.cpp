// Dispatcher rows of the filters. Each works on the selected region's view;
// radii, grid widths and spacings are scaled to the preview where the
// command table marks them.
#include <memory>

#include "Core/filter/Bokeh.h"
#include "Core/filter/Diffuse.h"
#include "Core/filter/Emboss.h"
#include "Core/filter/GasBlur.h"
#include "Core/filter/Mosaics.h"
#include "Core/filter/Noise.h"
#include "Core/filter/Painting.h"
#include "Core/filter/RadialBlur.h"
#include "Core/filter/RedEyeRemoval.h"
#include "Core/filter/Retinex.h"
#include "Core/filter/ShadowHighlight.h"
#include "Core/filter/Sketch.h"
#include "Core/filter/Unsharp.h"
#include "Core/global/Numeric.h"
#include "commands/DispatchRows.h"

namespace vantrel::rows {

bool GasBlur(const ActionCommand_GASBLUR& command, CommandRun& run) {
    return OperationResult(
        vantrel::GasBlur(run.view, ParamFor<CMD_GASBLUR, 0>(command.getRadiusH(), run),
                         ParamFor<CMD_GASBLUR, 1>(command.getRadiusV(), run)),
        run);
}

bool Sharpen(const ActionCommand_SHARPEN& command, CommandRun& run) {
    return OperationResult(
        Unsharp(run.view, command.getAmount(), ParamFor<CMD_SHARPEN, 1>(command.getRadius(), run),
                command.getThreshold()),
        run);
}

bool SoftGlow(const ActionCommand_SOFTGLOW& command, CommandRun& run) {
    return OperationResult(
        vantrel::SoftGlow(run.view, ParamFor<CMD_SOFTGLOW, 0>(command.getRadius(), run),
                          command.getBrightness(), command.getSharpness()),
        run);
}

// Always the middle quality of the three.
bool RadialBlur(const ActionCommand_RADIALBLUR& command, CommandRun& run) {
    return OperationResult(
        vantrel::RadialBlur(run.view, command.getAmount(),
                            ParamFor<CMD_RADIALBLUR, 1>(command.getScale(), run), 2),
        run);
}

// The focus is placed on the whole bitmap, whatever the selection.
bool Bokeh(const ActionCommand_BOKEH& command, CommandRun& run) {
    const Point center = ParamFor<CMD_BOKEH, 4>(command.getCenterPoint(), run);
    return OperationResult(
        BokehFilter(run.bitmap, TiTrunc(center.x), TiTrunc(center.y),
                    ParamFor<CMD_BOKEH, 0>(command.getBlurRadius(), run), command.getDegrees(),
                    ParamFor<CMD_BOKEH, 1>(command.getCenterRadius(), run),
                    ParamFor<CMD_BOKEH, 2>(command.getExtendWidth(), run)),
        run);
}

bool ShadowHighlight(const ActionCommand_SHADOW_HIGHLIGHT& command, CommandRun& run) {
    return OperationResult(
        vantrel::ShadowHighlight(run.view, command.getShadows(), command.getHighlights()), run);
}

bool Diffuse(const ActionCommand_DIFFUSE& command, CommandRun& run) {
    return OperationResult(
        vantrel::Diffuse(run.view, ParamFor<CMD_DIFFUSE, 0>(command.getSpacing(), run),
                         ParamFor<CMD_DIFFUSE, 1>(command.getRadius(), run)),
        run);
}

bool Emboss(const ActionCommand_EMBOSS& command, CommandRun& run) {
    return OperationResult(
        vantrel::Emboss(run.view, command.getDegrees(),
                        ParamFor<CMD_EMBOSS, 1>(command.getHighDegree(), run), command.getAmount()),
        run);
}

bool Mosaics(const ActionCommand_MOSAICS& command, CommandRun& run) {
    return OperationResult(
        vantrel::Mosaics(run.view, ParamFor<CMD_MOSAICS, 0>(command.getGridWidth(), run)), run);
}

bool Dot(const ActionCommand_DOT& command, CommandRun& run) {
    return OperationResult(
        vantrel::Dot(run.view, ParamFor<CMD_DOT, 0>(command.getGridWidth(), run)), run);
}

bool Painting(const ActionCommand_PAINTING& command, CommandRun& run) {
    return OperationResult(
        vantrel::Painting(run.view, ParamFor<CMD_PAINTING, 0>(command.getRadius(), run),
                          command.getSmoothness()),
        run);
}

bool Sketch(const ActionCommand_SKETCH& command, CommandRun& run) {
    return OperationResult(
        vantrel::Sketch(run.view, ParamFor<CMD_SKETCH, 0>(command.getRadius(), run)), run);
}

bool Noise(const ActionCommand_NOISE& command, CommandRun& run) {
    return OperationResult(AddNoise(run.view, command.getAmount(), command.getBColor()), run);
}

bool ReduceNoise(const ActionCommand_REDUCENOISE& command, CommandRun& run) {
    return OperationResult(vantrel::ReduceNoise(run.view, command.getReduceNoiseMode()), run);
}

bool RedEyeRemoval(const ActionCommand_RED_EYE_REMOVAL& command, CommandRun& run) {
    return OperationResult(vantrel::RedEyeRemoval(run.view, command.getThreshold()), run);
}

// The surround is a packed copy of the region blurred by the radius of the
// scale division (never scaled to the preview); the blur's own result is not
// consulted. The level is only logged.
bool Retinex(const ActionCommand_RETINEX& command, CommandRun& run) {
    std::unique_ptr<TiBitmapData> surround = run.view.Clone(false);
    if (!surround) return FailCommand("Can not allocate memory!");
    const int scaleDivision = command.getScaleDivision();
    vantrel::GasBlur(*surround, RetinexBlurRadius(scaleDivision));
    return OperationResult(
        retinex(run.view, *surround, scaleDivision, command.getLevel(), command.getDynamic()), run);
}

}  // namespace vantrel::rows
