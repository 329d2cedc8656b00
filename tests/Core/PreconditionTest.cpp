// Every precondition of the imaging core, one row each: the call fails with
// TiAssertionError carrying the condition text, function, source file and
// line, before any pixel of the bitmaps it was handed changes.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "Core/base/BlendMode.h"
#include "Core/base/ColorBalance.h"
#include "Core/base/Curve.h"
#include "Core/base/GradientMask.h"
#include "Core/base/HSL.h"
#include "Core/base/Histogram.h"
#include "Core/base/NormalBlend.h"
#include "Core/base/Zoom.h"
#include "Core/filter/Bokeh.h"
#include "Core/filter/Emboss.h"
#include "Core/filter/Lomo.h"
#include "Core/filter/Noise.h"
#include "Core/filter/Painting.h"
#include "Core/filter/RadialBlur.h"
#include "Core/filter/Retinex.h"
#include "Core/filter/Unsharp.h"
#include "support/Assertions.h"
#include "support/TestImages.h"

namespace vantrel {
namespace {

using test::Bitmap;

// The bitmaps a call may be handed: 8 x 6 pixels of each size, and smaller
// ones for the size checks.
struct Bitmaps {
    Bitmap rgba = test::Noise(8, 6, TiRGBABpp, 1);
    Bitmap rgb = test::Noise(8, 6, TiRGBBpp, 2);
    Bitmap gray = test::Noise(8, 6, 1, 3);
    Bitmap narrow = test::Noise(7, 6, TiRGBABpp, 4);
    Bitmap low = test::Noise(8, 5, TiRGBABpp, 5);
    std::vector<unsigned char> table = std::vector<unsigned char>(kBlendTableSize);
    unsigned char* t = table.data();
};

struct Precondition {
    std::function<void(Bitmaps&)> call;
    std::string condition, function, file;
    int line;
};

const char kBlend[] = "Core/base/BlendMode", kPalette[] = "Core/base/GradientPalette",
           kView[] = "Core/global/BitmapData.h", kZoom[] = "Core/base/Zoom";
const char kColourOnly[] = "bitmap.GetBpp() == TiRGBABpp || bitmap.GetBpp() == TiRGBBpp";
const char kColourOnlyRgbFirst[] = "bitmap.GetBpp() == TiRGBBpp || bitmap.GetBpp() == TiRGBABpp";
const char kOpacity[] = "opacity >= 0 && opacity <= 1.0";

GradientPalette OneStop() {
    GradientPalette palette;
    palette.AddPoint(TinyRGB{1, 2, 3}, 0, 0.5f);
    return palette;
}

const RGBPoint kStops[] = {{{30, 30, 30}, 0, 0.5f}, {{90, 90, 90}, 1, 0.5f}};
const Vec3 kPoints[] = {{0, 255, 0}, {255, 0, 0}};
const float kNan = std::nanf("");

// A call on the bitmaps b.
#define CALL(call) []([[maybe_unused]] Bitmaps& b) { call; }

// clang-format off
std::vector<Precondition> Preconditions() {
    const char kNormal[] = "Core/base/NormalBlend", kX[] = "maskX >= 0 && maskX + maskWidth <= width";
    const char kZoomSize[] = "widthZoom > 0 && heightZoom > 0", kZoomBpp[] = "bpp == TiRGBBpp || bpp == TiRGBABpp";
    const char kStops2[] = "points.size() >= 2", kPaint[] = "Core/filter/Painting", kSharp[] = "Core/filter/Unsharp";
    std::vector<Precondition> rows = {
        // Blend tables and blend passes.
        {CALL(GenerateLookupTable(b.t, 0, 0.5)), "false", "GenerateLookupTable", kBlend, 161},
        {CALL(GenerateLookupTable(b.t, 21, 0.5)), "false", "GenerateLookupTable", kBlend, 161},
        {CALL(GenerateLookupTable(b.t, -3, 0.5)), "false", "GenerateLookupTable", kBlend, 161},
        {CALL(GenerateLookupTable(b.t, kBlendScreen, -0.01)), kOpacity, "GenerateLookupTable", kBlend, 96},
        {CALL(GenerateLookupTable(b.t, kBlendScreen, 1.01)), kOpacity, "GenerateLookupTable", kBlend, 96},
        {CALL(GenerateLookupTable(b.t, kBlendScreen, kNan)), kOpacity, "GenerateLookupTable", kBlend, 96},
        {CALL(GLT_Darken(b.t, 2.0)), kOpacity, "GLT_Darken", kBlend, 300},
        {CALL(GLT_ColorBurn(b.t, 2.0)), kOpacity, "GLT_ColorBurn", kBlend, 375},
        {CALL(GLT_SoftLight(b.t, 2.0)), kOpacity, "GLT_SoftLight", kBlend, 467},
        {CALL(GLT_VividLight(b.t, 2.0)), kOpacity, "GLT_VividLight", kBlend, 490},
        {CALL(GLT_SoftGlow(b.t, 2.0)), kOpacity, "GLT_SoftGlow", kBlend, 637},
        {CALL(ConvertRGBIndex(5)), "false", "ConvertRGBIndex", kBlend, 185},
        {CALL(ConvertRGBIndex(0)), "false", "ConvertRGBIndex", kBlend, 185},
        {CALL(BlendMode(*b.rgba, 0, *b.narrow, 0, 1, 1.0)), "width == blendWidth", "BlendMode", kBlend, 17},
        {CALL(BlendMode(*b.rgba, 0, *b.low, 0, 1, 1.0)), "height == blendHeight", "BlendMode", kBlend, 18},
        {CALL(BlendMode(*b.rgba, 0, *b.rgb, 0, 1, 1.5)), kOpacity, "BlendMode", kBlend, 20},
        {CALL(BlendMode(*b.rgba, 0, *b.rgb, 0, 0, 1.0)), "false", "GenerateLookupTable", kBlend, 161},
        {CALL(BlendMode(*b.rgba, 5, *b.rgb, 0, 1, 1.0)), "false", "ConvertRGBIndex", kBlend, 185},
        {CALL(AdjustBlendModeCurve(*b.rgba, 0, *b.narrow, 0, b.t)), "width == blendWidth", "AdjustBlendModeCurve", kBlend, 210},
        {CALL(AdjustBlendModeCurve(*b.rgba, 0, *b.low, 0, b.t)), "height == blendHeight", "AdjustBlendModeCurve", kBlend, 211},
        {CALL(BlendGrayMask(*b.rgb, 0, b.t, kBlendScreen, -1.0)), kOpacity, "BlendGrayMask", kBlend, 42},
        {CALL(BlendGrayMask(*b.rgb, 7, b.t, kBlendScreen, 1.0)), "false", "ConvertRGBIndex", kBlend, 185},
        {CALL(Blend(nullptr, b.t, b.t, 1)), "bgColor", "Blend", kNormal, 14},
        {CALL(Blend(b.t, nullptr, b.t, 1)), "fgColor", "Blend", kNormal, 15},
        {CALL(Blend(b.t, b.t, nullptr, 1)), "dstColor", "Blend", kNormal, 16},
        {CALL(BlendLayerMask(*b.rgba, nullptr, 0, 0, 4, 3, 255)), "mask", "BlendLayerMask", kNormal, 52},
        {CALL(BlendLayerMask(*b.rgba, b.t, 5, 0, 4, 3, 255)), kX, "BlendLayerMask", kNormal, 53},
        {CALL(BlendLayerMask(*b.rgba, b.t, -1, 0, 4, 3, 255)), kX, "BlendLayerMask", kNormal, 53},
        {CALL(BlendLayerMask(*b.rgba, b.t, INT_MAX, 0, 4, 1, 255)), kX, "BlendLayerMask", kNormal, 53},
        {CALL(BlendLayerMask(*b.rgba, b.t, 0, 4, 4, 3, 255)), "maskY >= 0 && maskY + maskHeight <= height", "BlendLayerMask", kNormal, 54},
        // An empty layer at the right edge starts its rows outside the bitmap.
        {CALL(BlendLayerMask(*b.rgba, b.t, 8, 0, 0, 3, 255)), "x >=0 && x < m_width", "GetPixel", kView, 85},
        // Gradients.
        {CALL(CreateGradientMask(*b.rgb, GradientPreset(0), 3, 0, 1, false, 3, 2)), "false", "CreateGradientMask", "Core/base/GradientMask", 333},
        {CALL(CreateGradientMask(*b.rgb, OneStop(), 0, 0, 1, false, 3, 2)), kStops2, "GetRGBatPosition", kPalette, 47},
        {CALL(GetRGBatPosition(GradientPreset(13), 0.5f)), kStops2, "GetRGBatPosition", kPalette, 47},
        {CALL(CreateGradientPresetBitmap(13, 8, 8)), kStops2, "GetRGBatPosition", kPalette, 47},
        {CALL(GradientOverlay(*b.rgb, kBlendScreen, 0, kStops, 2, 0, 1, 1.5f, false)), kOpacity, "BlendMode", kBlend, 20},
        {CALL(GradientOverlay(*b.rgb, 21, 0, kStops, 2, 0, 1, 1, false)), "false", "GenerateLookupTable", kBlend, 161},
        {CALL(GradientOverlay(*b.rgb, 1, 0, kStops, 1, 0, 1, 1, false)), kStops2, "GetRGBatPosition", kPalette, 47},
        {CALL(GradientOverlay(*b.rgb, 1, 0, kStops, -4, 0, 1, 1, false)), kStops2, "GetRGBatPosition", kPalette, 47},
        {CALL(GradientOverlay(*b.rgb, 1, 0, nullptr, 3, 0, 1, 1, false)), kStops2, "GetRGBatPosition", kPalette, 47},
        // Colour.
        {CALL(AdjustCurve(*b.rgba, b.t, -1)), "false", "AdjustCurve", "Core/base/Curve", 89},
        {CALL(AdjustCurve(*b.rgba, b.t, 4)), "false", "AdjustCurve", "Core/base/Curve", 89},
        {CALL(AdjustCurveBySplinePoints(*b.rgba, kPoints, 2, 1000)), "false", "AdjustCurve", "Core/base/Curve", 89},
        {CALL(BalanceColor(*b.rgba, 101, 0, 0, 0, false)), "cyan>= -100 && cyan<=100", "BalanceColor", "Core/base/ColorBalance", 40},
        {CALL(BalanceColor(*b.rgba, 0, -101, 0, 0, false)), "magenta>= -100 && magenta<=100", "BalanceColor", "Core/base/ColorBalance", 41},
        {CALL(BalanceColor(*b.rgba, 0, 0, 1000, 0, false)), "yellow>= -100 && yellow<=100", "BalanceColor", "Core/base/ColorBalance", 42},
        {CALL(AdjustHSL(*b.gray, HSLData(), kStandardHueRanges)), kColourOnlyRgbFirst, "AdjustHSL", "Core/base/HSL", 313},
        {CALL(TintHSL(*b.gray, 0, 0, 0)), kColourOnlyRgbFirst, "TintHSL", "Core/base/HSL", 419},
        {CALL(ComputeHistogram(*b.rgb)->getValues(4)), "false", "getValues", "Core/base/Histogram.h", 35},
        {CALL(ComputeHistogram(*b.rgb)->getValues(-1)), "false", "getValues", "Core/base/Histogram.h", 35},
        // Geometry.
        {CALL(ImageZoom(*b.gray, *b.gray, 4, 4)), kZoomBpp, "ImageZoom", kZoom, 28},
        {CALL(CreateImageZoom(*b.gray, 2, 2)), kZoomBpp, "ImageZoom", kZoom, 28},
        {CALL(ImageZoom(*b.rgba, *b.rgba, 0, 4)), kZoomSize, "ImageZoom", kZoom, 29},
        {CALL(CreateImageZoom(*b.rgba, 3, -1)), kZoomSize, "ImageZoom", kZoom, 29},
        {CALL(CreateImageZoom(*b.rgba, 0.1f)), kZoomSize, "ImageZoom", kZoom, 29},
        {CALL(CreateImageZoom(*b.rgba, -2.0f)), kZoomSize, "ImageZoom", kZoom, 29},
        {CALL(ImageZoom(*b.rgba, *b.rgb, 8, 6)), "bpp == saveBpp", "ImageZoom", kZoom, 30},
        // Filters.
        {CALL(Bokeher(nullptr, 0, 0, 1, 0, 1, 1, false)), "bitmap", "Bokeher", "Core/filter/Bokeh", 103},
        {CALL(Bokeher bokeher(b.rgba.get(), 0, 0, 1, 0, 1, 1, false); bokeher.SetBitmap(nullptr, false); bokeher.Run()), "m_bitmap", "Run", "Core/filter/Bokeh", 155},
        {CALL(Emboss(*b.rgb, 0.0f, 3, 100)), "bitmap.GetBpp() == TiRGBABpp", "Emboss", "Core/filter/Emboss", 17},
        {CALL(ReduceNoise(*b.gray, 0)), kColourOnly, "ReduceNoise", "Core/filter/Noise", 146},
        {CALL(Painting(*b.rgba, -1, 8)), "radius >= 0", "Painting", kPaint, 17},
        {CALL(Painting(*b.rgba, 3, -1)), "smoothness >= 0", "Painting", kPaint, 18},
        {CALL(Painting(*b.rgba, 3, 0)), "smoothness >= 1 && smoothness <= 256", "Painting", kPaint, 18},
        {CALL(Painting(*b.rgba, 3, 257)), "smoothness >= 1 && smoothness <= 256", "Painting", kPaint, 18},
        {CALL(RadialBlur(*b.gray, 10, 2.0f, 2)), kZoomBpp, "RadialBlur", "Core/filter/RadialBlur", 29},
        {CALL(retinex(*b.gray, *b.gray, 2, 0, 2.0f)), kColourOnly, "retinex", "Core/filter/Retinex.h", 60},
        {CALL(Retinex(nullptr, 2, 0, 2.0f)), "bitmap", "Retinex", "Core/filter/Retinex", 16},
        {CALL(Retinex filter(b.rgb.get(), 2, 0, 2.0f); filter.SetBitmap(nullptr); filter.Run()), "m_bitmap", "Run", "Core/filter/Retinex", 63},
        {CALL(Unsharp(*b.gray, -1, -1, -1)), "amount >= 0", "Unsharp", kSharp, 17},
        {CALL(Unsharp(*b.gray, 0, -1, -1)), "threshold >= 0", "Unsharp", kSharp, 18},
        {CALL(Unsharp(*b.rgba, 0, -1, 0)), "radius >= 0", "Unsharp", kSharp, 19},
        {CALL(Unsharp(*b.gray, 0, 0, 0)), kColourOnly, "Unsharp", kSharp, 20},
        // Bitmaps and views.
        {CALL(TiBitmapData(nullptr, 1, 1, 4, 4, false)), "buf", "TiBitmapData", "Core/global/BitmapData", 8},
        {CALL(TiBitmapData(b.t, 1, 1, 2, 2, false)), "bpp == TiRGBBpp || bpp == TiRGBABpp || bpp == 1", "TiBitmapData", "Core/global/BitmapData", 9},
        {CALL(b.rgb->GetPixel(8, 0)), "x >=0 && x < m_width", "GetPixel", kView, 85},
        {CALL(b.rgb->GetPixel(0, -1)), "y >=0 && y < m_height", "GetPixel", kView, 86},
        {CALL(b.rgb->GetBitmapDataFromRect(-1, 0, 1, 1)), "x >= 0 && x < m_width", "GetBitmapDataFromRect", kView, 151},
        {CALL(b.rgb->GetBitmapDataFromRect(0, 6, 1, 1)), "y >= 0 && y < m_height", "GetBitmapDataFromRect", kView, 152},
        {CALL(b.rgb->GetBitmapDataFromCenterRect(8, 6)), "height > 0 && height < m_height", "GetBitmapDataFromCenterRect", kView, 161},
        {CALL(b.rgb->GetBitmapDataFromCenterRect(9, 2)), "width > 0 && width <= m_width", "GetBitmapDataFromCenterRect", kView, 160},
        {CALL(b.rgb->GetBitmapDataFromCenterRect(0, 2)), "width > 0 && width <= m_width", "GetBitmapDataFromCenterRect", kView, 160},
    };
    for (double ratio : {1.0000001, -0.1, std::nan("")}) {
        rows.push_back({[ratio](Bitmaps& b) { DarkenCorner(*b.rgba, ratio, 200); },
                        "brightRatio <= 1.0 && brightRatio >= 0.0", "DarkenCorner", "Core/filter/Lomo", 259});
    }
    return rows;
}
// clang-format on

TEST(Preconditions, FailWithTheirTextBeforeAnyPixelChanges) {
    for (const Precondition& row : Preconditions()) {
        SCOPED_TRACE(row.function + ": " + row.condition);
        Bitmaps bitmaps;
        const Bitmaps before;
        test::ExpectAssertion([&] { row.call(bitmaps); }, row.condition, row.function, row.file,
                              row.line);
        for (auto [now, was] : {std::pair{&bitmaps.rgba, &before.rgba},
                                {&bitmaps.rgb, &before.rgb},
                                {&bitmaps.gray, &before.gray}}) {
            EXPECT_EQ(test::Pixels(**now), test::Pixels(**was));
        }
    }
}

// A record the constructor would refuse, handed to the gradient renderer.
TEST(Preconditions, GradientMaskRefusesTwoBytePixels) {
    Bitmap bitmap = test::Gradient(6, 5, TiRGBBpp);
    const auto original = test::Pixels(*bitmap);
    bitmap->m_bpp = 2;
    test::ExpectAssertion(
        [&] { CreateGradientMask(*bitmap, GradientPreset(0), 0, 0, 1, false, 3, 2); },
        "bpp == TiRGBBpp || bpp == TiRGBABpp || bpp == 1", "CreateGradientMask",
        "Core/base/GradientMask", 246);
    bitmap->m_bpp = TiRGBBpp;
    EXPECT_EQ(test::Pixels(*bitmap), original);
}

}  // namespace
}  // namespace vantrel
