// The channel mixer panel: the weights that make the red, green and blue
// outputs (one output on the sliders at a time, -2..2), or with gray on the
// gray weights, the output tabs then disabled and labelled "STR_GRAY".
// Moving a slider stores the three sliders into what they edit.
#pragma once

#include "Core/global/Records.h"
#include "editing/panels/EffectsToolView.h"

namespace vantrel {

class ChannelMixEffectsToolView final : public EffectsToolView {
public:
    using EffectsToolView::EffectsToolView;

    void reset() override;
    const TinyChannelMixer& mixer() const { return m_mixer; }
    const TinyChannelMixScale& grayScale() const { return m_gray; }

protected:
    void addTaskListRun(EffectsProcesser& processor) override;
    void updateLabel() override;
    void sliderValueChanged(int index) override;
    void choiceChanged(int index) override;

private:
    TinyChannelMixScale& edited();
    void loadSliders();

    TinyChannelMixer m_mixer{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    TinyChannelMixScale m_gray{0.4f, 0.4f, 0.2f};
};

}  // namespace vantrel
