// Checks shared by the tests of the colour operations (HSL, colour balance,
// selective colour).
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

// Runs `operation` on make()'s RGBA picture and on an RGB copy of its
// colours and expects the same colours from both, alpha untouched in the
// first; then, in both formats, on a view inside the picture against a
// packed copy of that region; then on a picture large enough for the pass to
// be split into bands of rows against the same picture done row by row.
// All of it under each compilation of the kernels.
void ExpectFormatsAndViewsAgree(const std::function<Bitmap()>& make,
                                const std::function<int(TiBitmapData&)>& operation);

}  // namespace vantrel::test
