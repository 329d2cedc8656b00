#include "editing/editors/BokehDrawView.h"

#include <algorithm>
#include <cmath>

#include "Core/global/Numeric.h"
#include "editing/StateValues.h"

namespace vantrel {

void BokehDrawView::setupWithCenterRadius(int centerRadius, int extendWidth, Point centerPoint,
                                          int minCenterRadius, int maxCenterRadius,
                                          int minExtendWidth, int maxExtendWidth) {
    m_minCenterRadius = minCenterRadius;
    m_maxCenterRadius = std::max(maxCenterRadius, minCenterRadius);
    m_minExtendWidth = minExtendWidth;
    m_maxExtendWidth = std::max(maxExtendWidth, minExtendWidth);
    setCenterRadius(centerRadius);
    setExtendWidth(extendWidth);
    setCenterPoint(centerPoint);
}

void BokehDrawView::setCenterPoint(Point point) {
    m_centerPoint.x = std::clamp(point.x, 0.0f, std::max(m_frame.width - 1, 0.0f));
    m_centerPoint.y = std::clamp(point.y, 0.0f, std::max(m_frame.height - 1, 0.0f));
}

void BokehDrawView::setCenterRadius(int radius) {
    m_centerRadius = std::clamp(radius, m_minCenterRadius, m_maxCenterRadius);
}

void BokehDrawView::setExtendWidth(int width) {
    m_extendWidth = std::clamp(width, m_minExtendWidth, m_maxExtendWidth);
}

void BokehDrawView::touch(const TouchEvent& touch) {
    const Point p = PointInFrame(touch, m_frame);
    switch (touch.phase) {
        case TouchPhase::Began: {
            const float distance = std::hypot(p.x - m_centerPoint.x, p.y - m_centerPoint.y);
            if (distance >= static_cast<float>(m_centerRadius + m_extendWidth)) return;
            m_dragEnabled = true;
            m_pickPoint = {p.x - m_centerPoint.x, p.y - m_centerPoint.y};
            if (m_delegate) m_delegate->bokehDrawViewPicked();
            return;
        }
        case TouchPhase::Moved:
            if (!m_dragEnabled) return;
            setCenterPoint({p.x - m_pickPoint.x, p.y - m_pickPoint.y});
            if (m_delegate) m_delegate->bokehDrawViewChanging();
            return;
        case TouchPhase::Ended:
        case TouchPhase::Cancelled:
            if (!m_dragEnabled) return;
            m_dragEnabled = false;
            if (m_delegate) m_delegate->bokehDrawViewChanged();
            return;
    }
}

void BokehDrawView::pinch(const PinchEvent& pinch) {
    switch (pinch.phase) {
        case TouchPhase::Began:
            m_dragEnabled = false;
            m_lastScale = pinch.scale;
            return;
        case TouchPhase::Moved: {
            // Each update steps the radius by about 2 points: out while the
            // fingers spread (or hold), in while they close.
            const float d = pinch.scale + 1 - m_lastScale;
            const float change = d >= 1 ? 2 * d : -2 * d;
            setCenterRadius(TiTrunc(static_cast<float>(m_centerRadius) + change));
            m_lastScale = pinch.scale;
            if (m_delegate) m_delegate->bokehDrawViewChanging();
            return;
        }
        case TouchPhase::Ended:
        case TouchPhase::Cancelled:
            if (m_delegate) m_delegate->bokehDrawViewChanged();
            return;
    }
}

Dictionary BokehDrawView::state() const {
    return Dictionary{{"frame", SizeValue(m_frame)},
                      {"centerPoint", PointValue(m_centerPoint)},
                      {"centerRadius", NumberValue(m_centerRadius)},
                      {"extendWidth", NumberValue(m_extendWidth)},
                      {"dragging", Value(m_dragEnabled)},
                      {"circlesVisible", Value(m_drawRadius)}};
}

}  // namespace vantrel
