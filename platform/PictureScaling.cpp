#include "platform/PictureScaling.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "Core/base/Zoom.h"

namespace vantrel {

Result<std::unique_ptr<TiBitmapData>> ScaleToShorterSide(const Picture& picture, int size) {
    using Outcome = Result<std::unique_ptr<TiBitmapData>>;
    const std::int64_t width = picture.width();
    const std::int64_t height = picture.height();
    const std::int64_t shorter = std::min(width, height);
    if (size == shorter) {
        auto copy = BitmapFromPicture(picture);
        if (!copy) return Outcome::Failure("not enough memory");
        return Outcome::Success(std::move(copy));
    }
    const std::int64_t newWidth = std::max<std::int64_t>(1, width * size / shorter);
    const std::int64_t newHeight = std::max<std::int64_t>(1, height * size / shorter);
    const std::string sizeError = PictureSizeError(newWidth, newHeight);
    if (!sizeError.empty()) return Outcome::Failure(sizeError);
    auto source = BitmapFromPicture(picture);
    auto scaled =
        source ? CreateImageZoom(*source, static_cast<int>(newWidth), static_cast<int>(newHeight))
               : nullptr;
    if (!scaled) return Outcome::Failure("not enough memory");
    return Outcome::Success(std::move(scaled));
}

}  // namespace vantrel
