// The 41 typed commands: ActionCommand_ plus the command's name.
//
// Each subclass has a factory that writes "cmd" and then its parameters in
// the order of the command's parameter list (commands/CommandTable.h), each
// in its kind's text form (integers "%d", floats "%f" of the value as double,
// booleans 0 or 1, records as nested arrays of text), and getters that read
// them back. ANTICOLOR, GRAY, COMPLEMENT_COLOR and AUTO_LEVELS carry only
// "cmd" and are made with ActionCommand::commandWithCmd.
//
// Getters never fail: missing keys read as zero (see ActionCommand.h).
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "Core/global/Records.h"
#include "commands/ActionCommand.h"
#include "commands/RecordPacking.h"

namespace vantrel {

class ActionCommand_CALL_ACTION final : public TypedActionCommand<CMD_CALL_ACTION> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_CALL_ACTION> commandWithActionName(std::string name) {
        return build<ActionCommand_CALL_ACTION>(name);
    }
    std::string getActionName() const { return nameParam<0>(); }
};

class ActionCommand_SET_SELECTION final : public TypedActionCommand<CMD_SET_SELECTION> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_SET_SELECTION> commandWithSelection(
        const Rect& selection) {
        return build<ActionCommand_SET_SELECTION>(dataWithRect(selection));
    }
    Rect getSelection() const { return vantrel::getRect(recordParam<0>()); }
};

class ActionCommand_SHARPEN final : public TypedActionCommand<CMD_SHARPEN> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_SHARPEN> commandWithAmount(int amount, int radius,
                                                                    int threshold) {
        return build<ActionCommand_SHARPEN>(amount, radius, threshold);
    }
    int getAmount() const { return intParam<0>(); }
    int getRadius() const { return intParam<1>(); }
    int getThreshold() const { return intParam<2>(); }
};

class ActionCommand_DIFFUSE final : public TypedActionCommand<CMD_DIFFUSE> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_DIFFUSE> commandWithSpacing(int spacing, int radius) {
        return build<ActionCommand_DIFFUSE>(spacing, radius);
    }
    int getSpacing() const { return intParam<0>(); }
    int getRadius() const { return intParam<1>(); }
};

class ActionCommand_ANTICOLOR final : public TypedActionCommand<CMD_ANTICOLOR> {
public:
    using TypedActionCommand::TypedActionCommand;
};

class ActionCommand_EXPOSURE final : public TypedActionCommand<CMD_EXPOSURE> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_EXPOSURE> commandWithValue(float value) {
        return build<ActionCommand_EXPOSURE>(value);
    }
    float getExposureValue() const { return floatParam<0>(); }
};

class ActionCommand_GASBLUR final : public TypedActionCommand<CMD_GASBLUR> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_GASBLUR> commandWithRadiusH(int radiusH, int radiusV) {
        return build<ActionCommand_GASBLUR>(radiusH, radiusV);
    }
    int getRadiusH() const { return intParam<0>(); }
    int getRadiusV() const { return intParam<1>(); }
};

class ActionCommand_RADIALBLUR final : public TypedActionCommand<CMD_RADIALBLUR> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_RADIALBLUR> commandWithAmount(int amount, float scale) {
        return build<ActionCommand_RADIALBLUR>(amount, scale);
    }
    int getAmount() const { return intParam<0>(); }
    float getScale() const { return floatParam<1>(); }
};

// Three TransferColor records: shadows, midtones, highlights.
class ActionCommand_COLORBALANCE final : public TypedActionCommand<CMD_COLORBALANCE> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_COLORBALANCE> commandWithTransferColors(
        std::span<const TransferColor, 3> transferColors, bool preserveLuminosity);
    // Fills the three records from the three entries of "tColors".
    void getTransferColors(std::span<TransferColor, 3> transferColors) const;
    bool getPreserveLuminosity() const { return boolParam<1>(); }
};

class ActionCommand_COLORLEVELS final : public TypedActionCommand<CMD_COLORLEVELS> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_COLORLEVELS> commandWithColorLevelData(
        const TColorLevelData& levelData) {
        return build<ActionCommand_COLORLEVELS>(dataWithTColorLevelData(levelData));
    }
    TColorLevelData getLevelData() const { return vantrel::getLevelData(recordParam<0>()); }
};

