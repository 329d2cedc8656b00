// BokehDrawView: the focus circle of the bokeh effect, drawn over the shown
// picture: a centre point, a centre radius and an extend width (the soft
// ring around it), in the drawing's points.
//
// One finger that lands within centre radius + extend width of the centre
// drags the circle (the centre stays on the drawing); a pinch resizes the
// centre radius within its limits. Every value is clamped to its limits.
#pragma once

#include "Core/global/Records.h"
#include "commands/Value.h"
#include "editing/editors/EditorTouch.h"

namespace vantrel {

class BokehDrawViewDelegate {
public:
    virtual ~BokehDrawViewDelegate() = default;
    virtual void bokehDrawViewPicked() = 0;    // a drag started
    virtual void bokehDrawViewChanging() = 0;  // the circle moves
    virtual void bokehDrawViewChanged() = 0;   // a drag or pinch ended
};

class BokehDrawView {
public:
    explicit BokehDrawView(BokehDrawViewDelegate* delegate = nullptr) : m_delegate(delegate) {}

    void setDelegate(BokehDrawViewDelegate* delegate) { m_delegate = delegate; }

    // The drawing's size: the shown picture's, in points.
    void setFrameSize(Size size) { m_frame = size; }
    Size frameSize() const { return m_frame; }

    void setupWithCenterRadius(int centerRadius, int extendWidth, Point centerPoint,
                               int minCenterRadius, int maxCenterRadius, int minExtendWidth,
                               int maxExtendWidth);

    Point centerPoint() const { return m_centerPoint; }
    int centerRadius() const { return m_centerRadius; }
    int extendWidth() const { return m_extendWidth; }
    void setCenterPoint(Point point);
    void setCenterRadius(int radius);
    void setExtendWidth(int width);
    bool dragEnabled() const { return m_dragEnabled; }
    bool drawRadiusEnabled() const { return m_drawRadius; }
    void setDrawRadiusEnabled(bool enabled) { m_drawRadius = enabled; }

    void touch(const TouchEvent& touch);
    void pinch(const PinchEvent& pinch);

    Dictionary state() const;

private:
    BokehDrawViewDelegate* m_delegate;
    Size m_frame;
    Point m_centerPoint;
    int m_centerRadius = 10;
    int m_extendWidth = 10;
    int m_minCenterRadius = 10;
    int m_maxCenterRadius = 100;
    int m_minExtendWidth = 10;
    int m_maxExtendWidth = 200;
    bool m_dragEnabled = false;
    Point m_pickPoint;
    float m_lastScale = 1;
    bool m_drawRadius = false;
};

}  // namespace vantrel
