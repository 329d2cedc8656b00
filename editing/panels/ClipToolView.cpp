#include "editing/panels/ClipToolView.h"

#include <algorithm>
#include <cmath>

#include "Core/global/Numeric.h"

namespace vantrel {
namespace {

constexpr double kProportions[] = {1.0, 2.0 / 3.0, 1.5, 4.0 / 3.0, 16.0 / 9.0, 0.0};
constexpr int kCorrectionTolerance = 100;

}  // namespace

double ClipProportion(int index) {
    return index >= 0 && index < static_cast<int>(std::size(kProportions)) ? kProportions[index]
                                                                           : 0.0;
}

Rect ClipRectInPhotoPixels(const Rect& frame, double k, double ratio) {
    const int x = TiTrunc(frame.x * k);
    const int y = TiTrunc(frame.y * k);
    int w = TiTrunc(frame.width * k + 0.5);
    int h = TiTrunc(frame.height * k + 0.5);
    if (ratio != 0 && h != 0) {
        const double actual = static_cast<double>(w) / h;
        if (actual > ratio) {
            const int corrected = TiTrunc(TiTrunc(w + 0.5) / ratio + 0.5);
            if (std::abs(corrected - h) <= kCorrectionTolerance) h = corrected;
        } else if (actual < ratio) {
            const int corrected = TiTrunc(TiTrunc(h + 0.5) * ratio + 0.5);
            if (std::abs(corrected - w) <= kCorrectionTolerance) w = corrected;
        }
    }
    return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(w),
            static_cast<float>(h)};
}

Size ClipToolView::shownSize() const {
    return {static_cast<float>(originalImage().width()),
            static_cast<float>(originalImage().height())};
}

bool ClipToolView::initFinish() {
    if (!EffectsToolView::initFinish()) return false;
    const Size shown = shownSize();
    m_frame.setClipFrame({0, 0, shown.width, shown.height});
    return true;
}

void ClipToolView::reset() {
    if (released()) return;
    resetControls();
    restartFrame();
}

// Centred on the picture: two thirds of its shorter way, the other side from
// the ratio (square when free).
void ClipToolView::restartFrame() {
    const double ratio = ClipProportion(TiTrunc(value("proportion")));
    const double shape = ratio != 0 ? ratio : 1.0;
    const Size shown = shownSize();
    double w;
    double h;
    if (shown.width > shown.height) {
        h = shown.height / 1.5;
        w = h * shape;
    } else {
        w = shown.width / 1.5;
        h = w / shape;
    }
    // A shape much wider (or taller) than the picture would not fit: shrink it.
    const double fit = std::min({1.0, shown.width / w, shown.height / h});
    w *= fit;
    h *= fit;
    m_frame.setWhScale(ratio);
    m_frame.setClipRect({static_cast<float>((shown.width - w) / 2),
                         static_cast<float>((shown.height - h) / 2), static_cast<float>(w),
                         static_cast<float>(h)});
}

void ClipToolView::choiceChanged(int) {
    restartFrame();
}

bool ClipToolView::editorTouch(int, const TouchEvent& touch) {
    const Size shown = shownSize();
    m_frame.touch({touch.phase, PointInFrame(touch, shown), shown});
    return true;
}

void ClipToolView::pictureTouch(const TouchEvent& touch) {
    editorTouch(indexOf("frame"), touch);
}

void ClipToolView::addTaskListResult(EffectsProcesser& processor) {
    const double k = reallySize().width / static_cast<double>(shownSize().width);
    processor.addCommandClipByRect(ClipRectInPhotoPixels(m_frame.clipRect(), k, m_frame.whScale()));
}

void ClipToolView::addState(Dictionary& state) const {
    state.set("frame", m_frame.state());
}

}  // namespace vantrel
