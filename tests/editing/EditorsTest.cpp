// The interactive editors' touch rules: the curve's points and candidates, the
// hue range's cursors, the focus drawing, the rectangle and region selection,
// the turned picture.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "Core/global/Numeric.h"
#include "editing/editors/BokehDrawView.h"
#include "editing/editors/HistogramView.h"
#include "editing/editors/HueRangeSetViewController.h"
#include "editing/editors/HueRibbonView.h"
#include "editing/editors/RectSelectionViewController.h"
#include "editing/editors/RegionSelectionView.h"
#include "editing/editors/RotatingImageView.h"
#include "support/RecordingUIServices.h"

namespace vantrel {
namespace {

// ---- curve editor -------------------------------------------------------------------------------

constexpr Size kView{256, 256};

struct CurveRecorder final : HistogramViewDelegate {
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
        CurveRecorder recorder;
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
    CurveRecorder recorder;
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

// ---- hue range ----------------------------------------------------------------------------------

using H = HueRibbonView;

HueRibbonView Reds() {
    HueRibbonView view;
    view.setHueRange({-15, 15, -45, 45});
    return view;
}

// An inner edge stops one degree short of the other and drags its outer
// edge along; an outer edge moves first, then the inner; the outer edges span
// at most 359 degrees.
TEST(HueRibbonView, CursorMovesKeepTheEdgesApart) {
    struct Case {
        int cursor;
        float move;
        std::array<float, 4> range;  // centre left, centre right, range left, range right
    };
    for (const Case c : {Case{H::kCenterLeftCursor, 40, {14, 15, -16, 45}},
                         Case{H::kCenterRightCursor, -100, {-15, -14, -45, 16}},
                         Case{H::kCenterLeftCursor, -20, {-35, 15, -65, 45}},
                         Case{H::kRangeRightCursor, 400, {-15, 15, -45, -45 + 359}},
                         Case{H::kRangeLeftCursor, -400, {-15, 15, 45 - 359, 45}}}) {
        HueRibbonView view = Reds();
        view.moveCursorByIndex(c.cursor, c.move);
        EXPECT_EQ(view.hueRange(), c.range) << c.cursor << " by " << c.move;
    }
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
        ASSERT_LT(v[H::kRangeLeft], v[H::kCenterLeft]) << i;
        ASSERT_LT(v[H::kCenterLeft], v[H::kCenterRight]) << i;
        ASSERT_LT(v[H::kCenterRight], v[H::kRangeRight]) << i;
        ASSERT_LE(v[H::kRangeRight] - v[H::kRangeLeft], 359) << i;
        ASSERT_LE(TiTrunc(v[H::kRangeRight]) - TiTrunc(v[H::kRangeLeft]), 359) << i;
    }
}

TEST(HueRibbonView, TouchesPickTheNearestCursorOrMoveTheWholeRange) {
    HueRibbonView view = Reds();
    const Size size{380, 44};  // 10 points of padding, one point per degree
    view.touch({TouchPhase::Began, {10 + 45, 20}, size});  // range_right at 45
    EXPECT_EQ(view.selectedCursorIndex(), H::kRangeRightCursor);
    view.touch({TouchPhase::Moved, {10 + 55, 20}, size});
    EXPECT_EQ(view.hueRange()[H::kRangeRight], 55);
    view.touch({TouchPhase::Ended, {10 + 55, 20}, size});
    view.touch({TouchPhase::Began, {10 + 180, 20}, size});  // far from every cursor
    EXPECT_EQ(view.selectedCursorIndex(), H::kNoCursor);
    view.touch({TouchPhase::Moved, {10 + 170, 20}, size});
    EXPECT_EQ(view.hueRange(), (std::array<float, 4>{-25, 5, -55, 45}));
    EXPECT_EQ(H::cursorDegrees(-25), 335);
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

// ---- focus drawing ------------------------------------------------------------------------------

struct FocusRecorder final : BokehDrawViewDelegate {
    void bokehDrawViewPicked() override { ++picked; }
    void bokehDrawViewChanging() override { ++changing; }
    void bokehDrawViewChanged() override { ++changed; }
    int picked = 0, changing = 0, changed = 0;
};

BokehDrawView Focus(FocusRecorder& recorder) {
    BokehDrawView view(&recorder);
    view.setFrameSize({400, 300});
    view.setupWithCenterRadius(40, 50, {200, 150}, 10, 100, 10, 200);
    return view;
}

TEST(BokehDrawView, OnlyATouchInsideTheRingDragsAndTouchesAreScaled) {
    FocusRecorder recorder;
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

    // Touches in a view of another size are scaled into the drawing.
    view = Focus(recorder);
    view.touch({TouchPhase::Began, {100, 75}, {200, 150}});  // the centre, at half size
    view.touch({TouchPhase::Moved, {110, 75}, {200, 150}});
    EXPECT_FLOAT_EQ(view.centerPoint().x, 220);
}

TEST(BokehDrawView, PinchStepsTheRadiusWithinItsLimits) {
    FocusRecorder recorder;
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

// ---- rectangle, region selection, turned picture ------------------------------------------------

constexpr Size kShown{480, 360};
using R = RegionSelectionView;

RegionSelectionView Frame(double whScale, Rect rect) {
    RegionSelectionView view;
    view.setClipFrame({20, 30, kShown.width, kShown.height});
    view.setWhScale(whScale);
    view.setClipRect(rect);
    return view;
}

void ExpectRect(const Rect& r, float x, float y, float w, float h) {
    EXPECT_FLOAT_EQ(r.x, x);
    EXPECT_FLOAT_EQ(r.y, y);
    EXPECT_FLOAT_EQ(r.width, w);
    EXPECT_FLOAT_EQ(r.height, h);
}

TEST(RegionSelectionView, HandlesSnapToEdgesAndKeepMinSpacing) {
    RegionSelectionView view = Frame(0, {100, 100, 200, 100});
    view.moveHandle(R::kLeft, {1.5f, 0});
    ExpectRect(view.clipRect(), 0, 100, 300, 100);
    view.moveHandle(R::kRight, {kShown.width - 2.5f, 0});
    ExpectRect(view.clipRect(), 0, 100, 480, 100);
    view.moveHandle(R::kTop, {0, 190});  // bottom edge at 199: height stays 60
    ExpectRect(view.clipRect(), 0, 140, 480, 60);
    view.moveHandle(R::kBottom, {0, 10});
    ExpectRect(view.clipRect(), 0, 140, 480, 61);
}

TEST(RegionSelectionView, FixedRatioMovesOnlyCornersKeepsTheOppositeAndStopsAtTheFrame) {
    const double ratio = 16.0 / 9.0;
    RegionSelectionView view = Frame(ratio, {100, 100, 160, 90});
    for (R::Handle side : {R::kLeft, R::kRight, R::kTop, R::kBottom}) {
        view.moveHandle(side, {5, 5});
        ExpectRect(view.clipRect(), 100, 100, 160, 90);
    }
    view.moveHandle(R::kBottomRight, {300, 150});  // 201 x 61: the height grows
    const Rect r = view.clipRect();
    ExpectRect(r, 100, 100, 201, 201 / ratio);

    view.moveHandle(R::kTopLeft, {10, 60});  // the bottom-right corner stays
    const Rect moved = view.clipRect();
    EXPECT_FLOAT_EQ(moved.x + moved.width, r.x + r.width);
    EXPECT_FLOAT_EQ(moved.y + moved.height, r.y + r.height);
    EXPECT_NEAR(moved.width / moved.height, ratio, 1e-5);

    // A growing corner is cut at the frame.
    view = Frame(1.0, {300, 200, 100, 100});
    view.moveHandle(R::kBottomRight, {479, 260});  // 180 wide wants 180 high; room for 159
    EXPECT_FLOAT_EQ(view.clipRect().height, kShown.height - 1 - 200);
    EXPECT_FLOAT_EQ(view.clipRect().width, view.clipRect().height);
}

TEST(RegionSelectionView, DraggingStaysInsideTheFrame) {
    RegionSelectionView view = Frame(0, {100, 100, 200, 100});
    const Size view_size{kShown.width + 40, kShown.height + 60};
    view.touch({TouchPhase::Began, {20 + 150, 30 + 150}, view_size});  // inside
    view.touch({TouchPhase::Moved, {20 + 900, 30 - 400}, view_size});
    ExpectRect(view.clipRect(), 280, 0, 200, 100);
    view.touch({TouchPhase::Ended, {0, 0}, view_size});
    ExpectRect(view.getClipRectFrame(), 300, 30, 200, 100);
}

TEST(RectSelectionViewController, RoundsHalvesToEvenAndDropsSmallFractions) {
    const std::pair<double, float> cases[] = {{10.5, 10}, {11.5, 12}, {13.7, 14},
                                              {12.7, 12}, {12.3, 12}, {0.49, 0}};
    for (const auto& [in, out] : cases) EXPECT_EQ(RoundSelectionValue(in), out) << in;
}

TEST(RectSelectionViewController, ConvertsBetweenShownPointsAndPicturePixels) {
    struct Recorder final : RectSelectionViewControllerDelegate {
        void rectSelectionYES(const Rect& rect) override { chosen = rect; }
        void rectSelectionCancel() override {}
        Rect chosen;
    } recorder;
    double now = 100;
    RectSelectionViewController selection(&recorder, true, [&] { return now; });
    PixelBuffer pixels = PixelBuffer::Allocate(1000, 750);
    selection.selectImage(pixels.Finish(), {400, 300});
    ExpectRect(selection.selectedRect(), 0, 0, 1000, 750);
    selection.setRect({105, 20, 500, 250});
    ExpectRect(selection.view().clipRect(), 42, 8, 200, 100);
    ExpectRect(selection.selectedRect(), 105, 20, 500, 250);
    selection.setRect({});
    selection.done();
    ExpectRect(recorder.chosen, 0, 0, 1000, 750);
}

TEST(RectSelectionViewController, TitleTipOnceAfterSixSecondsWhileCoveringThePicture) {
    test::RecordingUIServices ui;
    double now = 0;
    RectSelectionViewController selection(nullptr, true, [&] { return now; });
    PixelBuffer pixels = PixelBuffer::Allocate(400, 300);
    selection.selectImage(pixels.Finish(), {400, 300});
    selection.touch({TouchPhase::Began, {395, 150}, {400, 300}});  // right side handle
    now = 5.9;
    selection.touch({TouchPhase::Moved, {394, 150}, {400, 300}});
    EXPECT_FALSE(selection.tipShown());
    now = 6.0;
    selection.touch({TouchPhase::Moved, {300, 150}, {400, 300}});  // no longer covering
    EXPECT_FALSE(selection.tipShown());
    selection.touch({TouchPhase::Moved, {396, 150}, {400, 300}});
    EXPECT_TRUE(selection.tipShown());
    selection.touch({TouchPhase::Moved, {397, 150}, {400, 300}});
    EXPECT_EQ(ui.calls(), std::vector<std::string>{"titleTip(STR_TITLE_SELECTION)"});
}

TEST(RotatingImageView, FitsTheTurnedPictureInTheView) {
    const Size bound = TurnedBoundingSize({2592, 1944}, 45);
    EXPECT_NEAR(bound.width, 3207.4, 0.1);
    RotatingImageView view;
    view.setViewSize({320, 240});
    view.setImage({640, 480});
    EXPECT_FLOAT_EQ(view.getImageSize().width, 320);
    view.setImageDegrees(90);
    EXPECT_FLOAT_EQ(view.getImageBoundSize().height, 240);
    EXPECT_FLOAT_EQ(view.getImageSize().width, 240);
    EXPECT_FLOAT_EQ(view.getImageOrigin().x, 40);
    EXPECT_FLOAT_EQ(view.getImageOrigin().y, 30 + 0.0f);
}

}  // namespace
}  // namespace vantrel
