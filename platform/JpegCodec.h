// JPEG decoding and encoding (libjpeg-turbo).
//
// Decoding accepts baseline and progressive files in gray,
// YCbCr, RGB, CMYK and YCCK. Colour comes out as opaque RGBA straight from
// the library's RGBA output. CMYK is turned into RGB by multiplying the
// inks: with an Adobe segment the stored samples are inverted (as Adobe
// writes them), so R = C * K / 255; without one, R = (255 - C) * (255 - K)
// / 255; likewise G from M and B from Y, each rounded to nearest. The EXIF
// orientation of an APP1 "Exif" segment is applied, so the picture comes
// out upright.
//
// A file whose picture data is truncated or corrupt (entropy-coded data
// ending early, bad Huffman codes, a broken progression) fails rather than
// coming out partly gray; harmless irregularities, such as stray bytes
// between segments, are tolerated. A file with more than 1000 scans is
// refused, so that a small file can't keep the decoder busy for minutes.
// Markers are read through, never kept: APP1 segments pass one at a time
// through one 64 KiB buffer, and the other APPn and comment segments are
// skipped, so a file of any number of them costs no memory for them.
//
// Encoding writes a baseline YCbCr JPEG with 4:2:0 chroma at quality 1 to
// 100 (the library's standard tables), from the premultiplied colour bytes
// as they are; alpha is dropped.
//
// Failure: an error text; nothing is thrown, nothing leaks. A size over the
// limit is refused from the header, before pixel memory is taken.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/Picture.h"
#include "platform/Result.h"

namespace vantrel {

// Whether `bytes` start with a JPEG start-of-image marker.
bool LooksLikeJpeg(std::span<const unsigned char> bytes);

Result<Picture> DecodeJpeg(std::span<const unsigned char> bytes,
                           std::int64_t maxPixels = kMaxPicturePixels);

// quality: 1 (smallest) to 100 (best); anything else is refused.
Result<std::vector<unsigned char>> EncodeJpeg(const Picture& picture, int quality);

}  // namespace vantrel
