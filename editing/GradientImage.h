// GradientImage: the thumbnail of a gradient preset for the gradient panel's
// chooser, drawn by the same renderer as the gradient-overlay command.
#pragma once

#include "Core/global/Records.h"
#include "platform/Picture.h"

namespace vantrel {

class GradientImage {
public:
    // `type` is the preset's number, 0..12.
    explicit GradientImage(int type) : m_type(type) {}

    int type() const { return m_type; }
    void setType(int type) { m_type = type; }

    // A picture of `size` (truncated to whole pixels) showing the preset,
    // linear at -45 degrees, scale 1, not reversed; an empty picture when the
    // size has no pixels, the type has no preset or memory can't be had.
    Picture getImageBySize(Size size) const;

private:
    int m_type;
};

}  // namespace vantrel
