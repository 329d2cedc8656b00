// The hue / saturation / lightness panel. Seven targets (the six colour
// ranges and "all"), each with its own hue, saturation and lightness, one on
// the sliders at a time; each colour target's hue range is set in the
// hue-range editor. With colourise on the targets and the range button are
// disabled, hue runs 0..360 and saturation 0..100, and the sliders edit the
// tint instead.
//
// A preview stores the truncated sliders, then sends saturation and
// lightness multiplied by 2.55 and truncated (hue as it is): the tint, or a
// copy of every target's values with the hue ranges. The result sends the
// copies the last preview made.
#pragma once

#include <array>

#include "Core/global/Records.h"
#include "editing/editors/HueRangeSetViewController.h"
#include "editing/panels/EffectsToolView.h"

namespace vantrel {

// A saturation or lightness in percent as the commands take it:
// trunc(value * 2.55).
int ScaledPercent(int value);

class HSLEffectsToolView final : public EffectsToolView, public HueRangeSetViewControllerDelegate {
public:
    static constexpr int kAllTarget = 6;

    HSLEffectsToolView(const PanelSpec& panelSpec, const PanelContext& context);

    void reset() override;
    const HueRangeSetViewController& rangeEditor() const { return m_rangeEditor; }

    void hueRangeSetViewRangeChanged() override;
    void hueRangeSetViewClose() override;

protected:
    void addTaskListRun(EffectsProcesser& processor) override;
    void addTaskListResult(EffectsProcesser& processor) override;
    void choiceChanged(int index) override;
    void buttonPressed(int index) override;
    bool editorTouch(int index, const TouchEvent& touch) override;
    bool editorAllows(int index) const override;
    void addState(Dictionary& state) const override;

private:
    TinyHSL& edited();
    void storeSliders();
    void loadSliders();
    bool colorized() const { return value("colorize") != 0; }

    std::array<TinyHSL, 7> m_targets{};
    TinyHSL m_tint{0, 25, 0};
    std::array<HueRange, 6> m_hueRanges{};
    int m_target = kAllTarget;
    bool m_wasColorized = false;
    // What the last preview sent.
    bool m_lastColorized = false;
    TinyHSL m_lastTint{};
    HSLData m_lastScaled{};
    HueRangeSetViewController m_rangeEditor;
};

}  // namespace vantrel
