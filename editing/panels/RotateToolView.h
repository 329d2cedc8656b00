// The rotate tool: an angle slider (-180..180) and snapping to multiples of
// 15 degrees. Moving the slider turns the shown picture; no previews run.
// The result turns the photo by the slider's whole degrees, first zooming
// it down when its turned bounding box would exceed photoMaxSize.
#pragma once

#include <optional>

#include "editing/editors/RotatingImageView.h"
#include "editing/panels/EffectsToolView.h"

namespace vantrel {

// The turn shown for slider value `a`: trunc(|a|) mod 360, from 360 for a
// negative a; snapped to the nearest multiple of 15 (the smaller on a tie).
int RotateDisplayDegrees(float a, bool snap);

// The zoom that keeps a photo of `size` turned by `degrees` within
// `maxSize`, or nothing when none is needed.
std::optional<float> RotateZoomScale(Size size, float degrees, Size maxSize);

class RotateToolView final : public EffectsToolView {
public:
    using EffectsToolView::EffectsToolView;

    bool initFinish() override;
    void reset() override;
    const RotatingImageView& picture() const { return m_picture; }

protected:
    void addTaskListResult(EffectsProcesser& processor) override;
    void sliderValueChanged(int index) override;
    void sliderTouchUpInside(int index) override;
    void choiceChanged(int index) override;
    void addState(Dictionary& state) const override;

private:
    RotatingImageView m_picture;
};

}  // namespace vantrel
