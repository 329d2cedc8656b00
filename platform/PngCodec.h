// PNG decoding and encoding (libpng).
//
// Decoding accepts every PNG kind: gray, gray with alpha, palette (with or
// without tRNS transparency), RGB, RGBA, 1 to 16 bits per sample,
// interlaced or not. Samples become 8-bit RGBA (16-bit samples scaled with
// rounding, v * 255 / 65535 to nearest; gray copied to R, G and B; tRNS
// becomes alpha; no alpha means 255), then alpha is premultiplied. Gamma,
// colour-profile and background chunks are not applied: samples are taken
// as device RGB. An eXIf orientation found before the pixel data is applied,
// so the picture comes out upright. Every other ancillary chunk (text,
// profiles, palettes suggested, unknown chunks) is passed over without its
// data being kept, so that a file's chunks cost no memory in proportion to
// what they declare or inflate to; no chunk is given more memory than the
// file has bytes, and all of libpng's memory for one decode is bounded.
//
// Encoding writes straight alpha (the picture is un-premultiplied): 8-bit
// RGB when every pixel is opaque, 8-bit RGBA otherwise. Pixels whose alpha is
// 0 are written as 0, 0, 0, 0.
//
// Failure: a corrupt or truncated file, a size over the limit (refused from
// the header, before pixel memory is taken) or memory running short gives
// an error text; nothing is thrown, nothing leaks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/Picture.h"
#include "platform/Result.h"

namespace vantrel {

// Whether `bytes` start with the PNG signature.
bool LooksLikePng(std::span<const unsigned char> bytes);

Result<Picture> DecodePng(std::span<const unsigned char> bytes,
                          std::int64_t maxPixels = kMaxPicturePixels);

Result<std::vector<unsigned char>> EncodePng(const Picture& picture);

// Test hook: the most memory libpng held at once during the last DecodePng
// on the calling thread, in bytes (the picture's own pixels not included).
namespace PngMemoryTestHook {
std::size_t PeakBytesOfLastDecode();
}  // namespace PngMemoryTestHook

}  // namespace vantrel
