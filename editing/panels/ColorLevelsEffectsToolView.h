// The levels panel: per channel (red, green, blue, all) an input low, an
// input high and a gamma, one channel on the sliders at a time. Low and high
// stay at least 2 apart: a low moved above high - 2 pushes high to low + 2
// (at most 255, then low 253), a high moved below low + 2 pulls low to
// high - 2 (at least 0, then high 2). A preview stores the sliders into
// their channel and fills the TColorLevelData record; the result sends the
// record as the last preview filled it.
#pragma once

#include <array>

#include "Core/global/Records.h"
#include "editing/panels/EffectsToolView.h"

namespace vantrel {

class ColorLevelsEffectsToolView final : public EffectsToolView {
public:
    using EffectsToolView::EffectsToolView;

    void reset() override;
    const TColorLevelData& levelData() const { return m_levelData; }

protected:
    void addTaskListRun(EffectsProcesser& processor) override;
    void addTaskListResult(EffectsProcesser& processor) override;
    void sliderValueChanged(int index) override;
    void choiceChanged(int index) override;

private:
    struct Levels {
        float low = 0, high = 255, gamma = 1;
    };
    void storeSliders();
    void loadSliders();
    void fillLevelData();

    std::array<Levels, 4> m_channels{};
    int m_channel = 3;
    TColorLevelData m_levelData{0, 255, 0, 255, 0, 255, 0, 255, 1, 1, 1, 1};
};

}  // namespace vantrel
