#include "editing/panels/ColorBalanceEffectsToolView.h"

#include "Core/global/Numeric.h"

namespace vantrel {

void ColorBalanceEffectsToolView::reset() {
    if (released()) return;
    resetControls();
    m_tones.fill(TransferColor{});
    m_tone = TiTrunc(value("tone"));
    startProcess();
}

void ColorBalanceEffectsToolView::storeSliders() {
    m_tones[m_tone] = {TiTrunc(value("red")), TiTrunc(value("green")), TiTrunc(value("blue"))};
}

void ColorBalanceEffectsToolView::choiceChanged(int index) {
    if (index == indexOf("tone")) {
        storeSliders();
        m_tone = TiTrunc(valueAt(index));
        const TransferColor& tone = m_tones[m_tone];
        setValue("red", static_cast<float>(tone.Cyan_Red));
        setValue("green", static_cast<float>(tone.Magenta_Green));
        setValue("blue", static_cast<float>(tone.Yellow_Blue));
    }
    startProcess();
}

void ColorBalanceEffectsToolView::addTaskListRun(EffectsProcesser& processor) {
    storeSliders();
    addTaskListResult(processor);
}

void ColorBalanceEffectsToolView::addTaskListResult(EffectsProcesser& processor) {
    processor.addCommandColorBalanceByTransferColors(m_tones, value("preserveLuminosity") != 0);
}

}  // namespace vantrel
