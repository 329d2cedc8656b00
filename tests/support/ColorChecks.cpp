#include "support/ColorChecks.h"

#include "Core/base/HSLModel.h"

namespace vantrel::test {
void ForEachKernelCompilation(const std::function<void()>& body) {
    for (bool baseline : {true, false}) {
        if (!baseline && !hsl_model::HasAvx2()) continue;
        SCOPED_TRACE(baseline ? "baseline kernels" : "AVX2 kernels");
        hsl_model::UseBaselineKernels(baseline);
        body();
        hsl_model::UseBaselineKernels(false);
    }
}

Bitmap OnePixel(int red, int green, int blue, int bpp, int alpha) {
    const int bytes[4] = {red, green, blue, alpha};
    return MakeBitmap(1, 1, bpp, [&bytes](int, int, int c) { return bytes[c]; });
}

std::vector<int> ColorAt(const TiBitmapData& bitmap, int x, int y) {
    const unsigned char* pixel = bitmap.GetPixel(x, y);
    return {pixel[0], pixel[1], pixel[2]};
}

Bitmap WithoutAlpha(const TiBitmapData& rgba) {
    return MakeBitmap(rgba.GetWidth(), rgba.GetHeight(), TiRGBBpp,
                      [&rgba](int x, int y, int c) { return rgba.GetPixel(x, y)[c]; });
}

}  // namespace vantrel::test