class ActionCommand_HSL_ADUSTMENT final : public TypedActionCommand<CMD_HSL_ADUSTMENT> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_HSL_ADUSTMENT> commandWithHSLData(
        const HSLData& hslData, const HueRangeData& hueRangeData) {
        return build<ActionCommand_HSL_ADUSTMENT>(dataWithHSLData(hslData),
                                                  dataWithHueRangeData(hueRangeData));
    }
    HSLData getHSLData() const { return vantrel::getHSLData(recordParam<0>()); }
    HueRangeData getHueRangeData() const { return vantrel::getHueRangeData(recordParam<1>()); }
};

class ActionCommand_HSL_TINT final : public TypedActionCommand<CMD_HSL_TINT> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_HSL_TINT> commandWithHSL(const TinyHSL& hsl) {
        return build<ActionCommand_HSL_TINT>(dataWithTinyHSL(hsl));
    }
    TinyHSL getHSL() const { return vantrel::getHSL(recordParam<0>()); }
};

class ActionCommand_GRAY final : public TypedActionCommand<CMD_GRAY> {
public:
    using TypedActionCommand::TypedActionCommand;
};

class ActionCommand_BRIGHTNESS_CONTRAST final : public TypedActionCommand<CMD_BRIGHTNESS_CONTRAST> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_BRIGHTNESS_CONTRAST> commandWithBrightness(
        float brightness, float contrast) {
        return build<ActionCommand_BRIGHTNESS_CONTRAST>(brightness, contrast);
    }
    float getBrightness() const { return floatParam<0>(); }
    float getContrast() const { return floatParam<1>(); }
};

class ActionCommand_REDUCENOISE final : public TypedActionCommand<CMD_REDUCENOISE> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_REDUCENOISE> commandWithReduceNoiseMode(int mode) {
        return build<ActionCommand_REDUCENOISE>(mode);
    }
    int getReduceNoiseMode() const { return intParam<0>(); }
};

class ActionCommand_ROTATE final : public TypedActionCommand<CMD_ROTATE> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_ROTATE> commandWithDegrees(float degrees) {
        return build<ActionCommand_ROTATE>(degrees);
    }
    float getDegrees() const { return floatParam<0>(); }
};

class ActionCommand_CLIP final : public TypedActionCommand<CMD_CLIP> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_CLIP> commandWithRect(const Rect& rect) {
        return build<ActionCommand_CLIP>(dataWithRect(rect));
    }
    Rect getRect() const { return vantrel::getRect(recordParam<0>()); }
};

class ActionCommand_FLIP final : public TypedActionCommand<CMD_FLIP> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_FLIP> commandWithFlipH(bool flipH, bool flipV) {
        return build<ActionCommand_FLIP>(flipH, flipV);
    }
    bool getFlipH() const { return boolParam<0>(); }
    bool getFlipV() const { return boolParam<1>(); }
};

class ActionCommand_ZOOM final : public TypedActionCommand<CMD_ZOOM> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_ZOOM> commandWithScale(float scale) {
        return build<ActionCommand_ZOOM>(scale);
    }
    float getScale() const { return floatParam<0>(); }
};

class ActionCommand_EMBOSS final : public TypedActionCommand<CMD_EMBOSS> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_EMBOSS> commandWithDegrees(float degrees, int highDegree,
                                                                    int amount) {
        return build<ActionCommand_EMBOSS>(degrees, highDegree, amount);
    }
    float getDegrees() const { return floatParam<0>(); }
    int getHighDegree() const { return intParam<1>(); }
    int getAmount() const { return intParam<2>(); }
};

class ActionCommand_MOSAICS final : public TypedActionCommand<CMD_MOSAICS> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_MOSAICS> commandWithGridWidth(int gridWidth) {
        return build<ActionCommand_MOSAICS>(gridWidth);
    }
    int getGridWidth() const { return intParam<0>(); }
};

class ActionCommand_PAINTING final : public TypedActionCommand<CMD_PAINTING> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_PAINTING> commandWithRadius(int radius, int smoothness) {
        return build<ActionCommand_PAINTING>(radius, smoothness);
    }
    int getRadius() const { return intParam<0>(); }
    int getSmoothness() const { return intParam<1>(); }
};

