#include "editing/panels/RetinexEffectsToolView.h"

#include "Core/global/Numeric.h"
#include "platform/Dispatch.h"
#include "platform/UIServices.h"

namespace vantrel {

bool RetinexEffectsToolView::initFinish() {
    if (!EffectsToolView::initFinish()) return false;
    m_retinex = std::make_unique<Retinex>(originalBitmap().get(), 10, 0, 2.0f);
    return true;
}

void RetinexEffectsToolView::reset() {
    if (released()) return;
    resetControls();
    m_retinex->SetScalesMode(0);
    processor().clearCommandDicList();
    const int scaleDivision = indexOf("scaleDivision");
    sliderValueChanged(scaleDivision);
    sliderTouchUpInside(scaleDivision);
}

void RetinexEffectsToolView::sliderValueChanged(int) {
    updateLabel();
    const int scaleDivision = TiTrunc(value("scaleDivision"));
    m_retinex->SetCvar(static_cast<float>(TiTrunc(value("dynamic") * 10)) / 10);
    if (scaleDivision != m_retinex->GetParameter().nscales) {
        m_retinex->SetNScales(scaleDivision);
        m_retinex->ReleaseBlurred();
    }
}

void RetinexEffectsToolView::sliderTouchUpInside(int) {
    if (released()) return;
    if (m_retinex->NeedsPrepare()) currentUIServices().showActivityIndicator();
    setProcessing(true);
    std::weak_ptr<EffectsToolView> weak = weakSelf();
    dispatchAsync(DispatchQueue::High, [weak] {
        dispatchAsync(DispatchQueue::Main, [weak] {
            currentUIServices().removeWaitPanel();
            const std::shared_ptr<EffectsToolView> panel = weak.lock();
            if (!panel || panel->released()) return;
            static_cast<RetinexEffectsToolView&>(*panel).renderPreview();
        });
    });
}

void RetinexEffectsToolView::renderPreview() {
    setProcessing(false);
    std::unique_ptr<TiBitmapData> copy = originalBitmap()->Clone(false);
    if (!copy) return;
    m_retinex->SetBitmap(copy.get());
    m_rendered = std::move(copy);
    const Picture picture = m_retinex->Run() != 0 ? PictureFromBitmap(*m_rendered) : Picture();
    if (!picture.empty()) previewFinished(picture);
}

void RetinexEffectsToolView::addTaskListResult(EffectsProcesser& processor) {
    const RetinexParameter& p = m_retinex->GetParameter();
    processor.addCommandRetinexByLevel(0, p.nscales, p.cvar);
}

}  // namespace vantrel
