#include "commands/Lomo.h"

#include <memory>
#include <variant>

#include "Core/base/BlendMode.h"
#include "Core/base/ColorBalance.h"
#include "Core/base/Curve.h"
#include "Core/base/GradientMask.h"
#include "Core/base/GradientPalette.h"
#include "Core/base/GrayInvert.h"
#include "Core/base/HSL.h"
#include "Core/base/Levels.h"
#include "Core/base/SelectiveColor.h"
#include "Core/base/Zoom.h"
#include "Core/filter/GasBlur.h"
#include "Core/filter/Lomo.h"
#include "Core/filter/Noise.h"
#include "Core/filter/RadialBlur.h"
#include "Core/filter/ShadowHighlight.h"
#include "Core/filter/Unsharp.h"
#include "Core/global/TiMemory.h"
#include "commands/LomoRecipes.h"

namespace vantrel {
namespace {

// One run of a recipe: the photo, and what the recipe holds while it runs
// (its layer and its mask), all released when the run ends however it ends.
class RecipeRun {
public:
    explicit RecipeRun(TiBitmapData& photo) : m_photo(photo) {}

    // Runs one step; false when the recipe has to stop there and fail.
    bool Perform(const lomo::Step& step) {
        TiBitmapData* target = step.target == lomo::Target::kLayer ? m_layer : &m_photo;
        if (!target) return false;
        return std::visit([this, target](const auto& action) { return Do(action, *target); },
                          step.action);
    }

private:
    bool Do(const lomo::Curve& curve, TiBitmapData& target) {
        AdjustCurveBySplinePoints(target, curve.points.data(), curve.count, curve.channel);
        return true;
    }
    bool Do(const lomo::Levels& levels, TiBitmapData& target) {
        AdjustLevels(target, levels.low, levels.high, levels.gamma, levels.channel);
        return true;
    }
    bool Do(const lomo::Balance& balance, TiBitmapData& target) {
        BalanceColor(target, balance.cyanRed, balance.magentaGreen, balance.yellowBlue,
                     balance.tone, balance.preserveLuminosity);
        return true;
    }
    bool Do(const lomo::Saturation& saturation, TiBitmapData& target) {
        HSLData shift;
        shift.all.m_saturation = saturation.amount;
        AdjustHSL(target, shift, kStandardHueRanges);
        return true;
    }
    bool Do(const lomo::Tint& tint, TiBitmapData& target) {
        TintHSL(target, tint.hue, tint.saturation, tint.lightness);
        return true;
    }
    bool Do(const lomo::Gray&, TiBitmapData& target) {
        ConvertToGray(target);
        return true;
    }
    bool Do(const lomo::Invert&, TiBitmapData& target) {
        InvertColor(target);
        return true;
    }
    bool Do(const lomo::AutoLevels&, TiBitmapData& target) {
        AutoLevels(target);
        return true;
    }
    bool Do(const lomo::Copy& copy, TiBitmapData&) {
        ReleaseLayer();
        m_layerOwner = m_photo.Clone(copy.pitch == lomo::kSamePitch);
        m_layer = m_layerOwner.get();
        return m_layer != nullptr;
    }
    bool Do(const lomo::EnlargedCopy& enlarged, TiBitmapData&);
    bool Do(const lomo::ReleaseLayer&, TiBitmapData&) {
        ReleaseLayer();
        return true;
    }
    bool Do(const lomo::Blend& blend, TiBitmapData& target) {
        const TiBitmapData* layer = blend.fromPhoto ? &m_photo : m_layer;
        if (!layer) return false;
        BlendMode(target, blend.channel, *layer, blend.layerChannel, blend.mode, blend.opacity);
        return true;
    }
    bool Do(const lomo::Mask& mask, TiBitmapData&);
    bool Do(const lomo::MaskBlend& blend, TiBitmapData& target) {
        if (!m_mask) return false;
        BlendGrayMask(target, 0, m_mask.get(), blend.mode, blend.opacity);
        return true;
    }
    bool Do(const lomo::GasBlur& blur, TiBitmapData& target) {
        const int done = GasBlur(target, blur.radiusH, blur.radiusV);
        return done != 0 || !blur.failsRecipe;
    }
    bool Do(const lomo::Unsharp& sharpen, TiBitmapData& target) {
        Unsharp(target, sharpen.amount, sharpen.radius, sharpen.threshold);
        return true;
    }
    bool Do(const lomo::SoftGlow& glow, TiBitmapData& target) {
        SoftGlow(target, glow.radius, glow.brightness, glow.sharpness);
        return true;
    }
    bool Do(const lomo::ShadowHighlight& lift, TiBitmapData& target) {
        ShadowHighlight(target, lift.shadows, lift.highlights);
        return true;
    }
    bool Do(const lomo::RadialBlur& blur, TiBitmapData& target) {
        RadialBlur(target, blur.amount, blur.scale, blur.quality);
        return true;
    }
    bool Do(const lomo::AddNoise& noise, TiBitmapData& target) {
        AddNoise(target, noise.amount, noise.color);
        return true;
    }
    bool Do(const lomo::DarkenCorner& vignette, TiBitmapData& target) {
        DarkenCorner(target, vignette.brightRatio, vignette.opacity);
        return true;
    }
    bool Do(const lomo::SelectiveColor& selective, TiBitmapData& target) {
        SelectiveColor(target, selective.scaleSet);
        return true;
    }

