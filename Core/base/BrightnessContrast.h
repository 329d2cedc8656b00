// Brightness and contrast around the image's mean luma.
//
// Pixel contract: 3- or 4-byte bitmaps or views (bytes R, G, B, A), rows
// stepped by pitch; bytes 0..2 go through one 256-entry table, alpha is never
// read or written.
//
// Failure: 0 (bitmap unchanged) for parameters outside their range or a
// 1-byte bitmap; otherwise 1.
#pragma once

#include "Core/global/BitmapData.h"

namespace vantrel {

// Mean over all pixels of the integer luma (306·R + 601·G + 117·B + 512) >> 10,
// truncated; 0 for a bitmap without pixels or of another format.
int ComputeMeanLuminance(const TiBitmapData& bitmap);

// brightness -1..1 scales values by (1 + brightness) around 0; contrast -1..1
// pushes values away from (above 0) or toward (below 0) the mean luma, 1
// sending every value but the mean to 0 or 255. Anything outside -1..1 (NaN
// included) is refused.
int AdjustBrightnessContrast(TiBitmapData& bitmap, float brightness, float contrast);

}  // namespace vantrel
