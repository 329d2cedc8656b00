#include <gtest/gtest.h>

#include "editing/editors/RectSelectionViewController.h"
#include "editing/editors/RegionSelectionView.h"
#include "editing/editors/RotatingImageView.h"
#include "support/RecordingUIServices.h"

namespace vantrel {
namespace {

using V = RegionSelectionView;

constexpr Size kShown{480, 360};

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
    view.moveHandle(V::kLeft, {1.5f, 0});
    ExpectRect(view.clipRect(), 0, 100, 300, 100);
    view.moveHandle(V::kRight, {kShown.width - 2.5f, 0});
    ExpectRect(view.clipRect(), 0, 100, 480, 100);
    view.moveHandle(V::kTop, {0, 190});  // bottom edge at 199: height stays 60
    ExpectRect(view.clipRect(), 0, 140, 480, 60);
    view.moveHandle(V::kBottom, {0, 10});
    ExpectRect(view.clipRect(), 0, 140, 480, 61);
}

TEST(RegionSelectionView, FixedRatioMovesOnlyCornersAndKeepsTheOppositeCorner) {
    const double ratio = 16.0 / 9.0;
    RegionSelectionView view = Frame(ratio, {100, 100, 160, 90});
    for (V::Handle side : {V::kLeft, V::kRight, V::kTop, V::kBottom}) {
        view.moveHandle(side, {5, 5});
        ExpectRect(view.clipRect(), 100, 100, 160, 90);
    }
    view.moveHandle(V::kBottomRight, {300, 150});  // 201 x 61: the height grows
    const Rect r = view.clipRect();
    EXPECT_FLOAT_EQ(r.x, 100);
    EXPECT_FLOAT_EQ(r.y, 100);
    EXPECT_NEAR(r.width / r.height, ratio, 1e-5);
    EXPECT_FLOAT_EQ(r.width, 201);

    view.moveHandle(V::kTopLeft, {10, 60});  // the bottom-right corner stays
    const Rect moved = view.clipRect();
    EXPECT_FLOAT_EQ(moved.x + moved.width, r.x + r.width);
    EXPECT_FLOAT_EQ(moved.y + moved.height, r.y + r.height);
    EXPECT_NEAR(moved.width / moved.height, ratio, 1e-5);
}

TEST(RegionSelectionView, GrowingCornerIsCutAtTheFrame) {
    RegionSelectionView view = Frame(1.0, {300, 200, 100, 100});
    view.moveHandle(V::kBottomRight, {479, 260});  // 180 wide wants 180 high; room for 159
    const Rect r = view.clipRect();
    EXPECT_FLOAT_EQ(r.height, kShown.height - 1 - 200);
    EXPECT_FLOAT_EQ(r.width, r.height);
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
    struct Case {
        double in;
        float out;
    };
    for (const Case c : {Case{10.5, 10}, Case{11.5, 12}, Case{13.7, 14}, Case{12.7, 12},
                         Case{12.3, 12}, Case{0.49, 0}}) {
        EXPECT_EQ(RoundSelectionValue(c.in), c.out) << c.in;
    }
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
