#include "editing/editors/HueRibbonView.h"

#include <algorithm>
#include <cmath>

#include "Core/global/Numeric.h"
#include "editing/StateValues.h"

namespace vantrel {
namespace {

constexpr int kCursorValue[4] = {HueRibbonView::kRangeLeft, HueRibbonView::kCenterLeft,
                                 HueRibbonView::kCenterRight, HueRibbonView::kRangeRight};

}  // namespace

void HueRibbonView::setHueRange(const std::array<float, 4>& range) {
    m_hueRange = range;
}

float HueRibbonView::ribbonUnitWidth(float viewWidth) {
    return std::max(viewWidth - 2 * kPadding, 1.0f) / 360;
}

void HueRibbonView::moveRange(float step) {
    for (float& value : m_hueRange) value += step;
    keepSpan();
}

// Float sums round: range_right comes back by the few units in the last
// place that would make the span exceed 359.
void HueRibbonView::keepSpan() {
    float& right = m_hueRange[kRangeRight];
    const float left = m_hueRange[kRangeLeft];
    while (right - left > kMaxSpan) right = std::nextafter(right, left);
}

void HueRibbonView::moveCursorByIndex(int index, float step) {
    float& rangeLeft = m_hueRange[kRangeLeft];
    float& centerLeft = m_hueRange[kCenterLeft];
    float& centerRight = m_hueRange[kCenterRight];
    float& rangeRight = m_hueRange[kRangeRight];
    switch (index) {
        case kRangeLeftCursor: {
            float v = rangeLeft + step;
            if (step < 0) {
                // The span is checked on the values, not their whole
                // degrees: truncation toward zero lets a span of almost 361
                // through once the range is moved across 0.
                if (v < rangeRight - kMaxSpan) v = std::min(rangeRight - kMaxSpan, rangeLeft);
            } else if (TiTrunc(v) >= TiTrunc(centerLeft)) {
                v = centerLeft - 1;
            }
            rangeLeft = v;
            break;
        }
        case kCenterLeftCursor:
            if (step <= 0) {
                moveCursorByIndex(kRangeLeftCursor, step);
                centerLeft = std::max(centerLeft + step, rangeLeft + 1);
            } else {
                const float v = std::min(centerLeft + step, centerRight - 1);
                const float made = v - centerLeft;
                centerLeft = v;
                moveCursorByIndex(kRangeLeftCursor, made);
            }
            break;
        case kCenterRightCursor:
            if (step >= 0) {
                moveCursorByIndex(kRangeRightCursor, step);
                centerRight = std::min(centerRight + step, rangeRight - 1);
            } else {
                const float v = std::max(centerRight + step, centerLeft + 1);
                const float made = v - centerRight;
                centerRight = v;
                moveCursorByIndex(kRangeRightCursor, made);
            }
            break;
        case kRangeRightCursor: {
            float v = rangeRight + step;
            if (step < 0) {
                v = std::max(v, centerRight + 1);
            } else if (v > rangeLeft + kMaxSpan) {
                v = std::max(rangeLeft + kMaxSpan, rangeRight);  // never pushed leftwards
            }
            rangeRight = v;
            break;
        }
        default:
            break;
    }
    keepSpan();
}

float HueRibbonView::cursorDegrees(float value) {
    float degrees = std::fmod(value, 360.0f);
    if (degrees < 0) degrees += 360;
    return degrees;
}

int HueRibbonView::cursorAt(float x, float viewWidth) const {
    const float unit = ribbonUnitWidth(viewWidth);
    int nearest = kNoCursor;
    float nearestDistance = kTouchRadius;
    for (int cursor = kRangeLeftCursor; cursor <= kRangeRightCursor; ++cursor) {
        const float at = kPadding + cursorDegrees(m_hueRange[kCursorValue[cursor]]) * unit;
        const float d = std::fabs(at - x);
        if (d < nearestDistance) {
            nearest = cursor;
            nearestDistance = d;
        }
    }
    return nearest;
}

void HueRibbonView::touch(const TouchEvent& touch) {
    const float width = touch.viewSize.width;
    if (width <= 0) return;
    switch (touch.phase) {
        case TouchPhase::Began:
            m_selectedCursor = cursorAt(touch.point.x, width);
            m_lastX = touch.point.x;
            m_tracking = true;
            return;
        case TouchPhase::Moved: {
            if (!m_tracking) return;
            const float step = (touch.point.x - m_lastX) / ribbonUnitWidth(width);
            m_lastX = touch.point.x;
            if (m_selectedCursor == kNoCursor) {
                moveRange(step);
            } else {
                moveCursorByIndex(m_selectedCursor, step);
            }
            if (m_delegate) m_delegate->hueRangeChanged();
            return;
        }
        case TouchPhase::Ended:
        case TouchPhase::Cancelled:
            m_tracking = false;
            m_selectedCursor = kNoCursor;
            return;
    }
}

Dictionary HueRibbonView::state(float viewWidth) const {
    const float unit = ribbonUnitWidth(viewWidth);
    Array values;
    Array cursors;
    for (int cursor = kRangeLeftCursor; cursor <= kRangeRightCursor; ++cursor) {
        const float degrees = cursorDegrees(m_hueRange[kCursorValue[cursor]]);
        cursors.push_back(Dictionary{{"x", NumberValue(kPadding + degrees * unit)},
                                     {"label", Value(FormatLabel("%d", degrees))}});
    }
    for (float value : m_hueRange) values.push_back(NumberValue(value));
    return Dictionary{{"hueRange", values},
                      {"cursors", cursors},
                      {"selectedCursor", NumberValue(m_selectedCursor)}};
}

}  // namespace vantrel
