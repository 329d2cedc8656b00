// The colour balance panel: per tone (shadows, midtones, highlights) the
// cyan-red, magenta-green and yellow-blue shifts, one tone on the sliders at
// a time, and preserve luminosity. A preview stores the truncated sliders
// into their tone; the result sends the stored records.
#pragma once

#include <array>

#include "Core/global/Records.h"
#include "editing/panels/EffectsToolView.h"

namespace vantrel {

class ColorBalanceEffectsToolView final : public EffectsToolView {
public:
    using EffectsToolView::EffectsToolView;

    void reset() override;
    const std::array<TransferColor, 3>& tones() const { return m_tones; }

protected:
    void addTaskListRun(EffectsProcesser& processor) override;
    void addTaskListResult(EffectsProcesser& processor) override;
    void choiceChanged(int index) override;

private:
    void storeSliders();

    std::array<TransferColor, 3> m_tones{};
    int m_tone = 1;
};

}  // namespace vantrel
