// Helpers shared by the tests of the colour operations.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "support/TestImages.h"

namespace vantrel::test {

// Runs `body` once with the colour kernels in their baseline compilation
// and, where the processor has AVX2, once in their AVX2 compilation.
void ForEachKernelCompilation(const std::function<void()>& body);

// A one-pixel bitmap of `bpp` bytes holding (red, green, blue[, alpha]).
Bitmap OnePixel(int red, int green, int blue, int bpp = TiRGBABpp, int alpha = 255);

// The colour bytes of pixel (x, y) as {R, G, B}.
std::vector<int> ColorAt(const TiBitmapData& bitmap, int x = 0, int y = 0);

// An RGB bitmap of the colours of an RGBA one.
Bitmap WithoutAlpha(const TiBitmapData& rgba);

}  // namespace vantrel::test
