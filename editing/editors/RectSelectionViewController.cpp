#include "editing/editors/RectSelectionViewController.h"

#include <chrono>
#include <cmath>

#include "editing/StateValues.h"
#include "platform/UIServices.h"

namespace vantrel {
namespace {

double SteadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

float RoundSelectionValue(double value) {
    const double whole = std::floor(value);
    if (value - whole < 0.5) return static_cast<float>(whole);
    // The even one of whole and whole + 1.
    return static_cast<float>(std::fmod(whole, 2.0) == 0 ? whole : whole + 1);
}

RectSelectionViewController::RectSelectionViewController(
    RectSelectionViewControllerDelegate* delegate, bool showTips, Clock clock)
    : m_delegate(delegate),
      m_showTips(showTips),
      m_clock(clock ? std::move(clock) : Clock(SteadySeconds)),
      m_view(this) {}

void RectSelectionViewController::selectImage(const Picture& picture, Size shownSize) {
    m_picture = picture;
    m_shown = shownSize;
    m_view.setClipFrame({0, 0, shownSize.width, shownSize.height});
    m_shownAt = m_clock();
    reset();
}

void RectSelectionViewController::reset() {
    m_view.setClipRect({0, 0, m_shown.width, m_shown.height});
}

double RectSelectionViewController::pictureScale() const {
    return m_shown.width > 0 ? m_picture.width() / static_cast<double>(m_shown.width) : 0;
}

void RectSelectionViewController::setRect(const Rect& rect) {
    if (rect.width <= 0 || rect.height <= 0) {
        reset();
        return;
    }
    const double scale = pictureScale();
    if (scale <= 0) return;
    m_view.setClipRect({static_cast<float>(rect.x / scale), static_cast<float>(rect.y / scale),
                        static_cast<float>(rect.width / scale),
                        static_cast<float>(rect.height / scale)});
}

Rect RectSelectionViewController::selectedRect() const {
    const double scale = pictureScale();
    const Rect& r = m_view.clipRect();
    return {RoundSelectionValue(r.x * scale), RoundSelectionValue(r.y * scale),
            RoundSelectionValue(r.width * scale), RoundSelectionValue(r.height * scale)};
}

void RectSelectionViewController::done() {
    if (m_delegate) m_delegate->rectSelectionYES(selectedRect());
}

void RectSelectionViewController::cancel() {
    if (m_delegate) m_delegate->rectSelectionCancel();
}

void RectSelectionViewController::regionSelectionViewChanged() {
    if (!m_showTips || m_tipShown) return;
    if (m_clock() - m_shownAt < kTipDelaySeconds) return;
    const Rect& r = m_view.clipRect();
    if (std::fabs(r.width - m_shown.width) > kTipSlack) return;
    if (std::fabs(r.height - m_shown.height) > kTipSlack) return;
    m_tipShown = true;
    showTitleTip();
}

void RectSelectionViewController::showTitleTip() {
    currentUIServices().showTitleTip(kTitle);
}

Dictionary RectSelectionViewController::state() const {
    Dictionary state = m_view.state();
    state.set("title", Value(kTitle));
    state.set("buttons", Array{Value(kCancelButton), Value(kDoneButton)});
    state.set("pictureSize", SizeValue({static_cast<float>(m_picture.width()),
                                        static_cast<float>(m_picture.height())}));
    state.set("selectedRect", RectValue(selectedRect()));
    state.set("tipShown", Value(m_tipShown));
    return state;
}

}  // namespace vantrel
