#include "editing/editors/HueRangeSetViewController.h"

#include "Core/global/Numeric.h"
#include "editing/StateValues.h"

namespace vantrel {

HueRange DefaultHueRange(int target) {
    const HueRangeData& ranges = kStandardHueRanges;
    switch (target) {
        case 0:
            return ranges.red;
        case 1:
            return ranges.yellow;
        case 2:
            return ranges.green;
        case 3:
            return ranges.cyan;
        case 4:
            return ranges.blue;
        case 5:
            return ranges.magenta;
        default:
            return HueRange{};
    }
}

HueRangeSetViewController::HueRangeSetViewController(HueRangeSetViewControllerDelegate* delegate)
    : m_delegate(delegate), m_ribbon(this) {}

void HueRangeSetViewController::setHueRange(const HueRange& range, int channel) {
    m_targetChannel = channel;
    m_ribbon.setHueRange(
        {static_cast<float>(range.center_left), static_cast<float>(range.center_right),
         static_cast<float>(range.range_left), static_cast<float>(range.range_right)});
    m_open = true;
}

HueRange HueRangeSetViewController::getHueRange() const {
    const std::array<float, 4>& v = m_ribbon.hueRange();
    return {TiTrunc(v[HueRibbonView::kCenterLeft]), TiTrunc(v[HueRibbonView::kCenterRight]),
            TiTrunc(v[HueRibbonView::kRangeLeft]), TiTrunc(v[HueRibbonView::kRangeRight])};
}

void HueRangeSetViewController::resetRange() {
    setHueRange(DefaultHueRange(m_targetChannel), m_targetChannel);
    hueRangeChanged();
}

void HueRangeSetViewController::close() {
    if (!m_open) return;
    m_open = false;
    if (m_delegate) m_delegate->hueRangeSetViewClose();
}

void HueRangeSetViewController::hueRangeChanged() {
    if (m_delegate) m_delegate->hueRangeSetViewRangeChanged();
}

Dictionary HueRangeSetViewController::state(float viewWidth) const {
    Dictionary state = m_ribbon.state(viewWidth);
    state.set("open", Value(m_open));
    state.set("target", NumberValue(m_targetChannel));
    return state;
}

}  // namespace vantrel
