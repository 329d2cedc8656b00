// RotatingImageView: a picture shown turned by imageDegrees and mirrored by
// flipH / flipV, scaled so that its turned bounding box fits the view
// (enlarging allowed unless allowEnlarge is off) inside the padding, and
// centred. The panels use its sizes to convert between view points and
// picture pixels; a front end draws from its state.
#pragma once

#include "Core/global/Records.h"
#include "commands/Value.h"

namespace vantrel {

// The bounding box of a width x height rectangle turned by `degrees`.
Size TurnedBoundingSize(Size size, double degrees);

class RotatingImageView {
public:
    struct Padding {
        float left = 0, top = 0, right = 0, bottom = 0;
    };

    void setViewSize(Size size) { m_viewSize = size; }
    Size viewSize() const { return m_viewSize; }
    // The picture's own size in pixels.
    void setImage(Size imageSize) { m_imageSize = imageSize; }
    void setImageDegrees(double degrees) { m_imageDegrees = degrees; }
    double imageDegrees() const { return m_imageDegrees; }
    void setFlipH(bool flip) { m_flipH = flip; }
    void setFlipV(bool flip) { m_flipV = flip; }
    bool flipH() const { return m_flipH; }
    bool flipV() const { return m_flipV; }
    void setAllowEnlarge(bool allow) { m_allowEnlarge = allow; }
    void setPadding(Padding padding) { m_padding = padding; }

    // Shown points per picture pixel.
    double displayScale() const;
    // The picture's shown size, unturned.
    Size getImageSize() const;
    // The top-left of the unturned shown picture, centred in the view.
    Point getImageOrigin() const;
    // The turned picture's bounding box as shown.
    Size getImageBoundSize() const;
    // Origin and size of the unturned shown picture.
    Rect getDisplayRect() const;

    Dictionary state() const;

private:
    Size m_viewSize;
    Size m_imageSize;
    double m_imageDegrees = 0;
    bool m_flipH = false;
    bool m_flipV = false;
    bool m_allowEnlarge = true;
    Padding m_padding;
};

}  // namespace vantrel
