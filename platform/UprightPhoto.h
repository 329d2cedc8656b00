// Bringing a photo from the library or the camera into the program: redrawn
// upright from its orientation flag, and no side longer than the intake
// limit.
//
// Failure: an empty picture when memory for a redrawn copy can't be had.
#pragma once

#include "platform/Picture.h"

namespace vantrel {

// Photos with a longer side are scaled down to it, their aspect ratio kept.
// (The codecs' own limit, kMaxPictureSide, is lower, so a decoded file
// never needs it; a picture made some other way might.)
constexpr int kMaxIntakeSide = 100000;

// `picture` itself when neither side exceeds `maxSide`; otherwise a bilinear
// reduction whose longer side is `maxSide`, the other side
// trunc(side * maxSide / longer side + 0.5), at least 1.
Picture FitLongestSide(const Picture& picture, int maxSide = kMaxIntakeSide);

// The stored picture turned upright for its EXIF orientation (1..8; any
// other value is taken as upright), then fitted to kMaxIntakeSide.
Picture RedrawUpright(const Picture& stored, int orientation);

}  // namespace vantrel
