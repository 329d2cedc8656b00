// Dispatcher rows of curves, levels, colour balance, HSL, selective colour
// and the point colour operations. Each works on the selected region's view.
#include <string>
#include <vector>

#include "Core/base/BrightnessContrast.h"
#include "Core/base/ChannelMixer.h"
#include "Core/base/ColorBalance.h"
#include "Core/base/Curve.h"
#include "Core/base/Equalize.h"
#include "Core/base/Exposure.h"
#include "Core/base/GrayInvert.h"
#include "Core/base/HSL.h"
#include "Core/base/Levels.h"
#include "Core/base/Posterize.h"
#include "Core/base/SelectiveColor.h"
#include "commands/DispatchRows.h"

namespace vantrel::rows {
namespace {

struct LevelsChannel {
    int low;
    int high;
    double gamma;
    int channel;
};

bool IsShift(int value) {
    return value >= -100 && value <= 100;
}

}  // namespace

bool AntiColor(const ActionCommand_ANTICOLOR&, CommandRun& run) {
    return OperationResult(InvertColor(run.view), run);
}

bool Exposure(const ActionCommand_EXPOSURE& command, CommandRun& run) {
    return OperationResult(AdjustExposure(run.view, command.getExposureValue()), run);
}

// Red, green, blue, then all three; a channel whose low, high and gamma are
// all 0 was left alone in the panel and is skipped. Always succeeds.
bool ColorLevels(const ActionCommand_COLORLEVELS& command, CommandRun& run) {
    const TColorLevelData levels = command.getLevelData();
    const LevelsChannel channels[] = {
        {levels.RedLow, levels.RedHigh, levels.RedGamma, 1},
        {levels.GreenLow, levels.GreenHigh, levels.GreenGamma, 2},
        {levels.BlueLow, levels.BlueHigh, levels.BlueGamma, 3},
        {levels.AllLow, levels.AllHigh, levels.AllGamma, 0},
    };
    for (const LevelsChannel& c : channels) {
        if (c.low == 0 && c.high == 0 && c.gamma == 0.0) continue;
        AdjustLevels(run.view, c.low, c.high, c.gamma, c.channel);
    }
    return true;
}

bool Gray(const ActionCommand_GRAY&, CommandRun& run) {
    return OperationResult(ConvertToGray(run.view), run);
}

// Always succeeds, whatever the operation makes of its parameters.
bool BrightnessContrast(const ActionCommand_BRIGHTNESS_CONTRAST& command, CommandRun& run) {
    AdjustBrightnessContrast(run.view, command.getBrightness(), command.getContrast());
    return true;
}

bool Threshold(const ActionCommand_THRESHOLD& command, CommandRun& run) {
    return OperationResult(vantrel::Threshold(run.view, command.getLevels()), run);
}

bool Posterize(const ActionCommand_POSTERIZE& command, CommandRun& run) {
    return OperationResult(vantrel::Posterize(run.view, command.getLevels()), run);
}

bool Equalize(const ActionCommand_EQUALIZE& command, CommandRun& run) {
    return OperationResult(vantrel::Equalize(run.view, command.getEqualizeMode()), run);
}

bool ComplementColor(const ActionCommand_COMPLEMENT_COLOR&, CommandRun& run) {
    return OperationResult(vantrel::ComplementColor(run.view), run);
}

// The curve accepts the channels 0 to 3 only (the panels send nothing else);
// alpha or a name outside the channel table is refused before any pixel
// changes. Otherwise always succeeds.
bool Curve(const ActionCommand_CURVE& command, CommandRun& run) {
    const int channel = command.getChannel();
    if (channel < 0 || channel > 3) {
        return FailCommand(std::string(run.name) +
                           " needs the channel CHANEL_RGB, CHANEL_R, "
                           "CHANEL_G or CHANEL_B");
    }
    const std::vector<Vec3> points = getVecs3(command.getDataVecs3());
    AdjustCurveBySplinePoints(run.view, points.data(), static_cast<int>(points.size()), channel);
    return true;
}

bool ChannelMix(const ActionCommand_CHANNELMIX& command, CommandRun& run) {
    return OperationResult(MixChannels(run.view, command.getChannelMixer()), run);
}

bool ChannelMixGray(const ActionCommand_CHANNELMIX_GRAY& command, CommandRun& run) {
    return OperationResult(MixChannelsToGray(run.view, command.getChannelMixScale()), run);
}

bool AutoLevels(const ActionCommand_AUTO_LEVELS&, CommandRun& run) {
    return OperationResult(vantrel::AutoLevels(run.view), run);
}

// Shadows, midtones, then highlights; a tone without any shift is skipped.
// Shifts outside -100..100 are refused before any tone is changed; otherwise
// always succeeds.
bool ColorBalance(const ActionCommand_COLORBALANCE& command, CommandRun& run) {
    TransferColor tones[3];
    command.getTransferColors(tones);
    for (const TransferColor& t : tones) {
        if (!IsShift(t.Cyan_Red) || !IsShift(t.Magenta_Green) || !IsShift(t.Yellow_Blue)) {
            return FailCommand(std::string(run.name) + " shifts colours by -100 to 100 only");
        }
    }
    const bool preserveLuminosity = command.getPreserveLuminosity();
    for (int tone = 0; tone < 3; ++tone) {
        const TransferColor& t = tones[tone];
        if (t.Cyan_Red == 0 && t.Magenta_Green == 0 && t.Yellow_Blue == 0) continue;
        BalanceColor(run.view, t.Cyan_Red, t.Magenta_Green, t.Yellow_Blue, tone,
                     preserveLuminosity);
    }
    return true;
}

bool HSLAdjustment(const ActionCommand_HSL_ADUSTMENT& command, CommandRun& run) {
    return OperationResult(AdjustHSL(run.view, command.getHSLData(), command.getHueRangeData()),
                           run);
}

bool HSLTint(const ActionCommand_HSL_TINT& command, CommandRun& run) {
    const TinyHSL hsl = command.getHSL();
    return OperationResult(TintHSL(run.view, hsl.m_hue, hsl.m_saturation, hsl.m_lightness), run);
}

bool SelectiveColor(const ActionCommand_SELECTIVE_COLOR& command, CommandRun& run) {
    return OperationResult(vantrel::SelectiveColor(run.view, command.getScaleSet()), run);
}

}  // namespace vantrel::rows
