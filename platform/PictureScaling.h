// Scaling a picture to a given size, as drawing a picture into a context of
// that size does.
//
// Reductions average the source area each new pixel covers (a box filter
// with fractional edges), rounded to the nearest byte: no source pixel is
// skipped, an opaque picture stays opaque and premultiplied colour stays
// within its alpha. Enlargements are bilinear (Core/base/Zoom.h).
//
// Failure: an empty picture for an empty source, a size outside the picture
// limit, or memory that can't be had.
#pragma once

#include "platform/Picture.h"

namespace vantrel {

Picture ScalePicture(const Picture& picture, int width, int height);

}  // namespace vantrel
