// HistogramView: the curve editor. Control points per curve channel
// (0 composite, 1 red, 2 green, 3 blue), x input and y output on 0..255,
// dragged with one finger in a view of w x h points; the histogram of the
// working image may be shown behind the curve.
//
// Coordinates: a point (x, y) sits at (x * w / 256, h - y * h / 256) in the
// view, each clamped to 0..w - 1 and 0..h - 1; a view position (px, py),
// clamped the same way, is the point (px * 256 / w, 255 - py * 256 / h).
//
// Rules: neighbouring points stay at least 10 apart in x and keep their order
// while one is dragged; Delete needs a selected point and at least 3 points;
// a new point is offered midway between neighbours at least 20 apart, on the
// spline through the channel's points. Values are clamped, never refused.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "Core/base/Histogram.h"
#include "Core/global/Records.h"
#include "commands/Value.h"
#include "editing/editors/EditorTouch.h"

namespace vantrel {

class HistogramViewDelegate {
public:
    virtual ~HistogramViewDelegate() = default;
    // A point of `channel` moved (every step of a drag, a deletion).
    virtual void histogramViewChannelValueChanged(int channel) = 0;
    // The finger holding a point of `channel` lifted.
    virtual void histogramViewChannelValueChangedOver(int channel) = 0;
    virtual void histogramViewSplineButtonSelected() = 0;
};

struct SplineButton {
    Point splinePoint;  // x, y in 0..255
    int channel = 0;
    int tag = 0;  // its index in the channel's sorted list
};

class HistogramView {
public:
    static constexpr int kChannelCount = 4;
    static constexpr float kMinGap = 10;        // x distance kept between neighbours
    static constexpr float kCandidateGap = 20;  // neighbours this far apart get a candidate
    static constexpr float kTouchRadius = 22;   // view points around a point that pick it

    explicit HistogramView(HistogramViewDelegate* delegate = nullptr);

    void setDelegate(HistogramViewDelegate* delegate) { m_delegate = delegate; }

    // Every channel (0, 0), (127, 127), (255, 255); no selection, no
    // candidates; channel 0 active.
    void reset();
    // 0..3, others ignored; the histogram shown follows.
    void setActiveChannel(int channel);
    int activeChannel() const { return m_activeChannel; }

    // The channel's points in x order as Vec3 with z = 0.
    std::vector<Vec3> getSplinePointsForChannel(int channel) const;
    int splineButtonNumber(int channel) const;
    const std::vector<SplineButton>& splineButtons(int channel) const;
    std::optional<int> selectedButton() const { return m_selected; }
    bool pressedButton() const { return m_pressed; }

    // Inserts a point into the channel, keeping x order; returns its index.
    int addSplineButton(int channel, Point point);
    // Whether Delete applies: a selected point among at least 3.
    bool canRemoveSelectedButton() const;
    // Removes the selected point (endpoints too) when canRemoveSelectedButton.
    bool removeSelectedButton();
    void cancelButtonSelected();

    // Offers candidates for the active channel (see above).
    void intervalSplineButtonWithChannel(int channel);
    void setFlashButtons(std::vector<Point> candidates);
    void cancelFlashButtons();
    const std::optional<std::vector<Point>>& flashButtonView() const { return m_flash; }

    // The histogram behind the curve: of `bitmap`, shown for `channel`.
    void showHistogramForImage(const TiBitmapData& bitmap, int channel);
    void setBackgroundEnabled(bool enabled) { m_backgroundEnabled = enabled; }
    bool backgroundEnabled() const { return m_backgroundEnabled; }
    const TiHistogram* histogram() const { return m_histogram.get(); }

    // One finger in a view of touch.viewSize.
    void touch(const TouchEvent& touch);

    // Conversions for a view of `view` size.
    static Point viewPositionOfPoint(Point point, Size view);
    static Point pointOfViewPosition(Point position, Size view);

    // What a front end draws: the active channel, every channel's points,
    // the selection, candidates, and the histogram counts when shown.
    Dictionary state() const;

private:
    void touchBegan(Point position, Size view);
    void dragSelected(Point position, Size view);
    void renumber(int channel);
    void select(int index);

    HistogramViewDelegate* m_delegate;
    std::array<std::vector<SplineButton>, kChannelCount> m_buttons;
    int m_activeChannel = 0;
    std::optional<int> m_selected;
    bool m_pressed = false;
    Point m_touchOffset;  // point position minus finger, in view points
    std::optional<std::vector<Point>> m_flash;
    std::unique_ptr<TiHistogram> m_histogram;
    int m_histogramChannel = 0;
    bool m_backgroundEnabled = false;
};

// The curve through `points` sampled as the curve operation samples it:
// output y for every input x of 0..255.
std::array<unsigned char, 256> CurveTableOfPoints(const std::vector<Vec3>& points);

}  // namespace vantrel
