#include "editing/panels/SelectiveColorEffectsToolView.h"

#include "Core/global/Numeric.h"

namespace vantrel {

void SelectiveColorEffectsToolView::reset() {
    if (released()) return;
    m_colors.fill(ComplementScale{});
    resetControls();
    startProcess();
}

void SelectiveColorEffectsToolView::updateLabel() {
    EffectsToolView::updateLabel();
    m_colors[TiTrunc(value("color"))] = {value("cyan"), value("magenta"), value("yellow"),
                                         value("black")};
}

void SelectiveColorEffectsToolView::choiceChanged(int index) {
    // Load the new colour before any label refresh stores the sliders.
    const ComplementScale& color = m_colors[TiTrunc(valueAt(index))];
    setValue("cyan", color.cyan);
    setValue("magenta", color.magenta);
    setValue("yellow", color.yellow);
    setValue("black", color.black);
    startProcess();
}

ComplementScaleSet SelectiveColorEffectsToolView::scaleSet() const {
    const auto& c = m_colors;
    return {c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]};
}

void SelectiveColorEffectsToolView::addTaskListRun(EffectsProcesser& processor) {
    processor.addCommandSelectiveColorByScaleSet(scaleSet());
}

}  // namespace vantrel
