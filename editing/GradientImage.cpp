#include "editing/GradientImage.h"

#include <memory>

#include "Core/base/GradientMask.h"
#include "Core/global/Numeric.h"

namespace vantrel {

Picture GradientImage::getImageBySize(Size size) const {
    // A type above 12 has no stops: the renderer would refuse its palette.
    if (m_type < 0 || m_type > 12) return Picture();
    const int width = TiTrunc(size.width);
    const int height = TiTrunc(size.height);
    if (width <= 0 || height <= 0 || !PictureSizeError(width, height).empty()) return Picture();
    std::unique_ptr<TiBitmapData> bitmap = CreateGradientPresetBitmap(m_type, width, height);
    if (!bitmap) return Picture();
    return PictureFromBitmap(*bitmap);
}

}  // namespace vantrel
