// RegionSelectionView: a rectangle dragged inside a frame, for the clip
// tool's frame (ClipView) and the region selection (RectSelectionView).
//
// The frame (clipFrame) is the area the rectangle must stay in, the shown
// picture; the rectangle (clipRect) is relative to it. One finger drags the
// whole rectangle from inside it, or one of eight handles (squares of
// borderButtonWidth around the corners and side midpoints). Edges snap to
// the frame's edges within 2 points; width and height stay at least
// minSpacing. With a fixed width/height ratio (whScale != 0) the side
// handles stay still and a corner keeps the ratio, the opposite corner
// fixed. The rectangle never leaves the frame.
#pragma once

#include <optional>

#include "Core/global/Records.h"
#include "commands/Value.h"
#include "editing/editors/EditorTouch.h"

namespace vantrel {

class RegionSelectionViewDelegate {
public:
    virtual ~RegionSelectionViewDelegate() = default;
    virtual void regionSelectionViewChanged() = 0;
};

class RegionSelectionView {
public:
    // Handles, corners first.
    enum Handle { kTopLeft, kTopRight, kBottomLeft, kBottomRight, kLeft, kRight, kTop, kBottom };

    static constexpr float kMinSpacing = 60;
    static constexpr float kBorderButtonWidth = 40;
    static constexpr float kSnapDistance = 2;

    explicit RegionSelectionView(RegionSelectionViewDelegate* delegate = nullptr)
        : m_delegate(delegate) {}

    void setDelegate(RegionSelectionViewDelegate* delegate) { m_delegate = delegate; }

    // The frame in view points; the rectangle is kept inside it.
    void setClipFrame(const Rect& frame);
    const Rect& clipFrame() const { return m_frame; }
    // Relative to the frame; pushed inside and shortened to fit.
    void setClipRect(const Rect& rect);
    const Rect& clipRect() const { return m_rect; }
    // The rectangle in view points.
    Rect getClipRectFrame() const;
    void setWhScale(double whScale) { m_whScale = whScale; }
    double whScale() const { return m_whScale; }
    float minSpacing() const { return m_minSpacing; }
    void setMinSpacing(float spacing) { m_minSpacing = spacing; }

    // One finger; points are in a view of the touch's view size, in which
    // the frame is given.
    void touch(const TouchEvent& touch);

    // Handle `handle` moved to `target` (relative to the frame).
    void moveHandle(Handle handle, Point target);
    // The rectangle moved to `origin` (relative to the frame), then kept inside.
    void moveRect(Point origin);

    Dictionary state() const;

private:
    std::optional<Handle> handleAt(Point p) const;
    Point handlePoint(Handle handle) const;
    float snap(float value, float size) const;
    void moveCorner(Handle handle, Point target);
    void keepInside();
    void changed();

    RegionSelectionViewDelegate* m_delegate;
    Rect m_frame;
    Rect m_rect;
    double m_whScale = 0;
    float m_minSpacing = kMinSpacing;
    std::optional<Handle> m_handle;
    bool m_picked = false;
    Point m_pickPoint;  // finger minus what it drags, relative to the frame
};

}  // namespace vantrel
