// The Gaussian blur panel: two radius sliders and a lock. With the lock on
// (after reset) moving either radius moves the other to the same value;
// switching the lock on sets both to the smaller one and previews if that
// changed a value. The mapping is the table's.
#pragma once

#include "editing/panels/EffectsToolView.h"

namespace vantrel {

class GasBlurEffectsToolView final : public EffectsToolView {
public:
    using EffectsToolView::EffectsToolView;

protected:
    void sliderValueChanged(int index) override;
    void choiceChanged(int index) override;
};

}  // namespace vantrel
