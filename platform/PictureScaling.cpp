#include "platform/PictureScaling.h"

#include "Core/base/Zoom.h"

namespace vantrel {

Picture ScalePicture(const Picture& picture, int width, int height) {
    if (picture.empty() || !PictureSizeError(width, height).empty()) return Picture();
    if (width == picture.width() && height == picture.height()) return picture;
    const std::unique_ptr<TiBitmapData> source = BitmapFromPicture(picture);
    if (!source) return Picture();
    const std::unique_ptr<TiBitmapData> scaled = CreateImageZoom(*source, width, height);
    return scaled ? PictureFromBitmap(*scaled) : Picture();
}

}  // namespace vantrel
