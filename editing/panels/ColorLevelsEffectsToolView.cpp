#include "editing/panels/ColorLevelsEffectsToolView.h"

#include "Core/global/Numeric.h"

namespace vantrel {

void ColorLevelsEffectsToolView::reset() {
    if (released()) return;
    resetControls();
    m_channels.fill(Levels{});
    m_channel = TiTrunc(value("channel"));
    startProcess();
}

void ColorLevelsEffectsToolView::storeSliders() {
    m_channels[m_channel] = {value("inputLow"), value("inputHigh"), value("gamma")};
}

void ColorLevelsEffectsToolView::loadSliders() {
    const Levels& levels = m_channels[m_channel];
    setValue("inputLow", static_cast<float>(TiTrunc(levels.low)));
    setValue("inputHigh", static_cast<float>(TiTrunc(levels.high)));
    setValue("gamma", levels.gamma);
}

void ColorLevelsEffectsToolView::sliderValueChanged(int index) {
    const int lowIndex = indexOf("inputLow");
    const int highIndex = indexOf("inputHigh");
    float low = valueAt(lowIndex);
    float high = valueAt(highIndex);
    if (index == lowIndex && low > high - 2) {
        high = low + 2;
        if (high > 255) {
            high = 255;
            low = 253;
        }
    } else if (index == highIndex && high < low + 2) {
        low = high - 2;
        if (high < 2) {
            high = 2;
            low = 0;
        }
    }
    setValueAt(lowIndex, low);
    setValueAt(highIndex, high);
    EffectsToolView::sliderValueChanged(index);
}

void ColorLevelsEffectsToolView::choiceChanged(int index) {
    // The sliders belong to the channel shown until now.
    storeSliders();
    m_channel = TiTrunc(valueAt(index));
    loadSliders();
    startProcess();
}

void ColorLevelsEffectsToolView::fillLevelData() {
    const auto low = [&](int c) { return TiTrunc(m_channels[c].low); };
    const auto high = [&](int c) { return TiTrunc(m_channels[c].high); };
    const auto gamma = [&](int c) { return static_cast<double>(m_channels[c].gamma); };
    m_levelData.RedLow = low(0);
    m_levelData.RedHigh = high(0);
    m_levelData.RedGamma = gamma(0);
    m_levelData.GreenLow = low(1);
    m_levelData.GreenHigh = high(1);
    m_levelData.GreenGamma = gamma(1);
    m_levelData.BlueLow = low(2);
    m_levelData.BlueHigh = high(2);
    m_levelData.BlueGamma = gamma(2);
    m_levelData.AllLow = low(3);
    m_levelData.AllHigh = high(3);
    m_levelData.AllGamma = gamma(3);
}

void ColorLevelsEffectsToolView::addTaskListRun(EffectsProcesser& processor) {
    storeSliders();
    fillLevelData();
    processor.addCommandColorLevelsByColorLevelData(m_levelData);
}

void ColorLevelsEffectsToolView::addTaskListResult(EffectsProcesser& processor) {
    processor.addCommandColorLevelsByColorLevelData(m_levelData);
}

}  // namespace vantrel
