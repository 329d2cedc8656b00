#include "editing/panels/BokehEffectsToolView.h"

#include <algorithm>

#include "Core/global/Numeric.h"

namespace vantrel {

int BokehBlurRadius(Size size) {
    return TiTrunc(std::min(size.width, size.height) / 960.0 * 12);
}

BokehEffectsToolView::BokehEffectsToolView(const PanelSpec& panelSpec, const PanelContext& context)
    : EffectsToolView(panelSpec, context), m_drawing(this) {}

Size BokehEffectsToolView::shownSize() const {
    return {static_cast<float>(originalImage().width()),
            static_cast<float>(originalImage().height())};
}

bool BokehEffectsToolView::initFinish() {
    if (!EffectsToolView::initFinish()) return false;
    m_params.blurRadius = BokehBlurRadius(reallySize());
    m_params.degrees = 0;
    m_previewBlurRadius = BokehBlurRadius(shownSize());
    m_drawing.setFrameSize(shownSize());
    std::unique_ptr<TiBitmapData> target = originalBitmap()->Clone(false);
    if (!target) return true;  // previews then show nothing new
    m_bokeher =
        std::make_unique<Bokeher>(target.release(), 0, 0, m_previewBlurRadius, 0, 0, 0, true);
    return true;
}

void BokehEffectsToolView::reset() {
    if (released()) return;
    resetControls();
    const Size shown = shownSize();
    const int r = TiTrunc(std::min(shown.width, shown.height) * kRadiusShare);
    setValue("extendWidth", static_cast<float>(TiTrunc(r * kExtendShare)));
    m_drawing.setupWithCenterRadius(r, TiTrunc(value("extendWidth")),
                                    {shown.width / 2, shown.height / 2}, 10, 100, 10, 200);
    m_drawing.setDrawRadiusEnabled(true);
    readBack();
    updateLabel();
    m_firstPreviewPending = true;
    renderPreview();
}

void BokehEffectsToolView::readBack() {
    const double k = shownSize().width / static_cast<double>(reallySize().width);
    m_params.centerRadius = TiTrunc(m_drawing.centerRadius() / k);
    m_params.extendWidth = TiTrunc(m_drawing.extendWidth() / k);
    m_params.cx = TiTrunc(m_drawing.centerPoint().x / k);
    m_params.cy = TiTrunc(m_drawing.centerPoint().y / k);
}

void BokehEffectsToolView::renderPreview() {
    if (!m_bokeher || released()) return;
    std::unique_ptr<TiBitmapData> copy = originalBitmap()->Clone(false);
    if (!copy) return;
    const double s = reallyScale();
    // The Bokeher renders into the copy, which stays alive until the next run.
    m_bokeher->SetBitmap(copy.get(), false);
    m_rendered = std::move(copy);
    m_bokeher->SetParams({TiTrunc(m_params.cx * s), TiTrunc(m_params.cy * s), m_previewBlurRadius,
                          m_params.degrees, TiTrunc(m_params.centerRadius * s),
                          TiTrunc(m_params.extendWidth * s)});
    const Picture picture = m_bokeher->Run() != 0 ? PictureFromBitmap(*m_rendered) : Picture();
    if (picture.empty()) return;
    previewFinished(picture);
    // Circles stay up after the first preview following reset, not after later ones.
    if (!m_firstPreviewPending) m_drawing.setDrawRadiusEnabled(false);
    m_firstPreviewPending = false;
}

void BokehEffectsToolView::sliderValueChanged(int index) {
    if (index == indexOf("extendWidth")) {
        m_drawing.setExtendWidth(TiTrunc(valueAt(index)));
        m_drawing.setDrawRadiusEnabled(true);
    }
    updateLabel();
}

void BokehEffectsToolView::sliderTouchUpInside(int) {
    readBack();
    updateLabel();
    renderPreview();
}

void BokehEffectsToolView::bokehDrawViewChanged() {
    readBack();
    updateLabel();
    renderPreview();
}

bool BokehEffectsToolView::editorTouch(int, const TouchEvent& touch) {
    m_drawing.touch(touch);
    return true;
}

bool BokehEffectsToolView::editorPinch(int, const PinchEvent& pinch) {
    m_drawing.pinch(pinch);
    return true;
}

void BokehEffectsToolView::pictureTouch(const TouchEvent& touch) {
    m_drawing.touch(touch);
}

void BokehEffectsToolView::addTaskListResult(EffectsProcesser& processor) {
    processor.addCommandBokehByBlurRadius(
        m_params.blurRadius, m_params.centerRadius, m_params.extendWidth, m_params.degrees,
        {static_cast<float>(m_params.cx), static_cast<float>(m_params.cy)});
}

void BokehEffectsToolView::addState(Dictionary& state) const {
    state.set("focus", m_drawing.state());
}

}  // namespace vantrel
