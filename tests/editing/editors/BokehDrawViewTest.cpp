#include <gtest/gtest.h>

#include "editing/editors/BokehDrawView.h"

namespace vantrel {
namespace {

struct Recorder final : BokehDrawViewDelegate {
    void bokehDrawViewPicked() override { ++picked; }
    void bokehDrawViewChanging() override { ++changing; }
    void bokehDrawViewChanged() override { ++changed; }
    int picked = 0, changing = 0, changed = 0;
};

BokehDrawView Focus(Recorder& recorder) {
    BokehDrawView view(&recorder);
    view.setFrameSize({400, 300});
    view.setupWithCenterRadius(40, 50, {200, 150}, 10, 100, 10, 200);
    return view;
}

TEST(BokehDrawView, OnlyATouchInsideTheRingDrags) {
    Recorder recorder;
    BokehDrawView view = Focus(recorder);
    const Size shown{400, 300};
    view.touch({TouchPhase::Began, {200 + 90, 150}, shown});  // at radius + extend
    view.touch({TouchPhase::Moved, {10, 10}, shown});
    EXPECT_EQ(recorder.picked, 0);
    EXPECT_FLOAT_EQ(view.centerPoint().x, 200);

    view.touch({TouchPhase::Began, {200 + 89, 150}, shown});
    view.touch({TouchPhase::Moved, {389 + 100, 160}, shown});  // the offset of 89 is kept
    EXPECT_FLOAT_EQ(view.centerPoint().x, 399);                // clamped to the drawing
    EXPECT_FLOAT_EQ(view.centerPoint().y, 160);
    view.touch({TouchPhase::Ended, {0, 0}, shown});
    EXPECT_EQ(recorder.picked, 1);
    EXPECT_EQ(recorder.changed, 1);
}

TEST(BokehDrawView, TouchesInAnotherViewSizeAreScaledIntoTheDrawing) {
    Recorder recorder;
    BokehDrawView view = Focus(recorder);
    view.touch({TouchPhase::Began, {100, 75}, {200, 150}});  // the centre, at half size
    view.touch({TouchPhase::Moved, {110, 75}, {200, 150}});
    EXPECT_FLOAT_EQ(view.centerPoint().x, 220);
}

TEST(BokehDrawView, PinchStepsTheRadiusWithinItsLimits) {
    Recorder recorder;
    BokehDrawView view = Focus(recorder);
    view.pinch({TouchPhase::Began, 1.0f});
    view.pinch({TouchPhase::Moved, 1.5f});  // d = 1.5: +3
    EXPECT_EQ(view.centerRadius(), 43);
    view.pinch({TouchPhase::Moved, 1.2f});  // d = 0.7: -1.4, truncated
    EXPECT_EQ(view.centerRadius(), 41);
    float scale = 1.2f;
    for (int i = 0; i < 100; ++i) view.pinch({TouchPhase::Moved, scale += 0.5f});
    EXPECT_EQ(view.centerRadius(), 100);
    for (int i = 0; i < 200; ++i) view.pinch({TouchPhase::Moved, scale -= 0.05f});
    EXPECT_EQ(view.centerRadius(), 10);
    view.pinch({TouchPhase::Ended, scale});
    EXPECT_EQ(recorder.changed, 1);
}

}  // namespace
}  // namespace vantrel
