// The bokeh panel: a focus circle drawn over the picture (BokehDrawView) and
// an extend-width slider; the panel runs the bokeh filter itself on a copy
// of the preview, keeping the blur between runs (Bokeher).
//
// Parameters are kept in the saved photo's pixels: the blur radius
// trunc(min(width, height) / 960 * 12), the drawing read back through
// k = shown width / saved width; the filter gets them times reallyScale.
// The degrees slider changes only its own label: the command's degrees stay
// 0.
#pragma once

#include <memory>

#include "Core/filter/Bokeh.h"
#include "editing/editors/BokehDrawView.h"
#include "editing/panels/EffectsToolView.h"

namespace vantrel {

// trunc(min(width, height) / 960 * 12): the bokeh blur for a picture size.
int BokehBlurRadius(Size size);

class BokehEffectsToolView final : public EffectsToolView, public BokehDrawViewDelegate {
public:
    static constexpr float kRadiusShare = 0.16f;
    static constexpr double kExtendShare = 1.461538461538462;

    BokehEffectsToolView(const PanelSpec& panelSpec, const PanelContext& context);

    bool initFinish() override;
    void reset() override;
    const BokehDrawView& drawing() const { return m_drawing; }
    const BokehParams& params() const { return m_params; }

    void bokehDrawViewPicked() override {}
    void bokehDrawViewChanging() override {}
    void bokehDrawViewChanged() override;

protected:
    void addTaskListResult(EffectsProcesser& processor) override;
    void sliderValueChanged(int index) override;
    void sliderTouchUpInside(int index) override;
    bool editorTouch(int index, const TouchEvent& touch) override;
    bool editorPinch(int index, const PinchEvent& pinch) override;
    void pictureTouch(const TouchEvent& touch) override;
    void addState(Dictionary& state) const override;

private:
    void readBack();
    void renderPreview();
    Size shownSize() const;

    BokehDrawView m_drawing;
    std::unique_ptr<Bokeher> m_bokeher;
    std::unique_ptr<TiBitmapData> m_rendered;  // what the Bokeher rendered last
    int m_previewBlurRadius = 0;
    BokehParams m_params;  // in saved-photo pixels
    bool m_firstPreviewPending = false;
};

}  // namespace vantrel
