// Command lists from any bytes: JSON text -> its "commands" array -> typed
// commands -> every getter of every command, records included. Nothing may
// crash or reach undefined behaviour, and the list must convert back to the
// dictionaries it came from.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "commands/ActionCommands.h"
#include "commands/Json.h"
#include "commands/PowerAction.h"

namespace {

using namespace vantrel;

volatile double g_sink;

// Each value is widened on its own: integer getters may give INT_MAX.
template <typename... Values>
void sink(Values... values) {
    g_sink = (0.0 + ... + static_cast<double>(values));
}
void sink(const Rect& r) {
    sink(r.x, r.y, r.width, r.height);
}
void sink(const Point& p) {
    sink(p.x, p.y);
}
void sink(const TinyHSL& h) {
    sink(h.m_hue, h.m_saturation, h.m_lightness);
}
void sink(const TinyChannelMixScale& s) {
    sink(s.redScale, s.greenScale, s.blueScale);
}
void sink(const HueRange& r) {
    sink(r.center_left, r.center_right, r.range_left, r.range_right);
}

template <typename Command>
const Command* as(const ActionCommand& command) {
    return dynamic_cast<const Command*>(&command);
}

void readRecordCommands(const ActionCommand& c) {
    if (auto* k = as<ActionCommand_SET_SELECTION>(c)) sink(k->getSelection());
    if (auto* k = as<ActionCommand_CLIP>(c)) sink(k->getRect());
    if (auto* k = as<ActionCommand_COLORBALANCE>(c)) {
        TransferColor tones[3];
        k->getTransferColors(tones);
        sink(tones[0].Cyan_Red, tones[1].Magenta_Green, tones[2].Yellow_Blue);
        sink(k->getPreserveLuminosity());
    }
    if (auto* k = as<ActionCommand_COLORLEVELS>(c)) {
        const TColorLevelData l = k->getLevelData();
        sink(l.BlueLow, l.AllHigh, l.RedGamma, l.AllGamma);
    }
    if (auto* k = as<ActionCommand_HSL_ADUSTMENT>(c)) {
        sink(k->getHSLData().all);
        sink(k->getHueRangeData().magenta);
    }
    if (auto* k = as<ActionCommand_HSL_TINT>(c)) sink(k->getHSL());
    if (auto* k = as<ActionCommand_GRADIENT_OVERLAY>(c)) {
        for (const RGBPoint& stop : k->getPoints()) sink(stop.position, stop.color.m_blue);
        sink(k->getBlendMode(), k->getStyle(), k->getPointsNum(), k->getDegrees(), k->getScale(),
             k->getOpacity(), k->getReverse());
    }
    if (auto* k = as<ActionCommand_BOKEH>(c)) {
        sink(k->getBlurRadius(), k->getCenterRadius(), k->getExtendWidth(), k->getDegrees());
        sink(k->getCenterPoint());
    }
    if (auto* k = as<ActionCommand_CURVE>(c)) {
        for (const Vec3& point : getVecs3(k->getDataVecs3())) sink(point.x, point.y, point.z);
        sink(getPointsNum(k->getDataVecs3()), k->getChannel());
    }
    if (auto* k = as<ActionCommand_CHANNELMIX>(c)) sink(k->getChannelMixer().blue);
    if (auto* k = as<ActionCommand_CHANNELMIX_GRAY>(c)) sink(k->getChannelMixScale());
    if (auto* k = as<ActionCommand_SELECTIVE_COLOR>(c)) sink(k->getScaleSet().blacks.black);
}

void readNumberCommands(const ActionCommand& c) {
    if (auto* k = as<ActionCommand_CALL_ACTION>(c)) sink(k->getActionName().size());
    if (auto* k = as<ActionCommand_SHARPEN>(c))
        sink(k->getAmount(), k->getRadius(), k->getThreshold());
    if (auto* k = as<ActionCommand_DIFFUSE>(c)) sink(k->getSpacing(), k->getRadius());
    if (auto* k = as<ActionCommand_EXPOSURE>(c)) sink(k->getExposureValue());
    if (auto* k = as<ActionCommand_GASBLUR>(c)) sink(k->getRadiusH(), k->getRadiusV());
    if (auto* k = as<ActionCommand_RADIALBLUR>(c)) sink(k->getAmount(), k->getScale());
    if (auto* k = as<ActionCommand_BRIGHTNESS_CONTRAST>(c))
        sink(k->getBrightness(), k->getContrast());
    if (auto* k = as<ActionCommand_REDUCENOISE>(c)) sink(k->getReduceNoiseMode());
    if (auto* k = as<ActionCommand_ROTATE>(c)) sink(k->getDegrees());
    if (auto* k = as<ActionCommand_FLIP>(c)) sink(k->getFlipH(), k->getFlipV());
    if (auto* k = as<ActionCommand_ZOOM>(c)) sink(k->getScale());
    if (auto* k = as<ActionCommand_EMBOSS>(c))
        sink(k->getDegrees(), k->getHighDegree(), k->getAmount());
    if (auto* k = as<ActionCommand_MOSAICS>(c)) sink(k->getGridWidth());
    if (auto* k = as<ActionCommand_PAINTING>(c)) sink(k->getRadius(), k->getSmoothness());
    if (auto* k = as<ActionCommand_THRESHOLD>(c)) sink(k->getLevels());
    if (auto* k = as<ActionCommand_POSTERIZE>(c)) sink(k->getLevels());
    if (auto* k = as<ActionCommand_EQUALIZE>(c)) sink(k->getEqualizeMode());
    if (auto* k = as<ActionCommand_SHADOW_HIGHLIGHT>(c)) sink(k->getShadows(), k->getHighlights());
    if (auto* k = as<ActionCommand_SOFTGLOW>(c))
        sink(k->getRadius(), k->getBrightness(), k->getSharpness());
    if (auto* k = as<ActionCommand_RED_EYE_REMOVAL>(c)) sink(k->getThreshold());
    if (auto* k = as<ActionCommand_RETINEX>(c))
        sink(k->getLevel(), k->getScaleDivision(), k->getDynamic());
    if (auto* k = as<ActionCommand_DOT>(c)) sink(k->getGridWidth());
    if (auto* k = as<ActionCommand_SKETCH>(c)) sink(k->getRadius());
    if (auto* k = as<ActionCommand_NOISE>(c)) sink(k->getAmount(), k->getBColor());
    if (auto* k = as<ActionCommand_LOMO>(c)) sink(k->getLomo(), k->getLomoString().size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto action = PowerAction::actionWithJSONString(text);
    std::optional<Dictionary> parsed = dictionaryWithJSONString(text);
    if (!parsed) return 0;
    const Value* list = parsed->find("commands");
    if (!list || !list->array()) return 0;
    const auto commands = toActionCommandsArray(*list->array());
    for (const auto& command : commands) {
        sink(command->getCmd());
        readNumberCommands(*command);
        readRecordCommands(*command);
        sink(command->jsonStringValue().size());
    }
    // Back to dictionaries: exactly the dictionaries of the list, in order.
    const Array normal = toNormalArray(commands);
    std::size_t next = 0;
    for (const Value& element : *list->array()) {
        if (!element.isDictionary()) continue;
        if (next >= normal.size() || !(normal[next++] == element)) __builtin_trap();
    }
    if (next != normal.size()) __builtin_trap();
    if (action && action->getCommands().size() != normal.size()) __builtin_trap();
    return 0;
}
