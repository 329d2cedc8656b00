#include "editing/editors/HistogramView.h"

#include <algorithm>
#include <cmath>

#include "Core/base/Curve.h"
#include "Core/global/Numeric.h"
#include "editing/StateValues.h"

namespace vantrel {
namespace {

constexpr int kCurveSamples = 200;  // as the curve operation samples its spline

float Clamp(float value, float low, float high) {
    return std::min(std::max(value, low), high);
}

float Distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

Value PointsValue(const std::vector<SplineButton>& buttons) {
    Array points;
    for (const SplineButton& button : buttons) points.push_back(PointValue(button.splinePoint));
    return points;
}

}  // namespace

std::array<unsigned char, 256> CurveTableOfPoints(const std::vector<Vec3>& points) {
    std::array<unsigned char, 256> table{};
    CurveSpline spline;
    for (const Vec3& point : points) {
        if (!spline.AppendPoint(point)) return table;
    }
    SampleCurveTable(spline, table.data(), static_cast<int>(table.size()), kCurveSamples, 0, 255);
    return table;
}

HistogramView::HistogramView(HistogramViewDelegate* delegate) : m_delegate(delegate) {
    reset();
}

void HistogramView::reset() {
    for (int channel = 0; channel < kChannelCount; ++channel) {
        m_buttons[channel].clear();
        for (float v : {0.0f, 127.0f, 255.0f}) m_buttons[channel].push_back({{v, v}, channel, 0});
        renumber(channel);
    }
    m_selected.reset();
    m_pressed = false;
    m_flash.reset();
    m_activeChannel = 0;
    m_histogramChannel = 0;
}

void HistogramView::setActiveChannel(int channel) {
    if (channel < 0 || channel >= kChannelCount || channel == m_activeChannel) return;
    m_activeChannel = channel;
    m_histogramChannel = channel;
    m_selected.reset();
    m_pressed = false;
    m_flash.reset();
}

std::vector<Vec3> HistogramView::getSplinePointsForChannel(int channel) const {
    std::vector<Vec3> points;
    for (const SplineButton& button : splineButtons(channel)) {
        points.push_back({button.splinePoint.x, button.splinePoint.y, 0});
    }
    return points;
}

int HistogramView::splineButtonNumber(int channel) const {
    return static_cast<int>(splineButtons(channel).size());
}

const std::vector<SplineButton>& HistogramView::splineButtons(int channel) const {
    static const std::vector<SplineButton> kNone;
    return channel >= 0 && channel < kChannelCount ? m_buttons[channel] : kNone;
}

int HistogramView::addSplineButton(int channel, Point point) {
    std::vector<SplineButton>& buttons = m_buttons[channel];
    buttons.push_back({point, channel, 0});
    // A stable exchange sort of a sorted list plus one: only the new point
    // moves, and it stays after points of equal x.
    std::size_t index = buttons.size() - 1;
    for (; index > 0 && buttons[index - 1].splinePoint.x > point.x; --index) {
        std::swap(buttons[index - 1], buttons[index]);
    }
    renumber(channel);
    return static_cast<int>(index);
}

void HistogramView::renumber(int channel) {
    std::vector<SplineButton>& buttons = m_buttons[channel];
    for (std::size_t i = 0; i < buttons.size(); ++i) buttons[i].tag = static_cast<int>(i);
}

bool HistogramView::canRemoveSelectedButton() const {
    return m_selected && splineButtonNumber(m_activeChannel) >= 3;
}

bool HistogramView::removeSelectedButton() {
    if (!canRemoveSelectedButton()) return false;
    std::vector<SplineButton>& buttons = m_buttons[m_activeChannel];
    buttons.erase(buttons.begin() + *m_selected);
    renumber(m_activeChannel);
    m_selected.reset();
    m_pressed = false;
    return true;
}

void HistogramView::cancelButtonSelected() {
    m_selected.reset();
    m_pressed = false;
}

void HistogramView::intervalSplineButtonWithChannel(int channel) {
    const std::vector<SplineButton>& buttons = splineButtons(channel);
    const std::array<unsigned char, 256> table =
        CurveTableOfPoints(getSplinePointsForChannel(channel));
    std::vector<Point> candidates;
    for (std::size_t i = 1; i < buttons.size(); ++i) {
        const Point left = buttons[i - 1].splinePoint;
        const Point right = buttons[i].splinePoint;
        if (right.x - left.x < kCandidateGap) continue;
        const float x = (left.x + right.x) / 2;
        candidates.push_back({x, static_cast<float>(table[std::clamp(TiTrunc(x), 0, 255)])});
    }
    setFlashButtons(std::move(candidates));
}

void HistogramView::setFlashButtons(std::vector<Point> candidates) {
    m_flash = std::move(candidates);
}

void HistogramView::cancelFlashButtons() {
    m_flash.reset();
}

void HistogramView::showHistogramForImage(const TiBitmapData& bitmap, int channel) {
    m_histogram = ComputeHistogram(bitmap);
    m_histogramChannel = std::clamp(channel, 0, kChannelCount - 1);
}

Point HistogramView::viewPositionOfPoint(Point point, Size view) {
    return {Clamp(point.x * view.width / 256, 0, view.width - 1),
            Clamp(view.height - point.y * view.height / 256, 0, view.height - 1)};
}

Point HistogramView::pointOfViewPosition(Point position, Size view) {
    const float px = Clamp(position.x, 0, view.width - 1);
    const float py = Clamp(position.y, 0, view.height - 1);
    return {px * 256 / view.width, 255 - py * 256 / view.height};
}

void HistogramView::touch(const TouchEvent& touch) {
    const Size view = touch.viewSize;
    if (view.width <= 0 || view.height <= 0) return;
    if (touch.phase == TouchPhase::Began) {
        touchBegan(touch.point, view);
    } else if (touch.phase == TouchPhase::Moved) {
        if (m_pressed) dragSelected(touch.point, view);
    } else if (m_pressed) {
        m_pressed = false;
        if (m_delegate) m_delegate->histogramViewChannelValueChangedOver(m_activeChannel);
    }
}

void HistogramView::touchBegan(Point position, Size view) {
    if (m_flash) {
        for (const Point candidate : *m_flash) {
            if (Distance(viewPositionOfPoint(candidate, view), position) > kTouchRadius) continue;
            m_flash.reset();
            select(addSplineButton(m_activeChannel, candidate));
            m_touchOffset = {0, 0};
            if (m_delegate) m_delegate->histogramViewChannelValueChanged(m_activeChannel);
            return;
        }
    }
    const std::vector<SplineButton>& buttons = m_buttons[m_activeChannel];
    int nearest = -1;
    float nearestDistance = kTouchRadius;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const float d = Distance(viewPositionOfPoint(buttons[i].splinePoint, view), position);
        if (d <= nearestDistance) {
            nearest = static_cast<int>(i);
            nearestDistance = d;
        }
    }
    if (nearest < 0) return;
    const Point at = viewPositionOfPoint(buttons[nearest].splinePoint, view);
    m_touchOffset = {at.x - position.x, at.y - position.y};
    select(nearest);
}

