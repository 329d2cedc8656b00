#include "editing/panels/ChannelMixEffectsToolView.h"

#include "Core/global/Numeric.h"

namespace vantrel {

void ChannelMixEffectsToolView::reset() {
    if (released()) return;
    m_mixer = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    m_gray = {0.4f, 0.4f, 0.2f};
    resetControls();
    loadSliders();
    startProcess();
}

TinyChannelMixScale& ChannelMixEffectsToolView::edited() {
    if (value("gray") != 0) return m_gray;
    switch (TiTrunc(value("output"))) {
        case 1:
            return m_mixer.green;
        case 2:
            return m_mixer.blue;
        default:
            return m_mixer.red;
    }
}

void ChannelMixEffectsToolView::loadSliders() {
    const TinyChannelMixScale& weights = edited();
    setValue("red", weights.redScale);
    setValue("green", weights.greenScale);
    setValue("blue", weights.blueScale);
    updateLabel();
}

void ChannelMixEffectsToolView::updateLabel() {
    EffectsToolView::updateLabel();
    if (value("gray") != 0) setLabelAt(indexOf("output"), "STR_GRAY");
}

void ChannelMixEffectsToolView::sliderValueChanged(int index) {
    edited() = {value("red"), value("green"), value("blue")};
    EffectsToolView::sliderValueChanged(index);
}

void ChannelMixEffectsToolView::choiceChanged(int) {
    loadSliders();
    startProcess();
}

void ChannelMixEffectsToolView::addTaskListRun(EffectsProcesser& processor) {
    if (value("gray") != 0) {
        processor.addCommandChannelMixGrayByScale(m_gray);
    } else {
        processor.addCommandChannelMixByMixer(m_mixer);
    }
}

}  // namespace vantrel
