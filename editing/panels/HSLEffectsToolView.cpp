#include "editing/panels/HSLEffectsToolView.h"

#include "Core/global/Numeric.h"

namespace vantrel {
namespace {

constexpr float kRibbonWidth = 380;  // the ribbon's width in state(): one point per degree

HueRangeData ToData(const std::array<HueRange, 6>& r) {
    return {r[0], r[1], r[2], r[3], r[4], r[5]};
}

TinyHSL Scaled(const TinyHSL& hsl) {
    return {hsl.m_hue, ScaledPercent(hsl.m_saturation), ScaledPercent(hsl.m_lightness)};
}

}  // namespace

int ScaledPercent(int value) {
    return TiTrunc(value * 2.55);
}

HSLEffectsToolView::HSLEffectsToolView(const PanelSpec& panelSpec, const PanelContext& context)
    : EffectsToolView(panelSpec, context), m_rangeEditor(this) {}

void HSLEffectsToolView::reset() {
    if (released()) return;
    m_targets.fill(TinyHSL{});
    m_tint = {0, 25, 0};
    for (int target = 0; target < 6; ++target) m_hueRanges[target] = DefaultHueRange(target);
    resetControls();
    m_target = TiTrunc(value("target"));
    m_wasColorized = false;
    m_rangeEditor.close();
    startProcess();
}

TinyHSL& HSLEffectsToolView::edited() {
    return m_wasColorized ? m_tint : m_targets[m_target];
}

void HSLEffectsToolView::storeSliders() {
    edited() = {TiTrunc(value("hue")), TiTrunc(value("saturation")), TiTrunc(value("lightness"))};
}

void HSLEffectsToolView::loadSliders() {
    const TinyHSL& hsl = edited();
    setValue("hue", static_cast<float>(hsl.m_hue));
    setValue("saturation", static_cast<float>(hsl.m_saturation));
    setValue("lightness", static_cast<float>(hsl.m_lightness));
}

void HSLEffectsToolView::choiceChanged(int) {
    // The sliders belong to what was edited until now.
    storeSliders();
    m_target = TiTrunc(value("target"));
    m_wasColorized = colorized();
    m_rangeEditor.close();
    loadSliders();
    startProcess();
}

void HSLEffectsToolView::buttonPressed(int index) {
    if (index == indexOf("range")) {
        m_rangeEditor.setHueRange(m_hueRanges[m_target], m_target);
    } else if (index == indexOf("rangeReset")) {
        m_rangeEditor.resetRange();
    } else if (index == indexOf("rangeClose")) {
        m_rangeEditor.close();
    }
}

bool HSLEffectsToolView::editorTouch(int, const TouchEvent& touch) {
    if (!m_rangeEditor.isOpen()) return false;
    m_rangeEditor.touch(touch);
    return true;
}

bool HSLEffectsToolView::editorAllows(int) const {
    return m_rangeEditor.isOpen();
}

void HSLEffectsToolView::hueRangeSetViewRangeChanged() {
    const int target = m_rangeEditor.targetChannel();
    if (target < 0 || target >= 6) return;
    m_hueRanges[target] = m_rangeEditor.getHueRange();
    startProcess();
}

void HSLEffectsToolView::hueRangeSetViewClose() {}

void HSLEffectsToolView::addTaskListRun(EffectsProcesser& processor) {
    storeSliders();
    m_lastColorized = m_wasColorized;
    if (m_lastColorized) {
        m_lastTint = Scaled(m_tint);
    } else {
        const auto& t = m_targets;
        m_lastScaled = {Scaled(t[0]), Scaled(t[1]), Scaled(t[2]), Scaled(t[3]),
                        Scaled(t[4]), Scaled(t[5]), Scaled(t[6])};
    }
    addTaskListResult(processor);
}

void HSLEffectsToolView::addTaskListResult(EffectsProcesser& processor) {
    if (m_lastColorized) {
        processor.addCommandHSLTintByHSL(m_lastTint);
    } else {
        processor.addCommandHSLAjustmentByHSLData(m_lastScaled, ToData(m_hueRanges));
    }
}

void HSLEffectsToolView::addState(Dictionary& state) const {
    state.set("hueRange", m_rangeEditor.state(kRibbonWidth));
}

}  // namespace vantrel
