// The EXIF orientation flag and turning stored pixels upright.
//
// Cameras store the sensor's rows as they came and record in the EXIF block
// (the TIFF structure inside a JPEG's APP1 "Exif" segment or a PNG's eXIf
// chunk) where the stored first row and first column belong on screen:
//
//   1 top, left (upright)        5 left, top     (transposed)
//   2 top, right (mirrored)      6 right, top    (turn 90 degrees clockwise)
//   3 bottom, right (180)        7 right, bottom (transverse)
//   4 bottom, left (flipped)     8 left, bottom  (turn 90 degrees counter-clockwise)
//
// The parser reads only IFD0's orientation entry, never trusts an offset or
// a count, and answers 1 for anything missing, malformed or out of range.
#pragma once

#include <cstddef>

#include "platform/Picture.h"

namespace vantrel {

// The orientation recorded in a TIFF structure ("II*\0" or "MM\0*" header),
// 1..8, or 1 when there is none or the block is malformed.
int ExifOrientationFromTiff(const unsigned char* tiff, std::size_t size);

// The same for a JPEG APP1 payload, which starts "Exif\0\0" before the TIFF
// structure; 1 for any other APP1 segment.
int ExifOrientationFromApp1(const unsigned char* payload, std::size_t size);

// Whether the upright picture's width is the stored height (orientations 5-8).
bool OrientationSwapsSides(int orientation);

// The picture as it should be seen, given the stored picture and its
// orientation flag. Orientation 1 and unknown values give `stored` itself;
// an empty picture when memory for the turned copy can't be had.
Picture UprightPicture(const Picture& stored, int orientation);

}  // namespace vantrel
