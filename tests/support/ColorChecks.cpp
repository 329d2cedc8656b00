#include "support/ColorChecks.h"

#include "Core/base/HSLModel.h"

namespace vantrel::test {
namespace {

void ExpectFormatsAndViewsAgreeOnce(const std::function<Bitmap()>& make,
                                    const std::function<int(TiBitmapData&)>& operation) {
    Bitmap rgba = make();
    Bitmap rgb = WithoutAlpha(*rgba);
    const Bitmap before = rgba->Clone(false);
    EXPECT_EQ(operation(*rgba), operation(*rgb));
    ExpectAlphaUnchanged(*before, *rgba);
    for (int y = 0; y < rgba->GetHeight(); ++y) {
        for (int x = 0; x < rgba->GetWidth(); ++x) {
            ASSERT_EQ(ColorAt(*rgba, x, y), ColorAt(*rgb, x, y)) << "pixel " << x << "," << y;
        }
    }
    // A region that starts and ends off the chunk and row boundaries.
    const int width = rgba->GetWidth();
    const int height = rgba->GetHeight();
    ExpectViewMatchesPackedCopy(make, 3, 1, width - 5, height - 2, operation);
    ExpectViewMatchesPackedCopy([&make] { return WithoutAlpha(*make()); }, 3, 1, width - 5,
                                height - 2, operation);
}

// A picture large enough to be split into bands of rows on several threads
// against the same picture done one row at a time.
void ExpectBandsMatchRows(const std::function<int(TiBitmapData&)>& operation) {
    Bitmap whole = Noise(640, 420, TiRGBABpp, 77);
    const Bitmap rows = whole->Clone(false);
    operation(*whole);
    for (int y = 0; y < rows->GetHeight(); ++y) {
        operation(*rows->GetBitmapDataFromRect(0, y, rows->GetWidth(), 1));
    }
    EXPECT_EQ(Pixels(*whole), Pixels(*rows)) << "banded pass differs from rows";
}

}  // namespace

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

void ExpectFormatsAndViewsAgree(const std::function<Bitmap()>& make,
                                const std::function<int(TiBitmapData&)>& operation) {
    ForEachKernelCompilation([&] {
        ExpectFormatsAndViewsAgreeOnce(make, operation);
        ExpectBandsMatchRows(operation);
    });
}

}  // namespace vantrel::test
