#include <gtest/gtest.h>

#include <vector>

#include "editing/editors/HistogramView.h"

namespace vantrel {
namespace {

constexpr Size kView{256, 256};

struct Recorder final : HistogramViewDelegate {
    void histogramViewChannelValueChanged(int) override { ++changes; }
    void histogramViewChannelValueChangedOver(int) override { ++overs; }
    void histogramViewSplineButtonSelected() override { ++selections; }
    int changes = 0, overs = 0, selections = 0;
};

TouchEvent At(TouchPhase phase, Point p) {
    return {phase, p, kView};
}

// Drags the point at index `index` of the active channel to x = targetX.
float DragTo(HistogramView& view, int index, float targetX) {
    const Point from = HistogramView::viewPositionOfPoint(
        view.splineButtons(view.activeChannel())[index].splinePoint, kView);
    view.touch(At(TouchPhase::Began, from));
    view.touch(At(TouchPhase::Moved, {targetX * 256 / kView.width, from.y}));
    view.touch(At(TouchPhase::Ended, {targetX, from.y}));
    return view.splineButtons(view.activeChannel())[index].splinePoint.x;
}

TEST(HistogramView, ResetGivesEveryChannelThreePointsAndChannelZero) {
    HistogramView view;
    view.setActiveChannel(2);
    view.addSplineButton(2, {50, 80});
    view.reset();
    EXPECT_EQ(view.activeChannel(), 0);
    for (int channel = 0; channel < 4; ++channel) {
        const std::vector<Vec3> points = view.getSplinePointsForChannel(channel);
        ASSERT_EQ(points.size(), 3u);
        EXPECT_EQ(points[1].x, 127);
        EXPECT_EQ(points[1].y, 127);
        EXPECT_EQ(points[2].z, 0);
    }
}

TEST(HistogramView, DraggingKeepsTenBetweenNeighbours) {
    struct Case {
        int index;
        float target;
        float expected;
    };
    for (const Case c :
         {Case{1, 5, 10}, Case{1, 250, 245}, Case{0, 200, 117}, Case{2, 0, 137}, Case{1, 60, 60}}) {
        HistogramView view;
        Recorder recorder;
        view.setDelegate(&recorder);
        EXPECT_FLOAT_EQ(DragTo(view, c.index, c.target), c.expected) << c.index << " " << c.target;
        EXPECT_EQ(recorder.selections, 1);
        EXPECT_EQ(recorder.changes, 1);
        EXPECT_EQ(recorder.overs, 1);
    }
}

TEST(HistogramView, ViewPositionsConvertWithClamping) {
    EXPECT_FLOAT_EQ(HistogramView::viewPositionOfPoint({255, 255}, {512, 128}).x, 510);
    EXPECT_FLOAT_EQ(HistogramView::viewPositionOfPoint({0, 0}, {512, 128}).y, 127);  // clamped
    const Point p = HistogramView::pointOfViewPosition({-40, 900}, {512, 128});
    EXPECT_FLOAT_EQ(p.x, 0);
    EXPECT_FLOAT_EQ(p.y, 255 - 127 * 256.0f / 128);
}

TEST(HistogramView, DeleteNeedsASelectedPointAmongThree) {
    HistogramView view;
    EXPECT_FALSE(view.removeSelectedButton());  // nothing selected
    DragTo(view, 2, 255);
    ASSERT_TRUE(view.removeSelectedButton());  // an endpoint may go
    EXPECT_EQ(view.splineButtonNumber(0), 2);
    DragTo(view, 1, 255);
    EXPECT_FALSE(view.canRemoveSelectedButton());
    EXPECT_FALSE(view.removeSelectedButton());
    EXPECT_EQ(view.splineButtonNumber(0), 2);
}

TEST(HistogramView, CandidatesOnlyBetweenNeighboursTwentyApart) {
    HistogramView view;
    view.setActiveChannel(1);
    view.addSplineButton(1, {100, 90});
    view.addSplineButton(1, {115, 140});  // 0, 100, 115, 127, 255
    view.intervalSplineButtonWithChannel(1);
    ASSERT_TRUE(view.flashButtonView().has_value());
    std::vector<float> xs;
    for (const Point candidate : *view.flashButtonView()) xs.push_back(candidate.x);
    EXPECT_EQ(xs, (std::vector<float>{50, 191}));
    // The candidate lies on the sampled curve of the channel's points.
    const auto table = CurveTableOfPoints(view.getSplinePointsForChannel(1));
    EXPECT_EQ((*view.flashButtonView())[1].y, table[191]);
}

TEST(HistogramView, TappingACandidateAddsAndSelectsItInOrder) {
    HistogramView view;
    Recorder recorder;
    view.setDelegate(&recorder);
    view.intervalSplineButtonWithChannel(0);  // 63.5 and 191
    const Point candidate = (*view.flashButtonView())[1];
    view.touch(At(TouchPhase::Began, HistogramView::viewPositionOfPoint(candidate, kView)));
    EXPECT_FALSE(view.flashButtonView().has_value());
    ASSERT_EQ(view.splineButtonNumber(0), 4);
    EXPECT_EQ(view.selectedButton(), 2);
    EXPECT_EQ(view.splineButtons(0)[2].splinePoint.x, 191);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(view.splineButtons(0)[i].tag, i);
    EXPECT_EQ(recorder.changes, 1);
}

}  // namespace
}  // namespace vantrel
