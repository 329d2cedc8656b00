// The processor's addCommand... family: each builds one command with its
// factory and appends the command's dictionary to the list being built.
#include "commands/ActionCommands.h"
#include "commands/EffectsProcesser.h"

namespace vantrel {

void EffectsProcesser::addCommand(const ActionCommand& command) {
    addCommandDic(command.dic());
}

void EffectsProcesser::addCommandGray() {
    addCommand(*ActionCommand::commandWithCmd(CMD_GRAY));
}

void EffectsProcesser::addCommandAntiColor() {
    addCommand(*ActionCommand::commandWithCmd(CMD_ANTICOLOR));
}

void EffectsProcesser::addCommandComplementColor() {
    addCommand(*ActionCommand::commandWithCmd(CMD_COMPLEMENT_COLOR));
}

void EffectsProcesser::addCommandAutoLevels() {
    addCommand(*ActionCommand::commandWithCmd(CMD_AUTO_LEVELS));
}

void EffectsProcesser::addCommandGasBlurByRadius_H(int radiusH, int radiusV) {
    addCommand(*ActionCommand_GASBLUR::commandWithRadiusH(radiusH, radiusV));
}

void EffectsProcesser::addCommandExposureByValue(float value) {
    addCommand(*ActionCommand_EXPOSURE::commandWithValue(value));
}

void EffectsProcesser::addCommandDiffuseBySpacing(int spacing, int radius) {
    addCommand(*ActionCommand_DIFFUSE::commandWithSpacing(spacing, radius));
}

// The factory takes the amount first.
void EffectsProcesser::addCommandUnsharpByRadius(int radius, int amount, int threshold) {
    addCommand(*ActionCommand_SHARPEN::commandWithAmount(amount, radius, threshold));
}

void EffectsProcesser::addCommandColorBalanceByTransferColors(
    std::span<const TransferColor, 3> transferColors, bool preserveLuminosity) {
    addCommand(
        *ActionCommand_COLORBALANCE::commandWithTransferColors(transferColors, preserveLuminosity));
}

void EffectsProcesser::addCommandColorLevelsByColorLevelData(const TColorLevelData& levelData) {
    addCommand(*ActionCommand_COLORLEVELS::commandWithColorLevelData(levelData));
}

void EffectsProcesser::addCommandHSLTintByHSL(const TinyHSL& hsl) {
    addCommand(*ActionCommand_HSL_TINT::commandWithHSL(hsl));
}

void EffectsProcesser::addCommandHSLAjustmentByHSLData(const HSLData& hslData,
                                                       const HueRangeData& hueRangeData) {
    addCommand(*ActionCommand_HSL_ADUSTMENT::commandWithHSLData(hslData, hueRangeData));
}

void EffectsProcesser::addCommandBrightnessContrastByBrightness(float brightness, float contrast) {
    addCommand(*ActionCommand_BRIGHTNESS_CONTRAST::commandWithBrightness(brightness, contrast));
}

void EffectsProcesser::addCommandReduceNoiseByMode(int mode) {
    addCommand(*ActionCommand_REDUCENOISE::commandWithReduceNoiseMode(mode));
}

void EffectsProcesser::addCommandZoomByScale(float scale) {
    addCommand(*ActionCommand_ZOOM::commandWithScale(scale));
}

void EffectsProcesser::addCommandRotateByDegrees(float degrees) {
    addCommand(*ActionCommand_ROTATE::commandWithDegrees(degrees));
}

void EffectsProcesser::addCommandClipByRect(const Rect& rect) {
    addCommand(*ActionCommand_CLIP::commandWithRect(rect));
}

void EffectsProcesser::addCommandFlipByFlipH(bool flipH, bool flipV) {
    addCommand(*ActionCommand_FLIP::commandWithFlipH(flipH, flipV));
}

void EffectsProcesser::addCommandEmbossByDegrees(float degrees, int highDegree, int amount) {
    addCommand(*ActionCommand_EMBOSS::commandWithDegrees(degrees, highDegree, amount));
}

void EffectsProcesser::addCommandMosaicsByGridWidth(int gridWidth) {
    addCommand(*ActionCommand_MOSAICS::commandWithGridWidth(gridWidth));
}

void EffectsProcesser::addCommandDotByGridWidth(int gridWidth) {
    addCommand(*ActionCommand_DOT::commandWithGridWidth(gridWidth));
}

void EffectsProcesser::addCommandPaintingByRadius(int radius, int smoothness) {
    addCommand(*ActionCommand_PAINTING::commandWithRadius(radius, smoothness));
}

void EffectsProcesser::addCommandThresholdByLevels(int levels) {
    addCommand(*ActionCommand_THRESHOLD::commandWithLevels(levels));
}

void EffectsProcesser::addCommandPosterizeByLevels(int levels) {
    addCommand(*ActionCommand_POSTERIZE::commandWithLevels(levels));
}

void EffectsProcesser::addCommandEqualizeByEqualizeMode(int equalizeMode) {
    addCommand(*ActionCommand_EQUALIZE::commandWithEqualizeMode(equalizeMode));
}

void EffectsProcesser::addCommandSoftGlowByRadius(int radius, float brightness, float sharpness) {
    addCommand(*ActionCommand_SOFTGLOW::commandWithRadius(radius, brightness, sharpness));
}

void EffectsProcesser::addCommandRedEyeRemovalByThreshold(int threshold) {
    addCommand(*ActionCommand_RED_EYE_REMOVAL::commandWithThreshold(threshold));
}

void EffectsProcesser::addCommandRetinexByLevel(int level, int scaleDivision, float dynamic) {
    addCommand(*ActionCommand_RETINEX::commandWithLevel(level, scaleDivision, dynamic));
}

void EffectsProcesser::addCommandRadialBlurByAmount(int amount, float scale) {
    addCommand(*ActionCommand_RADIALBLUR::commandWithAmount(amount, scale));
}

void EffectsProcesser::addCommandNoiseByAmount(int amount, bool bColor) {
    addCommand(*ActionCommand_NOISE::commandWithAmount(amount, bColor));
}

void EffectsProcesser::addCommandSketchByRadius(int radius) {
    addCommand(*ActionCommand_SKETCH::commandWithRadius(radius));
}

void EffectsProcesser::addCommandGradientOverlayByBlendMode(int blendMode, int style,
                                                            std::span<const RGBPoint> points,
                                                            int pointsNum, float degrees,
                                                            float scale, float opacity,
                                                            bool reverse) {
    addCommand(*ActionCommand_GRADIENT_OVERLAY::commandWithBlendMode(
        blendMode, style, points, pointsNum, degrees, scale, opacity, reverse));
}

void EffectsProcesser::addCommandShadowHighlightByShadows(double shadows, double highlights) {
    addCommand(*ActionCommand_SHADOW_HIGHLIGHT::commandWithShadows(static_cast<float>(shadows),
                                                                   static_cast<float>(highlights)));
}

void EffectsProcesser::addCommandBokehByBlurRadius(int blurRadius, int centerRadius,
                                                   int extendWidth, int degrees,
                                                   const Point& centerPoint) {
    addCommand(*ActionCommand_BOKEH::commandWithBlurRadius(blurRadius, centerRadius, extendWidth,
                                                           degrees, centerPoint));
}

void EffectsProcesser::addCommandCurveBySplinePoints(std::span<const Vec3> points, int channel) {
    addCommand(*ActionCommand_CURVE::commandWithPoints(points, channel));
}

void EffectsProcesser::addCommandChannelMixByMixer(const TinyChannelMixer& mixer) {
    addCommand(*ActionCommand_CHANNELMIX::commandWithChannelMixer(mixer));
}

void EffectsProcesser::addCommandChannelMixGrayByScale(const TinyChannelMixScale& scale) {
    addCommand(*ActionCommand_CHANNELMIX_GRAY::commandWithChannelMixScale(scale));
}

void EffectsProcesser::addCommandSelectiveColorByScaleSet(const ComplementScaleSet& scaleSet) {
    addCommand(*ActionCommand_SELECTIVE_COLOR::commandWithScaleSet(scaleSet));
}

void EffectsProcesser::addCommandLomoByLomo(int lomo) {
    addCommand(*ActionCommand_LOMO::commandWithLomo(lomo));
}

void EffectsProcesser::setSelection(const Rect& selection) {
    addCommand(*ActionCommand_SET_SELECTION::commandWithSelection(selection));
}

void EffectsProcesser::addCommandAction(const std::string& actionName) {
    addCommand(*ActionCommand_CALL_ACTION::commandWithActionName(actionName));
}

}  // namespace vantrel
