#include "editing/panels/RotateToolView.h"

#include <cmath>

#include "Core/global/Numeric.h"

namespace vantrel {

int RotateDisplayDegrees(float a, bool snap) {
    int d = TiTrunc(std::fabs(a)) % 360;
    if (a < 0) d = 360 - d;
    if (snap) {
        const int below = d / 15 * 15;
        d = d - below >= 8 ? below + 15 : below;  // 7.5 apart never happens in whole degrees
    }
    return d;
}

std::optional<float> RotateZoomScale(Size size, float degrees, Size maxSize) {
    const Size bound = TurnedBoundingSize(size, degrees);
    const double bw = bound.width;
    const double bh = bound.height;
    int W = TiTrunc(bw);
    const int boundH = TiTrunc(bh);
    const double ratio = boundH != 0 ? static_cast<double>(W) / boundH : 1.0;
    int H;
    if (W > maxSize.width) {
        W = TiTrunc(maxSize.width);
        H = TiTrunc(W / ratio + 0.5);
    } else {
        H = TiTrunc(bh);
    }
    if (H > maxSize.height) {
        H = TiTrunc(maxSize.height);
        W = TiTrunc(H * ratio + 0.5);
    }
    const double z = W / bw;
    if (z < 1) return static_cast<float>(z);
    return std::nullopt;
}

bool RotateToolView::initFinish() {
    if (!EffectsToolView::initFinish()) return false;
    const Size size{static_cast<float>(originalImage().width()),
                    static_cast<float>(originalImage().height())};
    m_picture.setImage(size);
    m_picture.setViewSize(size);
    return true;
}

void RotateToolView::reset() {
    if (released()) return;
    resetControls();
    m_picture.setImageDegrees(0);
}

void RotateToolView::sliderValueChanged(int index) {
    const float a = valueAt(index);
    const bool snap = value("snap") != 0;
    const int d = RotateDisplayDegrees(a, snap);
    if (snap) setValueAt(index, static_cast<float>(a < 0 ? d - 360 : d));
    m_picture.setImageDegrees(d);
    updateLabel();
}

void RotateToolView::sliderTouchUpInside(int) {}

void RotateToolView::choiceChanged(int) {}

void RotateToolView::addTaskListResult(EffectsProcesser& processor) {
    const auto degrees = static_cast<float>(TiTrunc(value("angle")));
    if (const std::optional<float> zoom =
            RotateZoomScale(reallySize(), degrees, context().photoMaxSize)) {
        processor.addCommandZoomByScale(*zoom);
    }
    processor.addCommandRotateByDegrees(degrees);
}

void RotateToolView::addState(Dictionary& state) const {
    state.set("picture", m_picture.state());
}

}  // namespace vantrel
