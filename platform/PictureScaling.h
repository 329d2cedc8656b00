// Scaling a picture to a given size: the bilinear resampling of the imaging
// core (Core/base/Zoom.h), as drawing a picture into a smaller context does.
//
// Failure: an empty picture for an empty source, a size outside the picture
// limit, or memory that can't be had.
#pragma once

#include "platform/Picture.h"

namespace vantrel {

Picture ScalePicture(const Picture& picture, int width, int height);

}  // namespace vantrel