class ActionCommand_THRESHOLD final : public TypedActionCommand<CMD_THRESHOLD> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_THRESHOLD> commandWithLevels(int levels) {
        return build<ActionCommand_THRESHOLD>(levels);
    }
    int getLevels() const { return intParam<0>(); }
};

class ActionCommand_POSTERIZE final : public TypedActionCommand<CMD_POSTERIZE> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_POSTERIZE> commandWithLevels(int levels) {
        return build<ActionCommand_POSTERIZE>(levels);
    }
    int getLevels() const { return intParam<0>(); }
};

class ActionCommand_EQUALIZE final : public TypedActionCommand<CMD_EQUALIZE> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_EQUALIZE> commandWithEqualizeMode(int equalizeMode) {
        return build<ActionCommand_EQUALIZE>(equalizeMode);
    }
    int getEqualizeMode() const { return intParam<0>(); }
};

class ActionCommand_COMPLEMENT_COLOR final : public TypedActionCommand<CMD_COMPLEMENT_COLOR> {
public:
    using TypedActionCommand::TypedActionCommand;
};

class ActionCommand_SHADOW_HIGHLIGHT final : public TypedActionCommand<CMD_SHADOW_HIGHLIGHT> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_SHADOW_HIGHLIGHT> commandWithShadows(float shadows,
                                                                              float highlights) {
        return build<ActionCommand_SHADOW_HIGHLIGHT>(shadows, highlights);
    }
    float getShadows() const { return floatParam<0>(); }
    float getHighlights() const { return floatParam<1>(); }
};

class ActionCommand_SOFTGLOW final : public TypedActionCommand<CMD_SOFTGLOW> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_SOFTGLOW> commandWithRadius(int radius, float brightness,
                                                                     float sharpness) {
        return build<ActionCommand_SOFTGLOW>(radius, brightness, sharpness);
    }
    int getRadius() const { return intParam<0>(); }
    float getBrightness() const { return floatParam<1>(); }
    float getSharpness() const { return floatParam<2>(); }
};

class ActionCommand_RED_EYE_REMOVAL final : public TypedActionCommand<CMD_RED_EYE_REMOVAL> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_RED_EYE_REMOVAL> commandWithThreshold(int threshold) {
        return build<ActionCommand_RED_EYE_REMOVAL>(threshold);
    }
    int getThreshold() const { return intParam<0>(); }
};

class ActionCommand_RETINEX final : public TypedActionCommand<CMD_RETINEX> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_RETINEX> commandWithLevel(int level, int scaleDivision,
                                                                   float dynamic) {
        return build<ActionCommand_RETINEX>(level, scaleDivision, dynamic);
    }
    int getLevel() const { return intParam<0>(); }
    int getScaleDivision() const { return intParam<1>(); }
    float getDynamic() const { return floatParam<2>(); }
};

class ActionCommand_DOT final : public TypedActionCommand<CMD_DOT> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_DOT> commandWithGridWidth(int gridWidth) {
        return build<ActionCommand_DOT>(gridWidth);
    }
    int getGridWidth() const { return intParam<0>(); }
};

class ActionCommand_GRADIENT_OVERLAY final : public TypedActionCommand<CMD_GRADIENT_OVERLAY> {
public:
    using TypedActionCommand::TypedActionCommand;
    // Packs the first pointsNum stops (clamped to 0..points.size()) and
    // writes that count as "pointsNum".
    static std::unique_ptr<ActionCommand_GRADIENT_OVERLAY> commandWithBlendMode(
        int blendMode, int style, std::span<const RGBPoint> points, int pointsNum, float degrees,
        float scale, float opacity, bool reverse);
    int getBlendMode() const { return intParam<0>(); }
    int getStyle() const { return intParam<1>(); }
    // The first getPointsNum() stops, or as many as "points" holds when it
    // holds fewer (none for a negative count): pass the result's size, not
    // getPointsNum(), as the stop count.
    std::vector<RGBPoint> getPoints() const;
    int getPointsNum() const { return intParam<3>(); }
    float getDegrees() const { return floatParam<4>(); }
    float getScale() const { return floatParam<5>(); }
    float getOpacity() const { return floatParam<6>(); }
    // Read as an integer narrowed to a byte: "256" is false.
    bool getReverse() const;
};

