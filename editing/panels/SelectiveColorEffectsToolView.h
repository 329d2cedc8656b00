// The selective colour panel: nine colour swatches (reds .. magentas,
// whites, neutrals, blacks), each with its own cyan, magenta, yellow and
// black amounts (-1..1) on the sliders while it is selected. Every label
// refresh stores the four sliders into the selected colour; the command
// carries the whole set.
#pragma once

#include <array>

#include "Core/global/Records.h"
#include "editing/panels/EffectsToolView.h"

namespace vantrel {

class SelectiveColorEffectsToolView final : public EffectsToolView {
public:
    using EffectsToolView::EffectsToolView;

    void reset() override;
    ComplementScaleSet scaleSet() const;

protected:
    void addTaskListRun(EffectsProcesser& processor) override;
    void updateLabel() override;
    void choiceChanged(int index) override;

private:
    std::array<ComplementScale, 9> m_colors{};
};

}  // namespace vantrel
