// The retinex panel: scale division and dynamic sliders; the panel keeps
// its own retinex object on the preview, so that only a new scale division
// blurs again. Moving a slider updates the object (dynamic truncated to
// tenths); releasing it runs the retinex on a copy of the preview, after a
// hop through a high-priority queue, with the activity indicator up while a
// new blur is needed.
#pragma once

#include <memory>

#include "Core/filter/Retinex.h"
#include "editing/panels/EffectsToolView.h"

namespace vantrel {

class RetinexEffectsToolView final : public EffectsToolView {
public:
    using EffectsToolView::EffectsToolView;

    bool initFinish() override;
    void reset() override;
    const RetinexParameter& parameter() const { return m_retinex->GetParameter(); }

protected:
    void addTaskListResult(EffectsProcesser& processor) override;
    void sliderValueChanged(int index) override;
    void sliderTouchUpInside(int index) override;

private:
    void renderPreview();

    std::unique_ptr<Retinex> m_retinex;
    std::unique_ptr<TiBitmapData> m_rendered;  // the retinex's target of the last run
};

}  // namespace vantrel