class ActionCommand_SKETCH final : public TypedActionCommand<CMD_SKETCH> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_SKETCH> commandWithRadius(int radius) {
        return build<ActionCommand_SKETCH>(radius);
    }
    int getRadius() const { return intParam<0>(); }
};

class ActionCommand_NOISE final : public TypedActionCommand<CMD_NOISE> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_NOISE> commandWithAmount(int amount, bool bColor) {
        return build<ActionCommand_NOISE>(amount, bColor);
    }
    int getAmount() const { return intParam<0>(); }
    bool getBColor() const { return boolParam<1>(); }
};

class ActionCommand_BOKEH final : public TypedActionCommand<CMD_BOKEH> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_BOKEH> commandWithBlurRadius(int blurRadius,
                                                                      int centerRadius,
                                                                      int extendWidth, int degrees,
                                                                      const Point& centerPoint) {
        return build<ActionCommand_BOKEH>(blurRadius, centerRadius, extendWidth, degrees,
                                          dataWithPoint(centerPoint));
    }
    int getBlurRadius() const { return intParam<0>(); }
    int getCenterRadius() const { return intParam<1>(); }
    int getExtendWidth() const { return intParam<2>(); }
    int getDegrees() const { return intParam<3>(); }
    Point getCenterPoint() const { return vantrel::getPoint(recordParam<4>()); }
};

class ActionCommand_CURVE final : public TypedActionCommand<CMD_CURVE> {
public:
    using TypedActionCommand::TypedActionCommand;
    // A channel number outside the channel table is written as an empty
    // name, which reads back as -1.
    static std::unique_ptr<ActionCommand_CURVE> commandWithPoints(std::span<const Vec3> points,
                                                                  int channel) {
        return build<ActionCommand_CURVE>(dataWithPoints(points),
                                          std::string(channelToString(channel).value_or("")));
    }
    // The packed points; getPointsNum and getVecs3 (RecordPacking.h) read it.
    const Array& getDataVecs3() const { return recordParam<0>(); }
    int getChannel() const { return stringToChannel(nameParam<1>()); }
};

class ActionCommand_CHANNELMIX final : public TypedActionCommand<CMD_CHANNELMIX> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_CHANNELMIX> commandWithChannelMixer(
        const TinyChannelMixer& mixer) {
        return build<ActionCommand_CHANNELMIX>(dataWithChannelMixer(mixer));
    }
    TinyChannelMixer getChannelMixer() const { return vantrel::getChannelMixer(recordParam<0>()); }
};

class ActionCommand_CHANNELMIX_GRAY final : public TypedActionCommand<CMD_CHANNELMIX_GRAY> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_CHANNELMIX_GRAY> commandWithChannelMixScale(
        const TinyChannelMixScale& scale) {
        return build<ActionCommand_CHANNELMIX_GRAY>(dataWithChannelMixScale(scale));
    }
    TinyChannelMixScale getChannelMixScale() const {
        return vantrel::getChannelMixScale(recordParam<0>());
    }
};

class ActionCommand_SELECTIVE_COLOR final : public TypedActionCommand<CMD_SELECTIVE_COLOR> {
public:
    using TypedActionCommand::TypedActionCommand;
    static std::unique_ptr<ActionCommand_SELECTIVE_COLOR> commandWithScaleSet(
        const ComplementScaleSet& scaleSet) {
        return build<ActionCommand_SELECTIVE_COLOR>(dataWithScaleSet(scaleSet));
    }
    ComplementScaleSet getScaleSet() const { return vantrel::getScaleSet(recordParam<0>()); }
};

class ActionCommand_AUTO_LEVELS final : public TypedActionCommand<CMD_AUTO_LEVELS> {
public:
    using TypedActionCommand::TypedActionCommand;
};

class ActionCommand_LOMO final : public TypedActionCommand<CMD_LOMO> {
public:
    using TypedActionCommand::TypedActionCommand;
    // A style number outside the table is written as an empty name, which
    // reads back as -1.
    static std::unique_ptr<ActionCommand_LOMO> commandWithLomo(int lomo) {
        return build<ActionCommand_LOMO>(std::string(lomoToString(lomo).value_or("")));
    }
    int getLomo() const { return stringToLomo(nameParam<0>()); }
    std::string getLomoString() const { return nameParam<0>(); }
};

}  // namespace vantrel
