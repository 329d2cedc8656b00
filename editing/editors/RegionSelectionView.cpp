#include "editing/editors/RegionSelectionView.h"

#include <algorithm>
#include <cmath>

#include "editing/StateValues.h"

namespace vantrel {
namespace {

bool IsCorner(RegionSelectionView::Handle handle) {
    return handle <= RegionSelectionView::kBottomRight;
}
bool MovesLeft(RegionSelectionView::Handle h) {
    using V = RegionSelectionView;
    return h == V::kTopLeft || h == V::kBottomLeft || h == V::kLeft;
}
bool MovesRight(RegionSelectionView::Handle h) {
    using V = RegionSelectionView;
    return h == V::kTopRight || h == V::kBottomRight || h == V::kRight;
}
bool MovesTop(RegionSelectionView::Handle h) {
    using V = RegionSelectionView;
    return h == V::kTopLeft || h == V::kTopRight || h == V::kTop;
}
bool MovesBottom(RegionSelectionView::Handle h) {
    using V = RegionSelectionView;
    return h == V::kBottomLeft || h == V::kBottomRight || h == V::kBottom;
}

}  // namespace

void RegionSelectionView::setClipFrame(const Rect& frame) {
    m_frame = frame;
    keepInside();
}

void RegionSelectionView::setClipRect(const Rect& rect) {
    m_rect = rect;
    keepInside();
}

Rect RegionSelectionView::getClipRectFrame() const {
    return {m_frame.x + m_rect.x, m_frame.y + m_rect.y, m_rect.width, m_rect.height};
}

void RegionSelectionView::keepInside() {
    Rect& r = m_rect;
    if (r.x + r.width > m_frame.width) r.x = m_frame.width - r.width;
    r.x = std::max(r.x, 0.0f);
    if (r.y + r.height > m_frame.height) r.y = m_frame.height - r.height;
    r.y = std::max(r.y, 0.0f);
    r.width = std::min(r.width, m_frame.width - r.x);
    r.height = std::min(r.height, m_frame.height - r.y);
}

Point RegionSelectionView::handlePoint(Handle handle) const {
    const float left = m_rect.x;
    const float right = m_rect.x + m_rect.width;
    const float top = m_rect.y;
    const float bottom = m_rect.y + m_rect.height;
    const float midX = left + m_rect.width / 2;
    const float midY = top + m_rect.height / 2;
    switch (handle) {
        case kTopLeft:
            return {left, top};
        case kTopRight:
            return {right, top};
        case kBottomLeft:
            return {left, bottom};
        case kBottomRight:
            return {right, bottom};
        case kLeft:
            return {left, midY};
        case kRight:
            return {right, midY};
        case kTop:
            return {midX, top};
        case kBottom:
            break;
    }
    return {midX, bottom};
}

std::optional<RegionSelectionView::Handle> RegionSelectionView::handleAt(Point p) const {
    const float half = kBorderButtonWidth / 2;
    for (int h = kTopLeft; h <= kBottom; ++h) {
        const Point at = handlePoint(static_cast<Handle>(h));
        if (std::fabs(p.x - at.x) <= half && std::fabs(p.y - at.y) <= half) {
            return static_cast<Handle>(h);
        }
    }
    return std::nullopt;
}

float RegionSelectionView::snap(float value, float size) const {
    if (value < kSnapDistance) return 0;
    if (value > size - 1 - kSnapDistance) return size - 1;
    return value;
}

void RegionSelectionView::moveHandle(Handle handle, Point target) {
    if (m_whScale != 0 && !IsCorner(handle)) return;
    const Rect before = m_rect;
    target.x = snap(target.x, m_frame.width);
    target.y = snap(target.y, m_frame.height);
    Rect& r = m_rect;
    if (MovesLeft(handle)) {
        const float right = r.x + r.width - 1;
        r.x = std::min(target.x, right - m_minSpacing + 1);
        r.width = right - r.x + 1;
    } else if (MovesRight(handle)) {
        r.width = std::max(target.x, r.x + m_minSpacing) - r.x + 1;
    }
    if (MovesTop(handle)) {
        const float bottom = r.y + r.height - 1;
        r.y = std::min(target.y, bottom - m_minSpacing + 1);
        r.height = bottom - r.y + 1;
    } else if (MovesBottom(handle)) {
        r.height = std::max(target.y, r.y + m_minSpacing) - r.y + 1;
    }
    if (m_whScale != 0) moveCorner(handle, {before.x + before.width, before.y + before.height});
    keepInside();
    changed();
}

// Applies the ratio to the corner just moved; `oldEnd` is the rectangle's
// right and bottom (x + width, y + height) before the move.
void RegionSelectionView::moveCorner(Handle handle, Point oldEnd) {
    const auto p = static_cast<float>(m_whScale);
    Rect& r = m_rect;
    const bool left = MovesLeft(handle);
    const bool top = MovesTop(handle);
    float w = r.width;
    float h = r.height;
    if (w / h > p) {
        h = w / p;
        const float limit = top ? r.y + r.height : m_frame.height - 1 - r.y;
        if (h > limit) {
            h = limit;
            w = h * p;
        }
    } else if (w / h < p) {
        w = h * p;
        const float limit = left ? r.x + r.width : m_frame.width - 1 - r.x;
        if (w > limit) {
            w = limit;
            h = w / p;
        }
    }
    // The corner opposite the dragged one stays where it was.
    if (left) r.x = oldEnd.x - w;
    if (top) r.y = oldEnd.y - h;
    r.width = w;
    r.height = h;
}

void RegionSelectionView::moveRect(Point origin) {
    m_rect.x = origin.x;
    m_rect.y = origin.y;
    keepInside();
    changed();
}

void RegionSelectionView::touch(const TouchEvent& touch) {
    const Point p{touch.point.x - m_frame.x, touch.point.y - m_frame.y};
    switch (touch.phase) {
        case TouchPhase::Began:
            m_handle = handleAt(p);
            if (m_handle) {
                const Point at = handlePoint(*m_handle);
                m_pickPoint = {p.x - at.x, p.y - at.y};
                return;
            }
            m_picked = p.x >= m_rect.x && p.x < m_rect.x + m_rect.width && p.y >= m_rect.y &&
                       p.y < m_rect.y + m_rect.height;
            m_pickPoint = {p.x - m_rect.x, p.y - m_rect.y};
            return;
        case TouchPhase::Moved:
            if (m_handle) {
                moveHandle(*m_handle, {p.x - m_pickPoint.x, p.y - m_pickPoint.y});
            } else if (m_picked) {
                moveRect({p.x - m_pickPoint.x, p.y - m_pickPoint.y});
            }
            return;
        case TouchPhase::Ended:
        case TouchPhase::Cancelled:
            m_handle.reset();
            m_picked = false;
            return;
    }
}

void RegionSelectionView::changed() {
    if (m_delegate) m_delegate->regionSelectionViewChanged();
}

Dictionary RegionSelectionView::state() const {
    Array handles;
    for (int h = kTopLeft; h <= kBottom; ++h) {
        if (m_whScale != 0 && !IsCorner(static_cast<Handle>(h))) continue;
        const Point at = handlePoint(static_cast<Handle>(h));
        handles.push_back(PointValue({m_frame.x + at.x, m_frame.y + at.y}));
    }
    return Dictionary{{"clipFrame", RectValue(m_frame)},
                      {"clipRect", RectValue(m_rect)},
                      {"whScale", NumberValue(m_whScale)},
                      {"minSpacing", NumberValue(m_minSpacing)},
                      {"borderButtonWidth", NumberValue(kBorderButtonWidth)},
                      {"handles", handles}};
}

}  // namespace vantrel
