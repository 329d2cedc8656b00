// Pictures scaled for display: contact sheets, thumbnails, previews.
#pragma once

#include <memory>

#include "Core/global/BitmapData.h"
#include "platform/Picture.h"
#include "platform/Result.h"

namespace vantrel {

// The picture at `size` pixels on its shorter side, the longer side in
// proportion (truncated, at least 1), resampled by the zoom operation
// (Core/base/Zoom.h); at its own size, a copy. Fails with the picture limit's message for a size the
// limit refuses, or with "not enough memory".
Result<std::unique_ptr<TiBitmapData>> ScaleToShorterSide(const Picture& picture, int size);

}  // namespace vantrel
