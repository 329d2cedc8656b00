// HueRibbonView: the hue-range editor. A ribbon of 360 degrees, `padding`
// points in from each side of its view, with four cursors: the range's
// outer edges (range_left, range_right) and the edges of its full-effect
// centre (center_left, center_right), in degrees, possibly outside 0..359.
//
// A drag moves by (finger x - last finger x) / ribbonUnitWidth degrees:
// the whole range when no cursor was picked, else the picked cursor by the
// rules of moveCursorByIndex, which keep
//   range_left < center_left < center_right < range_right and
//   range_right - range_left <= 359,
// an inner edge dragging its outer edge along. An outer edge stops 359
// degrees from the other one (compared as values, so that the whole degrees
// handed to the panel keep the span too) and is never pushed backwards.
#pragma once

#include <array>

#include "commands/Value.h"
#include "editing/editors/EditorTouch.h"

namespace vantrel {

class HueRibbonViewDelegate {
public:
    virtual ~HueRibbonViewDelegate() = default;
    virtual void hueRangeChanged() = 0;
};

class HueRibbonView {
public:
    // Order of the HueRange record.
    enum RangeIndex { kCenterLeft, kCenterRight, kRangeLeft, kRangeRight };
    // Cursor numbers, left to right.
    enum Cursor {
        kNoCursor = -1,
        kRangeLeftCursor,
        kCenterLeftCursor,
        kCenterRightCursor,
        kRangeRightCursor
    };

    static constexpr float kPadding = 10;
    static constexpr float kMaxSpan = 359;     // range_right - range_left at most
    static constexpr float kTouchRadius = 22;  // view points around a cursor that pick it

    explicit HueRibbonView(HueRibbonViewDelegate* delegate = nullptr) : m_delegate(delegate) {}

    void setDelegate(HueRibbonViewDelegate* delegate) { m_delegate = delegate; }

    const std::array<float, 4>& hueRange() const { return m_hueRange; }
    void setHueRange(const std::array<float, 4>& range);
    int selectedCursorIndex() const { return m_selectedCursor; }

    // Points per degree in a view `viewWidth` wide.
    static float ribbonUnitWidth(float viewWidth);

    // Moves one cursor by `step` degrees under the rules above.
    void moveCursorByIndex(int index, float step);
    // Moves all four values by `step`.
    void moveRange(float step);

    void touch(const TouchEvent& touch);

    // A cursor's place on the ribbon: its value mod 360, made non-negative.
    static float cursorDegrees(float value);

    // The four values, the cursors' x in a view `viewWidth` wide, their
    // labels ("%d" of cursorDegrees), the picked cursor.
    Dictionary state(float viewWidth) const;

private:
    void keepSpan();
    int cursorAt(float x, float viewWidth) const;

    HueRibbonViewDelegate* m_delegate;
    std::array<float, 4> m_hueRange{};
    int m_selectedCursor = kNoCursor;
    float m_lastX = 0;
    bool m_tracking = false;
};

}  // namespace vantrel
