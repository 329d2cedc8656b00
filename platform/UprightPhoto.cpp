#include "platform/UprightPhoto.h"

#include <algorithm>
#include <cstdint>

#include "platform/ExifOrientation.h"
#include "platform/PictureScaling.h"

namespace vantrel {

Picture FitLongestSide(const Picture& picture, int maxSide) {
    const int longer = std::max(picture.width(), picture.height());
    if (picture.empty() || maxSide < 1 || longer <= maxSide) return picture;
    const auto fitted = [&](int side) {
        const double scaled = static_cast<double>(side) * maxSide / longer + 0.5;
        return std::max(1, static_cast<int>(std::min<double>(scaled, maxSide)));
    };
    return ScalePicture(picture, fitted(picture.width()), fitted(picture.height()));
}

Picture RedrawUpright(const Picture& stored, int orientation) {
    const Picture upright = UprightPicture(stored, orientation);
    return upright.empty() ? upright : FitLongestSide(upright);
}

}  // namespace vantrel
