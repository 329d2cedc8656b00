// The curves panel: the curve editor's points per channel, one CMD_CURVE
// per edited channel (composite, red, green, blue in that order). The
// channel tabs 0..3 select the curve channels 1, 2, 3, 0. Done without an
// edit applies nothing. Delete removes the selected point (while one is
// selected among at least 3); Add offers candidate points, or withdraws
// the offer. The histogram of the working image may be shown behind.
#pragma once

#include <array>
#include <vector>

#include "editing/editors/HistogramView.h"
#include "editing/panels/EffectsToolView.h"

namespace vantrel {

class CurveEffectsToolView final : public EffectsToolView, public HistogramViewDelegate {
public:
    CurveEffectsToolView(const PanelSpec& panelSpec, const PanelContext& context);

    bool initFinish() override;
    void reset() override;
    const HistogramView& editor() const { return m_editor; }
    bool channelValueChanged(int channel) const { return m_channelValueChanged[channel]; }

    void histogramViewChannelValueChanged(int channel) override;
    void histogramViewChannelValueChangedOver(int channel) override;
    void histogramViewSplineButtonSelected() override;

protected:
    void addTaskListRun(EffectsProcesser& processor) override;
    void addTaskListResult(EffectsProcesser& processor) override { addTaskListRun(processor); }
    void choiceChanged(int index) override;
    void buttonPressed(int index) override;
    bool editorTouch(int index, const TouchEvent& touch) override;
    bool editorAllows(int index) const override;
    void addState(Dictionary& state) const override;

private:
    void copyPoints();
    int activeChannel() const;

    HistogramView m_editor;
    std::array<bool, 4> m_channelValueChanged{};
    std::array<std::vector<Vec3>, 4> m_points;
};

}  // namespace vantrel
