#include "editing/editors/RotatingImageView.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "editing/StateValues.h"

namespace vantrel {

Size TurnedBoundingSize(Size size, double degrees) {
    const double radians = degrees * std::numbers::pi / 180.0;
    const double c = std::fabs(std::cos(radians));
    const double s = std::fabs(std::sin(radians));
    return {static_cast<float>(size.width * c + size.height * s),
            static_cast<float>(size.width * s + size.height * c)};
}

double RotatingImageView::displayScale() const {
    const Size bound = TurnedBoundingSize(m_imageSize, m_imageDegrees);
    const double room_w = m_viewSize.width - m_padding.left - m_padding.right;
    const double room_h = m_viewSize.height - m_padding.top - m_padding.bottom;
    if (bound.width <= 0 || bound.height <= 0 || room_w <= 0 || room_h <= 0) return 0;
    const double scale = std::min(room_w / bound.width, room_h / bound.height);
    return m_allowEnlarge ? scale : std::min(scale, 1.0);
}

Size RotatingImageView::getImageSize() const {
    const double scale = displayScale();
    return {static_cast<float>(m_imageSize.width * scale),
            static_cast<float>(m_imageSize.height * scale)};
}

Point RotatingImageView::getImageOrigin() const {
    const Size shown = getImageSize();
    const float roomW = m_viewSize.width - m_padding.left - m_padding.right;
    const float roomH = m_viewSize.height - m_padding.top - m_padding.bottom;
    return {m_padding.left + (roomW - shown.width) / 2, m_padding.top + (roomH - shown.height) / 2};
}

Size RotatingImageView::getImageBoundSize() const {
    const double scale = displayScale();
    const Size bound = TurnedBoundingSize(m_imageSize, m_imageDegrees);
    return {static_cast<float>(bound.width * scale), static_cast<float>(bound.height * scale)};
}

Rect RotatingImageView::getDisplayRect() const {
    const Point origin = getImageOrigin();
    const Size size = getImageSize();
    return {origin.x, origin.y, size.width, size.height};
}

Dictionary RotatingImageView::state() const {
    return Dictionary{{"viewSize", SizeValue(m_viewSize)},
                      {"imageDegrees", NumberValue(m_imageDegrees)},
                      {"flipH", Value(m_flipH)},
                      {"flipV", Value(m_flipV)},
                      {"displayRect", RectValue(getDisplayRect())},
                      {"boundSize", SizeValue(getImageBoundSize())}};
}

}  // namespace vantrel
