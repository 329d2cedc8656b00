#include <gtest/gtest.h>

#include <random>

#include "Core/global/Numeric.h"
#include "editing/editors/HueRangeSetViewController.h"
#include "editing/editors/HueRibbonView.h"

namespace vantrel {
namespace {

using V = HueRibbonView;

HueRibbonView Reds() {
    HueRibbonView view;
    view.setHueRange({-15, 15, -45, 45});
    return view;
}

TEST(HueRibbonView, InnerEdgeStopsShortAndDragsItsOuterEdge) {
    HueRibbonView view = Reds();
    view.moveCursorByIndex(V::kCenterLeftCursor, 40);
    EXPECT_EQ(view.hueRange()[V::kCenterLeft], 14);
    EXPECT_EQ(view.hueRange()[V::kRangeLeft], -16);

    view = Reds();
    view.moveCursorByIndex(V::kCenterRightCursor, -100);
    EXPECT_EQ(view.hueRange()[V::kCenterRight], -14);
    EXPECT_EQ(view.hueRange()[V::kRangeRight], 16);

    view = Reds();
    view.moveCursorByIndex(V::kCenterLeftCursor, -20);  // outer edge first, then the inner
    EXPECT_EQ(view.hueRange()[V::kRangeLeft], -65);
    EXPECT_EQ(view.hueRange()[V::kCenterLeft], -35);
}

TEST(HueRibbonView, OuterEdgesSpanAtMost359) {
    HueRibbonView view = Reds();
    view.moveCursorByIndex(V::kRangeRightCursor, 400);
    EXPECT_EQ(view.hueRange()[V::kRangeRight], -45 + 359);
    view = Reds();
    view.moveCursorByIndex(V::kRangeLeftCursor, -400);
    EXPECT_EQ(view.hueRange()[V::kRangeLeft], 45 - 359);
}

// Any drag sequence keeps the edges in order and within one turn.
TEST(HueRibbonView, RandomDragsKeepTheInvariants) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> cursor(-1, 3);
    std::uniform_real_distribution<float> step(-120, 120);
    HueRibbonView view = Reds();
    for (int i = 0; i < 2000; ++i) {
        const int c = cursor(random);
        if (c < 0) {
            view.moveRange(step(random));
        } else {
            view.moveCursorByIndex(c, step(random));
        }
        const auto& v = view.hueRange();
        ASSERT_LT(v[V::kRangeLeft], v[V::kCenterLeft]) << i;
        ASSERT_LT(v[V::kCenterLeft], v[V::kCenterRight]) << i;
        ASSERT_LT(v[V::kCenterRight], v[V::kRangeRight]) << i;
        ASSERT_LE(v[V::kRangeRight] - v[V::kRangeLeft], 359) << i;
        ASSERT_LE(TiTrunc(v[V::kRangeRight]) - TiTrunc(v[V::kRangeLeft]), 359) << i;
    }
}

TEST(HueRibbonView, TouchesPickTheNearestCursorOrMoveTheWholeRange) {
    HueRibbonView view = Reds();
    const Size size{380, 44};  // 10 points of padding, one point per degree
    view.touch({TouchPhase::Began, {10 + 45, 20}, size});  // range_right at 45
    EXPECT_EQ(view.selectedCursorIndex(), V::kRangeRightCursor);
    view.touch({TouchPhase::Moved, {10 + 55, 20}, size});
    EXPECT_EQ(view.hueRange()[V::kRangeRight], 55);
    view.touch({TouchPhase::Ended, {10 + 55, 20}, size});
    view.touch({TouchPhase::Began, {10 + 180, 20}, size});  // far from every cursor
    EXPECT_EQ(view.selectedCursorIndex(), V::kNoCursor);
    view.touch({TouchPhase::Moved, {10 + 170, 20}, size});
    EXPECT_EQ(view.hueRange(), (std::array<float, 4>{-25, 5, -55, 45}));
    EXPECT_EQ(HueRibbonView::cursorDegrees(-25), 335);
}

TEST(HueRangeSetViewController, ResetsToTheTargetsRangeAndTruncates) {
    HueRangeSetViewController host;
    host.setHueRange({1, 2, 0, 3}, 4);
    host.ribbon().moveRange(0.75f);
    const HueRange moved = host.getHueRange();
    EXPECT_EQ(moved.center_left, 1);
    EXPECT_EQ(moved.range_right, 3);
    host.resetRange();
    EXPECT_EQ(host.getHueRange().center_left, 225);  // blues
    host.setHueRange({1, 2, 0, 3}, 6);               // "all" has no range
    host.resetRange();
    EXPECT_EQ(host.getHueRange().range_right, 0);
}

}  // namespace
}  // namespace vantrel
