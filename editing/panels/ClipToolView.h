// The clip tool: a proportion ("1 : 1", "2 : 3", "3 : 2", "4 : 3", "16 : 9"
// or free, "? : ?") and a frame over the shown picture that keeps it. No
// previews run. The result is one CMD_CLIP in the saved photo's pixels.
#pragma once

#include "editing/editors/RegionSelectionView.h"
#include "editing/panels/EffectsToolView.h"

namespace vantrel {

// The width / height ratio of proportion `index`; 0 for the free one.
double ClipProportion(int index);

// The frame (in shown points) as the clip rectangle in saved-photo pixels,
// k = saved width / shown width: x and y truncated, width and height
// rounded, then with a fixed ratio p the side that breaks the ratio is
// corrected when the correction is at most 100 pixels.
Rect ClipRectInPhotoPixels(const Rect& frame, double k, double ratio);

class ClipToolView final : public EffectsToolView {
public:
    using EffectsToolView::EffectsToolView;

    bool initFinish() override;
    void reset() override;
    const RegionSelectionView& frame() const { return m_frame; }

protected:
    void addTaskListResult(EffectsProcesser& processor) override;
    void choiceChanged(int index) override;
    bool editorTouch(int index, const TouchEvent& touch) override;
    void pictureTouch(const TouchEvent& touch) override;
    void addState(Dictionary& state) const override;

private:
    void restartFrame();
    Size shownSize() const;

    RegionSelectionView m_frame;
};

}  // namespace vantrel
