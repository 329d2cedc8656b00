// The flip tool: two toggles that mirror the shown picture horizontally and
// vertically; no previews run. The result is one CMD_FLIP with both flags.
#pragma once

#include "editing/editors/RotatingImageView.h"
#include "editing/panels/EffectsToolView.h"

namespace vantrel {

class FlipToolView final : public EffectsToolView {
public:
    using EffectsToolView::EffectsToolView;

    bool initFinish() override;
    void reset() override;
    const RotatingImageView& picture() const { return m_picture; }

protected:
    void addTaskListResult(EffectsProcesser& processor) override;
    void choiceChanged(int index) override;
    void addState(Dictionary& state) const override;

private:
    RotatingImageView m_picture;
};

}  // namespace vantrel
