// Scaling a picture to a given size, as drawing a picture into a context of
// that size does, and scaling one for a contact sheet.
//
// Reductions average the source area each new pixel covers (a box filter
// with fractional edges), rounded to the nearest byte: no source pixel is
// skipped, an opaque picture stays opaque and premultiplied colour stays
// within its alpha. Enlargements are bilinear (Core/base/Zoom.h).
//
// Failure: an empty picture for an empty source, a size outside the picture
// limit, or memory that can't be had.
#pragma once

#include <memory>

#include "Core/global/BitmapData.h"
#include "platform/Picture.h"
#include "platform/Result.h"

namespace vantrel {

Picture ScalePicture(const Picture& picture, int width, int height);

// The picture at `size` pixels on its shorter side, the longer side in
// proportion (truncated, at least 1), resampled by the zoom operation
// (Core/base/Zoom.h) as the looks see it; at its own size, a copy. Fails
// with the picture limit's message for a size the limit refuses, or with
// "not enough memory".
Result<std::unique_ptr<TiBitmapData>> ScaleToShorterSide(const Picture& picture, int size);

}  // namespace vantrel