    void ReleaseLayer() {
        m_layer = nullptr;
        m_layerView.reset();
        m_layerOwner.reset();
    }

    TiBitmapData& m_photo;
    std::unique_ptr<TiBitmapData> m_layerOwner;  // the copy, or the enlarged copy
    std::unique_ptr<TiBitmapData> m_layerView;   // the photo's size inside the enlarged copy
    TiBitmapData* m_layer = nullptr;             // what OnLayer steps act on
    TiBuffer<unsigned char> m_mask;
};

bool RecipeRun::Do(const lomo::EnlargedCopy& enlarged, TiBitmapData&) {
    ReleaseLayer();
    m_layerOwner = CreateImageZoom(m_photo, enlarged.ratio);
    if (!m_layerOwner) return false;
    // Centring needs a strictly taller copy, which a photo under 4 pixels
    // high does not get from 1.25: such a photo is refused, not asserted on.
    const int width = m_photo.GetWidth();
    const int height = m_photo.GetHeight();
    if (width > m_layerOwner->GetWidth() || height >= m_layerOwner->GetHeight()) return false;
    m_layerView = m_layerOwner->GetBitmapDataFromCenterRect(width, height);
    m_layer = m_layerView.get();
    return true;
}

bool RecipeRun::Do(const lomo::Mask& mask, TiBitmapData&) {
    const int width = m_photo.GetWidth();
    const int height = m_photo.GetHeight();
    m_mask = TiBuffer<unsigned char>(TiByteCount(width, height, mask.bpp));
    if (!m_mask) return false;
    GradientPalette palette;
    for (const RGBPoint& stop : mask.stops)
        palette.AddPoint(stop.color, stop.position, stop.midpoint);
    return RenderGradient(palette, m_mask.get(), width, height, mask.bpp, mask.style, mask.degrees,
                          mask.scale, mask.reverse) != 0;
}

}  // namespace

int RunLomoRecipe(TiBitmapData& bitmap, lomo::Recipe recipe) {
    if (bitmap.GetBpp() != TiRGBBpp && bitmap.GetBpp() != TiRGBABpp) return 0;
    RecipeRun run(bitmap);
    for (const lomo::Step& step : recipe) {
        if (!run.Perform(step)) return 0;
    }
    return 1;
}

int ApplyLomoStyle(TiBitmapData& bitmap, int lomo) {
    if (static_cast<unsigned>(lomo) > static_cast<unsigned>(lomo::kLastRecipeStyle)) return 0;
    return RunLomoRecipe(bitmap, lomo::LomoRecipe(lomo));
}

}  // namespace vantrel
