#include "editing/panels/FlipToolView.h"

namespace vantrel {

bool FlipToolView::initFinish() {
    if (!EffectsToolView::initFinish()) return false;
    const Size size{static_cast<float>(originalImage().width()),
                    static_cast<float>(originalImage().height())};
    m_picture.setImage(size);
    m_picture.setViewSize(size);
    return true;
}

void FlipToolView::reset() {
    if (released()) return;
    resetControls();
    m_picture.setFlipH(false);
    m_picture.setFlipV(false);
}

void FlipToolView::choiceChanged(int) {
    m_picture.setFlipH(value("flipH") != 0);
    m_picture.setFlipV(value("flipV") != 0);
}

void FlipToolView::addTaskListResult(EffectsProcesser& processor) {
    processor.addCommandFlipByFlipH(value("flipH") != 0, value("flipV") != 0);
}

void FlipToolView::addState(Dictionary& state) const {
    state.set("picture", m_picture.state());
}

}  // namespace vantrel
