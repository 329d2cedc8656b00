// Touches as the editors take them: a phase and a point in a view of a given
// size, both in the front end's points. An editor keeps its geometry in its
// own frame and maps each touch into it, so that a front end may show the
// editor at any size.
#pragma once

#include "Core/global/Records.h"

namespace vantrel {

enum class TouchPhase { Began, Moved, Ended, Cancelled };

struct TouchEvent {
    TouchPhase phase = TouchPhase::Began;
    Point point;    // where the finger is, in the view's points
    Size viewSize;  // the size of the view the point was taken in
};

// A pinch: `scale` is the gesture's scale since it began (1 at its start).
struct PinchEvent {
    TouchPhase phase = TouchPhase::Began;
    float scale = 1.0f;
};

// The touch's point in a frame of `frame` size: scaled by frame / view per
// axis. A view with no area leaves the point as it is.
inline Point PointInFrame(const TouchEvent& touch, Size frame) {
    Point p = touch.point;
    if (touch.viewSize.width > 0 && touch.viewSize.height > 0) {
        p.x = p.x * frame.width / touch.viewSize.width;
        p.y = p.y * frame.height / touch.viewSize.height;
    }
    return p;
}

inline bool IsEnd(TouchPhase phase) {
    return phase == TouchPhase::Ended || phase == TouchPhase::Cancelled;
}

}  // namespace vantrel