void HistogramView::select(int index) {
    m_selected = index;
    m_pressed = true;
    if (m_delegate) m_delegate->histogramViewSplineButtonSelected();
}

void HistogramView::dragSelected(Point position, Size view) {
    std::vector<SplineButton>& buttons = m_buttons[m_activeChannel];
    const int index = *m_selected;
    const int last = static_cast<int>(buttons.size()) - 1;
    Point target =
        pointOfViewPosition({position.x + m_touchOffset.x, position.y + m_touchOffset.y}, view);
    float lower = index > 0 ? buttons[index - 1].splinePoint.x : 0;
    float upper = index < last ? buttons[index + 1].splinePoint.x : 255;
    if (index > 0) lower += kMinGap;
    if (index < last) upper -= kMinGap;
    // Neighbours closer than twice the gap leave no room: the point stays put.
    if (lower > upper) lower = upper = buttons[index].splinePoint.x;
    target.x = Clamp(target.x, lower, upper);
    target.y = Clamp(target.y, 0, 255);
    buttons[index].splinePoint = target;
    if (m_delegate) m_delegate->histogramViewChannelValueChanged(m_activeChannel);
}

Dictionary HistogramView::state() const {
    Array channels;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        channels.push_back(PointsValue(m_buttons[channel]));
    }
    Dictionary state{{"activeChannel", NumberValue(m_activeChannel)},
                     {"channels", channels},
                     {"selected", m_selected ? NumberValue(*m_selected) : Value()},
                     {"pressed", Value(m_pressed)},
                     {"canDelete", Value(canRemoveSelectedButton())}};
    Array candidates;
    if (m_flash) {
        for (const Point candidate : *m_flash) candidates.push_back(PointValue(candidate));
    }
    state.set("candidates", m_flash ? Value(candidates) : Value());
    Array counts;
    if (m_backgroundEnabled && m_histogram) {
        const std::int32_t* values = m_histogram->getValues(m_histogramChannel);
        for (int i = 0; i < 256; ++i) counts.push_back(NumberValue(values[i]));
        state.set("histogramMax", NumberValue(m_histogram->maxCount[m_histogramChannel]));
    }
    state.set("histogram", m_backgroundEnabled && m_histogram ? Value(counts) : Value());
    return state;
}

}  // namespace vantrel
