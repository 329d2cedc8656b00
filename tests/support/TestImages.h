// Named synthetic pictures and checks shared by the imaging tests.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "Core/global/BitmapData.h"

namespace vantrel::test {

using Bitmap = std::unique_ptr<TiBitmapData>;
using PixelRule = std::function<std::uint8_t(int x, int y, int channel)>;

// An owning packed bitmap whose byte (x, y, channel) is rule(x, y, channel).
Bitmap MakeBitmap(int width, int height, int bpp, const PixelRule& rule);

// Every pixel the same; `pixel` holds bpp bytes.
Bitmap Constant(int width, int height, int bpp, std::vector<std::uint8_t> pixel);

// Red rises along x, green along y, blue along the diagonal, alpha 255.
Bitmap Gradient(int width, int height, int bpp);

// Deterministic pseudo-random bytes (alpha included) from `seed`.
Bitmap Noise(int width, int height, int bpp, std::uint32_t seed = 1);

// Walks the RGB cube in steps of 15 (4913 colours), then repeats; alpha 255.
Bitmap RgbCube(int width, int height, int bpp);

using Rgba = std::array<std::uint8_t, 4>;

// A pixels.size() x 1 bitmap holding the first bpp bytes of each pixel.
Bitmap Strip(int bpp, const std::vector<Rgba>& pixels);

// Pixel (x, y) as R, G, B, A (alpha 0 when the bitmap has none).
Rgba PixelAt(const TiBitmapData& bitmap, int x, int y);

// The pixels of row y as R, G, B, A (alpha 0 when the bitmap has none).
std::vector<Rgba> Row(const TiBitmapData& bitmap, int y = 0);

using Operation = std::function<int(TiBitmapData&)>;

// An Operation that runs `call` on its bitmap b (values it names are copied).
#define ON(call) [=](TiBitmapData& b) { return call; }

// A strip of `pixels` (their first bpp bytes) after `operation`, which must
// succeed: its row as R, G, B, A.
std::vector<Rgba> Applied(int bpp, const std::vector<Rgba>& pixels, const Operation& operation);

// What `operation` makes of every value 0..255 in byte `byte` of a 256 x 1
// strip holding value x in red, green and blue of pixel x (alpha 200).
std::vector<int> ValueMap(const Operation& operation, int byte = 0, int bpp = TiRGBABpp);

// The bitmap's pixels, row after row, without the bytes between rows.
std::vector<std::uint8_t> Pixels(const TiBitmapData& bitmap);

// Every byte of the whole buffer a bitmap spans (height x pitch).
std::vector<std::uint8_t> Buffer(const TiBitmapData& bitmap);

// Runs `operation` with the n-th work allocation failing, for n = 1, 2, ...
// until it succeeds, and checks that each refused call returned 0 and left
// the pixels of a fresh `make()` unchanged. Returns the number of refused
// calls, so that a test can insist that failure paths were reached.
int ExpectRefusalsLeaveBitmapUnchanged(const std::function<Bitmap()>& make,
                                       const std::function<int(TiBitmapData&)>& operation);

// Runs `operation` on a view at (x, y, w, h) of make()'s result and on a
// packed copy of that region, then checks that the view's region equals the
// copy's result and that nothing outside the region changed.
void ExpectViewMatchesPackedCopy(const std::function<Bitmap()>& make, int x, int y, int width,
                                 int height, const std::function<int(TiBitmapData&)>& operation);

// Checks that byte 3 of every pixel is unchanged between two RGBA bitmaps.
void ExpectAlphaUnchanged(const TiBitmapData& before, const TiBitmapData& after);

}  // namespace vantrel::test
